// Voice typing from the top bar: the bar's recorder, the Windows sounds that tell the user where
// it stands, and the detached thread that transcribes a recording and types it.
#include <windows.h>
#include <mmsystem.h>

#include <system_error>
#include <thread>

#include "common/call_guarded.h"
#include "services/voice_input.h"
#include "services/voice_transcribe.h"
#include "tsf/gdi_drawing.h"
#include "universal/keystrokes.h"
#include "universal/topbar_window.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

void PlaySystemSound(const wchar_t* alias) {
    PlaySoundW(alias, nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
}

// Shares with the bar only the flag and the window handle: a transcript that arrives after the
// bar is gone is still typed, and only the repaint is skipped.
void Transcribe(Samples samples, VoiceConfig config,
                std::shared_ptr<std::atomic<bool>> transcribing, HWND bar, RECT button,
                VoiceTranscriber transcriber) {
    TranscriptionPorts ports;
    ports.transcribe = std::move(transcriber);
    ports.playSystemSound = PlaySystemSound;
    ports.redrawButton = [bar, button] {
        if (IsWindow(bar)) InvalidateRect(bar, &button, FALSE);
    };
    ports.pause = [](uint32_t milliseconds) { Sleep(milliseconds); };
    // A window of a higher integrity level refuses the keys; nothing tells the user.
    ports.send = [](const Keystrokes& keys) { SendKeystrokes(keys); };
    CallGuarded([&] { RunTranscription(samples, config, *transcribing, ports); });
    // Whatever happened, the button does not stay blue.
    transcribing->store(false);
}

}  // namespace

VoiceTranscriber& VoiceTranscriberInUse() {
    static VoiceTranscriber transcriber = [](const Samples& samples, const VoiceConfig& config) {
        std::wstring error;  // a failure only sounds; the text goes nowhere
        return qorva_tsf::Voice_Transcribe(samples, config, &error);
    };
    return transcriber;
}

void TopBarWindow::LaunchVoiceInput() { voice.Toggle(VoicePorts()); }

void TopBarWindow::CheckVoiceAutoStop() {
    // The recorder heard speech followed by silence, or its time is up.
    if (voice.Recording() && recorder && recorder->IsAutoStopRequested()) LaunchVoiceInput();
}

VoiceTypingPorts TopBarWindow::VoicePorts() {
    const RECT button = qorva_tsf::ToRect(ButtonRect(model.buttons, TopBarButton::Voice));
    VoiceTypingPorts ports;
    ports.loadConfig = [] { return qorva_tsf::VoiceConfig_Load(AppDataDir()); };
    ports.startRecording = [this] {
        if (!recorder) recorder = std::make_unique<qorva_tsf::VoiceRecorder>();
        return recorder->Start();
    };
    ports.stopRecording = [this] { return recorder ? recorder->Stop() : Samples{}; };
    ports.playSystemSound = PlaySystemSound;
    ports.launchSettings = [this](const wchar_t* arguments) { LaunchSettings(arguments); };
    ports.redrawButton = [this, button] {
        if (hwnd) InvalidateRect(hwnd, &button, FALSE);
    };
    ports.startTranscription = [this, button](Samples samples, VoiceConfig config) {
        const std::shared_ptr<std::atomic<bool>> flag = voice.TranscribingFlag();
        try {
            std::thread(Transcribe, std::move(samples), std::move(config), flag, hwnd, button,
                        VoiceTranscriberInUse())
                .detach();
        } catch (const std::system_error&) {
            // No thread: back to idle, as when nothing was recorded.
            flag->store(false);
            if (hwnd) InvalidateRect(hwnd, &button, FALSE);
        }
    };
    return ports;
}

}  // namespace qorva::universal
