// The wave-in recorder on a machine without a recording device, as the test prefix is.

#include "services/voice_recorder.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qorva_tsf
