#include "services/http_transport.h"

namespace qorva {
namespace {

// Builds without a platform HTTP stack (the native development build) have no network: every
// connection fails as it would on a machine that is offline.
class OfflineTransport : public HttpTransport {
public:
    HttpConnectResult Connect(const HttpSessionOptions&) override {
        return {nullptr, HttpFailure::kConnect};
    }
};

}  // namespace

std::shared_ptr<HttpTransport> CreatePlatformHttpTransport() {
    return std::make_shared<OfflineTransport>();
}

}  // namespace qorva
