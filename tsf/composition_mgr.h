// Everything one text service knows about typing: the Latin letters of the open composition, the
// candidate list, the engine, the candidate window and the online clients. One manager belongs to
// each text service; it is initialised when TSF activates the service and shut down when TSF
// deactivates it. All of its work runs on the host application's UI thread.
#pragma once

#include <windows.h>
#include <msctf.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/engine_host.h"
#include "services/cloud_translit.h"
#include "services/translation_service.h"
#include "services/voice_input.h"
#include "services/voice_recorder.h"
#include "tsf/candidate_window.h"
#include "tsf/com_object.h"
#include "tsf/edit_session.h"
#include "tsf/online_services.h"
#include "tsf/voice_result_route.h"

namespace qorva_tsf {

class TextService;

class CompositionManager {
public:
    using ConversionTarget = CandidateWindow::ConversionTarget;

    explicit CompositionManager(TextService* service,
                                const OnlineServices& online = DefaultOnlineServices());
    ~CompositionManager();
    CompositionManager(const CompositionManager&) = delete;
    CompositionManager& operator=(const CompositionManager&) = delete;

    // Lifecycle. Initialize finds the lexicon and the per-user data folder and creates the engine;
    // with a module handle it also sets up the candidate window, the voice settings and the
    // translation worker. It
    // always succeeds: without an engine typed keys simply pass. Shutdown may run twice.
    bool Initialize(HINSTANCE module);
    void Shutdown();

    // Engine settings. Changing auto-correct or the list length rebuilds the engine.
    void SetAutoCorrectEnabled(bool enabled);
    void SetMaxCandidates(uint32_t count);
    void SetPersonalLearningEnabled(bool enabled);
    // The switches of the candidate window, online transliteration and translation consent.
    void SetSuggestionsEnabled(bool enabled);
    void SetCloudTranslitEnabled(bool enabled);
    void SetEnglishTranslationEnabled(bool enabled);
    size_t ClearLearnedData();
    size_t ClearExplicitUserWords();

    // The Latin buffer with A to Z lowered: the key under which a commit learns its word.
    std::string LowerRomanKey() const;

    // Composition update and commit. The context may be null: the list is then computed but nothing
    // is written, shown or requested.
    void UpdateCompositionAndUI(ITfContext* context);
    // Commits the candidate at `index` (or the shown text when the index is outside the list)
    // followed by `suffix`; false when no composition was open.
    bool CommitCurrentComposition(ITfContext* context, size_t index, const std::wstring& suffix);
    bool CancelComposition(ITfContext* context);
    void OnCompositionTerminated(ITfContext* context, ITfComposition* ended);
    void OnFocusLost(ITfContext* context);
    // Inserts text at the selection of the last document typed in; false when there is none.
    bool InsertTextAtCaret(const std::wstring& text);
    // The caret rectangle at the end of the composition (or at the selection without one), in
    // screen coordinates; false when the document gives no non-empty rectangle.
    bool ReadTextExtInSession(TfEditCookie cookie, ITfContext* context, RECT* rect);
    // A click on a candidate row.
    void OnCandidateWindowSelection(size_t index);

    // Key handlers; each returns whether the key is eaten.
    bool OnCharacter(ITfContext* context, char letter);
    bool OnBackspace(ITfContext* context);
    bool OnSpace(ITfContext* context);
    bool OnEnter(ITfContext* context);
    bool OnDigit(ITfContext* context, char digit);
    bool OnNumberSelection(ITfContext* context, int number);
    bool OnBengaliDigit(ITfContext* context, wchar_t digit);
    bool OnPunctuation(ITfContext* context, char mark);
    bool OnArrow(ITfContext* context, bool down);
    bool OnEscape(ITfContext* context);
    bool CanSelectCandidate(char digit) const;

    // Online suggestions and translations, applied on this thread while they are still current.
    void RequestCloudLookup();
    void OnCloudResults(const std::wstring& query, uint32_t generation,
                        const std::vector<std::wstring>& results);
    void OnTranslationResult(const std::wstring& source, const std::wstring& translation,
                             uint32_t generation);
    void DropCloudState();

    // Voice typing: the voice row, recording, and the transcript inserted at the caret.
    void InitVoice();
    void RefreshVoiceRow();
    void ToggleVoice();
    void OnVoiceResult(const std::wstring& text, const std::wstring& error);

    // The conversion target, shared with every other process through the typing-mode block.
    void SyncConversionTargetFromIpc();
    void ToggleConversionTarget();
    void SetConversionTarget(ConversionTarget target);

    bool IsComposing() const { return composing; }
    const std::vector<std::wstring>& Candidates() const { return candidates; }
    // The selected candidate: the candidate window keeps it, also while it is hidden or has no
    // window at all.
    size_t SelectedIndex() const { return candidateWindow.selected; }
    ConversionTarget Target() const { return conversionTarget; }
    const std::string& RomanBuffer() const { return romanBuffer; }
    bool HasEngine() const { return engine != nullptr; }
    const std::string& LexiconPath() const { return engineFiles.lexiconPath; }
    bool IsVoiceBusy() const { return voiceBusy; }
    CandidateWindow& Window() { return candidateWindow; }

private:
    void FindLexicon(HINSTANCE module);
    void PrepareDataFolder();
    void CreateEngine();
    void DestroyEngine();
    void RebuildEngine();
    void InstallCallbacks();

    void BuildBanglaCandidates();
    void BuildEnglishCandidates();
    std::string TransliteratedSentence();
    void ShowCandidatesAtLastCaret();
    HRESULT RunUpdateAction(TfEditCookie cookie, ITfContext* context);
    HRESULT StartComposition(TfEditCookie cookie, ITfContext* context);
    void WriteComposition(TfEditCookie cookie, const std::wstring& text);
    void LearnCommittedText(const std::string& utf8);
    void ResetComposition();
    void CancelCloudRequest();
    EditSessionResult RequestSession(ITfContext* context, EditAction action,
                                     WhenRefused whenRefused, HRESULT initialSessionResult = S_OK);
    EditSessionResult RequestInsertAtSelection(ITfContext* context, const std::wstring& text,
                                               WhenRefused whenRefused,
                                               HRESULT initialSessionResult = S_OK);
    void ApplyTarget(ConversionTarget target);

    std::wstring LatinBuffer() const;
    bool OnlineAllowed() const;
    void ReadFieldPrivacy(ITfContext* context);
    void ShowOnlineList(std::vector<std::wstring> list, const std::wstring& shown);
    void MovePersonalWordFirst(const std::wstring& query, std::vector<std::wstring>& list) const;

    CandidateVoiceState CurrentVoiceState() const;
    RECT VoiceStatusRect() const;
    void ShowVoiceMessage(const std::wstring& message);
    void StopRecordingAndTranscribe();
    void StartRecording();
    bool StartTranscription(std::vector<int16_t> samples);

    TextService* service;
    qorva::EnginePtr engine;
    CandidateWindow candidateWindow;
    bool composing = false;
    std::string romanBuffer;
    std::wstring displayText;
    std::vector<std::wstring> candidates;
    std::vector<char> sentenceBuffer;  // grows with the sentences of the English target
    qorva::EngineFiles engineFiles;
    bool autoCorrect = false;
    uint32_t maxCandidates = 5;
    bool personalLearning = true;
    bool showSuggestions = true;
    RECT caretRect{};
    bool caretRectValid = false;
    CloudTranslit cloudTranslit;
    bool cloudEnabled = false;
    bool applyingCloudResults = false;
    uint32_t cloudGeneration = 0;
    // The field of the open composition declares its text private (a password, a PIN): nothing
    // typed there is sent online.
    bool privateField = false;
    ComPtr<ITfComposition> composition;
    // Held: row clicks and worker results use it after the key that set it.
    ComPtr<ITfContext> lastContext;
    qorva::TranslationService translationService;
    ConversionTarget conversionTarget = ConversionTarget::English;
    bool englishTranslation = true;
    uint32_t translationGeneration = 0;
    VoiceConfig voiceConfig{"gemini", "", "gemini-3.6-flash", "bn"};
    std::shared_ptr<qorva::HttpTransport> onlineTransport;
    VoiceServiceEndpoints voiceEndpoints;
    // Shared with the transcription workers of this activation; closed by Shutdown.
    std::shared_ptr<VoiceResultRoute> voiceRoute;
    std::unique_ptr<VoiceRecorder> recorder;
    bool voiceAvailable = false;
    bool voiceBusy = false;
};

}  // namespace qorva_tsf
