#include "services/cloud_translit.h"

#include <system_error>
#include <utility>

#include "common/call_guarded.h"
#include "common/text.h"
#include "services/json_string.h"
#include "services/text_encoding.h"

namespace qorva_tsf {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kDebounce(100);
constexpr milliseconds kTimeout(6000);
constexpr milliseconds kConnectBackoff(2000);
constexpr milliseconds kRequestBackoff(1500);
// A connection idle for longer than this may have been dropped by the network; start afresh.
constexpr std::chrono::seconds kStaleConnection(20);
constexpr std::size_t kCacheLimit = 256;
constexpr std::size_t kMaxReplyBytes = 65536;
constexpr char kAgent[] = "Qorva/1.0 (Bangla TSF)";
constexpr char kWarmUpText[] = "ami";
constexpr char kQuerySuffix[] = "&itc=bn-t-i0-und&num=5&cp=0&cs=1&ie=utf-8&oe=utf-8&app=demopage";

// The service reads Latin letters only: code units above 127 are dropped.
std::string RequestPath(const std::wstring& text) {
    std::string ascii;
    for (wchar_t unit : text) {
        if (static_cast<uint32_t>(unit) <= 127) ascii.push_back(static_cast<char>(unit));
    }
    return "/request?text=" + qorva::PercentEncode(ascii) + kQuerySuffix;
}

bool IsListSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ','; }

// Index just after the third "[" that follows `from`, or npos.
std::size_t AfterThirdBracket(const std::string& reply, std::size_t from) {
    std::size_t pos = from;
    for (int i = 0; i < 3; ++i) {
        pos = reply.find('[', pos);
        if (pos == std::string::npos) return pos;
        ++pos;
    }
    return pos;
}

}  // namespace

bool CloudTranslit_ParseGoogleResponse(const std::string& reply,
                                       std::vector<std::string>& candidates) {
    candidates.clear();
    const std::size_t success = reply.find("\"SUCCESS\"");
    if (success == std::string::npos) return false;
    std::size_t pos = AfterThirdBracket(reply, success + 8);
    if (pos == std::string::npos) return false;
    for (;;) {
        while (pos < reply.size() && IsListSeparator(reply[pos])) ++pos;
        if (pos >= reply.size() || reply[pos] != '"') break;
        std::string candidate;
        if (!qorva::DecodeJsonString(reply, pos, candidate, pos)) break;
        if (!candidate.empty()) candidates.push_back(std::move(candidate));
    }
    return !candidates.empty();
}

qorva::HttpEndpoint CloudTranslit_DefaultEndpoint() { return {"inputtools.google.com", 443, true}; }

CloudTranslit::CloudTranslit()
    : CloudTranslit(qorva::CreatePlatformHttpTransport(), CloudTranslit_DefaultEndpoint()) {}

CloudTranslit::CloudTranslit(std::shared_ptr<qorva::HttpTransport> transport,
                             qorva::HttpEndpoint endpoint, Clock clock)
    : transport_(std::move(transport)),
      endpoint_(std::move(endpoint)),
      clock_(std::move(clock)),
      request_(kDebounce) {}

CloudTranslit::~CloudTranslit() { Stop(); }

bool CloudTranslit::Start() {
    if (worker_.joinable()) return true;
    request_.ClearStop();
    try {
        // The worker runs inside the host application: nothing it throws may end that process.
        worker_ = std::thread([this] { qorva::CallGuarded([&] { WorkerMain(); }); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CloudTranslit::Stop() {
    if (!worker_.joinable()) return;
    request_.RequestStop();
    worker_.join();
    CloseHttp();
}

void CloudTranslit::Request(const std::wstring& text, uint32_t generation) {
    request_.Post(text, generation);
}

void CloudTranslit::Cancel() { request_.Cancel(); }

void CloudTranslit::WorkerMain() {
    if (!request_.StopRequested()) {
        // Opens the connection before the first real request; the answer is only cached.
        warming_ = true;
        DoHttpRequest(qorva::Utf8ToUtf16(kWarmUpText), 0);
        warming_ = false;
    }
    while (auto request = request_.WaitForSettledRequest()) {
        DoHttpRequest(request->text, request->generation);
    }
}

void CloudTranslit::Deliver(const std::wstring& text, uint32_t generation,
                            const std::vector<std::wstring>& candidates) {
    if (onResult && !request_.StopRequested() && !warming_) onResult(text, generation, candidates);
}

void CloudTranslit::BackOff(std::chrono::steady_clock::duration delay) {
    backoffUntil_ = clock_() + delay;
}

bool CloudTranslit::DoHttpRequest(const std::wstring& text, uint32_t generation) {
    if (text.empty() || request_.StopRequested()) return false;
    const auto hit = cache_.find(text);
    if (hit != cache_.end()) {
        Deliver(text, generation, hit->second);
        return true;
    }
    if (!EnsureHttp()) return false;

    const std::string path = RequestPath(text);
    const auto started = clock_();
    if (connection_ && lastSuccess_ && started - *lastSuccess_ > kStaleConnection) CloseHttp();

    std::string body;
    for (int attempt = 1;; ++attempt) {
        if (request_.StopRequested() || !EnsureHttp()) {
            BackOff(kRequestBackoff);
            return false;
        }
        if (HttpGet(path, body)) break;
        CloseHttp();
        if (attempt == 2 || request_.StopRequested()) {
            BackOff(kRequestBackoff);
            return false;
        }
    }

    std::vector<std::string> utf8Candidates;
    if (!CloudTranslit_ParseGoogleResponse(body, utf8Candidates)) return false;
    backoffUntil_ = {};
    lastSuccess_ = started;
    std::vector<std::wstring> candidates;
    for (const std::string& candidate : utf8Candidates) {
        std::wstring wide = qorva::Utf8ToUtf16(candidate);
        if (!wide.empty()) candidates.push_back(std::move(wide));
    }
    if (candidates.empty()) return false;
    CacheStore(text, candidates);
    Deliver(text, generation, candidates);
    return true;
}

bool CloudTranslit::EnsureHttp() {
    if (connection_) return true;
    if (clock_() < backoffUntil_) return false;
    qorva::HttpConnectResult connected = transport_->Connect({endpoint_, kAgent, kTimeout});
    if (!connected.connection) {
        BackOff(kConnectBackoff);
        return false;
    }
    connection_ = std::move(connected.connection);
    return true;
}

void CloudTranslit::CloseHttp() { connection_.reset(); }

bool CloudTranslit::HttpGet(const std::string& path, std::string& body) {
    body.clear();
    if (!connection_) return false;
    qorva::HttpRequest request;
    request.path = path;
    request.maxBodyBytes = kMaxReplyBytes;
    qorva::HttpResponse response = connection_->Send(request);
    if (response.failure != qorva::HttpFailure::kNone) return false;
    body = std::move(response.body);
    // A status that could not be read counts as success.
    if (response.status != 0 && response.status != 200) return false;
    return !body.empty();
}

void CloudTranslit::CacheStore(const std::wstring& text,
                               const std::vector<std::wstring>& candidates) {
    if (text.empty() || candidates.empty()) return;
    if (cache_.size() >= kCacheLimit && cache_.find(text) == cache_.end())
        cache_.erase(cache_.begin());
    cache_[text] = candidates;
}

}  // namespace qorva_tsf
