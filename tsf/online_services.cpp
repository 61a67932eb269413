#include "tsf/online_services.h"

#include "services/cloud_translit.h"
#include "services/translation_service.h"

namespace qorva_tsf {

OnlineServices DefaultOnlineServices() {
    return {qorva::CreatePlatformHttpTransport(), CloudTranslit_DefaultEndpoint(),
            qorva::DefaultTranslationEndpoint(), Voice_DefaultEndpoints()};
}

}  // namespace qorva_tsf
