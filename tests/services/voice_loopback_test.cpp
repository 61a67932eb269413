// The speech clients over WinHTTP and real TLS against the loopback server, under wine: exactly
// what each service receives, and what the user is told for its answers.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/http_transport.h"
#include "services/voice_input.h"
#include "services/voice_transcribe.h"
#include "tests/support/loopback_server_client.h"

namespace qorva_tsf {
namespace {

using qorva::testing::LoopbackRequest;
using qorva::testing::LoopbackServerTest;
using ::testing::HasSubstr;

class VoiceLoopbackTest : public LoopbackServerTest {
protected:
    void SetUp() override { seen_ = Server().Requests().size(); }

    std::string Transcribe(const VoiceConfig& config) {
        error_.clear();
        const auto transport = qorva::CreatePlatformHttpTransport();
        const VoiceServiceEndpoints endpoints{Server().Https(), Server().Https(), Server().Https()};
        return Voice_Transcribe(recording_, config, &error_, *transport, endpoints);
    }

    // The one request the server received since this test began.
    LoopbackRequest OnlyRequest() const {
        const std::vector<LoopbackRequest> all = Server().Requests();
        EXPECT_EQ(all.size(), seen_ + 1);
        return all.size() > seen_ ? all.back() : LoopbackRequest();
    }

    static std::vector<int16_t> SpokenSecond() {
        std::vector<int16_t> samples(16000, 0);
        for (std::size_t i = 6000; i < 10000; ++i)
            samples[i] = static_cast<int16_t>(i % 2 ? 2500 : -2500);
        return samples;
    }

    static std::string Base64Wav(const std::vector<int16_t>& samples) {
        const std::vector<uint8_t> wav = Voice_BuildWav(samples, kVoiceSampleRate);
        return Voice_Base64Encode(wav.data(), wav.size());
    }

    void ExpectCommonHeaders(const LoopbackRequest& request) const {
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.Header("User-Agent"), "Qorva/1.0");
        EXPECT_EQ(request.Header("Content-Length"), std::to_string(request.body.size()));
    }

    std::vector<int16_t> recording_ = SpokenSecond();
    std::wstring error_;
    std::size_t seen_ = 0;
};

TEST_F(VoiceLoopbackTest, GeminiReceivesTrimmedAudioInlineAndAnswersWithTheTaggedText) {
    EXPECT_EQ(
        Transcribe({"gemini", "ok", "gemini-3.6-flash", "bn"}),
        "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF \xE0\xA6\xAD\xE0\xA6\xBE\xE0\xA6\xB2\xE0\xA7\x8B "
        "\xE0\xA6\x86\xE0\xA6\x9B\xE0\xA6\xBF");
    EXPECT_EQ(error_, L"");

    const LoopbackRequest request = OnlyRequest();
    ExpectCommonHeaders(request);
    EXPECT_EQ(request.target, "/v1beta/models/gemini-3.6-flash:generateContent?key=ok");
    EXPECT_EQ(request.Header("Content-Type"), "application/json");
    const std::vector<int16_t> trimmed(recording_.begin() + 2800, recording_.begin() + 13200);
    EXPECT_EQ(request.body, Voice_BuildGeminiRequest({"gemini", "ok", "gemini-3.6-flash", "bn"},
                                                     Base64Wav(trimmed))
                                .body);
    EXPECT_THAT(request.body,
                HasSubstr("\"inlineData\":{\"mimeType\":\"audio/wav\",\"data\":\"UklGR"));
}

TEST_F(VoiceLoopbackTest, GeminiKeyIsPercentEncodedOnTheWire) {
    EXPECT_EQ(Transcribe({"gemini", "a b&c", "gemini-3.6-flash", "bn"}), "\xE0\xA6\x95");
    EXPECT_EQ(OnlyRequest().target,
              "/v1beta/models/gemini-3.6-flash:generateContent?key=a%20b%26c");
}

TEST_F(VoiceLoopbackTest, GoogleReceivesTheWholeRecordingAsLinear16Json) {
    EXPECT_EQ(Transcribe({"google", "ok", "gemini-3.6-flash", "bn"}),
              "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF");
    EXPECT_EQ(error_, L"");

    const LoopbackRequest request = OnlyRequest();
    ExpectCommonHeaders(request);
    EXPECT_EQ(request.target, "/v1/speech:recognize?key=ok");
    EXPECT_EQ(request.Header("Content-Type"), "application/json");
    EXPECT_EQ(request.body,
              "{\"config\":{\"encoding\":\"LINEAR16\",\"sampleRateHertz\":16000,\"languageCode\":"
              "\"bn-BD\"},"
              "\"audio\":{\"content\":\"" +
                  Base64Wav(recording_) + "\"}}");
}

TEST_F(VoiceLoopbackTest, OpenAiStyleServiceReceivesAMultipartForm) {
    EXPECT_EQ(Transcribe({"openai", "sk-test", "m-ok", "bn"}),
              "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF \xE0\xA6\xAF\xE0\xA6\xBE\xE0\xA6\xAC");
    EXPECT_EQ(error_, L"");

    const LoopbackRequest request = OnlyRequest();
    ExpectCommonHeaders(request);
    EXPECT_EQ(request.target, "/v1/audio/transcriptions");
    EXPECT_EQ(request.Header("Content-Type"),
              "multipart/form-data; boundary=----QorvaVoiceBoundary7d82");
    EXPECT_EQ(request.Header("Authorization"), "Bearer sk-test");
    const std::vector<uint8_t> wav = Voice_BuildWav(recording_, kVoiceSampleRate);
    EXPECT_EQ(request.body,
              "------QorvaVoiceBoundary7d82\r\n"
              "Content-Disposition: form-data; name=\"file\"; filename=\"speech.wav\"\r\n"
              "Content-Type: audio/wav\r\n\r\n" +
                  std::string(wav.begin(), wav.end()) +
                  "\r\n------QorvaVoiceBoundary7d82\r\n"
                  "Content-Disposition: form-data; name=\"model\"\r\n\r\nm-ok"
                  "\r\n------QorvaVoiceBoundary7d82\r\n"
                  "Content-Disposition: form-data; name=\"language\"\r\n\r\nbn"
                  "\r\n------QorvaVoiceBoundary7d82--\r\n");
    EXPECT_EQ(wav.size(), 44u + 32000u);
}

struct FailureCase {
    const char* name;
    VoiceConfig config;
    std::wstring error;
};

class VoiceLoopbackFailureTest : public VoiceLoopbackTest,
                                 public ::testing::WithParamInterface<FailureCase> {};

TEST_P(VoiceLoopbackFailureTest, TellsTheUserWhatWentWrong) {
    EXPECT_EQ(Transcribe(GetParam().config), "");
    EXPECT_EQ(error_, GetParam().error);
    OnlyRequest();
}

INSTANTIATE_TEST_SUITE_P(
    Services, VoiceLoopbackFailureTest,
    ::testing::Values(
        FailureCase{
            "GeminiRefusedKey",
            {"gemini", "refused", "gemini-3.6-flash", "bn"},
            L"speech service returned HTTP 403: API key not valid. Please pass a valid API key."},
        FailureCase{"GeminiMalformedReply",
                    {"gemini", "malformed", "gemini-3.6-flash", "bn"},
                    L"the provider returned no transcript"},
        FailureCase{"GeminiOversizedReply",
                    {"gemini", "huge", "gemini-3.6-flash", "bn"},
                    L"the provider returned no transcript"},
        FailureCase{"GoogleRefusedKey",
                    {"google", "refused", "", "bn"},
                    L"speech service returned HTTP 400: API key not valid."},
        FailureCase{"GoogleEmptyReply",
                    {"google", "malformed", "", "bn"},
                    L"the speech service returned no text"},
        FailureCase{"GoogleDroppedConnection",
                    {"google", "drop", "", "bn"},
                    L"network error while uploading the recording"},
        FailureCase{"OpenAiRefusedKey",
                    {"openai", "sk-bad", "m-refused", "bn"},
                    L"speech service returned HTTP 401: Incorrect API key provided"},
        FailureCase{"OpenAiMalformedReply",
                    {"openai", "sk", "m-malformed", "bn"},
                    L"the speech service returned no text"},
        FailureCase{"OpenAiEmptyTranscript",
                    {"openai", "sk", "m-empty", "bn"},
                    L"the speech service returned no text"},
        FailureCase{"UnknownModelIsNotFound",
                    {"gemini", "ok", "no-such-model", "bn"},
                    L"speech service returned HTTP 404"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(VoiceLoopbackTest, UnsendableSettingsNeverReachTheService) {
    EXPECT_EQ(Transcribe({"openai", "sk\r\nX-Injected: 1", "m-ok", "bn"}), "");
    EXPECT_EQ(error_, L"the API key in voice.json holds characters that cannot be sent");
    EXPECT_EQ(Server().Requests().size(), seen_);
}

}  // namespace
}  // namespace qorva_tsf
