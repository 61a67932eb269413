#include <gtest/gtest.h>

#include "update/installer_addresses.h"

namespace qorva {
namespace {

ReleaseInfo Release(std::string downloadUrl, std::string tag) {
    ReleaseInfo release;
    release.downloadUrl = std::move(downloadUrl);
    release.tag = std::move(tag);
    return release;
}

TEST(InstallerDownloadAddresses, ReleaseAddressFirstThenMakerThenRepositoryByTag) {
    const struct {
        ReleaseInfo release;
        const char* primary;
        const char* fallback;
    } cases[] = {
        {Release("https://cdn.example/q.exe", "v1.3.0"), "https://cdn.example/q.exe",
         "https://github.com/Velkor/qorva/releases/download/v1.3.0/QorvaSetup.exe"},
        {Release("", "v1.3.0"), "https://qorva.pelorin.com/downloads/QorvaSetup.exe",
         "https://github.com/Velkor/qorva/releases/download/v1.3.0/QorvaSetup.exe"},
        // No tag names no release in the repository: no fallback rather than a certain 404.
        {Release("", ""), "https://qorva.pelorin.com/downloads/QorvaSetup.exe", ""},
    };
    for (const auto& c : cases) {
        const InstallerAddresses addresses = InstallerDownloadAddresses(c.release);
        EXPECT_EQ(addresses.primary, c.primary);
        EXPECT_EQ(addresses.fallback, c.fallback);
    }
}

}  // namespace
}  // namespace qorva
