#pragma once

// Wave-in voice recording for voice typing (Windows only).

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "services/voice_capture.h"

namespace qorva_tsf {

// Records 16 kHz mono 16-bit speech from the default recording device through eight rotating
// 100 ms buffers. While it records it raises its automatic-stop request once the user has spoken
// and then stayed quiet for 600 ms, or once the 60 s cap is full; it never stops by itself.
//
// The device signals an event when it hands a buffer back, and a worker thread of the recorder
// takes the buffer and queues it again: the wave-in functions must not be called from the
// device's own callback, where they can deadlock. One mutex guards the recorder; the owner's
// thread and the worker meet only under it.
class VoiceRecorder {
public:
    VoiceRecorder() = default;
    // Stops a running recording first.
    ~VoiceRecorder();
    VoiceRecorder(const VoiceRecorder&) = delete;
    VoiceRecorder& operator=(const VoiceRecorder&) = delete;

    // Begins a new recording, discarding the previous one; true at once, changing nothing, while
    // one runs. False with LastError set when the device cannot be opened, given its buffers or
    // started.
    bool Start();
    // Ends the recording and returns a copy of every sample kept (at most 60 s), the last partly
    // filled buffer included. The recorder keeps its samples until the next Start. Safe to call
    // when nothing records.
    std::vector<int16_t> Stop();

    bool IsRecording() const;
    bool IsAutoStopRequested() const;
    bool HasDetectedSpeech() const;
    void ResetAutoStop();
    uint64_t SampleCount() const;
    // The text of the last failed Start, for the user; empty after a successful one.
    std::wstring LastError() const;

private:
    static constexpr int kBufferCount = 8;
    static constexpr DWORD kBufferBytes = 3200;  // 1600 samples, 100 ms

    bool FailStart(const wchar_t* error, int preparedHeaders);
    void CloseDevice(int preparedHeaders);
    bool QueueBuffer(int index);
    void WorkerMain();
    void TakeFinishedBuffers();
    void OnBuffer(int index);

    HWAVEIN device_ = nullptr;
    HANDLE bufferEvent_ = nullptr;  // signalled by the device whenever it hands a buffer back
    std::thread worker_;
    bool workerQuit_ = false;
    std::array<WAVEHDR, kBufferCount> headers_{};
    std::array<std::vector<char>, kBufferCount> buffers_;
    std::deque<int> queued_;  // buffers with the device, in the order they were queued
    VoiceCapture capture_;
    bool recording_ = false;
    bool stopping_ = false;  // set while Stop works the device: no buffer is queued again
    std::wstring lastError_;
    mutable std::mutex lock_;
};

}  // namespace qorva_tsf
