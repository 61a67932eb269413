#include "update/release_check.h"

#include <chrono>

namespace qorva {
namespace {

constexpr std::chrono::milliseconds kCheckTimeout{4000};
// A release feed is a few kilobytes; a larger answer is not a feed worth reading.
constexpr std::size_t kMaxFeedBytes = std::size_t{1} << 20;

HttpSessionOptions CheckSession(const HttpEndpoint& endpoint) {
    HttpSessionOptions options;
    options.endpoint = endpoint;
    options.userAgent = "Qorva-Update-Checker/1.0 (Windows NT; x64)";
    options.timeout = kCheckTimeout;
    return options;
}

HttpRequest FeedRequest(const std::string& path) {
    HttpRequest request;
    request.path = path;
    request.headers.push_back({"Accept", "application/vnd.github.v3+json"});
    request.maxBodyBytes = kMaxFeedBytes;
    return request;
}

bool ReceivedResponse(const HttpResponse& response) {
    return response.failure == HttpFailure::kNone;
}

bool AcceptedRelease(const HttpResponse& response, ReleaseInfo& release) {
    return ReceivedResponse(response) && response.status == 200 && !response.truncated &&
           UpdateService::ParseReleaseJson(response.body, release, false);
}

// The maker's feed decides when it yields a release; otherwise the check goes on to GitHub.
bool ReadMakerFeed(HttpTransport& transport, const UpdateEndpoints& endpoints, ReleaseInfo& release,
                   uint32_t& status) {
    HttpConnectResult connected = transport.Connect(CheckSession(endpoints.maker));
    if (!connected.connection) return false;
    const HttpResponse response =
        connected.connection->Send(FeedRequest(endpoints.pathPrefix + kVersionFeedPath));
    if (ReceivedResponse(response)) status = response.status;
    return AcceptedRelease(response, release);
}

int NoAnswerResult(uint32_t status) { return status != 0 ? kCheckFailed : kCheckNoConnection; }

int ReadGitHubFeed(HttpTransport& transport, const UpdateEndpoints& endpoints, ReleaseInfo& release,
                   uint32_t status) {
    HttpConnectResult connected = transport.Connect(CheckSession(endpoints.gitHubApi));
    if (!connected.connection) return NoAnswerResult(status);
    HttpResponse response =
        connected.connection->Send(FeedRequest(endpoints.pathPrefix + kLatestReleasePath));
    status = ReceivedResponse(response) ? response.status : 0;
    if (status == 404) {
        response =
            connected.connection->Send(FeedRequest(endpoints.pathPrefix + kRecentReleasesPath));
        if (ReceivedResponse(response)) status = response.status;
    }
    if (!ReceivedResponse(response) || status != 200) return NoAnswerResult(status);
    if (!AcceptedRelease(response, release)) return kCheckFailed;
    return kCheckNewerRelease;  // read successfully; the caller compares versions
}

}  // namespace

int CheckForUpdateUsing(HttpTransport& transport, const UpdateEndpoints& endpoints,
                        const std::string& currentVersion, const ReleaseCheckCache& cache,
                        ReleaseInfo& release, bool manual) {
    if (!manual && !cache.isCheckDue()) return kCheckUpToDate;

    // The record is written only once a feed yields a release.
    ReleaseInfo found;
    uint32_t status = 0;
    if (!ReadMakerFeed(transport, endpoints, found, status)) {
        const int result = ReadGitHubFeed(transport, endpoints, found, status);
        if (result != kCheckNewerRelease) return result;
    }
    release = found;
    cache.recordCheck();

    if (UpdateService::CompareVersions(currentVersion, release.versionText) != -1)
        return kCheckUpToDate;
    if (manual) return kCheckNewerRelease;
    return cache.isDismissed(release.versionText) ? kCheckUpToDate : kCheckNewerRelease;
}

}  // namespace qorva
