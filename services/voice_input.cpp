#include "services/voice_input.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/file_path.h"
#include "common/folders.h"
#include "common/text.h"
#include "services/json_string.h"
#include "services/text_encoding.h"

namespace qorva_tsf {
namespace {

constexpr char kDefaultProvider[] = "gemini";
constexpr char kDefaultGeminiModel[] = "gemini-3.6-flash";
constexpr char kDefaultOpenAiModel[] = "whisper-1";
constexpr char kDefaultLanguage[] = "bn";

constexpr std::size_t kTrimMinimumSamples = 1600;  // 100 ms
constexpr int kTrimLevel = 400;
constexpr std::size_t kTrimMargin = 3200;  // 200 ms

constexpr std::size_t kMaxConfigBytes = 64 * 1024;

// A transcript is a few kilobytes; anything much larger is not a reply worth reading.
constexpr std::size_t kMaxReplyBytes = std::size_t{1} << 20;

constexpr char kGeminiInstruction[] =
    "You are an ultra-fast Bengali speech to text transcriber. Transcribe the audio accurately "
    "into "
    "Bengali script (Unicode). Do not translate. Return ONLY the transcription wrapped between "
    "<FINAL_TEXT> and </FINAL_TEXT> tags without any explanation.";
constexpr char kMultipartBoundary[] = "----QorvaVoiceBoundary7d82";
constexpr char kOpenTag[] = "<FINAL_TEXT>";
constexpr char kCloseTag[] = "</FINAL_TEXT>";

bool IsJsonSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads the string value of the first quoted `key` at or after `from`.
bool FindStringAfter(const std::string& text, std::size_t from, const std::string& key,
                     std::string& out) {
    const std::string quoted = "\"" + key + "\"";
    const std::size_t keyAt = text.find(quoted, from);
    if (keyAt == std::string::npos) return false;
    std::size_t pos = text.find(':', keyAt + quoted.size());
    if (pos == std::string::npos) return false;
    for (++pos; pos < text.size() && IsJsonSpace(text[pos]); ++pos) {
    }
    if (pos >= text.size() || text[pos] != '"') return false;
    std::size_t end = 0;
    return qorva::DecodeJsonString(text, pos, out, end);
}

void AppendJsonEscaped(const std::string& value, std::string& out) {
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
}

void ReplaceIfNotEmpty(const std::string& text, const char* key, std::string& member) {
    std::string value;
    if (JsonFindRawString(text, key, value) && !value.empty()) member = value;
}

// The UTF-8 path of the shared file helpers; elsewhere than on Windows (the
// development build) the backslashes of the Windows layout become slashes.
std::string FilePath(const std::wstring& path) {
    std::string utf8 = qorva::Utf16ToUtf8(path);
#ifndef _WIN32
    for (char& c : utf8) {
        if (c == '\\') c = '/';
    }
#endif
    return utf8;
}

std::string SaveLine(const char* key, const std::string& value, bool last) {
    std::string line = std::string("  \"") + key + "\": \"";
    AppendJsonEscaped(value, line);
    line += last ? "\"\n" : "\",\n";
    return line;
}

int Magnitude(int16_t sample) { return std::abs(static_cast<int>(sample)); }

void PutLE16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLE32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
}

void PutText(std::vector<uint8_t>& out, const char* text) {
    for (; *text; ++text) out.push_back(static_cast<uint8_t>(*text));
}

qorva::HttpRequest JsonPost(std::string path, std::string body) {
    qorva::HttpRequest request;
    request.method = "POST";
    request.path = std::move(path);
    request.headers = {{"Content-Type", "application/json"}};
    request.body = std::move(body);
    request.maxBodyBytes = kMaxReplyBytes;
    return request;
}

std::string MultipartField(const char* name, const std::string& value) {
    return std::string("\r\n--") + kMultipartBoundary +
           "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value;
}

std::string VoiceTrim(const std::string& text) {
    const char* spaces = " \t\r\n";
    const std::size_t first = text.find_first_not_of(spaces);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(spaces) - first + 1);
}

}  // namespace

bool operator==(const VoiceConfig& a, const VoiceConfig& b) {
    return a.provider == b.provider && a.api_key == b.api_key && a.model == b.model &&
           a.language == b.language;
}

std::string Voice_DefaultModel(const std::string& provider) {
    if (provider == "gemini" || provider == "google") return kDefaultGeminiModel;
    return kDefaultOpenAiModel;
}

bool JsonFindRawString(const std::string& text, const std::string& key, std::string& out) {
    return FindStringAfter(text, 0, key, out);
}

VoiceConfig VoiceConfig_ParseJson(const std::string& text) {
    VoiceConfig config{kDefaultProvider, "", "", kDefaultLanguage};
    ReplaceIfNotEmpty(text, "provider", config.provider);
    std::string apiKey;
    if (JsonFindRawString(text, "api_key", apiKey)) config.api_key = apiKey;
    ReplaceIfNotEmpty(text, "model", config.model);
    ReplaceIfNotEmpty(text, "language", config.language);
    if (config.api_key.empty() && JsonFindRawString(text, "apiKey", apiKey))
        config.api_key = apiKey;
    config.provider = qorva::AsciiLower(config.provider);
    // The default model depends on the service: a Gemini model name means nothing to the others.
    if (config.model.empty()) config.model = Voice_DefaultModel(config.provider);
    return config;
}

std::wstring VoiceConfigPath(const std::wstring& folder) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    if (path.find(qorva::kDataFolderName) == std::wstring::npos)
        path += std::wstring(qorva::kDataFolderName) + L'\\';
    return path + L"voice.json";
}

VoiceConfig VoiceConfig_Load(const std::wstring& folder) {
    std::string text;
    if (std::FILE* file = qorva::OpenFile(FilePath(VoiceConfigPath(folder)), "rb")) {
        char chunk[4096];
        std::size_t read = 0;
        // The settings are a few lines; a huge file is not ours and is read only in part.
        while (text.size() < kMaxConfigBytes &&
               (read = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
            text.append(chunk, read);
        }
        std::fclose(file);
    }
    return VoiceConfig_ParseJson(text);
}

// Written whole through a temporary file: a crash or a full disk midway must
// not cost the user the API key that the old file holds.
bool VoiceConfig_Save(const std::wstring& folder, const VoiceConfig& config) {
    const std::wstring path = VoiceConfigPath(folder);
    const std::size_t slash = path.rfind(L'\\');
    std::error_code ignored;
    std::filesystem::create_directory(
        std::filesystem::u8path(
            FilePath(slash == std::wstring::npos ? path : path.substr(0, slash))),
        ignored);
    // Values are escaped, so any key or model reads back exactly as it was written.
    const std::string text = "{\n" + SaveLine("provider", config.provider, false) +
                             SaveLine("api_key", config.api_key, false) +
                             SaveLine("model", config.model, false) +
                             SaveLine("language", config.language, true) + "}\n";
    return qorva::WriteWholeFile(FilePath(path), text);
}

std::vector<int16_t> Voice_TrimSilence(const std::vector<int16_t>& samples) {
    const std::size_t count = samples.size();
    if (count < kTrimMinimumSamples) return samples;
    std::size_t first = 0;
    while (first < count && Magnitude(samples[first]) < kTrimLevel) ++first;
    if (first == count) return samples;
    std::size_t last = count - 1;
    while (Magnitude(samples[last]) < kTrimLevel) --last;
    const std::size_t from = first >= kTrimMargin ? first - kTrimMargin : 0;
    const std::size_t to = last + kTrimMargin < count ? last + kTrimMargin : count - 1;
    return std::vector<int16_t>(samples.begin() + static_cast<std::ptrdiff_t>(from),
                                samples.begin() + static_cast<std::ptrdiff_t>(to) + 1);
}

std::vector<uint8_t> Voice_BuildWav(const std::vector<int16_t>& samples, uint32_t sampleRate) {
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> wav;
    wav.reserve(44 + static_cast<std::size_t>(dataBytes));
    PutText(wav, "RIFF");
    PutLE32(wav, dataBytes + 36);
    PutText(wav, "WAVE");
    PutText(wav, "fmt ");
    PutLE32(wav, 16);
    PutLE16(wav, 1);  // PCM
    PutLE16(wav, 1);  // mono
    PutLE32(wav, sampleRate);
    PutLE32(wav, sampleRate * 2);
    PutLE16(wav, 2);
    PutLE16(wav, 16);
    PutText(wav, "data");
    PutLE32(wav, dataBytes);
    for (int16_t sample : samples) PutLE16(wav, static_cast<uint16_t>(sample));
    return wav;
}

std::string Voice_Base64Encode(const uint8_t* data, std::size_t length) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((length + 2) / 3 * 4);
    for (std::size_t i = 0; i < length; i += 3) {
        const std::size_t left = length - i;
        const uint32_t group = (uint32_t{data[i]} << 16) |
                               (left > 1 ? uint32_t{data[i + 1]} << 8 : 0) |
                               (left > 2 ? uint32_t{data[i + 2]} : 0);
        out += kAlphabet[(group >> 18) & 0x3F];
        out += kAlphabet[(group >> 12) & 0x3F];
        out += left > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=';
        out += left > 2 ? kAlphabet[group & 0x3F] : '=';
    }
    return out;
}

qorva::HttpRequest Voice_BuildGeminiRequest(const VoiceConfig& config,
                                            const std::string& wavBase64) {
    const std::string body =
        std::string("{\"contents\":[{\"parts\":[{\"text\":\"") + kGeminiInstruction +
        "\"},{\"inlineData\":{\"mimeType\":\"audio/wav\",\"data\":\"" + wavBase64 +
        "\"}}]}],\"generationConfig\":{\"temperature\":0.0,\"maxOutputTokens\":256,"
        "\"thinkingConfig\":{\"thinkingBudget\":0}}}";
    return JsonPost("/v1beta/models/" + qorva::PercentEncode(config.model) +
                        ":generateContent?key=" + qorva::PercentEncode(config.api_key),
                    body);
}

qorva::HttpRequest Voice_BuildGoogleRequest(const VoiceConfig& config,
                                            const std::string& wavBase64) {
    std::string body =
        "{\"config\":{\"encoding\":\"LINEAR16\",\"sampleRateHertz\":16000,\"languageCode\":\"";
    AppendJsonEscaped(config.language.empty() ? std::string(kDefaultLanguage) : config.language,
                      body);
    body += "-BD\"},\"audio\":{\"content\":\"" + wavBase64 + "\"}}";
    return JsonPost("/v1/speech:recognize?key=" + qorva::PercentEncode(config.api_key),
                    std::move(body));
}

qorva::HttpRequest Voice_BuildOpenAiRequest(const VoiceConfig& config,
                                            const std::vector<uint8_t>& wav) {
    qorva::HttpRequest request;
    request.method = "POST";
    request.path = "/v1/audio/transcriptions";
    request.headers = {
        {"Content-Type", std::string("multipart/form-data; boundary=") + kMultipartBoundary},
        {"Authorization", "Bearer " + config.api_key}};
    std::string& body = request.body;
    body = std::string("--") + kMultipartBoundary +
           "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"speech.wav\"\r\n"
           "Content-Type: audio/wav\r\n\r\n";
    body.append(wav.begin(), wav.end());
    body += MultipartField("model",
                           config.model.empty() ? std::string(kDefaultOpenAiModel) : config.model);
    body += MultipartField(
        "language", config.language.empty() ? std::string(kDefaultLanguage) : config.language);
    body += std::string("\r\n--") + kMultipartBoundary + "--\r\n";
    request.maxBodyBytes = kMaxReplyBytes;
    return request;
}

bool Voice_ParseTranscript(const std::string& provider, const std::string& reply,
                           std::string& out) {
    out.clear();
    if (reply.empty()) return false;
    std::string value;
    if (!JsonFindRawString(reply, provider == "google" ? "transcript" : "text", value) ||
        value.empty()) {
        return false;
    }
    out = std::move(value);
    return true;
}

bool Voice_ParseGeminiResponse(const std::string& reply, std::string& out) {
    out.clear();
    if (reply.empty()) return false;
    const std::size_t candidates = reply.find("\"candidates\"");
    std::string value;
    if (!FindStringAfter(reply, candidates == std::string::npos ? 0 : candidates, "text", value))
        return false;
    std::string transcript = Voice_ExtractFinalText(value);
    if (transcript.empty()) return false;
    out = std::move(transcript);
    return true;
}

std::string Voice_ExtractFinalText(const std::string& text) {
    const std::size_t open = text.find(kOpenTag);
    const std::size_t inner = open == std::string::npos ? open : open + sizeof(kOpenTag) - 1;
    if (inner != std::string::npos && inner < text.size()) {
        const std::size_t close = text.find(kCloseTag, inner);
        if (close != std::string::npos) return VoiceTrim(text.substr(inner, close - inner));
    }
    return VoiceTrim(text);
}

}  // namespace qorva_tsf
