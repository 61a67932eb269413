#pragma once

// Voice input's portable parts: the voice.json settings, the audio preparation (silence trimming,
// WAV image, Base64) and the requests and replies of the three kinds of speech service.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "services/http_transport.h"

namespace qorva_tsf {

// The recorder's and the services' sample format: 16 kHz, mono, signed 16-bit.
constexpr uint32_t kVoiceSampleRate = 16000;

// The voice settings, UTF-8. A record that no reader filled holds four empty strings.
struct VoiceConfig {
    std::string provider;  // "gemini", "google", anything else: the OpenAI-style service
    std::string api_key;
    std::string model;     // used by the Gemini and the OpenAI-style services
    std::string language;  // "bn"; the Google service gets it with "-BD" appended
};

bool operator==(const VoiceConfig& a, const VoiceConfig& b);

// The model that a service gets when voice.json names none: each service has its own.
std::string Voice_DefaultModel(const std::string& provider);

// Reads voice.json text: provider "gemini", no key, that provider's default model and language
// "bn" unless the text names others. A found but empty provider, model or language keeps its
// default; an empty "api_key" gives way to "apiKey". The provider comes back in lower case.
VoiceConfig VoiceConfig_ParseJson(const std::string& text);
// The settings in the data folder's voice.json; the defaults when it cannot be read.
VoiceConfig VoiceConfig_Load(const std::wstring& folder);
// Writes voice.json in the layout that the reader expects; true when every write succeeded.
bool VoiceConfig_Save(const std::wstring& folder, const VoiceConfig& config);
// The folder's voice.json when the folder is the data folder ("...\Pelorin"), otherwise voice.json
// in the folder's Pelorin subfolder; "Pelorin\voice.json" for an empty folder.
std::wstring VoiceConfigPath(const std::wstring& folder);

// Finds the first textual occurrence of the quoted key (wherever it stands), then the first colon
// after it, and decodes the string value that follows the colon and any white space into UTF-8.
// False when the key or colon is missing, the value is not a string, or the string is broken; no
// later occurrence of the key is tried.
bool JsonFindRawString(const std::string& text, const std::string& key, std::string& out);

// Cuts the quiet lead-in and tail-off, keeping 200 ms of margin on both sides of the first and
// last sample whose magnitude reaches 400. Recordings under 100 ms, or without any such sample,
// come back unchanged.
std::vector<int16_t> Voice_TrimSilence(const std::vector<int16_t>& samples);
// The complete WAV file image (44-byte header, then the samples little-endian) of 16-bit mono
// samples at `sampleRate`.
std::vector<uint8_t> Voice_BuildWav(const std::vector<int16_t>& samples, uint32_t sampleRate);
// Standard Base64 with "=" padding and no line breaks.
std::string Voice_Base64Encode(const uint8_t* data, std::size_t length);

// The requests of the three services. The API key and the model are percent-encoded where they
// stand in a path; callers refuse settings with control characters before building them.
qorva::HttpRequest Voice_BuildGeminiRequest(const VoiceConfig& config,
                                            const std::string& wavBase64);
qorva::HttpRequest Voice_BuildGoogleRequest(const VoiceConfig& config,
                                            const std::string& wavBase64);
qorva::HttpRequest Voice_BuildOpenAiRequest(const VoiceConfig& config,
                                            const std::vector<uint8_t>& wav);

// The Google service's first "transcript" value, any other (OpenAI-style) service's first "text"
// value; false when there is none or it is empty.
bool Voice_ParseTranscript(const std::string& provider, const std::string& reply, std::string& out);
// The first "text" value after "candidates" (or from the start), reduced to what the model wrapped
// in its transcript tags; false when nothing but white space is left.
bool Voice_ParseGeminiResponse(const std::string& reply, std::string& out);
// The text between "<FINAL_TEXT>" and "</FINAL_TEXT>", or the whole text when the pair is not
// there, without surrounding spaces, tabs and line breaks.
std::string Voice_ExtractFinalText(const std::string& text);

}  // namespace qorva_tsf
