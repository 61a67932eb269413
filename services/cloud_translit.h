#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "services/debounced_request.h"
#include "services/http_transport.h"

namespace qorva_tsf {

// Reads the UTF-8 candidates out of a reply of the online transliteration service: the strings of
// the array opened by the third "[" after the quoted word "SUCCESS". Empty strings are skipped;
// false when none is found.
bool CloudTranslit_ParseGoogleResponse(const std::string& reply,
                                       std::vector<std::string>& candidates);

// The production transliteration endpoint (HTTPS, port 443).
qorva::HttpEndpoint CloudTranslit_DefaultEndpoint();

// Asks the online transliteration service for Bengali spellings of a Latin word. A worker serves
// only the latest request once it has stayed unchanged for 100 ms, keeps one connection open,
// retries a failed request once on a fresh connection, backs off after failures and caches up to
// 256 answers. Failures are never reported: the owner keeps its offline candidates.
class CloudTranslit {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using ResultCallback = std::function<void(const std::wstring& text, uint32_t generation,
                                              const std::vector<std::wstring>& candidates)>;

    CloudTranslit();
    // `clock` decides the back-off and the reconnect after a quiet spell; tests pass their own.
    CloudTranslit(std::shared_ptr<qorva::HttpTransport> transport, qorva::HttpEndpoint endpoint,
                  Clock clock = &std::chrono::steady_clock::now);
    ~CloudTranslit();
    CloudTranslit(const CloudTranslit&) = delete;
    CloudTranslit& operator=(const CloudTranslit&) = delete;

    // Starts the worker, which first warms the connection up; harmless while it runs. False when
    // the system cannot start a thread. A worker that meets an exception ends; Stop and Start
    // bring it back.
    bool Start();
    // Ends the worker (waiting for a request in flight) and closes the connection. The cache,
    // the back-off and the callback survive.
    void Stop();
    // Replaces the pending request; an empty text is ignored. Never answers on the caller's
    // thread, not even from the cache.
    void Request(const std::wstring& text, uint32_t generation);
    // Empties the pending request.
    void Cancel();

    // Called on the worker thread with no lock held; must not call Stop.
    ResultCallback onResult;

private:
    void WorkerMain();
    bool DoHttpRequest(const std::wstring& text, uint32_t generation);
    bool EnsureHttp();
    void CloseHttp();
    bool HttpGet(const std::string& path, std::string& body);
    void CacheStore(const std::wstring& text, const std::vector<std::wstring>& candidates);
    void Deliver(const std::wstring& text, uint32_t generation,
                 const std::vector<std::wstring>& candidates);
    void BackOff(std::chrono::steady_clock::duration delay);

    const std::shared_ptr<qorva::HttpTransport> transport_;
    const qorva::HttpEndpoint endpoint_;
    const Clock clock_;
    std::thread worker_;
    qorva::DebouncedRequest request_;

    // Worker thread only.
    std::unique_ptr<qorva::HttpConnection> connection_;
    std::chrono::steady_clock::time_point backoffUntil_{};
    std::optional<std::chrono::steady_clock::time_point> lastSuccess_;
    std::map<std::wstring, std::vector<std::wstring>> cache_;
    bool warming_ = false;
};

}  // namespace qorva_tsf
