#include "services/voice_capture.h"

#include <cmath>

namespace qorva_tsf {

void VoiceCapture::Restart() {
    samples_.clear();
    capReached_ = false;
    EndRecording();
}

void VoiceCapture::EndRecording() { ResetAutoStop(); }

void VoiceCapture::ResetAutoStop() {
    speechDetected_ = false;
    loudBuffers_ = 0;
    quietBuffers_ = 0;
    autoStopRequested_ = false;
}

void VoiceCapture::AddBuffer(const uint8_t* bytes, std::size_t byteCount) {
    if (byteCount == 0 || capReached_) return;
    const std::size_t held = samples_.size();
    if (held >= kCapSamples) {
        MarkCapReached();
        return;
    }
    std::size_t count = byteCount / 2;
    if (held + count > kCapSamples) {
        count = kCapSamples - held;
        MarkCapReached();
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto low = static_cast<uint16_t>(bytes[2 * i]);
        const auto high = static_cast<uint16_t>(bytes[2 * i + 1]);
        samples_.push_back(static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8))));
    }
    if (count > 0) Measure(held);
}

void VoiceCapture::MarkCapReached() {
    capReached_ = true;
    autoStopRequested_ = true;
}

void VoiceCapture::Measure(std::size_t firstNew) {
    int64_t sumOfSquares = 0;
    for (std::size_t i = firstNew; i < samples_.size(); ++i) {
        sumOfSquares += int64_t{samples_[i]} * samples_[i];
    }
    const auto count = static_cast<int64_t>(samples_.size() - firstNew);
    const auto level = static_cast<int64_t>(std::sqrt(static_cast<double>(sumOfSquares / count)));
    if (level > kLoudLevel) {
        ++loudBuffers_;
        if (loudBuffers_ >= kSpeechBuffers) speechDetected_ = true;
        quietBuffers_ = 0;
    } else if (speechDetected_) {
        ++quietBuffers_;
        if (quietBuffers_ >= kQuietBuffersToStop) autoStopRequested_ = true;
    }
}

}  // namespace qorva_tsf
