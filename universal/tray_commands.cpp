// The tray icons' menus, opened at the pointer and built afresh from the program's state each
// time, and the commands chosen in them.
#include "universal/menu_icons.h"
#include "universal/mode_ipc.h"
#include "universal/program_folders.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

// Kept for the life of the process, as every menu of the program paints on it.
HBRUSH MenuBackground() {
    static const HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    return brush;
}

bool AppendItems(HMENU menu, const std::vector<MenuItem>& items) {
    UINT position = 0;
    for (const MenuItem& item : items) {
        bool appended = false;
        switch (item.kind) {
            case MenuItem::Kind::Separator:
                appended = AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
                break;
            case MenuItem::Kind::Command:
                appended = AppendMenuW(menu, MF_STRING | (item.checked ? MF_CHECKED : 0), item.id,
                                       item.text.c_str());
                break;
            case MenuItem::Kind::Submenu: {
                HMENU submenu = CreatePopupMenu();
                if (!submenu || !AppendItems(submenu, item.items)) {
                    if (submenu) DestroyMenu(submenu);
                    return false;
                }
                appended = AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                                       item.text.c_str());
                if (!appended) DestroyMenu(submenu);
                break;
            }
        }
        if (!appended) return false;
        // An icon that cannot be drawn leaves the entry without one; the menu still opens.
        if (item.icon != kNoMenuIcon) SetMenuItemIcon(menu, position, true, item.icon);
        ++position;
    }
    return true;
}

TrayMenuState CurrentMenuState() {
    TrayMenuState state;
    state.mode = ModeIpc::Instance().GetMode();
    state.latestUpdateVersion = g_latest_update_version;
    state.topBarVisible = g_topbar.IsVisible();
    state.suggestionsPaused = g_topbar.State().suggestionsPaused;
    return state;
}

// Tracks the menu at the pointer with the main window as its owner; the chosen command, or 0.
unsigned TrackAtPointer(HMENU menu) {
    if (!menu) return 0;
    POINT pointer{};
    GetCursorPos(&pointer);
    // Without the foreground the menu would stay open after a click elsewhere, and without the
    // posted message it would not close at the next one.
    SetForegroundWindow(g_window);
    const unsigned command = static_cast<unsigned>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pointer.x, pointer.y, 0, g_window, nullptr));
    PostMessageW(g_window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return command;
}

void SetMode(ModeTarget mode) {
    ModeIpc::Instance().SetMode(mode);
    g_topbar.UpdateMode(mode);
    UpdateTray();
}

void OpenSettingsProgram() {
    const std::wstring path = SettingsProgramPath(ExeDir(), IsFileOnDisk);
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

HMENU CreatePopupMenuFrom(const std::vector<MenuItem>& items) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    if (!AppendItems(menu, items)) {
        DestroyMenu(menu);
        return nullptr;
    }
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
    info.hbrBack = MenuBackground();
    SetMenuInfo(menu, &info);
    return menu;
}

HMENU CreateTrayMenu() { return CreatePopupMenuFrom(HotkeyTrayMenu(CurrentMenuState())); }

HMENU CreateLanguagePinMenu() { return CreatePopupMenuFrom(LanguagePinMenu(CurrentMenuState())); }

void ShowTrayMenu() { RunTrayCommand(TrackAtPointer(CreateTrayMenu())); }

void ShowLanguagePinMenu() { RunTrayCommand(TrackAtPointer(CreateLanguagePinMenu())); }

void RunTrayCommand(unsigned command) {
    if (const std::optional<ModeTarget> mode = ModeOfCommand(command)) {
        SetMode(*mode);
        return;
    }
    switch (command) {
        case kTraySettings:
        case kTrayMicrophoneSettings:
        case kPinSettings: OpenSettingsProgram(); break;
        case kTrayOnScreenKeyboard:
        case kPinOnScreenKeyboard: g_osk.ToggleVisibility(); break;
        case kTrayToggleTopBar:
        case kPinToggleTopBar: ToggleTopBar(); break;
        case kTrayResetTopBar:
        case kPinResetTopBar: ResetTopBarPosition(); break;
        case kTrayStartVoiceTyping:
        case kPinVoiceTyping: g_topbar.LaunchVoiceInput(); break;
        case kTrayWordManager: g_topbar.LaunchDictionary(); break;
        case kTrayTypingMode: g_topbar.ToggleSuggestions(); break;
        case kTrayCheckForUpdate: StartTrayUpdateCheck(g_window); break;
        case kTrayRestart: RequestRestart(); break;
        case kTrayExit: RequestExit(); break;
    }
}

}  // namespace qorva::universal
