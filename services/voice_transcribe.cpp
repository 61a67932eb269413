#include "services/voice_transcribe.h"

#include <chrono>
#include <memory>

#include "common/text.h"

namespace qorva_tsf {
namespace {

constexpr char kUserAgent[] = "Qorva/1.0";
constexpr std::chrono::milliseconds kTimeout(30000);

void SetError(std::wstring* error, const std::wstring& text) {
    if (error) *error = text;
}

bool HasControlCharacter(const std::string& text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return true;
    }
    return false;
}

// Settings go into paths, headers and form fields; a control character there could end a header
// or a form part early and smuggle in text of its own, so such settings are never sent.
bool SettingsAreSendable(const VoiceConfig& config, std::wstring* error) {
    if (HasControlCharacter(config.api_key) || !qorva::HttpHeaderValueIsSafe(config.api_key)) {
        SetError(error, L"the API key in voice.json holds characters that cannot be sent");
        return false;
    }
    if (HasControlCharacter(config.model)) {
        SetError(error, L"the model in voice.json holds characters that cannot be sent");
        return false;
    }
    if (HasControlCharacter(config.language)) {
        SetError(error, L"the language in voice.json holds characters that cannot be sent");
        return false;
    }
    return true;
}

std::wstring FailureText(qorva::HttpFailure failure) {
    switch (failure) {
        case qorva::HttpFailure::kOpenSession: return L"WinHTTP init failed";
        case qorva::HttpFailure::kConnect: return L"cannot reach the speech service";
        case qorva::HttpFailure::kOpenRequest: return L"request creation failed";
        default: return L"network error while uploading the recording";
    }
}

std::wstring StatusText(uint32_t status, const std::string& reply) {
    std::wstring text = L"speech service returned HTTP " + std::to_wstring(status);
    std::string message;
    if (JsonFindRawString(reply, "message", message) && !message.empty()) {
        text += L": " + qorva::Utf8ToUtf16(message);
    }
    return text;
}

// One POST on a connection of its own; true only for status 200, with the reply's body.
bool HttpPost(qorva::HttpTransport& transport, const qorva::HttpEndpoint& endpoint,
              const qorva::HttpRequest& request, std::string& reply, std::wstring* error) {
    reply.clear();
    qorva::HttpConnectResult connected = transport.Connect({endpoint, kUserAgent, kTimeout});
    if (!connected.connection) {
        SetError(error, FailureText(connected.failure == qorva::HttpFailure::kNone
                                        ? qorva::HttpFailure::kConnect
                                        : connected.failure));
        return false;
    }
    qorva::HttpResponse response = connected.connection->Send(request);
    if (response.failure != qorva::HttpFailure::kNone) {
        SetError(error, FailureText(response.failure));
        return false;
    }
    reply = std::move(response.body);
    if (response.status == 200) return true;
    SetError(error, StatusText(response.status, reply));
    return false;
}

}  // namespace

VoiceServiceEndpoints Voice_DefaultEndpoints() {
    return {{"generativelanguage.googleapis.com", 443, true},
            {"speech.googleapis.com", 443, true},
            {"api.openai.com", 443, true}};
}

std::string Voice_Transcribe(const std::vector<int16_t>& samples, const VoiceConfig& config,
                             std::wstring* error) {
    const std::shared_ptr<qorva::HttpTransport> transport = qorva::CreatePlatformHttpTransport();
    return Voice_Transcribe(samples, config, error, *transport, Voice_DefaultEndpoints());
}

std::string Voice_Transcribe(const std::vector<int16_t>& samples, const VoiceConfig& config,
                             std::wstring* error, qorva::HttpTransport& transport,
                             const VoiceServiceEndpoints& endpoints) {
    if (samples.empty()) {
        SetError(error, L"nothing was recorded");
        return std::string();
    }
    if (config.provider == "gemini")
        return Voice_TranscribeGemini(samples, config, error, transport, endpoints.gemini);
    if (config.api_key.empty()) {
        SetError(error, L"no API key configured (voice.json)");
        return std::string();
    }
    if (!SettingsAreSendable(config, error)) return std::string();

    const std::vector<uint8_t> wav = Voice_BuildWav(samples, kVoiceSampleRate);
    const bool google = config.provider == "google";
    const qorva::HttpRequest request =
        google ? Voice_BuildGoogleRequest(config, Voice_Base64Encode(wav.data(), wav.size()))
               : Voice_BuildOpenAiRequest(config, wav);
    std::string reply;
    if (!HttpPost(transport, google ? endpoints.google : endpoints.openAi, request, reply, error)) {
        return std::string();
    }
    std::string transcript;
    if (!Voice_ParseTranscript(config.provider, reply, transcript)) {
        SetError(error, L"the speech service returned no text");
        return std::string();
    }
    return transcript;
}

std::string Voice_TranscribeGemini(const std::vector<int16_t>& samples, const VoiceConfig& config,
                                   std::wstring* error) {
    const std::shared_ptr<qorva::HttpTransport> transport = qorva::CreatePlatformHttpTransport();
    return Voice_TranscribeGemini(samples, config, error, *transport,
                                  Voice_DefaultEndpoints().gemini);
}

std::string Voice_TranscribeGemini(const std::vector<int16_t>& samples, const VoiceConfig& config,
                                   std::wstring* error, qorva::HttpTransport& transport,
                                   const qorva::HttpEndpoint& endpoint) {
    if (config.model.empty()) {
        SetError(error, L"no model configured");
        return std::string();
    }
    if (!SettingsAreSendable(config, error)) return std::string();
    const std::vector<uint8_t> wav = Voice_BuildWav(Voice_TrimSilence(samples), kVoiceSampleRate);
    const std::string base64 = Voice_Base64Encode(wav.data(), wav.size());
    std::string reply;
    if (!HttpPost(transport, endpoint, Voice_BuildGeminiRequest(config, base64), reply, error))
        return std::string();
    std::string transcript;
    if (!Voice_ParseGeminiResponse(reply, transcript)) {
        SetError(error, L"the provider returned no transcript");
        return std::string();
    }
    return transcript;
}

}  // namespace qorva_tsf
