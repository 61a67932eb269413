// Shows the top bar in its looks one above the other, for a screenshot to review by eye: Bangla,
// English and translation mode, compact, and with the pointer on its power button:
//   topbar_demo.exe [milliseconds to stay, 6000 by default]
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cwchar>

#include "universal/topbar_window.h"

namespace {

using qorva::ModeTarget;
using qorva::universal::TopBarWindow;

constexpr int kLeft = 10;
constexpr int kRowPitch = 44;

bool ShowAt(TopBarWindow& bar, HINSTANCE instance, int row, ModeTarget mode, bool autoHide) {
    if (!bar.Initialize(instance, nullptr)) return false;
    bar.SetAutoHide(autoHide);
    bar.UpdateMode(mode);
    bar.SetPosition(kLeft, 10 + row * kRowPitch);
    bar.Show(true);
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const UINT stayMs = commandLine && *commandLine ? std::wcstoul(commandLine, nullptr, 10) : 6000;
    Gdiplus::GdiplusStartupInput gdiplus;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &gdiplus, nullptr);
    {
        TopBarWindow bars[5];
        if (!ShowAt(bars[0], instance, 0, ModeTarget::Bangla, false) ||
            !ShowAt(bars[1], instance, 1, ModeTarget::English, false) ||
            !ShowAt(bars[2], instance, 2, ModeTarget::BanglishToEnglish, false) ||
            !ShowAt(bars[3], instance, 3, ModeTarget::Bangla, true) ||
            !ShowAt(bars[4], instance, 4, ModeTarget::Bangla, false)) {
            return 1;
        }
        // Collapsed, and kept so while the pointer stays away.
        bars[3].CollapseToCompact();
        // The pointer on the last bar's power button.
        const qorva::universal::LayoutRect& power =
            bars[4].State().buttons[static_cast<int>(TopBarWindow::ButtonId::Menu) - 1];
        const POINT client{(power.left + power.right) / 2, (power.top + power.bottom) / 2};
        SetCursorPos(kLeft + client.x, 10 + 4 * kRowPitch + client.y);
        SendMessageW(bars[4].Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));

        SetTimer(nullptr, 0, stayMs, nullptr);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0 &&
               !(message.message == WM_TIMER && message.hwnd == nullptr)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
