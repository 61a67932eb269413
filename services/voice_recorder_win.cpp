#include "services/voice_recorder.h"

#include <system_error>

namespace qorva_tsf {
namespace {

WAVEFORMATEX CaptureFormat() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 16000;
    format.nAvgBytesPerSec = 32000;
    format.nBlockAlign = 2;
    format.wBitsPerSample = 16;
    format.cbSize = 0;
    return format;
}

}  // namespace

VoiceRecorder::~VoiceRecorder() {
    bool open = false;
    {
        std::lock_guard<std::mutex> lock(lock_);
        open = device_ != nullptr;
    }
    if (open) Stop();
    if (bufferEvent_) CloseHandle(bufferEvent_);
}

bool VoiceRecorder::Start() {
    std::lock_guard<std::mutex> lock(lock_);
    if (recording_) return true;
    capture_.Restart();
    lastError_.clear();
    stopping_ = false;
    workerQuit_ = false;

    if (!bufferEvent_) bufferEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    WAVEFORMATEX format = CaptureFormat();
    HWAVEIN device = nullptr;
    if (!bufferEvent_ ||
        waveInOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferEvent_), 0,
                   CALLBACK_EVENT) != MMSYSERR_NOERROR ||
        !device) {
        return FailStart(L"microphone could not be opened (is one connected?)", 0);
    }
    device_ = device;

    for (int i = 0; i < kBufferCount; ++i) {
        buffers_[i].assign(kBufferBytes, 0);
        headers_[i] = WAVEHDR{};
        headers_[i].lpData = buffers_[i].data();
        headers_[i].dwBufferLength = kBufferBytes;
        if (waveInPrepareHeader(device_, &headers_[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            return FailStart(L"microphone buffer setup failed", i);
        }
        if (!QueueBuffer(i)) return FailStart(L"microphone buffer setup failed", i + 1);
    }

    if (waveInStart(device_) != MMSYSERR_NOERROR)
        return FailStart(L"recording could not start", kBufferCount);
    try {
        // Waits for the lock until this Start returns.
        worker_ = std::thread(&VoiceRecorder::WorkerMain, this);
    } catch (const std::system_error&) {
        return FailStart(L"recording could not start", kBufferCount);
    }
    recording_ = true;
    return true;
}

bool VoiceRecorder::FailStart(const wchar_t* error, int preparedHeaders) {
    lastError_ = error;
    if (device_) CloseDevice(preparedHeaders);
    return false;
}

// Takes queued buffers back before unpreparing them: the device cannot be closed while it
// still holds buffers.
void VoiceRecorder::CloseDevice(int preparedHeaders) {
    waveInReset(device_);
    for (int i = 0; i < preparedHeaders; ++i)
        waveInUnprepareHeader(device_, &headers_[i], sizeof(WAVEHDR));
    waveInClose(device_);
    device_ = nullptr;
    queued_.clear();
}

bool VoiceRecorder::QueueBuffer(int index) {
    headers_[index].dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    if (waveInAddBuffer(device_, &headers_[index], sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
        return false;
    queued_.push_back(index);
    return true;
}

std::vector<int16_t> VoiceRecorder::Stop() {
    std::unique_lock<std::mutex> lock(lock_);
    if (!device_) {
        recording_ = false;
        return capture_.Samples();
    }
    // The device hands every queued buffer back on reset; the worker needs the lock to take them,
    // so the device is worked without it.
    stopping_ = true;
    HWAVEIN device = device_;
    lock.unlock();
    waveInStop(device);
    waveInReset(device);
    lock.lock();
    workerQuit_ = true;
    lock.unlock();
    SetEvent(bufferEvent_);
    if (worker_.joinable()) worker_.join();
    for (WAVEHDR& header : headers_) waveInUnprepareHeader(device, &header, sizeof(WAVEHDR));
    waveInClose(device);
    lock.lock();
    // Whatever the device handed back after the worker's last look still belongs to the recording.
    TakeFinishedBuffers();
    device_ = nullptr;
    queued_.clear();
    recording_ = false;
    stopping_ = false;
    capture_.EndRecording();
    return capture_.Samples();
}

void VoiceRecorder::WorkerMain() {
    for (;;) {
        WaitForSingleObject(bufferEvent_, INFINITE);
        std::lock_guard<std::mutex> lock(lock_);
        TakeFinishedBuffers();
        if (workerQuit_) return;
    }
}

// Buffers come back in the order they were queued; taking them in that order keeps the samples
// in capture order.
void VoiceRecorder::TakeFinishedBuffers() {
    while (!queued_.empty() && (headers_[queued_.front()].dwFlags & WHDR_DONE)) {
        const int index = queued_.front();
        queued_.pop_front();
        OnBuffer(index);
    }
}

void VoiceRecorder::OnBuffer(int index) {
    const WAVEHDR& header = headers_[index];
    const DWORD recorded =
        header.dwBytesRecorded <= kBufferBytes ? header.dwBytesRecorded : kBufferBytes;
    capture_.AddBuffer(reinterpret_cast<const uint8_t*>(header.lpData), recorded);
    if (!stopping_ && device_ && !capture_.CapReached()) QueueBuffer(index);
}

bool VoiceRecorder::IsRecording() const {
    std::lock_guard<std::mutex> lock(lock_);
    return recording_;
}

bool VoiceRecorder::IsAutoStopRequested() const {
    std::lock_guard<std::mutex> lock(lock_);
    return capture_.AutoStopRequested();
}

bool VoiceRecorder::HasDetectedSpeech() const {
    std::lock_guard<std::mutex> lock(lock_);
    return capture_.SpeechDetected();
}

void VoiceRecorder::ResetAutoStop() {
    std::lock_guard<std::mutex> lock(lock_);
    capture_.ResetAutoStop();
}

uint64_t VoiceRecorder::SampleCount() const {
    std::lock_guard<std::mutex> lock(lock_);
    return capture_.Samples().size();
}

std::wstring VoiceRecorder::LastError() const {
    std::lock_guard<std::mutex> lock(lock_);
    return lastError_;
}

}  // namespace qorva_tsf
