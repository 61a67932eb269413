#include "common/engine_host.h"

#include "common/call_guarded.h"
#include "common/file_path.h"
#include "common/learned_data_saver.h"
#include "common/text.h"

namespace qorva {
namespace {

// The engine's C interface promises not to throw; a failure of any kind still only means that
// there is no engine.
EnginePtr CreateEngineOrNull(const EngineConfig& config) {
    return EnginePtr(
        CallGuarded<BanglaEngineHandle>(nullptr, [&] { return BanglaEngine_Create(&config); }));
}

}  // namespace

// The saver is stopped, not merely released: it must be done with the engine before the engine
// goes.
void EngineDeleter::operator()(BanglaEngineHandle engine) const noexcept {
    if (saver) CallGuarded([&] { saver->Stop(); });
    BanglaEngine_Destroy(engine);
}

namespace {

void StartSaver(EnginePtr& engine) {
    auto saver = std::make_shared<LearnedDataSaver>(engine.get());
    if (saver->Start()) engine.get_deleter().saver = std::move(saver);
}

}  // namespace

LexiconSearch InputProcessorLexiconSearch(const std::wstring& moduleFolder,
                                          const std::wstring& dataFolder) {
    LexiconSearch search;
    if (!moduleFolder.empty()) {
        for (const wchar_t* place :
             {L"\\data\\lexicon.bin", L"\\lexicon.bin", L"\\..\\engine\\data\\lexicon.bin"}) {
            search.candidates.push_back(Utf16ToUtf8(moduleFolder + place));
        }
    }
    if (!dataFolder.empty())
        search.candidates.push_back(Utf16ToUtf8(dataFolder + L"\\lexicon.bin"));
    search.candidates.push_back("engine/data/lexicon.bin");
    search.candidates.push_back("lexicon.bin");
    // Handed to the engine although no such file was found.
    search.fallback = "engine/data/lexicon.bin";
    return search;
}

LexiconSearch UniversalLexiconSearch(const std::wstring& programFolder,
                                     const std::wstring& dataFolder) {
    LexiconSearch search;
    if (!programFolder.empty()) {
        for (const wchar_t* place :
             {L"\\data\\lexicon.bin", L"\\lexicon.bin", L"\\..\\release_package\\data\\lexicon.bin",
              L"\\..\\..\\release_package\\data\\lexicon.bin"}) {
            search.candidates.push_back(Utf16ToUtf8(programFolder + place));
        }
    }
    if (!dataFolder.empty())
        search.candidates.push_back(Utf16ToUtf8(dataFolder + L"\\lexicon.bin"));
    return search;
}

std::string FindLexicon(const LexiconSearch& search) {
    for (const std::string& candidate : search.candidates) {
        if (FileExists(candidate)) return candidate;
    }
    return search.fallback;
}

std::string UserDictPath(const std::wstring& dataFolder) {
    return Utf16ToUtf8(dataFolder + L"\\user_dict.txt");
}

EngineConfig BuildConfig(const EngineFiles& files, const EngineSettings& settings,
                         bool withLexicon) {
    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    config.autoCorrect = settings.autoCorrect;
    config.maxCandidates = static_cast<int32_t>(settings.maxCandidates);
    if (withLexicon && !files.lexiconPath.empty()) config.lexiconPath = files.lexiconPath.c_str();
    if (!files.userDictPath.empty()) config.userDictPath = files.userDictPath.c_str();
    return config;
}

EnginePtr CreateEngine(const EngineFiles& files, const EngineSettings& settings) {
    EnginePtr engine = CreateEngineOrNull(BuildConfig(files, settings, true));
    if (!engine) engine = CreateEngineOrNull(BuildConfig(files, settings, false));
    if (!engine) return engine;
    BanglaEngine_SetLearningEnabled(engine.get(), settings.personalLearning);
    if (!files.userDictPath.empty()) CallGuarded([&] { StartSaver(engine); });
    return engine;
}

}  // namespace qorva
