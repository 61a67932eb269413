#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "services/http_transport.h"
#include "update/update_service.h"

namespace qorva {

// What the installer download needs of the network and the file system; the platform's
// implementation streams with WinHTTP and hashes with CryptoAPI, tests substitute their own.
class InstallerStore {
public:
    virtual ~InstallerStore() = default;
    // Streams the address into the file; true when at least one byte was stored and the transfer
    // was neither cancelled nor cut short. A failed transfer leaves no file behind.
    virtual bool Fetch(const std::string& url, const std::wstring& path,
                       const DownloadProgress& progress, std::atomic<bool>* cancel,
                       uint64_t& written) = 0;
    virtual void Delete(const std::wstring& path) = 0;
    virtual bool Sha256Matches(const std::wstring& path, const std::string& expectedHex) = 0;
    // Moves the file over the destination, replacing what is there.
    virtual bool Replace(const std::wstring& from, const std::wstring& to) = 0;
};

// Streams with WinHTTP through `transport` (tests pass their own), writes files and hashes with
// CryptoAPI; Windows only.
std::unique_ptr<InstallerStore> CreatePlatformInstallerStore(
    std::shared_ptr<HttpTransport> transport);

// The download with its fallback address and verification. The bytes arrive in a side file that
// takes the destination's name only once size and digest have passed, so the path that the
// installer is started from never holds a partial or unverified file. Returns a DownloadResult.
int DownloadInstallerUsing(InstallerStore& store, const std::string& primaryUrl,
                           const std::string& fallbackUrl, const std::wstring& destination,
                           const std::string& expectedSha256, uint64_t expectedSize,
                           const DownloadProgress& progress, std::atomic<bool>* cancel);

// The side file the download writes before verification.
std::wstring PartialDownloadPath(const std::wstring& destination);

// "sha256:" prefix (lower case only) removed, hex digits lower-cased.
std::string NormalizeExpectedSha256(const std::string& expected);

struct SplitUrl {
    HttpEndpoint endpoint;
    std::string pathAndQuery;
};

// http and https addresses only; nullopt for anything else, or for an address whose host or path
// holds a byte that must not reach the wire.
std::optional<SplitUrl> SplitHttpUrl(const std::string& url);

}  // namespace qorva
