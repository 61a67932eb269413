// Where a release's installer is downloaded from: the address the release names, else the maker's
// installer; then, should that fail, the installer attached to the release in the repository.
#pragma once

#include <string>

#include "update/update_service.h"

namespace qorva {

struct InstallerAddresses {
    std::string primary;
    std::string fallback;  // empty when the release has no tag to find it by
};

InstallerAddresses InstallerDownloadAddresses(const ReleaseInfo& release);

}  // namespace qorva
