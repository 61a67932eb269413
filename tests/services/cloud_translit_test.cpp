#include "services/cloud_translit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/services/fake_http_transport.h"

namespace qorva_tsf {
namespace {

using qorva::HttpFailure;
using qorva::HttpRequest;
using qorva::HttpResponse;
using qorva::testing::FakeHttpTransport;
using std::chrono::milliseconds;

// Long enough for the worker to take a request posted before (100 ms) and deal with it.
constexpr std::chrono::milliseconds kSettleTime(400);
constexpr char kQuerySuffix[] = "&itc=bn-t-i0-und&num=5&cp=0&cs=1&ie=utf-8&oe=utf-8&app=demopage";

// --- Reply parsing -------------------------------------------------------------------------

struct ParseCase {
    const char* name;
    std::string reply;
    bool ok;
    std::vector<std::string> candidates;
};

class CloudTranslitParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CloudTranslitParseTest, ReadsCandidateArray) {
    std::vector<std::string> candidates = {"stale"};
    EXPECT_EQ(CloudTranslit_ParseGoogleResponse(GetParam().reply, candidates), GetParam().ok);
    EXPECT_EQ(candidates, GetParam().candidates);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CloudTranslitParseTest,
    ::testing::Values(
        ParseCase{"Typical",
                  R"(["SUCCESS",[["ami",["আমি","আমী","অমি"],[],{"candidate_type":[0,0,0]}]]])",
                  true,
                  {"আমি", "আমী", "অমি"}},
        ParseCase{"EscapesAndBlanks",
                  "[\"SUCCESS\" ,[ [\"x\", [ \"\\u0986\" ,\n\t\"a\\\"b\"]]]]",
                  true,
                  {"\xE0\xA6\x86", "a\"b"}},
        ParseCase{"EmptyStringBetweenWords",
                  R"(["SUCCESS",[["k",["one","","two"]]]])",
                  true,
                  {"one", "two"}},
        ParseCase{"UndecodableStringEndsList",
                  R"(["SUCCESS",[["k",["one","\u12x4","two"]]]])",
                  true,
                  {"one"}},
        ParseCase{"ReplyEndsInsideList", R"(["SUCCESS",[["k",["one","tw)", true, {"one"}},
        ParseCase{"NoSuccessWord", R"(["FAILURE",[["k",["one"]]]])", false, {}},
        ParseCase{"UnquotedSuccess", R"([SUCCESS,[["k",["one"]]]])", false, {}},
        ParseCase{"TooFewBrackets", R"(["SUCCESS",[["k"]])", false, {}},
        ParseCase{"OnlyEmptyStrings", R"(["SUCCESS",[["k",["",""]]]])", false, {}},
        ParseCase{"Empty", "", false, {}}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

// --- The worker against a fake service -----------------------------------------------------

struct Delivery {
    std::wstring text;
    uint32_t generation;
    std::vector<std::wstring> candidates;
};

class FakeClock {
public:
    std::chrono::steady_clock::time_point Now() const {
        return std::chrono::steady_clock::time_point(std::chrono::milliseconds(now_.load()));
    }
    void Advance(milliseconds by) { now_ += by.count(); }

private:
    std::atomic<int64_t> now_{1000000};
};

std::string Query(const HttpRequest& request) {
    const std::size_t start = request.path.find("text=") + 5;
    return request.path.substr(start, request.path.find('&') - start);
}

// Answers with two candidates derived from the query, so every answer is recognisable.
HttpResponse ServiceReply(const HttpRequest& request) {
    const std::string text = Query(request);
    return FakeHttpTransport::Reply(
        200, "[\"SUCCESS\",[[\"" + text + "\",[\"" + text + "1\",\"" + text + "2\"],[],{}]]]");
}

class CloudTranslitTest : public ::testing::Test {
protected:
    CloudTranslitTest() {
        transport->SetResponder(ServiceReply);
        client.onResult = [this](const std::wstring& text, uint32_t generation,
                                 const std::vector<std::wstring>& candidates) {
            std::lock_guard<std::mutex> lock(mutex);
            deliveries.push_back({text, generation, candidates});
            delivered.notify_all();
        };
    }

    ~CloudTranslitTest() override { client.Stop(); }

    // Starts the worker and waits until its warm-up request for "ami" has been answered.
    void StartWarm() {
        client.Start();
        ASSERT_TRUE(transport->WaitForRequests(1));
    }

    // Sends `text` and waits for its delivery. Requests are served in order, so every request
    // posted before has been dealt with by then.
    Delivery RequestAndWait(const std::wstring& text, uint32_t generation) {
        client.Request(text, generation);
        std::unique_lock<std::mutex> lock(mutex);
        const bool arrived = delivered.wait_for(lock, std::chrono::seconds(10), [&] {
            return !deliveries.empty() && deliveries.back().generation == generation;
        });
        return arrived ? deliveries.back() : Delivery{L"(nothing)", 0, {}};
    }

    std::vector<std::string> SentQueries() const {
        std::vector<std::string> queries;
        for (const auto& sent : transport->Requests()) queries.push_back(Query(sent.request));
        return queries;
    }

    std::vector<Delivery> Deliveries() {
        std::lock_guard<std::mutex> lock(mutex);
        return deliveries;
    }

    std::shared_ptr<FakeHttpTransport> transport = std::make_shared<FakeHttpTransport>();
    FakeClock clock;
    CloudTranslit client{transport, qorva::HttpEndpoint{"localhost", 8443, true},
                         [this] { return clock.Now(); }};
    std::mutex mutex;
    std::condition_variable delivered;
    std::vector<Delivery> deliveries;
};

struct PathCase {
    std::wstring text;
    const char* encoded;
};

class CloudTranslitPathTest : public CloudTranslitTest,
                              public ::testing::WithParamInterface<PathCase> {};

TEST_P(CloudTranslitPathTest, SendsExactRequest) {
    StartWarm();
    transport->SetResponder([](const HttpRequest& request) {
        // Every text gets an answer, also one whose query value is empty.
        return FakeHttpTransport::Reply(200,
                                        "[\"SUCCESS\",[[\"" + Query(request) + "\",[\"x\"]]]]");
    });
    RequestAndWait(GetParam().text, 5);

    const auto requests = transport->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].request.path, std::string("/request?text=ami") + kQuerySuffix);
    EXPECT_EQ(requests[1].request.path,
              std::string("/request?text=") + GetParam().encoded + kQuerySuffix);
    EXPECT_EQ(requests[1].request.method, "GET");
    EXPECT_TRUE(requests[1].request.headers.empty());
    EXPECT_EQ(requests[1].request.maxBodyBytes, 65536u);
    EXPECT_EQ(requests[1].session.userAgent, "Qorva/1.0 (Bangla TSF)");
    EXPECT_EQ(requests[1].session.timeout, milliseconds(6000));
    EXPECT_EQ(requests[1].session.endpoint.host, "localhost");
    EXPECT_EQ(requests[1].session.endpoint.port, 8443);
    EXPECT_EQ(requests[1].connectionId, 1) << "the warm-up connection is reused";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CloudTranslitPathTest,
    ::testing::Values(PathCase{L"kemon", "kemon"}, PathCase{L"a b", "a%20b"},
                      PathCase{L"x&y=z", "x%26y%3Dz"}, PathCase{L"a\r\nb", "a%0D%0Ab"},
                      PathCase{std::wstring{L'a', wchar_t(0x0986), L'b'}, "ab"},
                      PathCase{std::wstring(2, wchar_t(0x0986)), ""}));

TEST_F(CloudTranslitTest, WarmUpAnswerIsCachedButNotDelivered) {
    StartWarm();
    const Delivery answer = RequestAndWait(L"ami", 3);

    EXPECT_EQ(answer.text, L"ami");
    EXPECT_EQ(answer.candidates, (std::vector<std::wstring>{L"ami1", L"ami2"}));
    EXPECT_EQ(Deliveries().size(), 1u);
    EXPECT_EQ(transport->Requests().size(), 1u) << "answered from the cache";
}

TEST_F(CloudTranslitTest, OnlyLatestRequestIsSentAndGenerationComesBack) {
    StartWarm();
    client.Request(L"", 1);
    client.Request(L"k", 2);
    client.Request(L"ke", 3);
    const Delivery answer = RequestAndWait(L"kem", 4);

    EXPECT_EQ(SentQueries(), (std::vector<std::string>{"ami", "kem"}));
    EXPECT_EQ(answer.text, L"kem");
    EXPECT_EQ(answer.generation, 4u);
    EXPECT_EQ(Deliveries().size(), 1u);
}

TEST_F(CloudTranslitTest, CancelledRequestIsNeverSent) {
    StartWarm();
    client.Request(L"gone", 1);
    client.Cancel();
    std::this_thread::sleep_for(kSettleTime);
    RequestAndWait(L"kept", 2);

    EXPECT_EQ(SentQueries(), (std::vector<std::string>{"ami", "kept"}));
}

TEST_F(CloudTranslitTest, FailedGetIsRetriedOnceOnFreshConnection) {
    StartWarm();
    std::atomic<int> calls{0};
    transport->SetResponder([&](const HttpRequest& request) {
        return ++calls == 1 ? FakeHttpTransport::Failed(HttpFailure::kSendReceive)
                            : ServiceReply(request);
    });
    const Delivery answer = RequestAndWait(L"abar", 1);

    EXPECT_EQ(answer.generation, 1u);
    const auto requests = transport->Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].connectionId, 1);
    EXPECT_EQ(requests[2].connectionId, 2);
    EXPECT_EQ(transport->OpenConnections(), 1);
}

struct FailedReplyCase {
    const char* name;
    HttpResponse response;
};

class CloudTranslitFailedReplyTest : public CloudTranslitTest,
                                     public ::testing::WithParamInterface<FailedReplyCase> {};

// After both attempts fail, new connections wait 1.5 s; a request meanwhile is dropped unsent.
TEST_P(CloudTranslitFailedReplyTest, TwoFailuresBackOff) {
    StartWarm();
    const HttpResponse failure = GetParam().response;
    transport->SetResponder([failure](const HttpRequest&) { return failure; });
    client.Request(L"one", 1);
    ASSERT_TRUE(transport->WaitForRequests(3));
    transport->SetResponder(ServiceReply);
    std::this_thread::sleep_for(kSettleTime);  // the back-off starts when the worker is done

    clock.Advance(milliseconds(1400));
    client.Request(L"two", 2);
    std::this_thread::sleep_for(kSettleTime);
    clock.Advance(milliseconds(200));
    const Delivery answer = RequestAndWait(L"three", 3);

    EXPECT_EQ(SentQueries(), (std::vector<std::string>{"ami", "one", "one", "three"}));
    EXPECT_EQ(answer.generation, 3u);
    EXPECT_EQ(Deliveries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CloudTranslitFailedReplyTest,
    ::testing::Values(
        FailedReplyCase{"SendFailed", FakeHttpTransport::Failed(HttpFailure::kSendReceive)},
        FailedReplyCase{"ServerError",
                        FakeHttpTransport::Reply(500, R"(["SUCCESS",[["k",["x"]]]])")},
        FailedReplyCase{"EmptyBody", FakeHttpTransport::Reply(200, "")}),
    [](const ::testing::TestParamInfo<FailedReplyCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(CloudTranslitTest, UnreadableStatusWithBodyIsParsed) {
    StartWarm();
    transport->SetResponder([](const HttpRequest& request) {
        HttpResponse response = ServiceReply(request);
        response.status = 0;
        return response;
    });
    EXPECT_EQ(RequestAndWait(L"shei", 1).candidates,
              (std::vector<std::wstring>{L"shei1", L"shei2"}));
}

TEST_F(CloudTranslitTest, UnusableReplyIsNeitherDeliveredNorCached) {
    StartWarm();
    transport->SetResponder(
        [](const HttpRequest&) { return FakeHttpTransport::Reply(200, "[\"FAILED\"]"); });
    client.Request(L"bad", 1);
    ASSERT_TRUE(transport->WaitForRequests(2));
    transport->SetResponder(ServiceReply);
    RequestAndWait(L"bad", 2);

    EXPECT_EQ(SentQueries(), (std::vector<std::string>{"ami", "bad", "bad"}));
    EXPECT_EQ(Deliveries().size(), 1u);
}

TEST_F(CloudTranslitTest, RefusedConnectionBacksOffTwoSeconds) {
    transport->FailConnects(HttpFailure::kConnect);
    client.Start();
    ASSERT_TRUE(transport->WaitForConnectAttempts(1));
    transport->FailConnects(HttpFailure::kNone);
    std::this_thread::sleep_for(kSettleTime);  // the back-off starts when the worker is done

    clock.Advance(milliseconds(1600));
    client.Request(L"two", 2);
    std::this_thread::sleep_for(kSettleTime);
    clock.Advance(milliseconds(500));
    const Delivery answer = RequestAndWait(L"three", 3);

    EXPECT_EQ(answer.generation, 3u);
    EXPECT_EQ(SentQueries(), (std::vector<std::string>{"three"}));
    EXPECT_EQ(transport->ConnectAttempts().size(), 2u) << "one refused at warm-up, one for three";
}

TEST_F(CloudTranslitTest, QuietConnectionIsReplacedAfterTwentySeconds) {
    StartWarm();
    RequestAndWait(L"ek", 1);
    clock.Advance(std::chrono::seconds(19));
    RequestAndWait(L"dui", 2);
    clock.Advance(std::chrono::seconds(21));
    RequestAndWait(L"tin", 3);

    const auto requests = transport->Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[2].connectionId, 1);
    EXPECT_EQ(requests[3].connectionId, 2);
}

TEST_F(CloudTranslitTest, StopClosesConnectionAndKeepsCache) {
    StartWarm();
    RequestAndWait(L"ek", 1);
    client.Stop();
    EXPECT_EQ(transport->OpenConnections(), 0);

    client.Request(L"ek", 2);  // waits for the next start
    client.Start();
    const Delivery answer = RequestAndWait(L"ek", 2);

    EXPECT_EQ(answer.candidates, (std::vector<std::wstring>{L"ek1", L"ek2"}));
    EXPECT_EQ(SentQueries(), (std::vector<std::string>{"ami", "ek"}))
        << "warm-up and ek both cached";
}

// The worker runs inside the host application, which must outlive whatever the worker meets.
TEST_F(CloudTranslitTest, WorkerEndedByAnExceptionLeavesTheProcessAndStartsAgain) {
    transport->SetResponder(
        [](const HttpRequest&) -> HttpResponse { throw std::runtime_error("broken transport"); });
    client.Start();
    ASSERT_TRUE(transport->WaitForRequests(1));
    client.Stop();

    transport->SetResponder(ServiceReply);
    client.Start();
    EXPECT_EQ(RequestAndWait(L"ek", 1).candidates, (std::vector<std::wstring>{L"ek1", L"ek2"}));
}

}  // namespace
}  // namespace qorva_tsf
