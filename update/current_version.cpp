#include "update/update_service.h"

// Compiled into each deliverable on its own: every program compares releases with its own version.
#ifndef QORVA_DELIVERABLE_VERSION
#error "QORVA_DELIVERABLE_VERSION names the version that releases are compared with"
#endif

namespace qorva {

std::string UpdateService::GetCurrentVersion() { return QORVA_DELIVERABLE_VERSION; }

std::wstring UpdateService::GetCurrentVersionW() {
    const std::string version = GetCurrentVersion();
    return std::wstring(version.begin(), version.end());
}

}  // namespace qorva
