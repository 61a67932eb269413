#pragma once

#include <cstdint>

// Production addresses of the update service. Tests replace them through UpdateEndpoints.
namespace qorva {

inline constexpr const char* kMakerHost = "qorva.pelorin.com";
inline constexpr const char* kGitHubApiHost = "api.github.com";
// Serves the installers attached to the repository's releases.
inline constexpr const char* kReleaseDownloadHost = "github.com";
inline constexpr const char* kMakerReleasePageUrl = "https://qorva.pelorin.com/update/";
inline constexpr const char* kMakerInstallerUrl =
    "https://qorva.pelorin.com/downloads/QorvaSetup.exe";

inline constexpr const char* kVersionFeedPath = "/downloads/version.json";
inline constexpr const char* kLatestReleasePath = "/repos/Velkor/qorva/releases/latest";
inline constexpr const char* kRecentReleasesPath = "/repos/Velkor/qorva/releases?per_page=5";
// Followed by the release's tag and "/QorvaSetup.exe".
inline constexpr const char* kReleaseDownloadPath = "/Velkor/qorva/releases/download/";

}  // namespace qorva
