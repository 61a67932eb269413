// Feeds arbitrary bytes, as a server could send them, to every parser of a network reply: the
// translation, online transliteration and speech-to-text replies, and the release feeds. Each
// must return cleanly whatever arrives.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "services/cloud_translit.h"
#include "services/translation_response.h"
#include "services/voice_input.h"
#include "update/release_feed.h"
#include "update/update_service.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);

    std::string text;
    qorva::ParseTranslationResponse(reply, text);
    std::vector<std::string> candidates;
    qorva_tsf::CloudTranslit_ParseGoogleResponse(reply, candidates);
    for (const char* provider : {"gemini", "google", "openai"})
        qorva_tsf::Voice_ParseTranscript(provider, reply, text);
    qorva_tsf::VoiceConfig_ParseJson(reply);

    qorva::ReleaseInfo release;
    qorva::UpdateService::ParseReleaseJson(reply, release, false);
    qorva::UpdateService::ParseReleaseJson(reply, release, true);
    uint64_t number = 0;
    qorva::release_feed::ExtractJsonNumber(reply, "file_size", number);
    qorva::UpdateService::CompareVersions(reply, release.versionText);
    return 0;
}
