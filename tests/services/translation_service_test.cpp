#include "services/translation_service.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "tests/services/fake_http_transport.h"

namespace qorva {
namespace {

using testing::FakeHttpTransport;

const HttpEndpoint kTestEndpoint{"localhost", 8443, true};
constexpr char kPathPrefix[] = "/translate_a/t?client=dict-chrome-ex&sl=bn&tl=en&q=";

struct Delivery {
    std::wstring source;
    std::wstring translation;
    uint32_t generation;
    std::thread::id thread;
};

// Collects what the service hands to its callback.
class Deliveries {
public:
    TranslationService::ResultCallback Callback() {
        return [this](const std::wstring& source, const std::wstring& translation,
                      uint32_t generation) {
            std::lock_guard<std::mutex> lock(mutex_);
            list_.push_back({source, translation, generation, std::this_thread::get_id()});
            changed_.notify_all();
        };
    }

    bool WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return list_.size() >= count; });
    }

    std::vector<Delivery> List() {
        std::lock_guard<std::mutex> lock(mutex_);
        return list_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Delivery> list_;
};

// Answers every query with a translation made from the query itself.
HttpResponse EchoTranslation(const HttpRequest& request) {
    const std::string query = request.path.substr(request.path.find("&q=") + 3);
    return FakeHttpTransport::Reply(200, "[\"echo " + query + "\"]");
}

class TranslationServiceTest : public ::testing::Test {
protected:
    TranslationServiceTest() {
        service.consent = true;
        service.onResult = deliveries.Callback();
        transport->SetResponder(EchoTranslation);
    }

    std::vector<std::string> SentQueries() const {
        std::vector<std::string> queries;
        for (const auto& sent : transport->Requests())
            queries.push_back(sent.request.path.substr(sizeof(kPathPrefix) - 1));
        return queries;
    }

    // Declared before the service, which delivers into it until its worker is joined.
    Deliveries deliveries;
    std::shared_ptr<FakeHttpTransport> transport = std::make_shared<FakeHttpTransport>();
    TranslationService service{transport, kTestEndpoint};
};

struct QueryCase {
    std::wstring text;
    const char* query;
};

class TranslationQueryTest : public TranslationServiceTest,
                             public ::testing::WithParamInterface<QueryCase> {};

TEST_P(TranslationQueryTest, SendsExactRequest) {
    service.TranslateDirect(GetParam().text, 1500);

    ASSERT_EQ(transport->Requests().size(), 1u);
    const testing::SentRequest sent = transport->Requests()[0];
    EXPECT_EQ(sent.request.method, "GET");
    EXPECT_EQ(sent.request.path, std::string(kPathPrefix) + GetParam().query);
    ASSERT_EQ(sent.request.headers.size(), 1u);
    EXPECT_EQ(sent.request.headers[0].name, "User-Agent");
    EXPECT_EQ(sent.request.headers[0].value, "Mozilla/5.0 (Windows NT 10.0; Win64; x64)");
    EXPECT_EQ(sent.session.userAgent, "Qorva-Translator/1.0");
    EXPECT_EQ(sent.session.timeout, std::chrono::milliseconds(1500));
    EXPECT_EQ(sent.session.endpoint.host, "localhost");
    EXPECT_EQ(sent.session.endpoint.port, 8443);
    EXPECT_TRUE(sent.session.endpoint.secure);
    EXPECT_EQ(transport->OpenConnections(), 0) << "each translation closes its own connection";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TranslationQueryTest,
    ::testing::Values(QueryCase{L"ami tumi", "ami%20tumi"},
                      QueryCase{std::wstring(1, wchar_t(0x0986)), "%E0%A6%86"},
                      QueryCase{L"a&b=c#d", "a%26b%3Dc%23d"},
                      QueryCase{L"line\r\nHost: evil", "line%0D%0AHost%3A%20evil"},
                      QueryCase{std::wstring(1, wchar_t(0xD83D)), "%EF%BF%BD"}));

struct ReplyCase {
    const char* name;
    HttpResponse response;
    bool success;
    std::wstring translation;
    std::string error;
};

class TranslationReplyTest : public TranslationServiceTest,
                             public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(TranslationReplyTest, GivesResultAndCachesOnlySuccess) {
    const HttpResponse response = GetParam().response;
    transport->SetResponder([response](const HttpRequest&) { return response; });

    const TranslationResult result = service.TranslateDirect(L"text", 4000);

    EXPECT_EQ(result.source, L"text");
    EXPECT_EQ(result.success, GetParam().success);
    EXPECT_EQ(result.translation, GetParam().translation);
    EXPECT_EQ(result.error, GetParam().error);
    EXPECT_EQ(service.CacheSize(), GetParam().success ? 1u : 0u);
}

const std::string kOversizedReply = "[\"" + std::string(3 << 20, 'a') + "\"]";

INSTANTIATE_TEST_SUITE_P(
    Replies, TranslationReplyTest,
    ::testing::Values(
        ReplyCase{"Translated", FakeHttpTransport::Reply(200, R"([["i am fine",null]])"), true,
                  L"I am fine.", ""},
        ReplyCase{"Bengali", FakeHttpTransport::Reply(200, R"(["\u0986"])"), true,
                  std::wstring(1, wchar_t(0x0986)), ""},
        ReplyCase{"NotFound", FakeHttpTransport::Reply(404, R"(["ignored"])"), false, L"",
                  "HTTP error code: 404"},
        ReplyCase{"TooMany", FakeHttpTransport::Reply(429, ""), false, L"", "HTTP error code: 429"},
        ReplyCase{"StatusUnknown", FakeHttpTransport::Reply(0, R"(["x"])"), false, L"",
                  "HTTP error code: 0"},
        ReplyCase{"NotTranslation", FakeHttpTransport::Reply(200, "{\"error\":\n1}"), false, L"",
                  "Failed to parse translation response: {\"error\":?1}"},
        ReplyCase{"HostileBody", FakeHttpTransport::Reply(200, "<" + std::string(5000, 'x') + ">"),
                  false, L"",
                  "Failed to parse translation response: <" + std::string(199, 'x') + "..."},
        ReplyCase{"OversizedBody", FakeHttpTransport::Reply(200, kOversizedReply), false, L"",
                  "Failed to parse translation response: [\"" + std::string(198, 'a') + "..."},
        ReplyCase{"OpenRequestFailed", FakeHttpTransport::Failed(HttpFailure::kOpenRequest), false,
                  L"", "WinHttpOpenRequest failed"},
        ReplyCase{"SendFailed", FakeHttpTransport::Failed(HttpFailure::kSendReceive), false, L"",
                  "WinHttp send/receive failed"}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

TEST_F(TranslationServiceTest, ReportsWhichConnectionStepFailed) {
    transport->FailConnects(HttpFailure::kOpenSession);
    EXPECT_EQ(service.TranslateDirect(L"a", 1000).error, "WinHttpOpen failed");
    transport->FailConnects(HttpFailure::kConnect);
    EXPECT_EQ(service.TranslateDirect(L"a", 1000).error, "WinHttpConnect failed");
}

TEST_F(TranslationServiceTest, EmptyInputIsRejectedWithoutNetwork) {
    const TranslationResult result = service.TranslateDirect(L"", 1000);
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.error, "Empty input");
    EXPECT_TRUE(transport->ConnectAttempts().empty());
}

TEST_F(TranslationServiceTest, CachedTranslationNeedsNeitherNetworkNorConsent) {
    ASSERT_TRUE(service.TranslateDirect(L"ami", 1000).success);
    service.consent = false;

    const TranslationResult cached = service.TranslateDirect(L"ami", 1000);
    const TranslationResult uncached = service.TranslateDirect(L"tumi", 1000);

    EXPECT_TRUE(cached.success);
    EXPECT_EQ(cached.translation, L"Echo ami.");
    EXPECT_FALSE(uncached.success);
    EXPECT_EQ(uncached.error, "Translation consent disabled by user");
    EXPECT_EQ(transport->Requests().size(), 1u);
    std::wstring looked;
    EXPECT_TRUE(service.LookupCache(L"ami", looked));
    EXPECT_EQ(looked, L"Echo ami.");
    looked = L"untouched";
    EXPECT_FALSE(service.LookupCache(L"tumi", looked));
    EXPECT_EQ(looked, L"untouched");
}

TEST_F(TranslationServiceTest, FullCacheEvictsSmallestKey) {
    for (int i = 0; i < 500; ++i) service.TranslateDirect(L"k" + std::to_wstring(1000 + i), 1000);
    ASSERT_EQ(service.CacheSize(), 500u);
    std::wstring unused;

    service.TranslateDirect(L"new", 1000);
    EXPECT_EQ(service.CacheSize(), 500u);
    EXPECT_FALSE(service.LookupCache(L"k1000", unused));
    EXPECT_TRUE(service.LookupCache(L"new", unused));

    service.ClearCache();
    EXPECT_EQ(service.CacheSize(), 0u);
}

TEST_F(TranslationServiceTest, CachedRequestAnswersAtOnceOnCallersThread) {
    service.TranslateDirect(L"ami", 1000);
    service.RequestTranslation(L"", 1);
    service.RequestTranslation(L"ami", 7);

    const std::vector<Delivery> list = deliveries.List();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].source, L"ami");
    EXPECT_EQ(list[0].translation, L"Echo ami.");
    EXPECT_EQ(list[0].generation, 7u);
    EXPECT_EQ(list[0].thread, std::this_thread::get_id());
}

TEST_F(TranslationServiceTest, WorkerTranslatesOnlyLatestRequestWithItsGeneration) {
    service.Start();
    service.RequestTranslation(L"a", 1);
    service.RequestTranslation(L"ab", 2);
    service.RequestTranslation(L"abc", 3);

    ASSERT_TRUE(deliveries.WaitFor(1));
    service.Stop();
    EXPECT_EQ(SentQueries(), std::vector<std::string>{"abc"});
    const std::vector<Delivery> list = deliveries.List();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].source, L"abc");
    EXPECT_EQ(list[0].translation, L"Echo abc.");
    EXPECT_EQ(list[0].generation, 3u);
    EXPECT_NE(list[0].thread, std::this_thread::get_id());
    EXPECT_EQ(service.CacheSize(), 1u);
}

TEST_F(TranslationServiceTest, NewGenerationOfSameTextIsDelivered) {
    service.Start();
    service.RequestTranslation(L"ami", 4);
    service.RequestTranslation(L"ami", 5);

    ASSERT_TRUE(deliveries.WaitFor(1));
    service.Stop();
    ASSERT_EQ(deliveries.List().size(), 1u);
    EXPECT_EQ(deliveries.List()[0].generation, 5u);
}

TEST_F(TranslationServiceTest, CancelledRequestIsNeverSent) {
    service.Start();
    service.RequestTranslation(L"cancelled", 1);
    service.Cancel();
    service.RequestTranslation(L"kept", 2);
    service.Cancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    service.RequestTranslation(L"later", 3);

    ASSERT_TRUE(deliveries.WaitFor(1));
    service.Stop();
    EXPECT_EQ(SentQueries(), std::vector<std::string>{"later"});
}

TEST_F(TranslationServiceTest, WorkerSendsNothingWithoutConsent) {
    service.consent = false;
    service.Start();
    service.RequestTranslation(L"ami", 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    service.consent = true;
    service.RequestTranslation(L"tumi", 2);

    ASSERT_TRUE(deliveries.WaitFor(1));
    service.Stop();
    EXPECT_EQ(SentQueries(), std::vector<std::string>{"tumi"});
    EXPECT_EQ(deliveries.List().size(), 1u);
}

TEST_F(TranslationServiceTest, FailedTranslationIsDroppedSilently) {
    transport->SetResponder([](const HttpRequest& request) {
        return request.path.find("bad") != std::string::npos ? FakeHttpTransport::Reply(500, "")
                                                             : EchoTranslation(request);
    });
    service.Start();
    service.RequestTranslation(L"bad", 1);
    ASSERT_TRUE(transport->WaitForRequests(1));
    service.RequestTranslation(L"good", 2);

    ASSERT_TRUE(deliveries.WaitFor(1));
    service.Stop();
    ASSERT_EQ(deliveries.List().size(), 1u);
    EXPECT_EQ(deliveries.List()[0].generation, 2u);
}

TEST_F(TranslationServiceTest, RequestWhileStoppedIsServedAfterStart) {
    service.Start();
    service.Stop();
    service.RequestTranslation(L"ami", 9);
    service.Start();

    ASSERT_TRUE(deliveries.WaitFor(1));
    service.Stop();
    EXPECT_EQ(deliveries.List()[0].generation, 9u);
}

TEST_F(TranslationServiceTest, StopWaitsForTranslationInFlight) {
    std::mutex gate;
    std::unique_lock<std::mutex> closed(gate);
    transport->SetResponder([&](const HttpRequest& request) {
        std::lock_guard<std::mutex> wait(gate);
        return EchoTranslation(request);
    });
    service.Start();
    service.RequestTranslation(L"slow", 1);
    ASSERT_TRUE(transport->WaitForRequests(1));

    std::thread stopper([&] { service.Stop(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    closed.unlock();
    stopper.join();

    std::wstring translation;
    EXPECT_TRUE(service.LookupCache(L"slow", translation)) << "the translation itself is kept";
}

// The worker runs inside the host application, which must outlive whatever the worker meets.
TEST_F(TranslationServiceTest, WorkerEndedByAnExceptionLeavesTheProcessAndStartsAgain) {
    transport->SetResponder(
        [](const HttpRequest&) -> HttpResponse { throw std::runtime_error("broken transport"); });
    service.Start();
    service.RequestTranslation(L"ami", 1);
    ASSERT_TRUE(transport->WaitForRequests(1));
    service.Stop();

    transport->SetResponder(EchoTranslation);
    service.Start();
    service.RequestTranslation(L"tumi", 2);
    ASSERT_TRUE(deliveries.WaitFor(1));
    service.Stop();
    EXPECT_EQ(deliveries.List()[0].generation, 2u);
}

}  // namespace
}  // namespace qorva
