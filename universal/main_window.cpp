// The hidden main window: owner of the tray icon, the timers and the hot keys.
#include "common/call_guarded.h"
#include "universal/universal_host.h"

namespace qorva::universal {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kSettingsTimer) {
                CallGuarded([] {
                    ResetIfFocusChanged();
                    LoadSettings();
                });
            }
            return 0;
        case WM_HOTKEY:
            // The same toggles as the keyboard hook's keys, for when the hook does not take them.
            if (wParam == kTranslationHotKeyId) CallGuarded([] { TriggerTranslationToggle(); });
            if (wParam == kModeHotKeyId) CallGuarded([] { TriggerModeToggle(); });
            return 0;
        case WM_ENDSESSION:
            // The session ends and the process with it, without a message loop's orderly end:
            // the engine writes what it learned now. Typing goes on without an engine meanwhile.
            if (wParam) g_engine.reset();
            return 0;
        case WM_DESTROY:
            // Ends the message loop; the entry point then shuts down in order.
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace qorva::universal
