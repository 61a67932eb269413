#include "universal/voice_typing.h"

#include "common/text.h"

namespace qorva::universal {

VoiceButtonState VoiceButtonStateOf(bool recording, bool transcribing) {
    if (recording) return VoiceButtonState::Listening;
    return transcribing ? VoiceButtonState::Transcribing : VoiceButtonState::Idle;
}

void VoiceTyping::Toggle(const VoiceTypingPorts& ports) {
    if (recording) {
        Stop(ports);
    } else {
        Start(ports);
    }
}

void VoiceTyping::Start(const VoiceTypingPorts& ports) {
    // Read at every start, so that a key entered meanwhile counts at once.
    config = ports.loadConfig();
    if (config.api_key.empty()) {
        ports.playSystemSound(kVoiceFailedSound);
        ports.launchSettings(kVoiceSettingsArguments);
        return;
    }
    if (!ports.startRecording()) return;
    recording = true;
    ports.playSystemSound(kVoiceListeningSound);
    ports.redrawButton();
}

void VoiceTyping::Stop(const VoiceTypingPorts& ports) {
    Samples samples = ports.stopRecording();
    recording = false;
    transcribing->store(true);
    ports.redrawButton();
    ports.playSystemSound(kVoiceStoppedSound);
    if (samples.empty()) {
        transcribing->store(false);
        ports.redrawButton();
        return;
    }
    ports.startTranscription(std::move(samples), config);
}

void RunTranscription(const Samples& samples, const VoiceConfig& config,
                      std::atomic<bool>& transcribing, const TranscriptionPorts& ports) {
    const std::wstring text = Utf8ToUtf16(ports.transcribe(samples, config));
    transcribing.store(false);
    ports.redrawButton();
    if (text.empty()) {
        ports.playSystemSound(kVoiceFailedSound);
        return;
    }
    ports.playSystemSound(kVoiceTypingSound);
    ports.pause(kVoiceTypingPauseMs);
    ports.send(TranscriptKeystrokes(text));
}

Keystrokes TranscriptKeystrokes(const std::wstring& text) {
    Keystrokes keys;
    AppendUnicode(keys, text);
    return keys;
}

}  // namespace qorva::universal
