#include <windows.h>
#include <shellapi.h>
#include <wincrypt.h>

#include <cstdio>
#include <ctime>

#include "common/file_path.h"
#include "common/folders.h"
#include "common/text.h"
#include "update/installer_download.h"
#include "update/release_check.h"
#include "update/update_cache.h"
#include "update/update_service.h"

namespace qorva {
namespace {

// An installer is large and mirrors can be slow: connecting, sending the request and each wait for
// data are bounded apart. Finding the host is bounded like connecting.
constexpr std::chrono::milliseconds kDownloadConnectTimeout{15000};
constexpr std::chrono::milliseconds kDownloadSendTimeout{30000};
constexpr std::chrono::milliseconds kDownloadReceiveTimeout{60000};
constexpr DWORD kHashChunkBytes = 8192;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

class CryptoHash {
public:
    CryptoHash() {
        if (CryptAcquireContextW(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
            if (!CryptCreateHash(provider_, CALG_SHA_256, 0, 0, &hash_)) hash_ = 0;
        } else {
            provider_ = 0;
        }
    }
    ~CryptoHash() {
        if (hash_) CryptDestroyHash(hash_);
        if (provider_) CryptReleaseContext(provider_, 0);
    }
    CryptoHash(const CryptoHash&) = delete;
    CryptoHash& operator=(const CryptoHash&) = delete;

    bool valid() const { return hash_ != 0; }
    bool Add(const BYTE* data, DWORD size) { return CryptHashData(hash_, data, size, 0) != FALSE; }
    bool HexDigest(std::string& hex) {
        BYTE digest[32];
        DWORD size = sizeof digest;
        if (!CryptGetHashParam(hash_, HP_HASHVAL, digest, &size, 0) || size != sizeof digest)
            return false;
        static const char kHex[] = "0123456789abcdef";
        hex.clear();
        for (const BYTE b : digest) {
            hex += kHex[b >> 4];
            hex += kHex[b & 15];
        }
        return true;
    }

private:
    HCRYPTPROV provider_ = 0;
    HCRYPTHASH hash_ = 0;
};

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    FILE* file = OpenFile(Utf16ToUtf8(path), "rb");
    if (!file) return std::nullopt;
    std::string text;
    char buffer[4096];
    std::size_t read;
    // The cache is a few lines; anything far larger is not ours and is read only in part.
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() < 65536)
        text.append(buffer, read);
    std::fclose(file);
    return text;
}

uint64_t NowEpoch() { return static_cast<uint64_t>(std::time(nullptr)); }

std::optional<std::string> ReadUpdateCache() {
    const std::wstring path = UpdateService::GetUpdateCachePath();
    if (path.empty()) return std::nullopt;
    return ReadWholeFile(path);
}

std::tm LocalTime(uint64_t epoch) {
    const std::time_t when = static_cast<std::time_t>(epoch);
    std::tm local{};
    localtime_s(&local, &when);
    return local;
}

ReleaseCheckCache PlatformCheckCache() {
    return {UpdateService::ShouldCheckOnStartup, UpdateService::RecordCheckTimestamp,
            UpdateService::IsVersionDismissed};
}

bool ShellOpen(const std::wstring& target, const wchar_t* parameters) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", target.c_str(), parameters, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

// Streams installers with WinHTTP into files and hashes them with CryptoAPI.
class PlatformInstallerStore : public InstallerStore {
public:
    explicit PlatformInstallerStore(std::shared_ptr<HttpTransport> transport)
        : transport_(std::move(transport)) {}

    bool Fetch(const std::string& url, const std::wstring& path, const DownloadProgress& progress,
               std::atomic<bool>* cancel, uint64_t& written) override {
        written = 0;
        const std::optional<SplitUrl> split = SplitHttpUrl(url);
        if (!split || path.empty()) return false;
        CreateParentFolder(path);

        HttpSessionOptions options;
        options.endpoint = split->endpoint;
        options.userAgent = "Qorva-AutoUpdater/1.0";
        options.timeout = kDownloadConnectTimeout;
        options.connectTimeout = kDownloadConnectTimeout;
        options.sendTimeout = kDownloadSendTimeout;
        options.receiveTimeout = kDownloadReceiveTimeout;
        HttpConnectResult connected = transport_->Connect(options);
        if (!connected.connection) return false;

        HANDLE file = INVALID_HANDLE_VALUE;
        bool failed = false;
        // WinHTTP's default redirect policy is kept on purpose: it refuses to follow HTTPS to plain
        // HTTP, so nothing fetched without authentication can ever be started as the installer.
        HttpRequest request;
        request.path = split->pathAndQuery;
        request.onBodyData = [&](const char* data, std::size_t size, const HttpResponse& head) {
            if (head.status != 200 || (cancel && cancel->load())) return false;
            if (file == INVALID_HANDLE_VALUE) {
                file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
                if (file == INVALID_HANDLE_VALUE) return !(failed = true);
            }
            DWORD wrote = 0;
            if (!WriteFile(file, data, static_cast<DWORD>(size), &wrote, nullptr) ||
                wrote != size) {
                return !(failed = true);
            }
            written += size;
            if (progress) progress(written, head.contentLength);
            return true;
        };
        const HttpResponse response = connected.connection->Send(request);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);

        // A connection that drops mid-transfer ends the body quietly; only the announced length
        // tells a cut-off installer from a whole one.
        const bool wholeBody = response.contentLength == 0 || written == response.contentLength;
        const bool complete = response.failure == HttpFailure::kNone && response.status == 200 &&
                              !failed && !response.truncated && wholeBody &&
                              !(cancel && cancel->load()) && written != 0;
        if (!complete) Delete(path);
        return complete;
    }

    void Delete(const std::wstring& path) override { DeleteFileW(path.c_str()); }

    bool Sha256Matches(const std::wstring& path, const std::string& expectedHex) override {
        return UpdateService::VerifySha256(path, expectedHex);
    }

    bool Replace(const std::wstring& from, const std::wstring& to) override {
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

private:
    static void CreateParentFolder(const std::wstring& path) {
        const std::size_t slash = path.find_last_of(L"\\/");
        if (slash != std::wstring::npos && slash > 0)
            CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }

    std::shared_ptr<HttpTransport> transport_;
};

}  // namespace

std::unique_ptr<InstallerStore> CreatePlatformInstallerStore(
    std::shared_ptr<HttpTransport> transport) {
    return std::make_unique<PlatformInstallerStore>(std::move(transport));
}

int UpdateService::CheckForUpdate(ReleaseInfo& release, bool manual) {
    const std::shared_ptr<HttpTransport> transport = CreatePlatformHttpTransport();
    return CheckForUpdateUsing(*transport, UpdateEndpoints{}, GetCurrentVersion(),
                               PlatformCheckCache(), release, manual);
}

int UpdateService::DownloadInstaller(const std::string& primaryUrl, const std::string& fallbackUrl,
                                     const std::wstring& destination,
                                     const std::string& expectedSha256, uint64_t expectedSize,
                                     DownloadProgress progress, std::atomic<bool>* cancel) {
    const auto store = CreatePlatformInstallerStore(CreatePlatformHttpTransport());
    return DownloadInstallerUsing(*store, primaryUrl, fallbackUrl, destination, expectedSha256,
                                  expectedSize, progress, cancel);
}

bool UpdateService::VerifySha256(const std::wstring& path, const std::string& expectedHex) {
    if (path.empty() || expectedHex.empty()) return false;
    const std::string expected = NormalizeExpectedSha256(expectedHex);
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return false;
    CryptoHash hash;
    if (!hash.valid()) return false;
    BYTE buffer[kHashChunkBytes];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return false;
        if (read == 0) break;
        if (!hash.Add(buffer, read)) return false;
    }
    std::string actual;
    return hash.HexDigest(actual) && actual == expected;
}

std::wstring UpdateService::GetDefaultInstallerDownloadPath() {
    wchar_t temp[MAX_PATH + 1] = L"";
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder =
        (length > 0 && length <= MAX_PATH) ? std::wstring(temp, length) : std::wstring();
    folder += L"Qorva_Update";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\QorvaSetup.exe";
}

bool UpdateService::LaunchInstaller(const std::wstring& path, bool silent) {
    if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return ShellOpen(path, silent ? L"/silent" : nullptr);
}

bool UpdateService::LaunchOfficialUpdateFlow(const std::string& pageUrl) {
    return ShellOpen(Utf8ToUtf16(pageUrl.empty() ? kMakerReleasePageUrl : pageUrl), nullptr);
}

std::wstring UpdateService::GetAppDataDirectory() { return DataFolder(DataFolderFallback::None); }

std::wstring UpdateService::GetUpdateCachePath() {
    const std::wstring folder = GetAppDataDirectory();
    return folder.empty() ? std::wstring() : folder + L"\\update_cache.json";
}

void UpdateService::RecordCheckTimestamp() {
    const std::wstring path = GetUpdateCachePath();
    if (path.empty()) return;
    WriteWholeFile(Utf16ToUtf8(path),
                   update_cache::Format(update_cache::AfterCheck(ReadWholeFile(path), NowEpoch())));
}

void UpdateService::DismissVersion(const std::string& version) {
    const std::wstring path = GetUpdateCachePath();
    if (path.empty()) return;
    WriteWholeFile(Utf16ToUtf8(path), update_cache::Format(update_cache::AfterDismissal(
                                          ReadWholeFile(path), version, NowEpoch())));
}

bool UpdateService::ShouldCheckOnStartup() {
    return update_cache::IsCheckDue(ReadUpdateCache(), NowEpoch());
}

bool UpdateService::IsVersionDismissed(const std::string& version) {
    return update_cache::IsDismissed(ReadUpdateCache(), version, NowEpoch());
}

std::wstring UpdateService::GetLastCheckTimeString() {
    return Utf8ToUtf16(
        update_cache::LastCheckText(ReadUpdateCache(), LocalTime(NowEpoch()), LocalTime));
}

}  // namespace qorva
