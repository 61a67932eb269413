#include "tsf/composition_mgr.h"

#include <shlobj.h>

#include <optional>

#include "engine/engine_text.h"
#include "tsf/dll_main.h"
#include "tsf/guarded_call.h"

namespace qorva_tsf {
namespace {

constexpr wchar_t kDataFolderName[] = L"Pelorin";

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The roaming application-data folder; none when the shell cannot say.
std::optional<std::wstring> AppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, folder))) return std::nullopt;
    return std::wstring(folder);
}

// The folder holding the module file; none when its path cannot be read or has no separator.
std::optional<std::wstring> ModuleFolder(HINSTANCE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0) return std::nullopt;
    const std::wstring file(path, length);
    const size_t separator = file.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return std::nullopt;
    return file.substr(0, separator);
}

// The engine's C interface promises not to throw; a failure of any kind still only means that
// there is no engine, and typing then passes to the application.
BanglaEngineHandle CreateEngineOrNull(const EngineConfig& config) {
    return CallGuarded<BanglaEngineHandle>(nullptr, [&] { return BanglaEngine_Create(&config); });
}

}  // namespace

CompositionManager::CompositionManager(TextService* owner, const OnlineServices& online)
    : service(owner),
      cloudTranslit(online.transport, online.transliteration),
      translationService(online.transport, online.translation),
      onlineTransport(online.transport),
      voiceEndpoints(online.voice) {}

CompositionManager::~CompositionManager() {
    CallGuarded([&] { Shutdown(); });
}

bool CompositionManager::Initialize(HINSTANCE module) {
    FindLexicon(module);
    PrepareDataFolder();
    autoCorrect = false;
    maxCandidates = 5;
    CreateEngine();
    if (module) {
        candidateWindow.Initialize(module);
        candidateWindow.SetConversionMode(conversionTarget);
        voiceRoute = std::make_shared<VoiceResultRoute>(&candidateWindow);
        InstallCallbacks();
        translationService.consent.exchange(englishTranslation);
        CallGuarded([&] { translationService.Start(); });
    }
    return true;
}

void CompositionManager::Shutdown() {
    translationService.Stop();
    ReleaseComposition();
    DestroyEngine();
    if (recorder) recorder->Stop();  // the samples of an unfinished recording are dropped
    CancelCloudRequest();
    cloudTranslit.Stop();
    cloudEnabled = false;
    // A transcription still running will find the route closed: its result is dropped, so nothing
    // is being written any more.
    if (voiceRoute) voiceRoute->Close();
    voiceRoute.reset();
    voiceBusy = false;
    candidateWindow.Destroy();
    SetLastContext(nullptr);
}

void CompositionManager::FindLexicon(HINSTANCE module) {
    if (module) {
        if (const auto folder = ModuleFolder(module)) {
            for (const wchar_t* candidate :
                 {L"\\data\\lexicon.bin", L"\\lexicon.bin", L"\\..\\engine\\data\\lexicon.bin"}) {
                const std::wstring path = *folder + candidate;
                if (FileExists(path)) {
                    lexiconPath = Utf16ToUtf8(path);
                    return;
                }
            }
        }
    }
    if (const auto appData = AppDataFolder()) {
        const std::wstring path = *appData + L"\\" + kDataFolderName + L"\\lexicon.bin";
        if (FileExists(path)) {
            lexiconPath = Utf16ToUtf8(path);
            return;
        }
    }
    // Relative to the current folder; the last answer stands even when no such file exists.
    lexiconPath = FileExists(L"lexicon.bin") && !FileExists(L"engine\\data\\lexicon.bin")
                      ? "lexicon.bin"
                      : "engine/data/lexicon.bin";
}

// The per-user data folder; the relative "Pelorin" when the shell cannot give the roaming one.
std::wstring CompositionManager::DataFolderPath() {
    const auto appData = AppDataFolder();
    return appData ? *appData + L"\\" + kDataFolderName : std::wstring(kDataFolderName);
}

void CompositionManager::PrepareDataFolder() {
    const std::wstring folder = DataFolderPath();
    CreateDirectoryW(folder.c_str(), nullptr);  // it usually exists already
    userDictPath = Utf16ToUtf8(folder + L"\\user_dict.txt");
}

EngineConfig CompositionManager::BuildConfig(bool withLexicon) const {
    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    config.autoCorrect = autoCorrect;
    config.maxCandidates = static_cast<int32_t>(maxCandidates);
    if (withLexicon && !lexiconPath.empty()) config.lexiconPath = lexiconPath.c_str();
    if (!userDictPath.empty()) config.userDictPath = userDictPath.c_str();
    return config;
}

void CompositionManager::CreateEngine() {
    engine = CreateEngineOrNull(BuildConfig(true));
    if (!engine) engine = CreateEngineOrNull(BuildConfig(false));
    if (engine) BanglaEngine_SetLearningEnabled(engine, personalLearning);
}

void CompositionManager::DestroyEngine() {
    if (!engine) return;
    BanglaEngine_Destroy(engine);  // writes the learned data
    engine = nullptr;
}

// The old engine saves what it learned before the new one reads the files; otherwise the old
// engine's later save and the new engine's would each overwrite the other's learning.
void CompositionManager::RebuildEngine() {
    DestroyEngine();
    CreateEngine();
}

void CompositionManager::SetAutoCorrectEnabled(bool enabled) {
    if (enabled == autoCorrect) return;
    autoCorrect = enabled;
    RebuildEngine();
}

void CompositionManager::SetMaxCandidates(uint32_t count) {
    if (count == maxCandidates) return;
    maxCandidates = count;
    RebuildEngine();
}

void CompositionManager::SetPersonalLearningEnabled(bool enabled) {
    personalLearning = enabled;
    if (engine) BanglaEngine_SetLearningEnabled(engine, enabled);
}

void CompositionManager::SetSuggestionsEnabled(bool enabled) {
    if (enabled == showSuggestions) return;
    showSuggestions = enabled;
    if (enabled) return;
    if (cloudEnabled) {
        cloudEnabled = false;
        CancelCloudRequest();
        cloudTranslit.Stop();
    }
    candidateWindow.Hide();
}

void CompositionManager::SetCloudTranslitEnabled(bool enabled) {
    if (enabled == cloudEnabled) return;
    if (enabled) {
        // A worker that cannot start leaves online transliteration off.
        cloudEnabled = CallGuarded(false, [&] { return cloudTranslit.Start(); });
        return;
    }
    cloudEnabled = false;
    CancelCloudRequest();
    cloudTranslit.Stop();
}

void CompositionManager::SetEnglishTranslationEnabled(bool enabled) {
    englishTranslation = enabled;
    translationService.consent.exchange(enabled);
}

size_t CompositionManager::ClearLearnedData() {
    return engine ? BanglaEngine_ClearLearnedData(engine) : 0;
}

size_t CompositionManager::ClearExplicitUserWords() {
    return engine ? BanglaEngine_ClearUserWords(engine) : 0;
}

std::string CompositionManager::LowerRomanKey() const { return bangla::AsciiLower(romanBuffer); }

// The window brings every worker result to this thread; the generation numbers it carries are
// the manager's own 32-bit ones.
void CompositionManager::InstallCallbacks() {
    candidateWindow.onSelect = [this](size_t row) {
        CallGuarded([&] { OnCandidateWindowSelection(row); });
    };
    candidateWindow.onVoiceClicked = [this] { CallGuarded([&] { ToggleVoice(); }); };
    candidateWindow.onVoiceResult = [this](const std::wstring& text, const std::wstring& error) {
        CallGuarded([&] { OnVoiceResult(text, error); });
    };
    // Typing works without voice input: a recorder that cannot be made only leaves it unavailable.
    CallGuarded([&] { InitVoice(); });
    RefreshVoiceRow();
    candidateWindow.onConversionTargetChanged = [this](ConversionTarget target) {
        CallGuarded([&] { SetConversionTarget(target); });
    };
    candidateWindow.onCloudResult = [this](const std::wstring& query, uint64_t generation,
                                           const std::vector<std::wstring>& found) {
        CallGuarded([&] { OnCloudResults(query, static_cast<uint32_t>(generation), found); });
    };
    // The workers only hand their answers to the window, which brings them to this thread.
    CandidateWindow* window = &candidateWindow;
    cloudTranslit.onResult = [window](const std::wstring& query, uint32_t generation,
                                      const std::vector<std::wstring>& found) {
        CallGuarded([&] { window->PostCloudResult(query, generation, found); });
    };
    candidateWindow.onTranslationResult =
        [this](const std::wstring& source, const std::wstring& translation, uint64_t generation) {
            CallGuarded([&] {
                OnTranslationResult(source, translation, static_cast<uint32_t>(generation));
            });
        };
    translationService.onResult = [window](const std::wstring& source,
                                           const std::wstring& translation, uint32_t generation) {
        CallGuarded([&] { window->PostTranslationResult(source, translation, generation); });
    };
}

void CompositionManager::SetLastContext(ITfContext* context) {
    if (context == lastContext) return;
    if (context) context->AddRef();
    if (lastContext) lastContext->Release();
    lastContext = context;
}

void CompositionManager::ReleaseComposition() {
    if (!composition) return;
    composition->Release();
    composition = nullptr;
}

void CompositionManager::CancelCloudRequest() {
    cloudTranslit.Cancel();
    ++cloudGeneration;
}

}  // namespace qorva_tsf
