// The wave-in recorder under wine: without any recording device, as the test prefix has none, and
// with the silent device that voice_recorder_device_tests provides.

#include "services/voice_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

namespace qorva_tsf {
namespace {

class VoiceRecorderWithoutMicrophoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (waveInGetNumDevs() != 0) GTEST_SKIP() << "this machine has a recording device";
    }
};

TEST_F(VoiceRecorderWithoutMicrophoneTest, StartFailsWithATextForTheUser) {
    VoiceRecorder recorder;
    EXPECT_FALSE(recorder.Start());
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_EQ(recorder.LastError(), L"microphone could not be opened (is one connected?)");
    EXPECT_FALSE(recorder.IsAutoStopRequested());
    EXPECT_FALSE(recorder.HasDetectedSpeech());
    EXPECT_EQ(recorder.SampleCount(), 0u);
}

TEST_F(VoiceRecorderWithoutMicrophoneTest, StopAndRetryAfterAFailedStartAreSafe) {
    VoiceRecorder recorder;
    ASSERT_FALSE(recorder.Start());
    EXPECT_TRUE(recorder.Stop().empty());
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_FALSE(recorder.Start());
    EXPECT_EQ(recorder.LastError(), L"microphone could not be opened (is one connected?)");
}

TEST(VoiceRecorderTest, StopWithoutRecordingReturnsNothing) {
    VoiceRecorder recorder;
    EXPECT_TRUE(recorder.Stop().empty());
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_EQ(recorder.LastError(), L"");
}

// Runs only where the test run provides a recording device (QORVA_TEST_MICROPHONE is set). The
// silent device delivers zeros, faster than real time under wine.
class VoiceRecorderWithDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("QORVA_TEST_MICROPHONE"))
            GTEST_SKIP() << "run by voice_recorder_device_tests";
        ASSERT_GT(waveInGetNumDevs(), 0u) << "the test device is missing";
    }

    // The limit only keeps a broken recorder from hanging the run.
    static bool WaitFor(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(150);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
};

TEST_F(VoiceRecorderWithDeviceTest, RecordsUntilStoppedAndKeepsTheSamples) {
    VoiceRecorder recorder;
    ASSERT_TRUE(recorder.Start()) << std::string(recorder.LastError().begin(),
                                                 recorder.LastError().end());
    EXPECT_TRUE(recorder.IsRecording());
    EXPECT_EQ(recorder.LastError(), L"");
    EXPECT_TRUE(recorder.Start());  // already recording: nothing changes
    ASSERT_TRUE(WaitFor([&] { return recorder.SampleCount() >= 8 * 1600; }));

    const std::vector<int16_t> samples = recorder.Stop();
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_GE(samples.size(), 8u * 1600u);
    EXPECT_EQ(samples.size(), recorder.SampleCount());
    EXPECT_TRUE(
        std::all_of(samples.begin(), samples.end(), [](int16_t sample) { return sample == 0; }));
    EXPECT_FALSE(recorder.HasDetectedSpeech());
    EXPECT_EQ(recorder.Stop(), samples);
}

TEST_F(VoiceRecorderWithDeviceTest, FullRecordingRaisesTheAutomaticStop) {
    VoiceRecorder recorder;
    ASSERT_TRUE(recorder.Start());
    ASSERT_TRUE(WaitFor([&] { return recorder.IsAutoStopRequested(); }));
    EXPECT_TRUE(recorder.IsRecording());
    EXPECT_FALSE(recorder.HasDetectedSpeech());
    EXPECT_EQ(recorder.Stop().size(), 960000u);
    EXPECT_FALSE(recorder.IsAutoStopRequested());

    ASSERT_TRUE(recorder.Start());
    EXPECT_LT(recorder.SampleCount(), 960000u);
    EXPECT_FALSE(recorder.IsAutoStopRequested());
    recorder.Stop();
}

TEST_F(VoiceRecorderWithDeviceTest, DestroyingARunningRecorderStopsIt) {
    auto recorder = std::make_unique<VoiceRecorder>();
    ASSERT_TRUE(recorder->Start());
    ASSERT_TRUE(WaitFor([&] { return recorder->SampleCount() > 0; }));
    recorder.reset();
}

}  // namespace
}  // namespace qorva_tsf
