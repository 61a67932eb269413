#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "services/http_transport.h"
#include "services/voice_input.h"

namespace qorva_tsf {

// Where the three kinds of speech service are reached.
struct VoiceServiceEndpoints {
    qorva::HttpEndpoint gemini;
    qorva::HttpEndpoint google;
    qorva::HttpEndpoint openAi;
};

// The production services (HTTPS, port 443).
VoiceServiceEndpoints Voice_DefaultEndpoints();

// Turns a finished recording (16 kHz mono) into Bengali UTF-8 text through the service that the
// settings name. Blocks until the service answers or a 30 s time-out passes, so callers run it on
// a thread of their own. On failure the result is empty and `error` (may be null) holds an
// English text for the user; it is left alone on success.
std::string Voice_Transcribe(const std::vector<int16_t>& samples, const VoiceConfig& config,
                             std::wstring* error);
std::string Voice_Transcribe(const std::vector<int16_t>& samples, const VoiceConfig& config,
                             std::wstring* error, qorva::HttpTransport& transport,
                             const VoiceServiceEndpoints& endpoints);

// The Gemini path alone: trimmed recording, Base64 WAV inline, transcript cut out of the tags.
std::string Voice_TranscribeGemini(const std::vector<int16_t>& samples, const VoiceConfig& config,
                                   std::wstring* error);
std::string Voice_TranscribeGemini(const std::vector<int16_t>& samples, const VoiceConfig& config,
                                   std::wstring* error, qorva::HttpTransport& transport,
                                   const qorva::HttpEndpoint& endpoint);

}  // namespace qorva_tsf
