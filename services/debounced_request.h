#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace qorva {

struct PendingRequest {
    std::wstring text;
    uint32_t generation = 0;
};

// The one pending-request slot between an owner's thread and one worker thread. A newer request
// replaces the older one, and the worker takes a request only once it has stayed unchanged (same
// text, same generation) for the debounce interval, so a burst of keystrokes costs one request.
class DebouncedRequest {
public:
    explicit DebouncedRequest(std::chrono::milliseconds debounce);
    DebouncedRequest(const DebouncedRequest&) = delete;
    DebouncedRequest& operator=(const DebouncedRequest&) = delete;

    // Replaces the pending request and wakes the worker. An empty text is ignored.
    void Post(std::wstring text, uint32_t generation);
    // Empties the pending text; the generation is kept and nobody is woken.
    void Cancel();
    // Asks the worker to end: empties the pending text and wakes every waiter.
    void RequestStop();
    // Clears the stop request before a new worker starts.
    void ClearStop();
    bool StopRequested() const;

    // Worker side: blocks until a non-empty request has stayed unchanged for the debounce
    // interval and takes it out of the slot; nothing once a stop is requested.
    std::optional<PendingRequest> WaitForSettledRequest();

private:
    bool ChangedSince(const PendingRequest& snapshot) const;

    const std::chrono::milliseconds debounce_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::condition_variable condition_;
    PendingRequest pending_;
};

}  // namespace qorva
