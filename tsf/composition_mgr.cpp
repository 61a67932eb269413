#include "tsf/composition_mgr.h"

#include "common/call_guarded.h"
#include "common/folders.h"
#include "common/text.h"

namespace qorva_tsf {

using qorva::CallGuarded;

CompositionManager::CompositionManager(TextService* owner, const OnlineServices& online)
    : service(owner),
      cloudTranslit(online.transport, online.transliteration),
      translationService(online.transport, online.translation),
      onlineTransport(online.transport),
      voiceEndpoints(online.voice) {}

// A destructor lets nothing out.
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
        translationService.Start();  // without its worker, sentences are simply not translated
    }
    return true;
}

void CompositionManager::Shutdown() {
    translationService.Stop();
    composition.Reset();
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
    lastContext.Reset();
}

// Without a module there is no folder of our own to look in.
void CompositionManager::FindLexicon(HINSTANCE module) {
    engineFiles.lexiconPath = qorva::FindLexicon(
        qorva::InputProcessorLexiconSearch(module ? qorva::ModuleFolder(module) : std::wstring(),
                                           qorva::DataFolder(qorva::DataFolderFallback::None)));
}

void CompositionManager::PrepareDataFolder() {
    engineFiles.userDictPath =
        qorva::UserDictPath(qorva::DataFolder(qorva::DataFolderFallback::RelativeDataFolder));
}

void CompositionManager::CreateEngine() {
    engine = qorva::CreateEngine(engineFiles, {autoCorrect, maxCandidates, personalLearning});
}

void CompositionManager::DestroyEngine() {
    engine.reset();  // writes the learned data
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
    if (engine) BanglaEngine_SetLearningEnabled(engine.get(), enabled);
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
        cloudEnabled = cloudTranslit.Start();
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
    return engine ? BanglaEngine_ClearLearnedData(engine.get()) : 0;
}

size_t CompositionManager::ClearExplicitUserWords() {
    return engine ? BanglaEngine_ClearUserWords(engine.get()) : 0;
}

std::string CompositionManager::LowerRomanKey() const { return qorva::AsciiLower(romanBuffer); }

// The window brings every worker result to this thread; the generation numbers it carries are
// the manager's own 32-bit ones.
void CompositionManager::InstallCallbacks() {
    candidateWindow.onSelect = [this](size_t row) { OnCandidateWindowSelection(row); };
    candidateWindow.onVoiceClicked = [this] { ToggleVoice(); };
    candidateWindow.onVoiceResult = [this](const std::wstring& text, const std::wstring& error) {
        OnVoiceResult(text, error);
    };
    InitVoice();
    RefreshVoiceRow();
    candidateWindow.onConversionTargetChanged = [this](ConversionTarget target) {
        SetConversionTarget(target);
    };
    candidateWindow.onCloudResult = [this](const std::wstring& query, uint64_t generation,
                                           const std::vector<std::wstring>& found) {
        OnCloudResults(query, static_cast<uint32_t>(generation), found);
    };
    // The workers only hand their answers to the window, which brings them to this thread.
    CandidateWindow* window = &candidateWindow;
    cloudTranslit.onResult = [window](const std::wstring& query, uint32_t generation,
                                      const std::vector<std::wstring>& found) {
        window->PostCloudResult(query, generation, found);
    };
    candidateWindow.onTranslationResult =
        [this](const std::wstring& source, const std::wstring& translation, uint64_t generation) {
            OnTranslationResult(source, translation, static_cast<uint32_t>(generation));
        };
    translationService.onResult = [window](const std::wstring& source,
                                           const std::wstring& translation, uint32_t generation) {
        window->PostTranslationResult(source, translation, generation);
    };
}

void CompositionManager::CancelCloudRequest() {
    cloudTranslit.Cancel();
    ++cloudGeneration;
}

}  // namespace qorva_tsf
