// The WinHTTP transport and both clients against the loopback server, over real TLS.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "services/cloud_translit.h"
#include "services/http_transport.h"
#include "common/text.h"
#include "services/translation_service.h"
#include "services/winhttp_timeouts.h"
#include "tests/support/loopback_server_client.h"

namespace qorva {
namespace {

using std::chrono::milliseconds;
using testing::LoopbackRequest;
using testing::LoopbackServerTest;

// Short enough to keep the suite fast, long enough for a TLS handshake under wine.
constexpr milliseconds kTestTimeout(2000);

class LoopbackTest : public LoopbackServerTest {
protected:
    // What the server received since this test began.
    std::vector<LoopbackRequest> NewRequests() const {
        std::vector<LoopbackRequest> all = Server().Requests();
        return std::vector<LoopbackRequest>(all.begin() + std::min(all.size(), seen_), all.end());
    }

    void SetUp() override { seen_ = Server().Requests().size(); }

    std::size_t seen_ = 0;
};

// --- The transport ---------------------------------------------------------------------------

class WinHttpTransportTest : public LoopbackTest {
protected:
    HttpResponse Send(const std::string& path, std::size_t maxBodyBytes = 1 << 20) {
        auto connected = CreatePlatformHttpTransport()->Connect(
            {Server().Https(), "Qorva-Test/1.0", kTestTimeout});
        EXPECT_TRUE(connected.connection);
        if (!connected.connection) return {};
        HttpRequest request;
        request.path = path;
        request.maxBodyBytes = maxBodyBytes;
        return connected.connection->Send(request);
    }
};

TEST_F(WinHttpTransportTest, CarriesExactRequestAndReply) {
    auto connected =
        CreatePlatformHttpTransport()->Connect({Server().Https(), "Qorva-Test/1.0", kTestTimeout});
    ASSERT_TRUE(connected.connection);
    HttpRequest request;
    request.method = "POST";
    request.path = "/transport/echo?a=%20b";
    request.headers = {{"Content-Type", "application/json"}, {"X-Key", "k1"}};
    request.body = "{\"x\":1}";

    const HttpResponse response = connected.connection->Send(request);

    EXPECT_EQ(response.failure, HttpFailure::kNone);
    EXPECT_EQ(response.status, 201u);
    EXPECT_EQ(response.body, "echoed");
    EXPECT_FALSE(response.truncated);
    const auto received = NewRequests();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].method, "POST");
    EXPECT_EQ(received[0].target, "/transport/echo?a=%20b");
    EXPECT_EQ(received[0].Header("Content-Type"), "application/json");
    EXPECT_EQ(received[0].Header("X-Key"), "k1");
    EXPECT_EQ(received[0].Header("User-Agent"), "Qorva-Test/1.0");
    EXPECT_EQ(received[0].body, "{\"x\":1}");
}

TEST_F(WinHttpTransportTest, RefusesControlCharactersBeforeSending) {
    auto connected =
        CreatePlatformHttpTransport()->Connect({Server().Https(), "Qorva-Test/1.0", kTestTimeout});
    ASSERT_TRUE(connected.connection);
    HttpRequest request;
    request.path = "/transport/echo";
    request.headers = {{"X-Key", "k1\r\nX-Injected: 1"}};

    EXPECT_EQ(connected.connection->Send(request).failure, HttpFailure::kOpenRequest);
    request.headers.clear();
    request.path = "/transport/echo\r\nX: 1";
    EXPECT_EQ(connected.connection->Send(request).failure, HttpFailure::kOpenRequest);
    EXPECT_TRUE(NewRequests().empty());
}

TEST_F(WinHttpTransportTest, CapsOversizedBody) {
    const HttpResponse response = Send("/transport/huge", 65536);

    EXPECT_EQ(response.status, 200u);
    EXPECT_TRUE(response.truncated);
    EXPECT_GT(response.body.size(), 65536u);
    EXPECT_LE(response.body.size(), 65536u + 8192u);
    EXPECT_EQ(response.body.compare(0, 10, "0123456789"), 0);
}

TEST_F(WinHttpTransportTest, KeepsWhatArrivedBeforeConnectionDropped) {
    const HttpResponse response = Send("/transport/partial-drop");

    EXPECT_EQ(response.status, 200u);
    EXPECT_EQ(response.body, "0123");
}

TEST_F(WinHttpTransportTest, StallInsideBodyEndsWithinTimeOut) {
    const HttpResponse response = Send("/transport/partial-stall");

    EXPECT_EQ(response.status, 200u);
    EXPECT_EQ(response.body, "0123");
}

TEST_F(WinHttpTransportTest, FailedTlsHandshakeFailsToSend) {
    // The plain-HTTP port cannot negotiate TLS.
    HttpEndpoint endpoint = Server().Http();
    endpoint.secure = true;
    auto connected =
        CreatePlatformHttpTransport()->Connect({endpoint, "Qorva-Test/1.0", kTestTimeout});
    ASSERT_TRUE(connected.connection) << "WinHTTP connects lazily, at the first request";
    HttpRequest request;
    request.path = "/transport/echo";
    EXPECT_EQ(connected.connection->Send(request).failure, HttpFailure::kSendReceive);
}

struct TimeoutCase {
    const char* name;
    milliseconds every, connect, send, receive;
    // What WinHTTP then holds: resolve, connect, send, receive and response time-outs.
    std::vector<DWORD> applied;
};

DWORD QueryTimeout(HINTERNET handle, DWORD option) {
    DWORD value = 0;
    DWORD size = sizeof value;
    return WinHttpQueryOption(handle, option, &value, &size) ? value : 0;
}

TEST(WinHttpTimeoutsTest, EachPhaseGetsItsOwnBoundOrTheCommonOne) {
    const TimeoutCase cases[] = {
        {"one bound for every phase",
         milliseconds(4000),
         {},
         {},
         {},
         {4000, 4000, 4000, 4000, 4000}},
        {"phases bounded apart",
         milliseconds(2000),
         milliseconds(15000),
         milliseconds(30000),
         milliseconds(60000),
         {2000, 15000, 30000, 60000, 60000}},
        {"only receiving bounded apart",
         milliseconds(3000),
         {},
         {},
         milliseconds(45000),
         {3000, 3000, 3000, 45000, 45000}},
    };
    for (const TimeoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        HttpSessionOptions options;
        options.timeout = c.every;
        options.connectTimeout = c.connect;
        options.sendTimeout = c.send;
        options.receiveTimeout = c.receive;
        const HINTERNET session = WinHttpOpen(L"Qorva-Test/1.0", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                              WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        ASSERT_NE(session, nullptr);
        ApplyWinHttpTimeouts(session, options);
        std::vector<DWORD> applied;
        for (DWORD option : std::initializer_list<DWORD>{
                 WINHTTP_OPTION_RESOLVE_TIMEOUT, WINHTTP_OPTION_CONNECT_TIMEOUT,
                 WINHTTP_OPTION_SEND_TIMEOUT, WINHTTP_OPTION_RECEIVE_TIMEOUT,
                 WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT}) {
            applied.push_back(QueryTimeout(session, option));
        }
        EXPECT_EQ(applied, c.applied);
        WinHttpCloseHandle(session);
    }
}

// --- Translation client ----------------------------------------------------------------------

class TranslationLoopbackTest : public LoopbackTest {
protected:
    TranslationLoopbackTest() : service(CreatePlatformHttpTransport(), Server().Https()) {
        service.consent = true;
    }

    TranslationService service;
};

TEST_F(TranslationLoopbackTest, TranslatesOverHttps) {
    const std::wstring text = Utf8ToUtf16("আমি ভালো আছি");
    const TranslationResult result = service.TranslateDirect(text, 4000);

    EXPECT_TRUE(result.success) << result.error;
    EXPECT_EQ(result.translation, L"I am fine.");
    const auto received = NewRequests();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].method, "GET");
    EXPECT_EQ(received[0].target,
              "/translate_a/t?client=dict-chrome-ex&sl=bn&tl=en&q="
              "%E0%A6%86%E0%A6%AE%E0%A6%BF%20%E0%A6%AD%E0%A6%BE%E0%A6%B2%E0%A7%8B%20%E0%A6%86%E0%"
              "A6%9B%E0%A6%BF");
    EXPECT_NE(received[0].Header("User-Agent").find("Mozilla/5.0 (Windows NT 10.0; Win64; x64)"),
              std::string::npos);
}

struct FaultCase {
    const char* name;
    const wchar_t* text;
    const char* errorStart;
};

class TranslationFaultTest : public TranslationLoopbackTest,
                             public ::testing::WithParamInterface<FaultCase> {};

TEST_P(TranslationFaultTest, ReturnsShortErrorWithinTimeOut) {
    const TranslationResult result =
        service.TranslateDirect(GetParam().text, static_cast<uint32_t>(kTestTimeout.count()));

    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.error.rfind(GetParam().errorStart, 0), 0u) << result.error;
    EXPECT_LT(result.error.size(), 300u);
    EXPECT_EQ(service.CacheSize(), 0u);
    EXPECT_EQ(NewRequests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TranslationFaultTest,
    ::testing::Values(FaultCase{"Stalled", L"stall", "WinHttp send/receive failed"},
                      FaultCase{"Dropped", L"drop", "WinHttp send/receive failed"},
                      FaultCase{"Oversized", L"huge",
                                "Failed to parse translation response: [\"aaaa"},
                      FaultCase{"ServerBusy", L"busy", "HTTP error code: 503"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// --- Online transliteration client -----------------------------------------------------------

class CloudTranslitLoopbackTest : public LoopbackTest {
protected:
    CloudTranslitLoopbackTest() : client(CreatePlatformHttpTransport(), Server().Https()) {
        client.onResult = [this](const std::wstring& text, uint32_t generation,
                                 const std::vector<std::wstring>& candidates) {
            std::lock_guard<std::mutex> lock(mutex);
            answers.push_back({text, generation, candidates});
            answered.notify_all();
        };
    }
    ~CloudTranslitLoopbackTest() override { client.Stop(); }

    struct Answer {
        std::wstring text;
        uint32_t generation;
        std::vector<std::wstring> candidates;
    };

    std::mutex mutex;
    std::condition_variable answered;
    std::vector<Answer> answers;
    qorva_tsf::CloudTranslit client;
};

TEST_F(CloudTranslitLoopbackTest, FetchesCandidatesOverHttps) {
    client.Start();
    ASSERT_TRUE(Server().WaitForRequests(seen_ + 1));  // the warm-up
    client.Request(L"kemon", 12);

    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(
        answered.wait_for(lock, std::chrono::seconds(20), [&] { return !answers.empty(); }));
    EXPECT_EQ(answers[0].text, L"kemon");
    EXPECT_EQ(answers[0].generation, 12u);
    EXPECT_EQ(answers[0].candidates,
              (std::vector<std::wstring>{Utf8ToUtf16("কেমন"), Utf8ToUtf16("কেমোন")}));
    const auto received = NewRequests();
    ASSERT_EQ(received.size(), 2u);
    const std::string suffix = "&itc=bn-t-i0-und&num=5&cp=0&cs=1&ie=utf-8&oe=utf-8&app=demopage";
    EXPECT_EQ(received[0].target, "/request?text=ami" + suffix);
    EXPECT_EQ(received[1].target, "/request?text=kemon" + suffix);
    EXPECT_EQ(received[1].Header("User-Agent"), "Qorva/1.0 (Bangla TSF)");
}

TEST_F(CloudTranslitLoopbackTest, StopReturnsWhileServerStalls) {
    client.Start();
    ASSERT_TRUE(Server().WaitForRequests(seen_ + 1));
    client.Request(L"stall", 1);
    ASSERT_TRUE(Server().WaitForRequests(seen_ + 2));

    client.Stop();  // bounded by the client's time-out, whatever the server does

    EXPECT_TRUE(answers.empty());
}

}  // namespace
}  // namespace qorva
