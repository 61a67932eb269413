#include "services/voice_input.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/file_size_limit.h"

#include "common/text.h"
#include "services/text_encoding.h"

namespace qorva_tsf {

void PrintTo(const VoiceConfig& config, std::ostream* os) {
    *os << "{provider \"" << config.provider << "\", api_key \"" << config.api_key << "\", model \""
        << config.model << "\", language \"" << config.language << "\"}";
}

namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const VoiceConfig kDefaults{"gemini", "", "gemini-3.6-flash", "bn"};

VoiceConfig With(std::string provider, std::string key, std::string model, std::string language) {
    return {std::move(provider), std::move(key), std::move(model), std::move(language)};
}

struct ParseCase {
    const char* name;
    std::string text;
    VoiceConfig expected;
};

class VoiceConfigParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(VoiceConfigParseTest, ReadsSettingsWithDefaults) {
    EXPECT_EQ(VoiceConfig_ParseJson(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VoiceConfigParseTest,
    ::testing::Values(
        ParseCase{"Empty", "", kDefaults}, ParseCase{"NotJson", "\x01\xff{{{:::\"", kDefaults},
        ParseCase{"AllKeysAnyOrderAndSpacing",
                  "{\"language\":\"en\",\n\t\"model\" :  \"gemini-x\", "
                  "\"api_key\":\r\n\"k1\",\"provider\":\"google\"}",
                  With("google", "k1", "gemini-x", "en")},
        ParseCase{"ProviderLowerCased", "{\"provider\": \"Google\"}",
                  With("google", "", "gemini-3.6-flash", "bn")},
        ParseCase{"EmptyValuesKeepDefaults",
                  "{\"provider\": \"\", \"model\": \"\", \"language\": \"\"}", kDefaults},
        ParseCase{"EmptyApiKeyGivesWayToApiKey", "{\"api_key\": \"\", \"apiKey\": \"k\"}",
                  With("gemini", "k", "gemini-3.6-flash", "bn")},
        ParseCase{"MissingApiKeyGivesWayToApiKey", "{\"apiKey\": \"k\"}",
                  With("gemini", "k", "gemini-3.6-flash", "bn")},
        ParseCase{"ApiKeyWinsOverCamelCase", "{\"apiKey\": \"camel\", \"api_key\": \"snake\"}",
                  With("gemini", "snake", "gemini-3.6-flash", "bn")},
        ParseCase{"NumberValueKeepsDefault", "{\"language\": 5}", kDefaults},
        ParseCase{"UnclosedValueKeepsDefault", "{\"language\": \"en", kDefaults},
        ParseCase{"UnicodeEscape", "{\"language\": \"\\u09AC\"}",
                  With("gemini", "", "gemini-3.6-flash", "\xE0\xA6\xAC")},
        ParseCase{"SurrogatePairEscape", "{\"api_key\": \"\\uD83D\\uDE00\"}",
                  With("gemini", "\xF0\x9F\x98\x80", "gemini-3.6-flash", "bn")},
        ParseCase{"SimpleEscapes", "{\"api_key\": \"a\\\"b\\\\c\\/d\\te\"}",
                  With("gemini", "a\"b\\c/d\te", "gemini-3.6-flash", "bn")},
        // Only the first occurrence of the quoted key counts, even where it stands as a value.
        ParseCase{"FirstOccurrenceOnly", "{\"note\": \"model\", \"size\": 5, \"model\": \"other\"}",
                  kDefaults},
        // Each service has its own default model: a Gemini model name means nothing to the others.
        ParseCase{"OpenAiStyleDefaultModel", "{\"provider\": \"openai\", \"api_key\": \"k\"}",
                  With("openai", "k", "whisper-1", "bn")},
        ParseCase{"UnknownProviderIsOpenAiStyle", "{\"provider\": \"Azure\"}",
                  With("azure", "", "whisper-1", "bn")},
        ParseCase{"OpenAiStyleNamedModel",
                  "{\"provider\": \"openai\", \"model\": \"gpt-4o-transcribe\"}",
                  With("openai", "", "gpt-4o-transcribe", "bn")}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(JsonFindRawStringTest, BrokenStringsFailButKeepWhatWasDecoded) {
    std::string out;
    EXPECT_FALSE(JsonFindRawString("{\"k\": \"ab", "k", out));
    EXPECT_FALSE(JsonFindRawString("{\"k\": \"ab\\", "k", out));
    EXPECT_FALSE(JsonFindRawString("{\"k\": \"ab\\u09", "k", out));
    EXPECT_FALSE(JsonFindRawString("{\"k\" \"ab\"}", "k", out));
    EXPECT_FALSE(JsonFindRawString("{\"k\":", "k", out));
    EXPECT_FALSE(JsonFindRawString("{\"kk\": \"ab\"}", "k", out));
    ASSERT_TRUE(JsonFindRawString("{\"k\"  :\r\n \"\"}", "k", out));
    EXPECT_EQ(out, "");
}

TEST(VoiceConfigPathTest, FindsVoiceJsonInTheDataFolder) {
    EXPECT_EQ(VoiceConfigPath(L"C:\\Users\\a\\AppData\\Roaming\\Pelorin"),
              L"C:\\Users\\a\\AppData\\Roaming\\Pelorin\\voice.json");
    EXPECT_EQ(VoiceConfigPath(L"C:\\Data\\"), L"C:\\Data\\Pelorin\\voice.json");
    EXPECT_EQ(VoiceConfigPath(L"C:\\Data"), L"C:\\Data\\Pelorin\\voice.json");
    EXPECT_EQ(VoiceConfigPath(L""), L"Pelorin\\voice.json");
    EXPECT_EQ(VoiceConfigPath(L"C:\\pelorin"), L"C:\\pelorin\\Pelorin\\voice.json");
}

class VoiceConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::path(::testing::TempDir()) /
                (std::string("voice_config_") + info->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    // The data folder as the programs name it; the code maps its backslashes natively.
    std::wstring DataFolder() const { return qorva::Utf8ToUtf16((root_ / "Pelorin").string()); }
    std::filesystem::path VoiceJson() const { return root_ / "Pelorin" / "voice.json"; }

    void WriteVoiceJson(const std::string& text) const {
        std::filesystem::create_directories(root_ / "Pelorin");
        std::ofstream(VoiceJson(), std::ios::binary) << text;
    }

    std::string ReadVoiceJson() const {
        std::ifstream in(VoiceJson(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path root_;
};

TEST_F(VoiceConfigFileTest, MissingFileGivesDefaults) {
    EXPECT_EQ(VoiceConfig_Load(DataFolder()), kDefaults);
}

TEST_F(VoiceConfigFileTest, MalformedFileGivesDefaultsForWhatItCannotRead) {
    const char text[] = "{\"provider\": \"google\", \"api_key\": 42, \0 \"model\": [\"x\"]";
    WriteVoiceJson(std::string(text, sizeof(text) - 1));
    EXPECT_EQ(VoiceConfig_Load(DataFolder()), With("google", "", "gemini-3.6-flash", "bn"));
}

TEST_F(VoiceConfigFileTest, LoadsUserWrittenFile) {
    WriteVoiceJson(
        "\xEF\xBB\xBF{\r\n  \"provider\": \"OpenAI\",\r\n  \"apiKey\": \"sk-1\"\r\n}\r\n");
    EXPECT_EQ(VoiceConfig_Load(DataFolder()), With("openai", "sk-1", "whisper-1", "bn"));
}

TEST_F(VoiceConfigFileTest, SaveWritesTheFixedLayout) {
    ASSERT_TRUE(VoiceConfig_Save(DataFolder(), With("google", "k", "m", "en")));
    EXPECT_EQ(ReadVoiceJson(),
              "{\n  \"provider\": \"google\",\n  \"api_key\": \"k\",\n  \"model\": \"m\",\n  "
              "\"language\": \"en\"\n}\n");
}

TEST_F(VoiceConfigFileTest, SaveThenLoadGivesTheSameSettingsEvenWithQuotesAndBackslashes) {
    const VoiceConfig config =
        With("openai", "a\"b\\c\td", "model \"x\"", "\xE0\xA6\xAC\xE0\xA6\xBE");
    ASSERT_TRUE(VoiceConfig_Save(DataFolder(), config));
    EXPECT_EQ(VoiceConfig_Load(DataFolder()), config);
}

TEST_F(VoiceConfigFileTest, SaveIntoOtherFolderUsesItsDataSubfolder) {
    const std::wstring folder = qorva::Utf8ToUtf16(root_.string());
    ASSERT_TRUE(VoiceConfig_Save(folder, kDefaults));
    EXPECT_TRUE(std::filesystem::exists(VoiceJson()));
    EXPECT_EQ(VoiceConfig_Load(folder), kDefaults);
}

TEST_F(VoiceConfigFileTest, SaveFailsWhenTheFolderCannotBeMade) {
    std::ofstream(root_ / "blocker") << "a file, not a folder";
    EXPECT_FALSE(
        VoiceConfig_Save(qorva::Utf8ToUtf16((root_ / "blocker" / "Pelorin").string()), kDefaults));
}

#ifndef _WIN32
// The disk fills up while the settings are saved (a file-size limit stands in
// for a full disk): the old file, with the user's API key, stays whole.
TEST_F(VoiceConfigFileTest, SaveThatRunsOutOfRoomKeepsTheOldSettings) {
    WriteVoiceJson("{\"provider\": \"openai\", \"api_key\": \"sk-kept\"}");
    {
        const qorva_test::FileSizeLimit fullDisk(64);
        EXPECT_FALSE(VoiceConfig_Save(DataFolder(), With("gemini", "sk-new", "m", "bn")));
    }
    EXPECT_EQ(VoiceConfig_Load(DataFolder()).api_key, "sk-kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_ / "Pelorin"),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left beside it";
}
#endif

std::vector<int16_t> QuietWithLoudAt(std::size_t count, std::vector<std::size_t> loud) {
    std::vector<int16_t> samples(count, 0);
    for (std::size_t i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(i % 2 ? 399 : -399);
    for (std::size_t i : loud) samples[i] = 400;
    return samples;
}

std::vector<int16_t> Slice(const std::vector<int16_t>& samples, std::size_t from, std::size_t to) {
    return std::vector<int16_t>(samples.begin() + static_cast<long>(from),
                                samples.begin() + static_cast<long>(to) + 1);
}

TEST(VoiceTrimSilenceTest, KeepsMarginsAroundTheLoudPart) {
    const std::vector<int16_t> samples = QuietWithLoudAt(20000, {5000, 10000});
    EXPECT_EQ(Voice_TrimSilence(samples), Slice(samples, 1800, 13200));
    const std::vector<int16_t> early = QuietWithLoudAt(4000, {10});
    EXPECT_EQ(Voice_TrimSilence(early), Slice(early, 0, 3210));
}

TEST(VoiceTrimSilenceTest, ShortOrSilentRecordingsStayUnchanged) {
    const std::vector<int16_t> shortOne = QuietWithLoudAt(1599, {800});
    EXPECT_EQ(Voice_TrimSilence(shortOne), shortOne);
    const std::vector<int16_t> silent = QuietWithLoudAt(32000, {});
    EXPECT_EQ(Voice_TrimSilence(silent), silent);
    EXPECT_TRUE(Voice_TrimSilence({}).empty());
}

TEST(VoiceTrimSilenceTest, MostNegativeSampleCountsAsLoud) {
    std::vector<int16_t> samples(10000, 0);
    samples[9000] = -32768;
    EXPECT_EQ(Voice_TrimSilence(samples), Slice(samples, 5800, 9999));
}

TEST(VoiceBuildWavTest, EmptyRecordingIsTheBareHeader) {
    const std::vector<uint8_t> expected = {'R', 'I', 'F',  'F',  36,  0,   0,   0,    'W', 'A', 'V',
                                           'E', 'f', 'm',  't',  ' ', 16,  0,   0,    0,   1,   0,
                                           1,   0,   0x80, 0x3E, 0,   0,   0,   0x7D, 0,   0,   2,
                                           0,   16,  0,    'd',  'a', 't', 'a', 0,    0,   0,   0};
    EXPECT_THAT(Voice_BuildWav({}, 16000), ElementsAreArray(expected));
}

TEST(VoiceBuildWavTest, SamplesFollowLittleEndian) {
    const std::vector<uint8_t> wav = Voice_BuildWav({0x0102, -2, -32768}, 8000);
    ASSERT_EQ(wav.size(), 50u);
    EXPECT_THAT(std::vector<uint8_t>(wav.begin() + 4, wav.begin() + 8),
                ElementsAreArray({42, 0, 0, 0}));
    EXPECT_THAT(std::vector<uint8_t>(wav.begin() + 24, wav.begin() + 32),
                ElementsAreArray({0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0}));
    EXPECT_THAT(std::vector<uint8_t>(wav.begin() + 40, wav.end()),
                ElementsAreArray({6, 0, 0, 0, 0x02, 0x01, 0xFE, 0xFF, 0x00, 0x80}));
}

TEST(VoiceBase64Test, MatchesTheStandardVectors) {
    const std::pair<std::string, std::string> vectors[] = {{"", ""},
                                                           {"f", "Zg=="},
                                                           {"fo", "Zm8="},
                                                           {"foo", "Zm9v"},
                                                           {"foob", "Zm9vYg=="},
                                                           {"fooba", "Zm9vYmE="},
                                                           {"foobar", "Zm9vYmFy"},
                                                           {"\xFB\xFF\xFE", "+//+"},
                                                           {std::string("\0\0", 2), "AAA="}};
    for (const auto& [input, expected] : vectors) {
        EXPECT_EQ(Voice_Base64Encode(reinterpret_cast<const uint8_t*>(input.data()), input.size()),
                  expected)
            << "input of " << input.size() << " bytes";
    }
}

std::string HeaderValue(const qorva::HttpRequest& request, const std::string& name) {
    for (const qorva::HttpHeader& header : request.headers) {
        if (header.name == name) return header.value;
    }
    return "<missing>";
}

TEST(VoiceRequestTest, GeminiRequestCarriesInstructionAndAudio) {
    const qorva::HttpRequest request =
        Voice_BuildGeminiRequest(With("gemini", "AIza-1", "gemini-3.6-flash", "bn"), "UklG");
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/v1beta/models/gemini-3.6-flash:generateContent?key=AIza-1");
    ASSERT_EQ(request.headers.size(), 1u);
    EXPECT_EQ(HeaderValue(request, "Content-Type"), "application/json");
    EXPECT_EQ(
        request.body,
        "{\"contents\":[{\"parts\":[{\"text\":\"You are an ultra-fast Bengali speech to text "
        "transcriber. "
        "Transcribe the audio accurately into Bengali script (Unicode). Do not translate. Return "
        "ONLY the "
        "transcription wrapped between <FINAL_TEXT> and </FINAL_TEXT> tags without any "
        "explanation.\"},"
        "{\"inlineData\":{\"mimeType\":\"audio/wav\",\"data\":\"UklG\"}}]}],\"generationConfig\":"
        "{\"temperature\":0.0,\"maxOutputTokens\":256,\"thinkingConfig\":{\"thinkingBudget\":0}}}");
    EXPECT_LE(request.maxBodyBytes, std::size_t{1} << 20);
}

TEST(VoiceRequestTest, KeyAndModelArePercentEncodedInThePath) {
    EXPECT_EQ(Voice_BuildGeminiRequest(With("gemini", "a&b=c d", "m/x?y", "bn"), "").path,
              "/v1beta/models/m%2Fx%3Fy:generateContent?key=a%26b%3Dc%20d");
    EXPECT_EQ(Voice_BuildGeminiRequest(With("gemini", "", "m", "bn"), "").path,
              "/v1beta/models/m:generateContent?key=");
    EXPECT_EQ(Voice_BuildGoogleRequest(With("google", "k#1", "", "bn"), "").path,
              "/v1/speech:recognize?key=k%231");
}

TEST(VoiceRequestTest, GoogleRequestAsksForTheBangladeshVariantOfTheLanguage) {
    const std::pair<std::string, std::string> languages[] = {{"bn", "bn-BD"},
                                                             {"en", "en-BD"},
                                                             {"bn-IN", "bn-IN-BD"},
                                                             {"", "bn-BD"},
                                                             {"b\"n", "b\\\"n-BD"}};
    for (const auto& [language, code] : languages) {
        const qorva::HttpRequest request =
            Voice_BuildGoogleRequest(With("google", "k", "", language), "AAAA");
        EXPECT_EQ(
            request.body,
            "{\"config\":{\"encoding\":\"LINEAR16\",\"sampleRateHertz\":16000,\"languageCode\":\"" +
                code + "\"},\"audio\":{\"content\":\"AAAA\"}}");
    }
    const qorva::HttpRequest request =
        Voice_BuildGoogleRequest(With("google", "k", "", "bn"), "AAAA");
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(HeaderValue(request, "Content-Type"), "application/json");
}

TEST(VoiceRequestTest, OpenAiRequestIsAMultipartForm) {
    const std::vector<uint8_t> wav = {'R', 0, 0xFF, '\r', '\n'};
    const qorva::HttpRequest request =
        Voice_BuildOpenAiRequest(With("openai", "sk-1", "whisper-1", "bn"), wav);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/v1/audio/transcriptions");
    EXPECT_EQ(HeaderValue(request, "Content-Type"),
              "multipart/form-data; boundary=----QorvaVoiceBoundary7d82");
    EXPECT_EQ(HeaderValue(request, "Authorization"), "Bearer sk-1");
    EXPECT_EQ(request.body,
              "------QorvaVoiceBoundary7d82\r\n"
              "Content-Disposition: form-data; name=\"file\"; filename=\"speech.wav\"\r\n"
              "Content-Type: audio/wav\r\n\r\n" +
                  std::string(wav.begin(), wav.end()) +
                  "\r\n------QorvaVoiceBoundary7d82\r\n"
                  "Content-Disposition: form-data; name=\"model\"\r\n\r\nwhisper-1"
                  "\r\n------QorvaVoiceBoundary7d82\r\n"
                  "Content-Disposition: form-data; name=\"language\"\r\n\r\nbn"
                  "\r\n------QorvaVoiceBoundary7d82--\r\n");
}

TEST(VoiceRequestTest, OpenAiRequestFallsBackToItsOwnModelAndBengali) {
    const qorva::HttpRequest request = Voice_BuildOpenAiRequest(With("openai", "k", "", ""), {});
    EXPECT_THAT(request.body, HasSubstr("name=\"model\"\r\n\r\nwhisper-1\r\n"));
    EXPECT_THAT(request.body, HasSubstr("name=\"language\"\r\n\r\nbn\r\n"));
}

TEST(VoiceRequestTest, OneSecondRecordingMakesAWavPartOfHeaderAndData) {
    const std::vector<uint8_t> wav =
        Voice_BuildWav(std::vector<int16_t>(16000, 7), kVoiceSampleRate);
    const std::string body = Voice_BuildOpenAiRequest(With("openai", "k", "m", "bn"), wav).body;
    const std::string head = "Content-Type: audio/wav\r\n\r\n";
    const std::size_t start = body.find(head) + head.size();
    const std::size_t end = body.find("\r\n------QorvaVoiceBoundary7d82\r\n", start);
    EXPECT_EQ(end - start, 44u + 32000u);
    EXPECT_THAT(body.substr(start, 4), StartsWith("RIFF"));
}

struct FinalTextCase {
    std::string text;
    std::string expected;
};

TEST(VoiceReplyTest, FinalTextIsCutOutOfItsTags) {
    const FinalTextCase cases[] = {
        {"\n<FINAL_TEXT> \xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF </FINAL_TEXT>\n",
         "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF"},
        {"  plain words\t\r\n", "plain words"},
        {"\n<FINAL_TEXT> only the opening ", "<FINAL_TEXT> only the opening"},
        {"<FINAL_TEXT>", "<FINAL_TEXT>"},
        {"<FINAL_TEXT> \n\t </FINAL_TEXT>", ""},
        {"x </FINAL_TEXT> <FINAL_TEXT>y</FINAL_TEXT>", "y"},
        {"", ""}};
    for (const FinalTextCase& c : cases)
        EXPECT_EQ(Voice_ExtractFinalText(c.text), c.expected) << c.text;
}

TEST(VoiceReplyTest, GeminiTranscriptComesFromTheFirstCandidate) {
    std::string out;
    ASSERT_TRUE(Voice_ParseGeminiResponse(
        "{\"text\": \"echo\", \"candidates\": [{\"content\": {\"parts\": [{\"text\": "
        "\"\\n<FINAL_TEXT> \\u0986\\u09AE\\u09BF </FINAL_TEXT>\\n\"}]}}, {\"text\": \"second\"}]}",
        out));
    EXPECT_EQ(out, "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF");
    ASSERT_TRUE(Voice_ParseGeminiResponse("{\"parts\": [{\"text\": \"no candidates key\"}]}", out));
    EXPECT_EQ(out, "no candidates key");
}

TEST(VoiceReplyTest, GeminiRepliesWithoutUsableTextAreRefused) {
    const std::string replies[] = {"", "{\"candidates\": []}", "{\"candidates\": [{\"text\": 5}]}",
                                   "{\"candidates\": [{\"text\": \"<FINAL_TEXT> </FINAL_TEXT>\"}]}",
                                   "{\"candidates\": [{\"text\": \"cut off"};
    for (const std::string& reply : replies) {
        std::string out = "stale";
        EXPECT_FALSE(Voice_ParseGeminiResponse(reply, out)) << reply;
        EXPECT_EQ(out, "") << reply;
    }
}

TEST(VoiceReplyTest, TranscriptKeyDependsOnTheService) {
    const std::string google =
        "{\"results\": [{\"alternatives\": [{\"transcript\": \"first\", \"confidence\": 0.9}]},"
        " {\"alternatives\": [{\"transcript\": \"second\"}]}], \"text\": \"not this\"}";
    std::string out;
    ASSERT_TRUE(Voice_ParseTranscript("google", google, out));
    EXPECT_EQ(out, "first");
    ASSERT_TRUE(Voice_ParseTranscript("openai", "{\"text\": \" \\uD83D\\uDE00 \"}", out));
    EXPECT_EQ(out, " \xF0\x9F\x98\x80 ");
    ASSERT_TRUE(Voice_ParseTranscript("openai", google, out));
    EXPECT_EQ(out, "not this");
}

TEST(VoiceReplyTest, RepliesWithoutTranscriptAreRefused) {
    const std::pair<std::string, std::string> replies[] = {
        {"google", ""},
        {"google", "{}"},
        {"google", "{\"transcript\": \"\"}"},
        {"google", "{\"text\": \"x\"}"},
        {"openai", "{\"text\": null}"},
        {"openai", "{\"error\": {\"message\": \"bad\"}}"}};
    for (const auto& [provider, reply] : replies) {
        std::string out = "stale";
        EXPECT_FALSE(Voice_ParseTranscript(provider, reply, out)) << provider << " " << reply;
        EXPECT_EQ(out, "");
    }
}

}  // namespace
}  // namespace qorva_tsf
