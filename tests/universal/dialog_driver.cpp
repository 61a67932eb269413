#include "tests/universal/dialog_driver.h"

#include <objidl.h>
#include <gdiplus.h>

namespace qorva_test {

bool WaitUntil(const std::function<bool()>& done, DWORD waitMs) {
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

HWND WaitForWindow(const wchar_t* className, DWORD waitMs) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = FindWindowW(className, nullptr);
            return window && IsWindowVisible(window);
        },
        waitMs);
    return window && IsWindowVisible(window) ? window : nullptr;
}

void Press(HWND dialog, int controlId) {
    PostMessageW(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

bool IsChecked(HWND dialog, int controlId) {
    return SendMessageW(GetDlgItem(dialog, controlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring ControlText(HWND dialog, int controlId) {
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, controlId, text, 256);
    return text;
}

bool EndsOrIsClosed(HWND dialog, DWORD waitMs) {
    if (WaitUntil([&] { return !IsWindow(dialog); }, waitMs)) return true;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return false;
}

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

void StartGdiplusOnce() {
    static const bool started = [] {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    static_cast<void>(started);
}

}  // namespace qorva_test
