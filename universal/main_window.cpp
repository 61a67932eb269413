// The hidden main window: the program's control centre on the message-loop thread. It follows the
// shared mode's broadcast, answers other programs' requests to show or re-centre the top bar, runs
// the timers, receives the registered hot keys, the tray icons' clicks, the program's commands and
// the update checks' found releases.
#include "common/call_guarded.h"
#include "universal/message_filter.h"
#include "universal/mode_ipc.h"
#include "universal/universal_host.h"
#include "update/update_calls.h"

namespace qorva::universal {
namespace {

bool s_restart_requested = false;

// Lets the messages that other programs send reach the window from a lower integrity level too.
void AllowMainWindowMessages() {
    AllowMessagesFromOtherPrograms(
        g_window, {ModeIpc::GetBroadcastMessage(), ModeIpc::GetShowTopBarMessage(),
                   ModeIpc::GetResetTopBarMessage(), TaskbarCreatedMessage(), kHotkeyTrayMessage,
                   kPinTrayMessage, static_cast<UINT>(WM_COMMAND)});
}

void OnHotkeyTrayIcon(UINT mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONUP: RaiseTopBar(); break;
        case WM_LBUTTONDBLCLK: ToggleTopBar(); break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU: ShowTrayMenu(); break;
        case NIN_BALLOONUSERCLICK:
            UpdateCallsInUse().launchOfficialUpdateFlow(g_latest_update_url);
            break;
    }
}

void OnLanguagePinIcon(UINT mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONUP: TriggerModeToggle(); break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU: ShowLanguagePinMenu(); break;
    }
}

void OnTimer(UINT_PTR timer) {
    if (timer == kSettingsTimer) {
        ResetIfFocusChanged();
        LoadSettings();
        UpdateTray();
    } else if (timer == kStartupCheckTimer) {
        KillTimer(g_window, kStartupCheckTimer);
        if (g_settings.autoCheckUpdate) StartStartupUpdateCheck(g_window);
    }
}

// The program's commands, also when another window posts them: the tray's, and the clean
// uninstall, which ends the program.
void OnCommand(unsigned command) {
    if (command == kCleanUninstallCommand) {
        PerformCleanUninstall(g_window);
    } else {
        RunTrayCommand(command);
    }
}

void OnHotKey(WPARAM id) {
    switch (id) {
        case kPauseHotKeyId: TogglePause(); break;
        case kTranslationHotKeyId: TriggerTranslationToggle(); break;
        case kModeHotKeyId: TriggerModeToggle(); break;
        case kVoiceHotKeyId: g_topbar.LaunchVoiceInput(); break;
    }
}

// A click on a row of the list still shown commits it like its selection key; a click on a list
// that has since changed (a key came first) is dropped.
void OnRowClicked(WPARAM row, LPARAM generation) {
    if (!g_candidate_popup.Visible()) return;
    if (static_cast<uint64_t>(generation) != g_candidate_popup.Generation()) return;
    CommitCandidateByIndex(row);
}

// The messages registered at run time, which a switch cannot name; true when handled.
bool OnRegisteredMessage(UINT message) {
    if (message == ModeIpc::GetBroadcastMessage()) {
        ModeIpc::Instance().EnsureMapped();
        UpdateTray();
        g_topbar.UpdateMode(ModeIpc::Instance().GetMode());
        return true;
    }
    if (message == ModeIpc::GetShowTopBarMessage()) {
        ShowTopBarOnRequest();
        return true;
    }
    if (message == ModeIpc::GetResetTopBarMessage()) {
        ResetTopBarOnRequest();
        return true;
    }
    if (message == TaskbarCreatedMessage()) {
        ReAddTrayIcons();
        return true;
    }
    return false;
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= 0xC000 && CallGuarded(false, [&] { return OnRegisteredMessage(message); })) {
        return 0;
    }
    switch (message) {
        case kHotkeyTrayMessage: CallGuarded([&] { OnHotkeyTrayIcon(LOWORD(lParam)); }); return 0;
        case kUpdateResultMessage: CallGuarded([&] { OnUpdateResult(wParam, lParam); }); return 0;
        case kPinTrayMessage: CallGuarded([&] { OnLanguagePinIcon(LOWORD(lParam)); }); return 0;
        case WM_TIMER: CallGuarded([&] { OnTimer(wParam); }); return 0;
        case WM_HOTKEY: CallGuarded([&] { OnHotKey(wParam); }); return 0;
        case WM_COMMAND: CallGuarded([&] { OnCommand(LOWORD(wParam)); }); return 0;
        case kSendTypedKeysMessage: CallGuarded(SendTypedKeys); return 0;
        case kToggleFeedbackMessage:
            CallGuarded([&] { ShowToggleFeedback(static_cast<ModeToggle>(wParam)); });
            return 0;
        case kPopupRowClickedMessage: CallGuarded([&] { OnRowClicked(wParam, lParam); }); return 0;
        case kPopupHeaderClickedMessage:
            CallGuarded([&] {
                OnConversionTargetChanged(
                    static_cast<qorva_tsf::CandidateWindow::ConversionTarget>(wParam));
            });
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

bool CreateMainWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = g_instance;
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassW(&windowClass);
    g_window = CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, g_instance, nullptr);
    if (!g_window) return false;
    AllowMainWindowMessages();
    return true;
}

void StartTimers() {
    SetTimer(g_window, kSettingsTimer, kSettingsTimerMs, nullptr);
    if (g_settings.autoCheckUpdate) {
        SetTimer(g_window, kStartupCheckTimer, kStartupCheckDelayMs, nullptr);
    }
}

void StopTimers() {
    KillTimer(g_window, kSettingsTimer);
    KillTimer(g_window, kStartupCheckTimer);
}

void RegisterHotKeys() {
    RegisterHotKey(g_window, kPauseHotKeyId, MOD_CONTROL | MOD_ALT, 'L');
    RegisterHotKey(g_window, kTranslationHotKeyId, MOD_CONTROL | MOD_ALT, 'E');
    RegisterHotKey(g_window, kModeHotKeyId, MOD_CONTROL | MOD_ALT, VK_SPACE);
    RegisterHotKey(g_window, kVoiceHotKeyId, MOD_CONTROL | MOD_ALT, 'V');
}

void UnregisterHotKeys() {
    for (int id : {kPauseHotKeyId, kTranslationHotKeyId, kModeHotKeyId, kVoiceHotKeyId}) {
        UnregisterHotKey(g_window, id);
    }
}

void TogglePause() {
    g_settings.hostEnabled = !g_settings.hostEnabled;
    g_typing.SetEnabled(TypingEnabled(g_settings));
    Log(g_settings.hostEnabled ? "hotkey: resumed" : "hotkey: paused");
    UpdateTray();
}

void RequestExit() { DestroyWindow(g_window); }

void RequestRestart() {
    s_restart_requested = true;
    DestroyWindow(g_window);
}

bool RestartRequested() { return s_restart_requested; }

}  // namespace qorva::universal
