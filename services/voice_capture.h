#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qorva_tsf {

// What the voice recorder keeps of a recording and hears in it: the samples of every buffer that
// comes back from the device, up to 60 s, and the loudness of each buffer, which tells when the
// user has spoken and then stayed quiet long enough for the recording to stop. Not thread-safe:
// the recorder guards it with its lock.
class VoiceCapture {
public:
    static constexpr std::size_t kCapSamples = 960000;  // 60 s at 16 kHz
    // A buffer is loud when its integer RMS level is above this.
    static constexpr int64_t kLoudLevel = 750;
    // Speech: this many loud buffers since the start.
    static constexpr int32_t kSpeechBuffers = 2;
    // The automatic stop: this many quiet buffers after the last loud one, once speech is heard.
    static constexpr int32_t kQuietBuffersToStop = 6;

    // A new recording: no samples (their storage stays), every flag and counter cleared.
    void Restart();
    // Takes one buffer of little-endian 16-bit samples back from the device (an odd last byte is
    // ignored). Stores and measures it up to the cap; the buffer that meets the cap raises the
    // automatic stop, since nothing after it can be kept.
    void AddBuffer(const uint8_t* bytes, std::size_t byteCount);
    // The recording ended: speech, counters and stop request are cleared; samples and the cap stay.
    void EndRecording();
    void ResetAutoStop();

    bool CapReached() const { return capReached_; }
    bool SpeechDetected() const { return speechDetected_; }
    bool AutoStopRequested() const { return autoStopRequested_; }
    const std::vector<int16_t>& Samples() const { return samples_; }

private:
    void MarkCapReached();
    void Measure(std::size_t firstNew);

    std::vector<int16_t> samples_;
    bool capReached_ = false;
    bool speechDetected_ = false;
    int32_t loudBuffers_ = 0;
    int32_t quietBuffers_ = 0;
    bool autoStopRequested_ = false;
};

}  // namespace qorva_tsf
