#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "update/release_check.h"

namespace qorva {
namespace {

// Answers each host and path with a scripted response and records what was asked.
class ScriptedTransport : public HttpTransport {
public:
    std::map<std::string, HttpResponse> responses;  // "host path"
    std::vector<std::string> asked;
    std::vector<HttpSessionOptions> sessions;
    std::vector<std::string> unreachableHosts;

    HttpConnectResult Connect(const HttpSessionOptions& options) override {
        sessions.push_back(options);
        HttpConnectResult result;
        for (const std::string& host : unreachableHosts) {
            if (host == options.endpoint.host) {
                result.failure = HttpFailure::kConnect;
                return result;
            }
        }
        result.connection = std::make_unique<Connection>(*this, options.endpoint.host);
        return result;
    }

private:
    class Connection : public HttpConnection {
    public:
        Connection(ScriptedTransport& owner, std::string host)
            : owner_(owner), host_(std::move(host)) {}
        HttpResponse Send(const HttpRequest& request) override {
            const std::string key = host_ + " " + request.path;
            owner_.asked.push_back(key);
            EXPECT_EQ(request.method, "GET");
            EXPECT_EQ(request.headers.size(), 1u);
            EXPECT_EQ(request.headers[0].name, "Accept");
            EXPECT_EQ(request.headers[0].value, "application/vnd.github.v3+json");
            const auto it = owner_.responses.find(key);
            if (it != owner_.responses.end()) return it->second;
            HttpResponse failed;
            failed.failure = HttpFailure::kSendReceive;
            return failed;
        }

    private:
        ScriptedTransport& owner_;
        std::string host_;
    };
};

HttpResponse Answer(uint32_t status, std::string body) {
    HttpResponse response;
    response.status = status;
    response.body = std::move(body);
    return response;
}

const std::string kMakerFeed = "maker.test /downloads/version.json";
const std::string kLatest = "api.test /repos/Velkor/qorva/releases/latest";
const std::string kRecent = "api.test /repos/Velkor/qorva/releases?per_page=5";

class ReleaseCheckTest : public ::testing::Test {
protected:
    ScriptedTransport transport;
    UpdateEndpoints endpoints{{"maker.test", 443, true}, {"api.test", 443, true}, ""};
    int recordedChecks = 0;
    bool due = true;
    std::string dismissed;
    ReleaseCheckCache cache{[this] { return due; }, [this] { ++recordedChecks; },
                            [this](const std::string& v) { return v == dismissed; }};
    ReleaseInfo release;

    int Check(bool manual = true) {
        return CheckForUpdateUsing(transport, endpoints, "1.2.0", cache, release, manual);
    }
};

TEST_F(ReleaseCheckTest, NewerReleaseOnTheMakersFeedSkipsGitHub) {
    transport.responses[kMakerFeed] = Answer(200, R"({"version": "1.3.0"})");
    EXPECT_EQ(Check(), kCheckNewerRelease);
    EXPECT_EQ(release.versionText, "1.3.0");
    EXPECT_EQ(transport.asked, std::vector<std::string>{kMakerFeed});
    EXPECT_EQ(recordedChecks, 1);
    ASSERT_FALSE(transport.sessions.empty());
    EXPECT_EQ(transport.sessions[0].userAgent, "Qorva-Update-Checker/1.0 (Windows NT; x64)");
    EXPECT_EQ(transport.sessions[0].timeout.count(), 4000);
}

TEST_F(ReleaseCheckTest, OlderReleaseOnTheMakersFeedIsUpToDateEvenWhenGitHubHasNewer) {
    transport.responses[kMakerFeed] = Answer(200, R"({"version": "1.2.0"})");
    transport.responses[kLatest] = Answer(200, R"({"tag_name": "v9.0.0"})");
    EXPECT_EQ(Check(), kCheckUpToDate);
    EXPECT_EQ(release.versionText, "1.2.0");
    EXPECT_EQ(recordedChecks, 1);
}

TEST_F(ReleaseCheckTest, UnreachableMakerFallsBackToGitHub) {
    transport.unreachableHosts = {"maker.test"};
    transport.responses[kLatest] = Answer(200, R"({"tag_name": "v1.4.0"})");
    EXPECT_EQ(Check(), kCheckNewerRelease);
    EXPECT_EQ(release.tag, "v1.4.0");
}

TEST_F(ReleaseCheckTest, MakerFeedWithoutAReleaseAsksGitHub) {
    transport.responses[kMakerFeed] = Answer(200, "<html>maintenance</html>");
    transport.responses[kLatest] = Answer(200, R"({"tag_name": "v1.4.0"})");
    EXPECT_EQ(Check(), kCheckNewerRelease);
    EXPECT_EQ(transport.asked, (std::vector<std::string>{kMakerFeed, kLatest}));
}

TEST_F(ReleaseCheckTest, MissingLatestReleaseReadsTheRecentList) {
    transport.responses[kMakerFeed] = Answer(500, "");
    transport.responses[kLatest] = Answer(404, "{}");
    transport.responses[kRecent] =
        Answer(200, R"([{"tag_name": "v1.5.0"}, {"tag_name": "v1.6.0"}])");
    EXPECT_EQ(Check(), kCheckNewerRelease);
    EXPECT_EQ(release.versionText, "1.6.0");
}

struct FailureCase {
    const char* name;
    std::vector<std::pair<std::string, HttpResponse>> answers;
    bool gitHubUnreachable;
    int expected;
};

class ReleaseCheckFailureTest : public ReleaseCheckTest,
                                public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReleaseCheckFailureTest, LeavesRecordAndCacheAlone) {
    for (const auto& [key, response] : GetParam().answers) transport.responses[key] = response;
    if (GetParam().gitHubUnreachable) transport.unreachableHosts = {"maker.test", "api.test"};
    release.title = "kept";
    EXPECT_EQ(Check(), GetParam().expected);
    EXPECT_EQ(release.title, "kept");
    EXPECT_EQ(recordedChecks, 0);
}

HttpResponse Truncated(std::string body) {
    HttpResponse response = Answer(200, std::move(body));
    response.truncated = true;
    return response;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReleaseCheckFailureTest,
    ::testing::Values(
        FailureCase{"NoNetwork", {}, true, kCheckNoConnection},
        FailureCase{"NoAnswerAnywhere", {}, false, kCheckNoConnection},
        FailureCase{"MakerAnsweredGitHubUnreachable",
                    {{kMakerFeed, Answer(503, "")}},
                    false,
                    kCheckNoConnection},
        FailureCase{
            "GitHubForbidden", {{kLatest, Answer(403, "rate limited")}}, false, kCheckFailed},
        FailureCase{
            "OnlyPrereleasesAndDrafts",
            {{kLatest, Answer(404, "")},
             {kRecent,
              Answer(200,
                     R"([{"tag_name": "v2.0.0", "draft": true}, {"tag_name": "v2.1.0-rc1"}])")}},
            false,
            kCheckFailed},
        FailureCase{"ListUnansweredAfter404", {{kLatest, Answer(404, "")}}, false, kCheckFailed},
        FailureCase{"StatusUnreadable",
                    {{kLatest, Answer(0, R"({"tag_name": "v2.0.0"})")}},
                    false,
                    kCheckNoConnection},
        FailureCase{
            "BrokenJson", {{kLatest, Answer(200, R"({"tag_name": )")}}, false, kCheckFailed},
        FailureCase{"OversizedFeed",
                    {{kLatest, Truncated(R"({"tag_name": "v2.0.0")")}},
                    false,
                    kCheckFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReleaseCheckTest, AutomaticCheckHonoursTheCache) {
    transport.responses[kMakerFeed] = Answer(200, R"({"version": "1.3.0"})");
    due = false;
    EXPECT_EQ(Check(false), kCheckUpToDate);
    EXPECT_TRUE(transport.asked.empty());

    due = true;
    dismissed = "1.3.0";
    EXPECT_EQ(Check(false), kCheckUpToDate);
    EXPECT_EQ(Check(true), kCheckNewerRelease);
    dismissed = "1.2.9";
    EXPECT_EQ(Check(false), kCheckNewerRelease);
}

}  // namespace
}  // namespace qorva
