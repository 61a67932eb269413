// Shows the on-screen keyboard's four tabs, and the English tab with Shift latched, side by side
// for a screenshot to review by eye:
//   virtual_keyboard_demo.exe [milliseconds to stay, 6000 by default]
#include <windows.h>

#include <cwchar>

#include "universal/osk_layout.h"
#include "universal/virtual_keyboard_window.h"

namespace {

using qorva::universal::OskTab;
using qorva::universal::VirtualKeyboardWindow;

constexpr int kGap = 8;

bool ShowAt(VirtualKeyboardWindow& keyboard, HINSTANCE instance, OskTab tab, int column, int row) {
    if (!keyboard.Initialize(instance, nullptr)) return false;
    keyboard.SetTab(tab);
    SetWindowPos(keyboard.Handle(), nullptr, column * (qorva::universal::kOskWidth + kGap),
                 row * (qorva::universal::kOskHeight + kGap), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    keyboard.Show(true);
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const UINT stayMs = commandLine && *commandLine ? std::wcstoul(commandLine, nullptr, 10) : 6000;
    VirtualKeyboardWindow keyboards[5];
    const OskTab tabs[] = {OskTab::English, OskTab::Bangla, OskTab::Characters, OskTab::Emoji,
                           OskTab::English};
    for (int i = 0; i < 5; ++i) {
        if (!ShowAt(keyboards[i], instance, tabs[i], i % 2, i / 2)) return 1;
    }
    // The last one with its Shift latched, by a click on the left Shift key.
    for (const qorva::universal::OskKey& key : keyboards[4].Keys(OskTab::English)) {
        if (key.label != L"Shift") continue;
        const LPARAM point = MAKELPARAM(key.rect.left + 4, key.rect.top + 4);
        SendMessageW(keyboards[4].Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(keyboards[4].Handle(), WM_LBUTTONUP, 0, point);
        break;
    }

    SetTimer(nullptr, 0, stayMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
