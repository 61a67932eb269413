#include "update/installer_addresses.h"

#include "update/update_endpoints.h"

namespace qorva {

InstallerAddresses InstallerDownloadAddresses(const ReleaseInfo& release) {
    InstallerAddresses addresses;
    addresses.primary = release.downloadUrl.empty() ? kMakerInstallerUrl : release.downloadUrl;
    // Without a tag the repository path names no release: a certain failure, not a fallback.
    if (!release.tag.empty()) {
        addresses.fallback = std::string("https://") + kReleaseDownloadHost + kReleaseDownloadPath +
                             release.tag + "/QorvaSetup.exe";
    }
    return addresses;
}

}  // namespace qorva
