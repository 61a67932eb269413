// Driving the universal program's modal dialogs from a Windows test: the test's thread (or a
// check thread) runs the dialog's own loop, while a driver thread finds its window, reads its
// controls and presses them as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace qorva_test {

// Runs `steps` on a thread of its own and joins it when destroyed.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void()> steps) : thread_(std::move(steps)) {}
    ~DialogDriver() { thread_.join(); }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

private:
    std::thread thread_;
};

// Waits on a thread without windows until `done` holds; false after `waitMs`.
bool WaitUntil(const std::function<bool()>& done, DWORD waitMs = 30000);

// The visible top-level window of the class once it shows; null after `waitMs`.
HWND WaitForWindow(const wchar_t* className, DWORD waitMs = 30000);

// A control of the dialog, pressed the way a click presses it; returns at once.
void Press(HWND dialog, int controlId);
bool IsChecked(HWND dialog, int controlId);
std::wstring ControlText(HWND dialog, int controlId);
// A dialog that did not end within `waitMs` of what should have ended it is closed, so that the
// test fails instead of hanging; false then.
bool EndsOrIsClosed(HWND dialog, DWORD waitMs = 10000);
// The window that has the keyboard focus on the dialog's thread.
HWND FocusOf(HWND dialog);

// GDI+ started for the test program's life, as the program starts it before any window.
void StartGdiplusOnce();

}  // namespace qorva_test
