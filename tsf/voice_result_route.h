// The way back from a transcription worker to the candidate window of one activation. Workers run
// detached and may outlive the activation, even the whole text service: each holds a share of the
// route, and the manager closes it when it shuts down, so a transcript that arrives later finds no
// window and is dropped instead of reaching a destroyed one.
#pragma once

#include <mutex>
#include <string>

#include "tsf/candidate_window.h"

namespace qorva_tsf {

class VoiceResultRoute {
public:
    explicit VoiceResultRoute(CandidateWindow* window) : window_(window) {}

    // From any thread: hands the result to the window's thread while the route is open.
    void Post(const std::wstring& text, const std::wstring& error) {
        std::lock_guard<std::mutex> hold(lock_);
        if (window_) window_->PostVoiceResult(text, error);
    }

    // Once closed, nothing reaches the window any more; a post running now finishes first.
    void Close() {
        std::lock_guard<std::mutex> hold(lock_);
        window_ = nullptr;
    }

private:
    std::mutex lock_;
    CandidateWindow* window_;
};

}  // namespace qorva_tsf
