// Where the input processor's online helpers send their requests: online transliteration,
// translation and the speech services. The programs use the production services; tests point them
// at a server of their own on the loopback interface.
#pragma once

#include <memory>

#include "services/http_transport.h"
#include "services/voice_transcribe.h"

namespace qorva_tsf {

struct OnlineServices {
    std::shared_ptr<qorva::HttpTransport> transport;
    qorva::HttpEndpoint transliteration;
    qorva::HttpEndpoint translation;
    VoiceServiceEndpoints voice;
};

// The platform's transport and the production endpoints.
OnlineServices DefaultOnlineServices();

}  // namespace qorva_tsf
