#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "services/debounced_request.h"
#include "services/http_transport.h"

namespace qorva {

// The outcome of one translation; the caller owns it.
struct TranslationResult {
    std::wstring source;       // the text that was to be translated, always set
    std::wstring translation;  // empty unless success
    bool success = false;
    std::string error;  // ASCII, short; empty on success
};

// The production translation endpoint (HTTPS, port 443).
HttpEndpoint DefaultTranslationEndpoint();

// Translates Bangla text into polished English through the online service, either on a worker
// that serves only the latest request once it has settled, or synchronously with a time-out.
// Both ways share one in-memory cache. Nothing goes to the network unless `consent` is true.
class TranslationService {
public:
    using ResultCallback = std::function<void(
        const std::wstring& source, const std::wstring& translation, uint32_t generation)>;

    TranslationService();
    TranslationService(std::shared_ptr<HttpTransport> transport, HttpEndpoint endpoint);
    ~TranslationService();
    TranslationService(const TranslationService&) = delete;
    TranslationService& operator=(const TranslationService&) = delete;

    // Starts the worker; harmless while it runs. False when the system cannot start a thread. A
    // worker that meets an exception ends; Stop and Start bring it back.
    bool Start();
    // Drops the pending request and joins the worker, waiting for a translation in flight.
    void Stop();

    // A cached text is answered at once on the calling thread, with the cache lock held, so the
    // callback must not call back into the cache operations. Otherwise the text becomes the
    // pending request of the worker, replacing an older one. An empty text is ignored.
    void RequestTranslation(const std::wstring& text, uint32_t generation);
    // Empties the pending request.
    void Cancel();
    // On a hit copies the translation out; on a miss leaves `translation` untouched.
    bool LookupCache(const std::wstring& text, std::wstring& translation) const;
    // One blocking translation; every network phase is bounded by `timeoutMs`.
    TranslationResult TranslateDirect(const std::wstring& text, uint32_t timeoutMs);
    void ClearCache();
    std::size_t CacheSize() const;

    // Network use allowed. Written directly by the owner; read at the moment it matters.
    std::atomic<bool> consent{false};
    // Receives the worker's results on the worker thread (no lock held) and cache hits of
    // RequestTranslation on the caller's thread. Empty by default.
    ResultCallback onResult;

private:
    void WorkerLoop();
    void ServeRequest(const PendingRequest& request);
    TranslationResult FetchTranslation(const std::wstring& text, uint32_t timeoutMs);
    void CacheStore(const std::wstring& text, const std::wstring& translation);

    const std::shared_ptr<HttpTransport> transport_;
    const HttpEndpoint endpoint_;
    DebouncedRequest request_;
    mutable std::mutex cacheMutex_;
    std::map<std::wstring, std::wstring> cache_;
    std::thread worker_;
};

}  // namespace qorva
