#include "services/debounced_request.h"

#include <utility>

namespace qorva {

DebouncedRequest::DebouncedRequest(std::chrono::milliseconds debounce) : debounce_(debounce) {}

void DebouncedRequest::Post(std::wstring text, uint32_t generation) {
    if (text.empty()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.text = std::move(text);
        pending_.generation = generation;
    }
    condition_.notify_all();
}

void DebouncedRequest::Cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.text.clear();
}

void DebouncedRequest::RequestStop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_.exchange(true);
        pending_.text.clear();
    }
    condition_.notify_all();
}

void DebouncedRequest::ClearStop() { stop_.exchange(false); }

bool DebouncedRequest::StopRequested() const { return stop_.load(); }

bool DebouncedRequest::ChangedSince(const PendingRequest& snapshot) const {
    return stop_.load() || pending_.text != snapshot.text ||
           pending_.generation != snapshot.generation;
}

std::optional<PendingRequest> DebouncedRequest::WaitForSettledRequest() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        condition_.wait(lock, [this] { return stop_.load() || !pending_.text.empty(); });
        if (stop_.load()) return std::nullopt;
        PendingRequest snapshot = pending_;
        // Every change, even to an empty text or only to a new generation, restarts the wait.
        for (;;) {
            const auto deadline = std::chrono::steady_clock::now() + debounce_;
            const bool changed =
                condition_.wait_until(lock, deadline, [&] { return ChangedSince(snapshot); });
            if (stop_.load()) return std::nullopt;
            if (!changed) break;
            snapshot = pending_;
        }
        if (!snapshot.text.empty()) {
            pending_.text.clear();  // the generation stays
            return snapshot;
        }
        // Cancelled during the wait and nothing new since: nothing to serve.
    }
}

}  // namespace qorva
