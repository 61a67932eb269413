#include "universal/candidate_popup.h"

#include <chrono>

#include "common/call_guarded.h"
#include "tsf/candidate_layout.h"
#include "tsf/candidate_window.h"

namespace qorva::universal {
namespace {

// Thread messages of the window's thread.
constexpr UINT kApplyMessage = WM_APP + 0x73;
constexpr UINT kStopMessage = WM_APP + 0x74;
constexpr auto kStopWait = std::chrono::seconds(2);

}  // namespace

CandidatePopup::~CandidatePopup() { Stop(); }

bool CandidatePopup::Start(HINSTANCE instance, HWND owner, CaretLocator locator) {
    if (thread.joinable()) return started;
    locateCaret = std::move(locator);
    std::promise<bool> created;
    std::future<bool> answer = created.get_future();
    std::promise<void> done;
    finished = done.get_future();
    thread = std::thread([this, instance, owner, &created, done = std::move(done)]() mutable {
        Run(instance, owner, created);
        done.set_value();
    });
    started = answer.get();
    return started;
}

void CandidatePopup::Stop() {
    if (!thread.joinable()) return;
    PostThreadMessageW(threadId, kStopMessage, 0, 0);
    if (finished.wait_for(kStopWait) == std::future_status::ready) {
        thread.join();
    } else {
        thread.detach();
    }
    started = false;
    shown = State{};
}

void CandidatePopup::ShowCandidates(const std::vector<std::wstring>& rows, size_t selected,
                                    bool nextWordBanner, POINT lastClick) {
    if (!started) return;
    if (rows.empty()) {
        Hide();
        return;
    }
    shown.rows = rows;
    shown.selected = qorva_tsf::ClampSelection(selected, rows.size());
    shown.visible = true;
    shown.nextWordBanner = nextWordBanner;
    shown.lastClick = lastClick;
    ++shown.generation;
    Publish();
}

void CandidatePopup::Hide() {
    if (!shown.visible) return;
    shown.visible = false;
    shown.nextWordBanner = false;
    shown.rows.clear();
    Publish();
}

void CandidatePopup::SelectNext() {
    if (shown.rows.empty()) return;
    shown.selected = qorva_tsf::NextSelection(shown.selected, shown.rows.size());
    Publish();
}

void CandidatePopup::SelectPrev() {
    if (shown.rows.empty()) return;
    shown.selected = qorva_tsf::PrevSelection(shown.selected, shown.rows.size());
    Publish();
}

// One message at a time waits in the window thread's queue, however fast the keys come: the
// thread reads the newest state when it gets to it.
void CandidatePopup::Publish() {
    {
        const std::lock_guard<std::mutex> hold(lock);
        pending = shown;
    }
    if (!applyPosted.exchange(true) && !PostThreadMessageW(threadId, kApplyMessage, 0, 0)) {
        applyPosted = false;
    }
}

void CandidatePopup::Run(HINSTANCE instance, HWND owner, std::promise<bool>& created) {
    threadId = GetCurrentThreadId();
    MSG message;
    // The thread's queue exists before the owner can post to it.
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    qorva_tsf::CandidateWindow candidateWindow;
    State applied;
    candidateWindow.onSelect = [owner, &applied](size_t row) {
        PostMessageW(owner, kPopupRowClickedMessage, row, static_cast<LPARAM>(applied.generation));
    };
    candidateWindow.onConversionTargetChanged =
        [owner](qorva_tsf::CandidateConversionTarget target) {
            PostMessageW(owner, kPopupHeaderClickedMessage, static_cast<WPARAM>(target), 0);
        };
    const bool made = candidateWindow.Initialize(instance);
    window = candidateWindow.Handle();
    created.set_value(made);
    if (!made) return;

    auto apply = [&] {
        applyPosted = false;
        State next;
        {
            const std::lock_guard<std::mutex> hold(lock);
            next = pending;
        }
        if (!next.visible) {
            candidateWindow.Hide();
        } else if (!applied.visible || next.generation != applied.generation) {
            candidateWindow.nextWordBanner = next.nextWordBanner;
            candidateWindow.ShowCandidates(next.rows, next.selected, locateCaret(next.lastClick));
        } else if (next.selected != applied.selected) {
            candidateWindow.Select(next.selected);
        }
        applied = std::move(next);
    };
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kStopMessage) break;
        if (message.hwnd == nullptr && message.message == kApplyMessage) {
            CallGuarded(apply);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    window = nullptr;
    candidateWindow.Destroy();
}

}  // namespace qorva::universal
