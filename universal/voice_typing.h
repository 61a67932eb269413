// Voice typing from the top bar without the window system: what the voice button, the Ctrl+Alt+V
// hot key and the tray entries do (start a recording, or stop it and hand the samples to a
// transcription), the button's three states, and the transcription thread's work once it runs.
// The window side supplies the recorder, the sounds, the thread and the key sending. Portable.
//
// A transcription runs on a detached thread that shares with the bar only the atomic
// `transcribing` flag and the bar window's handle, so a transcript that arrives after the bar is
// gone harms nothing: it is still typed into the window that has the focus.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "services/voice_input.h"
#include "universal/keystrokes.h"

namespace qorva::universal {

using qorva_tsf::VoiceConfig;

// What the voice button shows: a white microphone, a red disc while it listens, a blue disc while
// only a transcription runs.
enum class VoiceButtonState { Idle, Listening, Transcribing };

VoiceButtonState VoiceButtonStateOf(bool recording, bool transcribing);

// The Windows sounds, by alias, that tell the user what voice typing does.
inline constexpr wchar_t kVoiceListeningSound[] = L"SystemQuestion";
inline constexpr wchar_t kVoiceStoppedSound[] = L"SystemAsterisk";
inline constexpr wchar_t kVoiceTypingSound[] = L"SystemDefault";
inline constexpr wchar_t kVoiceFailedSound[] = L"SystemHand";
// The settings program's arguments that send the user to enter an API key.
inline constexpr wchar_t kVoiceSettingsArguments[] = L"-voice";
// A pause between the typing sound and the keys, so the sound is not cut by the application's.
inline constexpr uint32_t kVoiceTypingPauseMs = 60;

using Samples = std::vector<int16_t>;

// What a start or stop asks of the window side.
struct VoiceTypingPorts {
    std::function<VoiceConfig()> loadConfig;  // voice.json of the data folder, read now
    std::function<bool()> startRecording;     // false when the microphone cannot be opened
    std::function<Samples()> stopRecording;
    std::function<void(const wchar_t* alias)> playSystemSound;
    std::function<void(const wchar_t* arguments)> launchSettings;
    // Starts the detached transcription of the samples with this configuration.
    std::function<void(Samples samples, VoiceConfig config)> startTranscription;
    std::function<void()> redrawButton;
};

class VoiceTyping {
public:
    // Starts a recording, or stops the running one and hands its samples to a transcription.
    // Without an API key nothing is recorded and the settings program opens at voice typing; a
    // microphone that cannot be opened changes nothing; a recording without samples goes back to
    // idle without a transcription. A start does not wait for an earlier transcription.
    void Toggle(const VoiceTypingPorts& ports);

    bool Recording() const { return recording; }
    bool Transcribing() const { return transcribing->load(); }
    VoiceButtonState ButtonState() const { return VoiceButtonStateOf(recording, Transcribing()); }
    // The flag the transcription threads clear when they are done.
    std::shared_ptr<std::atomic<bool>> TranscribingFlag() const { return transcribing; }
    // The settings read at the last start.
    const VoiceConfig& Config() const { return config; }
    void SetConfig(VoiceConfig newConfig) { config = std::move(newConfig); }

private:
    void Start(const VoiceTypingPorts& ports);
    void Stop(const VoiceTypingPorts& ports);

    bool recording = false;
    std::shared_ptr<std::atomic<bool>> transcribing = std::make_shared<std::atomic<bool>>(false);
    VoiceConfig config;
};

// What the transcription thread asks of the window side.
struct TranscriptionPorts {
    // The speech service's UTF-8 text; empty when it failed or recognised nothing.
    std::function<std::string(const Samples& samples, const VoiceConfig& config)> transcribe;
    std::function<void(const wchar_t* alias)> playSystemSound;
    std::function<void()> redrawButton;  // nothing once the bar window is gone
    std::function<void(uint32_t milliseconds)> pause;
    std::function<void(const Keystrokes& keys)> send;  // one SendInput call
};

// The transcription thread's work: transcribe, clear `transcribing`, then type the text as it came
// (no space after it, in every typing mode) or sound the failure.
void RunTranscription(const Samples& samples, const VoiceConfig& config,
                      std::atomic<bool>& transcribing, const TranscriptionPorts& ports);

// A transcript as key events: one Unicode press per UTF-16 unit, nothing for an empty text.
Keystrokes TranscriptKeystrokes(const std::wstring& text);

}  // namespace qorva::universal
