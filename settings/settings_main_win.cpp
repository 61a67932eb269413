// qorva_settings.exe: the dashboard window, opened at the section its command line names.
#include <windows.h>
#include <commctrl.h>

#include "settings/dashboard_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    const qorva::SectionID section = qorva::SectionForCommandLine(commandLine ? commandLine : "");

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    HWND window = qorva::CreateDashboardWindow(instance, section);
    if (!window) return 0;
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
