#include "services/translation_service.h"

#include <system_error>
#include <utility>

#include "common/call_guarded.h"
#include "common/text.h"
#include "services/text_encoding.h"
#include "services/translation_response.h"

namespace qorva {
namespace {

constexpr auto kDebounce = std::chrono::milliseconds(120);
constexpr uint32_t kWorkerTimeoutMs = 4000;
constexpr std::size_t kCacheLimit = 500;
constexpr std::size_t kMaxReplyBytes = std::size_t{1} << 20;
// The reply quoted in an error text is cut to this many bytes.
constexpr std::size_t kMaxQuotedReplyBytes = 200;
constexpr char kSessionAgent[] = "Qorva-Translator/1.0";
constexpr char kBrowserAgent[] = "Mozilla/5.0 (Windows NT 10.0; Win64; x64)";
constexpr char kTranslatePath[] = "/translate_a/t?client=dict-chrome-ex&sl=bn&tl=en&q=";

TranslationResult Failure(const std::wstring& text, std::string error) {
    TranslationResult result;
    result.source = text;
    result.error = std::move(error);
    return result;
}

std::string ConnectError(HttpFailure failure) {
    return failure == HttpFailure::kOpenSession ? "WinHttpOpen failed" : "WinHttpConnect failed";
}

std::string SendError(HttpFailure failure) {
    return failure == HttpFailure::kOpenRequest ? "WinHttpOpenRequest failed"
                                                : "WinHttp send/receive failed";
}

// Error texts are short printable ASCII, whatever a hostile reply holds.
std::string QuoteReply(const std::string& body) {
    std::string quoted;
    for (std::size_t i = 0; i < body.size() && i < kMaxQuotedReplyBytes; ++i) {
        const auto byte = static_cast<unsigned char>(body[i]);
        quoted.push_back(byte >= 0x20 && byte < 0x7F ? body[i] : '?');
    }
    if (body.size() > kMaxQuotedReplyBytes) quoted += "...";
    return quoted;
}

}  // namespace

HttpEndpoint DefaultTranslationEndpoint() { return {"translate.googleapis.com", 443, true}; }

TranslationService::TranslationService()
    : TranslationService(CreatePlatformHttpTransport(), DefaultTranslationEndpoint()) {}

TranslationService::TranslationService(std::shared_ptr<HttpTransport> transport,
                                       HttpEndpoint endpoint)
    : transport_(std::move(transport)), endpoint_(std::move(endpoint)), request_(kDebounce) {}

TranslationService::~TranslationService() { Stop(); }

bool TranslationService::Start() {
    if (worker_.joinable()) return true;
    request_.ClearStop();
    try {
        // The worker runs inside the host application: nothing it throws may end that process.
        worker_ = std::thread([this] { CallGuarded([&] { WorkerLoop(); }); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void TranslationService::Stop() {
    request_.RequestStop();
    if (worker_.joinable()) worker_.join();
}

void TranslationService::RequestTranslation(const std::wstring& text, uint32_t generation) {
    if (text.empty()) return;
    {
        std::lock_guard<std::mutex> lock(cacheMutex_);
        const auto hit = cache_.find(text);
        if (hit != cache_.end()) {
            if (onResult) onResult(text, hit->second, generation);
            return;
        }
    }
    request_.Post(text, generation);
}

void TranslationService::Cancel() { request_.Cancel(); }

bool TranslationService::LookupCache(const std::wstring& text, std::wstring& translation) const {
    std::lock_guard<std::mutex> lock(cacheMutex_);
    const auto hit = cache_.find(text);
    if (hit == cache_.end()) return false;
    translation = hit->second;
    return true;
}

void TranslationService::ClearCache() {
    std::lock_guard<std::mutex> lock(cacheMutex_);
    cache_.clear();
}

std::size_t TranslationService::CacheSize() const {
    std::lock_guard<std::mutex> lock(cacheMutex_);
    return cache_.size();
}

void TranslationService::WorkerLoop() {
    while (auto request = request_.WaitForSettledRequest()) {
        ServeRequest(*request);
    }
}

void TranslationService::ServeRequest(const PendingRequest& request) {
    std::wstring translation;
    if (LookupCache(request.text, translation)) {
        if (onResult && !request_.StopRequested())
            onResult(request.text, translation, request.generation);
        return;
    }
    if (!consent.load()) return;
    const TranslationResult result = TranslateDirect(request.text, kWorkerTimeoutMs);
    // Failures are dropped: the owner keeps what it shows without the translation.
    if (result.success && onResult && !request_.StopRequested()) {
        onResult(request.text, result.translation, request.generation);
    }
}

TranslationResult TranslationService::TranslateDirect(const std::wstring& text,
                                                      uint32_t timeoutMs) {
    if (text.empty()) return Failure(text, "Empty input");
    TranslationResult result;
    result.source = text;
    if (LookupCache(text, result.translation)) {
        result.success = true;
        return result;
    }
    if (!consent.load()) return Failure(text, "Translation consent disabled by user");
    result = FetchTranslation(text, timeoutMs);
    if (result.success) CacheStore(text, result.translation);
    return result;
}

TranslationResult TranslationService::FetchTranslation(const std::wstring& text,
                                                       uint32_t timeoutMs) {
    // Each translation opens its own session and connection and closes them before returning.
    const HttpSessionOptions options{endpoint_, kSessionAgent,
                                     std::chrono::milliseconds(timeoutMs)};
    HttpConnectResult connected = transport_->Connect(options);
    if (!connected.connection) return Failure(text, ConnectError(connected.failure));

    HttpRequest request;
    request.path = kTranslatePath + PercentEncode(Utf16ToUtf8(text));
    request.headers.push_back({"User-Agent", kBrowserAgent});
    request.maxBodyBytes = kMaxReplyBytes;
    const HttpResponse response = connected.connection->Send(request);
    connected.connection.reset();

    if (response.failure != HttpFailure::kNone) return Failure(text, SendError(response.failure));
    if (response.status != 200)
        return Failure(text, "HTTP error code: " + std::to_string(response.status));
    std::string english;
    if (!ParseTranslationResponse(response.body, english)) {
        return Failure(text, "Failed to parse translation response: " + QuoteReply(response.body));
    }
    TranslationResult result;
    result.source = text;
    result.translation = Utf8ToUtf16(english);
    result.success = true;
    return result;
}

void TranslationService::CacheStore(const std::wstring& text, const std::wstring& translation) {
    std::lock_guard<std::mutex> lock(cacheMutex_);
    // Full: the smallest key goes first, even when `text` is already a key (it is then stored
    // again below), so the cache never exceeds its limit.
    if (cache_.size() >= kCacheLimit) cache_.erase(cache_.begin());
    cache_[text] = translation;
}

}  // namespace qorva
