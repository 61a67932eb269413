#include "update/installer_download.h"

#include <cctype>

namespace qorva {
namespace {

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

// The checks that decide whether a completed transfer may become the installer.
int Verify(InstallerStore& store, const std::wstring& partial, const std::string& expectedSha256,
           uint64_t expectedSize, uint64_t written) {
    if (written == 0) return kDownloadFailed;
    if (expectedSize != 0 && expectedSize != written) return kDownloadVerificationFailed;
    if (!expectedSha256.empty() && !store.Sha256Matches(partial, expectedSha256)) {
        return kDownloadVerificationFailed;
    }
    return kDownloadOk;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    for (std::size_t i = 0; prefix[i]; ++i) {
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

// Only bytes that came over HTTPS all the way may become the installer: over
// plain HTTP anyone on the way could hand over the program that is started
// next, and a feed without a digest leaves nothing else to check it by.
// (WinHTTP's redirect policy keeps an HTTPS request from ending on HTTP.)
bool MayFetchInstallerFrom(const std::string& url) { return StartsWithNoCase(url, "https://"); }

}  // namespace

std::wstring PartialDownloadPath(const std::wstring& destination) { return destination + L".part"; }

std::string NormalizeExpectedSha256(const std::string& expected) {
    std::string hex = expected.compare(0, 7, "sha256:") == 0 ? expected.substr(7) : expected;
    for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return hex;
}

int DownloadInstallerUsing(InstallerStore& store, const std::string& primaryUrl,
                           const std::string& fallbackUrl, const std::wstring& destination,
                           const std::string& expectedSha256, uint64_t expectedSize,
                           const DownloadProgress& progress, std::atomic<bool>* cancel) {
    if (destination.empty()) return kDownloadNoDestination;
    const std::wstring partial = PartialDownloadPath(destination);
    store.Delete(destination);
    store.Delete(partial);

    uint64_t written = 0;
    bool fetched = false;
    if (MayFetchInstallerFrom(primaryUrl))
        fetched = store.Fetch(primaryUrl, partial, progress, cancel, written);
    const bool tryFallback =
        !fetched && MayFetchInstallerFrom(fallbackUrl) && fallbackUrl != primaryUrl;
    if (tryFallback && !Cancelled(cancel)) {
        written = 0;
        fetched = store.Fetch(fallbackUrl, partial, progress, cancel, written);
    }

    int result = Cancelled(cancel) ? kDownloadCancelled : kDownloadFailed;
    if (fetched && !Cancelled(cancel)) {
        result = Verify(store, partial, expectedSha256, expectedSize, written);
        if (result == kDownloadOk && !store.Replace(partial, destination)) result = kDownloadFailed;
    }
    if (result != kDownloadOk) store.Delete(partial);
    return result;
}

std::optional<SplitUrl> SplitHttpUrl(const std::string& url) {
    SplitUrl split;
    std::size_t hostStart;
    if (StartsWithNoCase(url, "https://")) {
        split.endpoint.secure = true;
        split.endpoint.port = 443;
        hostStart = 8;
    } else if (StartsWithNoCase(url, "http://")) {
        split.endpoint.secure = false;
        split.endpoint.port = 80;
        hostStart = 7;
    } else {
        return std::nullopt;
    }
    const std::size_t pathStart = url.find_first_of("/?#", hostStart);
    std::string authority = url.substr(
        hostStart, pathStart == std::string::npos ? std::string::npos : pathStart - hostStart);
    if (authority.find('@') != std::string::npos)
        return std::nullopt;  // no credentials in update addresses

    const std::size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']') == std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5) return std::nullopt;
        unsigned long value = 0;
        for (const char c : port) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
            value = value * 10 + static_cast<unsigned long>(c - '0');
        }
        if (value == 0 || value > 65535) return std::nullopt;
        split.endpoint.port = static_cast<uint16_t>(value);
        authority.erase(colon);
    }
    split.endpoint.host = authority;
    std::string path = pathStart == std::string::npos ? "/" : url.substr(pathStart);
    const std::size_t fragment = path.find('#');
    if (fragment != std::string::npos) path.erase(fragment);
    if (path.empty() || path[0] != '/') path.insert(0, "/");
    split.pathAndQuery = path;

    HttpRequest probe;
    probe.path = split.pathAndQuery;
    if (split.endpoint.host.empty() || !HttpHostIsSafe(split.endpoint.host) ||
        !HttpRequestIsSafe(probe)) {
        return std::nullopt;
    }
    return split;
}

}  // namespace qorva
