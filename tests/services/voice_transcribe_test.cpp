#include "services/voice_transcribe.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/services/fake_http_transport.h"

namespace qorva_tsf {
namespace {

using qorva::HttpFailure;
using qorva::testing::FakeHttpTransport;
using ::testing::HasSubstr;

const VoiceServiceEndpoints kEndpoints{
    {"gemini.test", 443, true}, {"speech.test", 443, true}, {"openai.test", 443, true}};

VoiceConfig Config(std::string provider, std::string key = "key-1", std::string model = "m-1",
                   std::string language = "bn") {
    return {std::move(provider), std::move(key), std::move(model), std::move(language)};
}

std::vector<int16_t> Recording(std::size_t samples = 16000) {
    std::vector<int16_t> recording(samples, 0);
    for (std::size_t i = 0; i < samples; ++i)
        recording[i] = static_cast<int16_t>(i % 2 ? 3000 : -3000);
    return recording;
}

class VoiceTranscribeTest : public ::testing::Test {
protected:
    std::string Transcribe(const VoiceConfig& config,
                           const std::vector<int16_t>& samples = Recording()) {
        return Voice_Transcribe(samples, config, &error_, transport_, kEndpoints);
    }

    void Answer(uint32_t status, std::string body) {
        transport_.SetResponder(
            [=](const qorva::HttpRequest&) { return FakeHttpTransport::Reply(status, body); });
    }

    FakeHttpTransport transport_;
    std::wstring error_;
};

TEST_F(VoiceTranscribeTest, EmptyRecordingSendsNothing) {
    for (const char* provider : {"gemini", "google", "openai"}) {
        error_.clear();
        EXPECT_EQ(Transcribe(Config(provider), {}), "");
        EXPECT_EQ(error_, L"nothing was recorded") << provider;
    }
    EXPECT_TRUE(transport_.ConnectAttempts().empty());
}

TEST_F(VoiceTranscribeTest, MissingKeyStopsEveryServiceButGemini) {
    for (const char* provider : {"google", "openai", "Gemini"}) {
        error_.clear();
        EXPECT_EQ(Transcribe(Config(provider, "")), "");
        EXPECT_EQ(error_, L"no API key configured (voice.json)") << provider;
    }
    EXPECT_TRUE(transport_.ConnectAttempts().empty());

    Answer(200, "{\"candidates\":[{\"text\":\"<FINAL_TEXT>x</FINAL_TEXT>\"}]}");
    EXPECT_EQ(Transcribe(Config("gemini", "")), "x");
    ASSERT_EQ(transport_.Requests().size(), 1u);
    EXPECT_EQ(transport_.Requests()[0].request.path, "/v1beta/models/m-1:generateContent?key=");
}

TEST_F(VoiceTranscribeTest, GeminiWithoutModelSendsNothing) {
    EXPECT_EQ(Transcribe(Config("gemini", "k", "")), "");
    EXPECT_EQ(error_, L"no model configured");
    EXPECT_TRUE(transport_.ConnectAttempts().empty());
}

TEST_F(VoiceTranscribeTest, SettingsWithControlCharactersAreNeverSent) {
    const std::pair<VoiceConfig, std::wstring> cases[] = {
        {Config("openai", "k\r\nX-Injected: 1"),
         L"the API key in voice.json holds characters that cannot be sent"},
        {Config("gemini", "k\n"),
         L"the API key in voice.json holds characters that cannot be sent"},
        {Config("google", "k\x7F"),
         L"the API key in voice.json holds characters that cannot be sent"},
        {Config("openai", "k\xC3\xA9"),
         L"the API key in voice.json holds characters that cannot be sent"},
        {Config("openai", "k", "m\r\n--boundary"),
         L"the model in voice.json holds characters that cannot be sent"},
        {Config("gemini", "k", "m\t"),
         L"the model in voice.json holds characters that cannot be sent"},
        {Config("openai", "k", "m", "bn\r\n"),
         L"the language in voice.json holds characters that cannot be sent"}};
    for (const auto& [config, text] : cases) {
        error_.clear();
        EXPECT_EQ(Transcribe(config), "");
        EXPECT_EQ(error_, text) << config.provider;
    }
    EXPECT_TRUE(transport_.ConnectAttempts().empty());
}

TEST_F(VoiceTranscribeTest, EachServiceGetsItsRequestOnItsHost) {
    Answer(200,
           "{\"candidates\":[{\"text\":\"<FINAL_TEXT>a</FINAL_TEXT>\"}],"
           "\"results\":[{\"alternatives\":[{\"transcript\":\"b\"}]}]}");
    EXPECT_EQ(Transcribe(Config("gemini")), "a");
    EXPECT_EQ(Transcribe(Config("google")), "b");
    Answer(200, "{\"text\":\" c \"}");
    EXPECT_EQ(Transcribe(Config("whisper-service")), " c ");
    EXPECT_EQ(error_, L"");

    const auto requests = transport_.Requests();
    ASSERT_EQ(requests.size(), 3u);
    const char* hosts[] = {"gemini.test", "speech.test", "openai.test"};
    const char* paths[] = {"/v1beta/models/m-1:generateContent?key=key-1",
                           "/v1/speech:recognize?key=key-1", "/v1/audio/transcriptions"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(requests[i].session.endpoint.host, hosts[i]);
        EXPECT_EQ(requests[i].session.userAgent, "Qorva/1.0");
        EXPECT_EQ(requests[i].session.timeout, std::chrono::milliseconds(30000));
        EXPECT_EQ(requests[i].request.method, "POST");
        EXPECT_EQ(requests[i].request.path, paths[i]);
        EXPECT_LE(requests[i].request.maxBodyBytes, std::size_t{1} << 20);
    }
    EXPECT_EQ(transport_.OpenConnections(), 0);
}

TEST_F(VoiceTranscribeTest, GeminiGetsTheTrimmedRecordingOthersTheWholeOne) {
    std::vector<int16_t> recording(16000 * 3, 0);
    recording[16000] = 5000;  // loud only at 1 s: 200 ms on each side are kept
    const std::string trimmed = Voice_Base64Encode(
        Voice_BuildWav(std::vector<int16_t>(recording.begin() + 12800, recording.begin() + 19201),
                       16000)
            .data(),
        44 + 6401 * 2);
    const std::vector<uint8_t> whole = Voice_BuildWav(recording, 16000);
    Answer(500, "");
    Transcribe(Config("gemini"), recording);
    Transcribe(Config("google"), recording);
    const auto requests = transport_.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_THAT(requests[0].request.body, HasSubstr("\"data\":\"" + trimmed + "\"}"));
    EXPECT_THAT(
        requests[1].request.body,
        HasSubstr("\"content\":\"" + Voice_Base64Encode(whole.data(), whole.size()) + "\"}"));
}

TEST_F(VoiceTranscribeTest, OpenAiStyleServiceGetsItsOwnDefaultModel) {
    Answer(200, "{\"text\":\"ok\"}");
    Transcribe(VoiceConfig_ParseJson("{\"provider\": \"openai\", \"api_key\": \"sk\"}"));
    ASSERT_EQ(transport_.Requests().size(), 1u);
    EXPECT_THAT(transport_.Requests()[0].request.body,
                HasSubstr("name=\"model\"\r\n\r\nwhisper-1\r\n"));
}

TEST_F(VoiceTranscribeTest, TransportFailuresNameTheStepThatFailed) {
    const std::pair<HttpFailure, std::wstring> connects[] = {
        {HttpFailure::kOpenSession, L"WinHTTP init failed"},
        {HttpFailure::kConnect, L"cannot reach the speech service"}};
    for (const auto& [failure, text] : connects) {
        transport_.FailConnects(failure);
        EXPECT_EQ(Transcribe(Config("google")), "");
        EXPECT_EQ(error_, text);
    }
    transport_.FailConnects(HttpFailure::kNone);
    const std::pair<HttpFailure, std::wstring> sends[] = {
        {HttpFailure::kOpenRequest, L"request creation failed"},
        {HttpFailure::kSendReceive, L"network error while uploading the recording"}};
    for (const auto& [failure, text] : sends) {
        transport_.SetResponder([failure = failure](const qorva::HttpRequest&) {
            return FakeHttpTransport::Failed(failure);
        });
        EXPECT_EQ(Transcribe(Config("gemini")), "");
        EXPECT_EQ(error_, text);
    }
}

TEST_F(VoiceTranscribeTest, RefusedRequestsReportStatusAndMessage) {
    Answer(403, "{\"error\": {\"code\": 403, \"message\": \"API key not valid \\u09AC\"}}");
    EXPECT_EQ(Transcribe(Config("gemini")), "");
    EXPECT_EQ(error_, L"speech service returned HTTP 403: API key not valid \u09AC");
    Answer(500, "{\"error\": {\"message\": \"\"}}");
    EXPECT_EQ(Transcribe(Config("openai")), "");
    EXPECT_EQ(error_, L"speech service returned HTTP 500");
    transport_.SetResponder(
        [](const qorva::HttpRequest&) { return FakeHttpTransport::Reply(0, "{\"text\":\"x\"}"); });
    EXPECT_EQ(Transcribe(Config("openai")), "");
    EXPECT_EQ(error_, L"speech service returned HTTP 0");
}

TEST_F(VoiceTranscribeTest, AnswersWithoutTranscriptAreFailures) {
    Answer(200, "{\"candidates\":[{\"text\":\"<FINAL_TEXT> </FINAL_TEXT>\"}]}");
    EXPECT_EQ(Transcribe(Config("gemini")), "");
    EXPECT_EQ(error_, L"the provider returned no transcript");
    Answer(200, "{\"results\": []}");
    EXPECT_EQ(Transcribe(Config("google")), "");
    EXPECT_EQ(error_, L"the speech service returned no text");
    Answer(200, "not json at all");
    EXPECT_EQ(Transcribe(Config("openai")), "");
    EXPECT_EQ(error_, L"the speech service returned no text");
}

TEST_F(VoiceTranscribeTest, NullErrorPointerIsAllowed) {
    EXPECT_EQ(Voice_Transcribe({}, Config("openai"), nullptr, transport_, kEndpoints), "");
    Answer(404, "{\"message\":\"m\"}");
    EXPECT_EQ(Voice_Transcribe(Recording(), Config("openai"), nullptr, transport_, kEndpoints), "");
    Answer(200, "{\"text\":\"ok\"}");
    EXPECT_EQ(Voice_Transcribe(Recording(), Config("openai"), nullptr, transport_, kEndpoints),
              "ok");
}

#ifndef _WIN32
// The development build has no network stack: the default transport fails like an offline machine.
TEST(VoiceTranscribeOfflineTest, NativeBuildReportsNoConnection) {
    std::wstring error;
    EXPECT_EQ(Voice_Transcribe(Recording(), Config("openai"), &error), "");
    EXPECT_EQ(error, L"cannot reach the speech service");
}
#endif

}  // namespace
}  // namespace qorva_tsf
