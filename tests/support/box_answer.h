// Answers a message box that the code under test shows, found by its caption, from a thread of
// its own: the box may run modal on the test's thread or on a worker thread. Windows only.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace qorva_test {

// Presses a button of the first message box with the caption shown within 30 seconds; remembers
// the box's text and owner. A window of another class (a dialog of the program's own) is answered
// the same way: the button is the control with that id.
class BoxAnswer {
public:
    BoxAnswer(std::wstring caption, int button, std::wstring windowClass = L"#32770");
    ~BoxAnswer();
    BoxAnswer(const BoxAnswer&) = delete;
    BoxAnswer& operator=(const BoxAnswer&) = delete;

    bool Answered() const { return answered_; }
    // Valid once Answered() holds.
    const std::wstring& Text() const { return text_; }
    HWND Owner() const { return owner_; }

private:
    std::wstring caption_;
    int button_;
    std::wstring windowClass_;
    std::wstring text_;
    HWND owner_ = nullptr;
    std::atomic<bool> answered_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace qorva_test
