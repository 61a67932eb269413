// The update service's calls as one record of replaceable functions. The programs' update flows
// call through UpdateCallsInUse(), so that their tests put a fake service in place of the network,
// the installer and update_cache.json; nothing else ever changes the record.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "update/update_service.h"

namespace qorva {

struct UpdateCalls {
    std::function<int(ReleaseInfo& release, bool manual)> checkForUpdate;
    std::function<std::wstring()> defaultInstallerDownloadPath;
    std::function<int(const std::string& primaryUrl, const std::string& fallbackUrl,
                      const std::wstring& destination, const std::string& expectedSha256,
                      uint64_t expectedSize, DownloadProgress progress, std::atomic<bool>* cancel)>
        downloadInstaller;
    std::function<bool(const std::wstring& path, bool silent)> launchInstaller;
    std::function<void(const std::string& version)> dismissVersion;
    std::function<bool(const std::string& pageUrl)> launchOfficialUpdateFlow;
};

// The calls of the update service itself. Windows only.
UpdateCalls ServiceUpdateCalls();

// The record the programs call, the service's own until a test replaces it. Replace it only while
// no update flow runs: worker threads take a copy when they start. Windows only.
UpdateCalls& UpdateCallsInUse();

}  // namespace qorva
