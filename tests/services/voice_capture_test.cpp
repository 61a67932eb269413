#include "services/voice_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qorva_tsf {
namespace {

constexpr std::size_t kBufferSamples = 1600;  // 100 ms, as the recorder's buffers hold

// The bytes of a device buffer whose samples alternate +level and -level: its RMS level is level.
std::vector<uint8_t> Buffer(int level, std::size_t samples = kBufferSamples) {
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i < samples; ++i) {
        const auto value = static_cast<uint16_t>(static_cast<int16_t>(i % 2 ? -level : level));
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    return bytes;
}

constexpr int kLoud = 1000;
constexpr int kQuiet = 100;

void Feed(VoiceCapture& capture, const std::vector<uint8_t>& bytes) {
    capture.AddBuffer(bytes.data(), bytes.size());
}

struct SpeechCase {
    const char* name;
    std::string levels;  // one letter per buffer: L loud, q quiet
    bool speech;
    bool autoStop;
};

class VoiceSpeechDetectionTest : public ::testing::TestWithParam<SpeechCase> {};

TEST_P(VoiceSpeechDetectionTest, FollowsTheLoudnessOfEachBuffer) {
    VoiceCapture capture;
    capture.Restart();
    for (char level : GetParam().levels) Feed(capture, Buffer(level == 'L' ? kLoud : kQuiet));
    EXPECT_EQ(capture.SpeechDetected(), GetParam().speech);
    EXPECT_EQ(capture.AutoStopRequested(), GetParam().autoStop);
    EXPECT_EQ(capture.Samples().size(), GetParam().levels.size() * kBufferSamples);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VoiceSpeechDetectionTest,
    ::testing::Values(SpeechCase{"OneLoudBufferIsNoSpeech", "qqLqq", false, false},
                      SpeechCase{"LoudQuietQuietLoud", "LqqL", true, false},
                      SpeechCase{"QuietBeforeSpeechIsNotCounted", "qqqqqqLL", true, false},
                      SpeechCase{"FiveQuietAfterSpeechRequestNothing", "LLqqqqq", true, false},
                      SpeechCase{"SixthQuietRequestsTheStop", "LLqqqqqq", true, true},
                      SpeechCase{"LoudBufferRestartsTheQuietCount", "LLqqqqqLqqqqq", true, false},
                      SpeechCase{"LoudBufferKeepsARaisedRequest", "LLqqqqqqL", true, true}),
    [](const ::testing::TestParamInfo<SpeechCase>& info) { return std::string(info.param.name); });

TEST(VoiceCaptureTest, LevelAboveSevenHundredFiftyIsLoud) {
    VoiceCapture capture;
    Feed(capture, Buffer(750));
    Feed(capture, Buffer(750));
    EXPECT_FALSE(capture.SpeechDetected());
    Feed(capture, Buffer(751));
    Feed(capture, Buffer(751));
    EXPECT_TRUE(capture.SpeechDetected());
}

TEST(VoiceCaptureTest, KeepsSamplesInOrderAsTheDeviceDeliversThem) {
    VoiceCapture capture;
    const std::vector<uint8_t> bytes = {0x01, 0x02, 0xFF, 0xFF, 0x00, 0x80, 0x7F};  // odd last byte
    Feed(capture, bytes);
    EXPECT_EQ(capture.Samples(), (std::vector<int16_t>{0x0201, -1, -32768}));
}

TEST(VoiceCaptureTest, EmptyOrOneByteBuffersChangeNothing) {
    VoiceCapture capture;
    Feed(capture, Buffer(kLoud));
    Feed(capture, Buffer(kLoud));
    for (int i = 0; i < 5; ++i) Feed(capture, Buffer(kQuiet));
    Feed(capture, {});
    Feed(capture, {0x10});
    EXPECT_EQ(capture.Samples().size(), 7 * kBufferSamples);
    EXPECT_FALSE(capture.AutoStopRequested());
    Feed(capture, Buffer(kQuiet));
    EXPECT_TRUE(capture.AutoStopRequested());
}

TEST(VoiceCaptureTest, BufferReachingTheCapExactlyIsKeptWhole) {
    VoiceCapture capture;
    for (std::size_t i = 0; i < VoiceCapture::kCapSamples / kBufferSamples; ++i)
        Feed(capture, Buffer(kQuiet));
    EXPECT_EQ(capture.Samples().size(), VoiceCapture::kCapSamples);
    EXPECT_FALSE(capture.CapReached());
    EXPECT_FALSE(capture.AutoStopRequested());

    // The next buffer cannot be kept: the recording is full and the owner is told to stop.
    Feed(capture, Buffer(kLoud));
    EXPECT_TRUE(capture.CapReached());
    EXPECT_TRUE(capture.AutoStopRequested());
    EXPECT_EQ(capture.Samples().size(), VoiceCapture::kCapSamples);
}

TEST(VoiceCaptureTest, BufferCrossingTheCapIsCutMeasuredAndStopsTheRecording) {
    VoiceCapture capture;
    Feed(capture, Buffer(kLoud, 1000));
    for (std::size_t i = 0; i < VoiceCapture::kCapSamples / kBufferSamples - 1; ++i)
        Feed(capture, Buffer(kQuiet));
    ASSERT_FALSE(capture.CapReached());
    // 600 samples still fit: they are kept and measured (this loud part is the second loud buffer).
    Feed(capture, Buffer(kLoud));
    EXPECT_EQ(capture.Samples().size(), VoiceCapture::kCapSamples);
    EXPECT_EQ(capture.Samples().back(), -kLoud);
    EXPECT_TRUE(capture.CapReached());
    EXPECT_TRUE(capture.SpeechDetected());
    EXPECT_TRUE(capture.AutoStopRequested());

    // Nothing more is stored or measured.
    Feed(capture, Buffer(kLoud));
    EXPECT_EQ(capture.Samples().size(), VoiceCapture::kCapSamples);
}

TEST(VoiceCaptureTest, ResetAutoStopClearsSpeechAndCounters) {
    VoiceCapture capture;
    for (char level : std::string("LLqqqqqq")) Feed(capture, Buffer(level == 'L' ? kLoud : kQuiet));
    ASSERT_TRUE(capture.AutoStopRequested());
    capture.ResetAutoStop();
    EXPECT_FALSE(capture.AutoStopRequested());
    EXPECT_FALSE(capture.SpeechDetected());
    // One loud buffer after the reset is not yet speech: the loud count started over.
    Feed(capture, Buffer(kLoud));
    EXPECT_FALSE(capture.SpeechDetected());
    EXPECT_EQ(capture.Samples().size(), 9 * kBufferSamples);
}

TEST(VoiceCaptureTest, EndRecordingKeepsSamplesAndCapUntilRestart) {
    VoiceCapture capture;
    Feed(capture, Buffer(kLoud, VoiceCapture::kCapSamples + 1));
    ASSERT_TRUE(capture.CapReached());
    capture.EndRecording();
    EXPECT_TRUE(capture.CapReached());
    EXPECT_FALSE(capture.AutoStopRequested());
    EXPECT_EQ(capture.Samples().size(), VoiceCapture::kCapSamples);

    capture.Restart();
    EXPECT_FALSE(capture.CapReached());
    EXPECT_TRUE(capture.Samples().empty());
    Feed(capture, Buffer(kQuiet));
    EXPECT_EQ(capture.Samples().size(), kBufferSamples);
}

}  // namespace
}  // namespace qorva_tsf
