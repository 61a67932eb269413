// Blocking work (update checks, downloads) runs on detached threads that touch no window state:
// each hands its result to a window as a heap record posted with a message, and the window that
// receives it uses and frees it. Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace qorva {

// Posts a heap record to the window, which then owns it; the record is freed here when the window
// is gone and the message could not be posted.
template <typename Record>
void PostRecord(HWND window, UINT message, WPARAM value, std::unique_ptr<Record> record) {
    if (PostMessageW(window, message, value, reinterpret_cast<LPARAM>(record.get()))) {
        record.release();
    }
}

// Runs `work` on a thread of its own that nobody joins; false when no thread could be started.
inline bool StartDetached(std::function<void()> work) {
    try {
        std::thread(std::move(work)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace qorva
