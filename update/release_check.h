#pragma once

#include <functional>
#include <string>

#include "services/http_transport.h"
#include "update/update_endpoints.h"
#include "update/update_service.h"

namespace qorva {

struct UpdateEndpoints {
    HttpEndpoint maker{kMakerHost, 443, true};
    HttpEndpoint gitHubApi{kGitHubApiHost, 443, true};
    // Put before every feed path; lets one test server play several scripted feeds.
    std::string pathPrefix;
};

// What the release check needs of update_cache.json.
struct ReleaseCheckCache {
    std::function<bool()> isCheckDue;
    std::function<void()> recordCheck;
    std::function<bool(const std::string& version)> isDismissed;
};

// The release check over any transport: the maker's version feed first, then GitHub's latest
// release, then GitHub's recent releases when the latest is missing. Returns a CheckResult.
int CheckForUpdateUsing(HttpTransport& transport, const UpdateEndpoints& endpoints,
                        const std::string& currentVersion, const ReleaseCheckCache& cache,
                        ReleaseInfo& release, bool manual);

}  // namespace qorva
