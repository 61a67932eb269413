#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace qorva {

// One release as a release feed describes it. Texts hold the feed's UTF-8 bytes.
struct ReleaseInfo {
    std::string versionText;
    std::string tag;
    std::string title;
    std::string notes;
    std::string downloadUrl;
    std::string pageUrl;
    std::string sha256Hex;
    uint64_t fileSize = 0;
    std::string publishedAt;
    bool isPrerelease = false;
    bool isDraft = false;
};

struct SemVer {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t patch = 0;
    std::string preRelease;

    static SemVer Parse(const std::string& text);
};

// Results of UpdateService::CheckForUpdate.
enum CheckResult : int {
    kCheckUpToDate = 0,
    kCheckNewerRelease = 1,
    kCheckNoConnection = 2,
    kCheckFailed = 3,
};

// Results of UpdateService::DownloadInstaller.
enum DownloadResult : int {
    kDownloadOk = 0,
    kDownloadFailed = 1,
    kDownloadVerificationFailed = 2,
    kDownloadCancelled = 3,
    kDownloadNoDestination = 4,
};

using DownloadProgress = std::function<void(uint64_t written, uint64_t total)>;

// Finds, downloads, verifies and starts releases. Stateless: every function may run on any thread,
// and the blocking ones (check, download) must run on a worker thread.
class UpdateService {
public:
    UpdateService() = delete;

    // -1 when a is older than b, 0 when equal, 1 when a is newer.
    static int CompareVersions(const std::string& a, const std::string& b);
    static std::string GetCurrentVersion();
    static std::wstring GetCurrentVersionW();

    // True when the feed text (one release object or an array of them) holds an acceptable
    // release; the record is written only then.
    static bool ParseReleaseJson(const std::string& text, ReleaseInfo& release,
                                 bool includePrerelease);

    static int CheckForUpdate(ReleaseInfo& release, bool manual);

    static int DownloadInstaller(const std::string& primaryUrl, const std::string& fallbackUrl,
                                 const std::wstring& destination, const std::string& expectedSha256,
                                 uint64_t expectedSize, DownloadProgress progress,
                                 std::atomic<bool>* cancel);
    static bool VerifySha256(const std::wstring& path, const std::string& expectedHex);
    static std::wstring GetDefaultInstallerDownloadPath();
    static bool LaunchInstaller(const std::wstring& path, bool silent);
    static bool LaunchOfficialUpdateFlow(const std::string& pageUrl);

    static std::wstring GetAppDataDirectory();
    static std::wstring GetUpdateCachePath();
    static void RecordCheckTimestamp();
    static void DismissVersion(const std::string& version);
    static bool ShouldCheckOnStartup();
    static bool IsVersionDismissed(const std::string& version);
    static std::wstring GetLastCheckTimeString();
};

}  // namespace qorva
