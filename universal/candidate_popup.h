// The universal program's candidate window, run on a thread of its own. The keyboard hook has to
// answer every key of the session at once, and measuring, placing and painting Bengali text can
// hold a thread for milliseconds (some text shapers far longer): so the hook's thread only says
// what the window is to show, and this thread shows it, the newest state winning. The hook reads
// what is shown (rows, selection) from this object, never from the window. A click on a row or on
// the header comes back to the owner window as a posted message, acted on in the owner's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qorva::universal {

// Posted to the owner window. A row was clicked: wParam the row, lParam the generation of the list
// it belongs to. The header switched the conversion target: wParam the new target.
inline constexpr UINT kPopupRowClickedMessage = WM_APP + 0x71;
inline constexpr UINT kPopupHeaderClickedMessage = WM_APP + 0x72;

class CandidatePopup {
public:
    // Where the list opens, in screen coordinates, given the last click the owner saw.
    using CaretLocator = std::function<RECT(POINT lastClick)>;

    CandidatePopup() = default;
    ~CandidatePopup();
    CandidatePopup(const CandidatePopup&) = delete;
    CandidatePopup& operator=(const CandidatePopup&) = delete;

    // Starts the thread and creates the hidden window there; false when the window could not be
    // made, and then nothing is ever shown.
    bool Start(HINSTANCE instance, HWND owner, CaretLocator locateCaret);
    // Ends the thread and its window. A thread that does not end in time (stuck in the system's
    // text drawing) is left to the end of the process rather than holding up the shut-down.
    void Stop();

    // Called on the owner's thread only.
    void ShowCandidates(const std::vector<std::wstring>& rows, size_t selected, bool nextWordBanner,
                        POINT lastClick);
    void Hide();
    void SelectNext();
    void SelectPrev();

    bool Visible() const { return shown.visible; }
    size_t Selected() const { return shown.selected; }
    // Names the list a row click belongs to; a click on a list since replaced is ignored.
    uint64_t Generation() const { return shown.generation; }
    // Any thread.
    HWND Handle() const { return window.load(); }

private:
    struct State {
        std::vector<std::wstring> rows;
        size_t selected = 0;
        bool visible = false;
        bool nextWordBanner = false;
        POINT lastClick{0, 0};
        uint64_t generation = 0;
    };

    void Publish();
    void Run(HINSTANCE instance, HWND owner, std::promise<bool>& created);

    State shown;  // the owner's thread's view of the window
    std::mutex lock;
    State pending;  // the newest state, for the window's thread
    std::atomic<bool> applyPosted{false};
    std::atomic<HWND> window{nullptr};
    CaretLocator locateCaret;
    std::thread thread;
    DWORD threadId = 0;
    std::future<void> finished;
    bool started = false;
};

}  // namespace qorva::universal
