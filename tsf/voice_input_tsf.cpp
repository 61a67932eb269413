// Voice typing: Ctrl+Alt+V or a click on the voice row starts a recording, the same action stops
// it, and a worker thread sends the samples to the speech service named in voice.json. The
// transcript comes back through the candidate window and is inserted at the caret of the document
// typed in last. The voice row shows what is happening and every message.
#include <windows.h>

#include <memory>
#include <utility>

#include "common/call_guarded.h"
#include "common/folders.h"
#include "common/text.h"
#include "services/voice_transcribe.h"
#include "tsf/composition_mgr.h"
#include "tsf/dll_main.h"

namespace qorva_tsf {

using qorva::CallGuarded;

namespace {

using VoiceState = CandidateVoiceState;

constexpr wchar_t kIdleText[] =
    L"\u09AD\u09AF\u09BC\u09C7\u09B8 \u0987\u09A8\u09AA\u09C1\u099F  (Ctrl+Alt+V)";  // ভয়েস ইনপুট
                                                                                     // (Ctrl+Alt+V)
constexpr wchar_t kListeningText[] =
    L"\u09B6\u09C1\u09A8\u099B\u09BF...  (Ctrl+Alt+V)";  // শুনছি...  (Ctrl+Alt+V)
constexpr wchar_t kTranscribingText[] = L"\u09B2\u09BF\u0996\u099B\u09BF...";  // লিখছি...
constexpr wchar_t kNoApiKeyText[] =
    L"voice.json \u098F API key \u09A6\u09BF\u09A8";  // voice.json এ API key দিন
constexpr wchar_t kNoMicrophoneText[] =
    L"\u09AE\u09BE\u0987\u0995\u09CD\u09B0\u09CB\u09AB\u09CB\u09A8 "
    L"\u09AA\u09BE\u0993\u09AF\u09BC\u09BE \u09AF\u09BE\u09AF\u09BC\u09A8\u09BF";  // মাইক্রোফোন
                                                                                   // পাওয়া যায়নি
constexpr wchar_t kNothingHeardText[] =
    L"\u0995\u09BF\u099B\u09C1 \u09B6\u09C1\u09A8\u09A4\u09C7 "
    L"\u09AA\u09BE\u09B0\u09BF\u09A8\u09BF";  // কিছু শুনতে পারিনি
constexpr wchar_t kNoTextText[] =
    L"\u09B2\u09C7\u0996\u09BE \u0986\u09B8\u09B2\u09CB \u09A8\u09BE";  // লেখা আসলো না

// Where the voice row appears before any caret was read.
constexpr RECT kNoCaretRect = {200, 200, 300, 220};

// What one transcription worker owns; it frees it when it ends.
struct VoiceTranscriptionJob {
    std::shared_ptr<VoiceResultRoute> route;
    std::vector<int16_t> samples;
    VoiceConfig config;
    std::shared_ptr<qorva::HttpTransport> transport;
    VoiceServiceEndpoints endpoints;
    HMODULE pinnedModule;
};

void Transcribe(const VoiceTranscriptionJob& job) {
    std::wstring error;
    const std::string transcript =
        Voice_Transcribe(job.samples, job.config, &error, *job.transport, job.endpoints);
    job.route->Post(qorva::Utf8ToUtf16(transcript), error);
}

// The worker runs this module's code while nothing else may hold the module: it is counted as a
// user of the module, so the host is told not to unload it, and it holds a loader reference that
// it gives up only in the same call that ends the thread, so no instruction of the module runs
// after the module could go.
DWORD WINAPI TranscriptionThread(void* parameter) {
    auto* job = static_cast<VoiceTranscriptionJob*>(parameter);
    const HMODULE pinned = job->pinnedModule;
    CallGuarded([&] { Transcribe(*job); });
    delete job;
    ModuleRelease();
    if (pinned) FreeLibraryAndExitThread(pinned, 0);
    return 0;
}

// A loader reference on the module that holds this code; null when the loader refuses one.
HMODULE PinThisModule() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&TranscriptionThread), &module)) {
        return nullptr;
    }
    return module;
}

const wchar_t* VoiceStateText(VoiceState state) {
    switch (state) {
        case VoiceState::Idle: return kIdleText;
        case VoiceState::Listening: return kListeningText;
        case VoiceState::Transcribing: return kTranscribingText;
        default: return L"";
    }
}

}  // namespace

// voice.json is read once per activation; a changed file takes effect at the next one.
void CompositionManager::InitVoice() {
    const std::wstring folder = qorva::DataFolder(qorva::DataFolderFallback::RelativeDataFolder);
    voiceConfig = VoiceConfig_Load(folder);
    voiceAvailable = !voiceConfig.api_key.empty();
    if (!voiceAvailable || recorder) return;
    recorder = std::make_unique<VoiceRecorder>();
}

CandidateVoiceState CompositionManager::CurrentVoiceState() const {
    if (voiceBusy) return VoiceState::Transcribing;
    if (recorder && recorder->IsRecording()) return VoiceState::Listening;
    if (voiceAvailable) return VoiceState::Idle;
    return VoiceState::Hidden;
}

void CompositionManager::RefreshVoiceRow() {
    const VoiceState state = CurrentVoiceState();
    candidateWindow.SetVoiceState(state, VoiceStateText(state));
}

RECT CompositionManager::VoiceStatusRect() const {
    return caretRectValid ? caretRect : kNoCaretRect;
}

void CompositionManager::ShowVoiceMessage(const std::wstring& message) {
    candidateWindow.SetVoiceState(VoiceState::Idle, message);
    candidateWindow.ShowVoiceStatus(VoiceStatusRect());
}

void CompositionManager::ToggleVoice() {
    if (!voiceAvailable) {
        voiceBusy = false;
        ShowVoiceMessage(kNoApiKeyText);
        return;
    }
    if (!recorder) recorder = std::make_unique<VoiceRecorder>();
    if (recorder->IsRecording()) {
        StopRecordingAndTranscribe();
    } else {
        StartRecording();
    }
}

// An open composition is committed first (its first candidate, without a suffix): the transcript
// goes in after it.
void CompositionManager::StartRecording() {
    if (composing && lastContext) CommitCurrentComposition(lastContext.Get(), 0, std::wstring());
    if (recorder->Start()) {
        RefreshVoiceRow();
        candidateWindow.ShowVoiceStatus(VoiceStatusRect());
        return;
    }
    const std::wstring error = recorder->LastError();
    OnVoiceResult(std::wstring(), error.empty() ? kNoMicrophoneText : error);
}

void CompositionManager::StopRecordingAndTranscribe() {
    std::vector<int16_t> samples = recorder->Stop();
    if (samples.empty()) {
        voiceBusy = false;
        RefreshVoiceRow();
        OnVoiceResult(std::wstring(), kNothingHeardText);
        return;
    }
    voiceBusy = true;
    RefreshVoiceRow();
    if (!StartTranscription(std::move(samples))) OnVoiceResult(std::wstring(), std::wstring());
}

// One detached thread per recording; nothing waits for it. It reaches this activation only
// through the route, which Shutdown closes.
bool CompositionManager::StartTranscription(std::vector<int16_t> samples) {
    if (!voiceRoute || !onlineTransport) return false;
    auto job = std::make_unique<VoiceTranscriptionJob>(
        VoiceTranscriptionJob{voiceRoute, std::move(samples), voiceConfig, onlineTransport,
                              voiceEndpoints, PinThisModule()});
    ModuleAddRef();
    const HANDLE thread = CreateThread(nullptr, 0, TranscriptionThread, job.get(), 0, nullptr);
    if (!thread) {
        ModuleRelease();
        if (job->pinnedModule) FreeLibrary(job->pinnedModule);
        return false;
    }
    job.release();  // the thread owns it now
    CloseHandle(thread);
    return true;
}

void CompositionManager::OnVoiceResult(const std::wstring& text, const std::wstring& error) {
    voiceBusy = false;
    if (text.empty()) {
        ShowVoiceMessage(error.empty() ? kNoTextText : error);
        return;
    }
    const wchar_t last = text.back();
    InsertTextAtCaret(last == L' ' || last == L'\n' ? text : text + L' ');
    RefreshVoiceRow();
    // Outside a composition the idle row has nothing left to show.
    if (!composing && CurrentVoiceState() == VoiceState::Idle) {
        candidateWindow.SetVoiceState(VoiceState::Hidden, std::wstring());
    }
}

}  // namespace qorva_tsf
