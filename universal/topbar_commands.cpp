// The top bar's three menus, opened under their buttons, and the commands they and the bar's
// buttons carry out: modes, docking and auto-hide, the settings program, web pages, the add-word
// dialog, the suggestions pause, restart and exit.
#include "tsf/gdi_drawing.h"
#include "universal/add_word_dialog.h"
#include "universal/mode_ipc.h"
#include "universal/program_folders.h"
#include "universal/topbar_window.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

void ShowInfoBox(HWND owner, const InfoBox& box) {
    MessageBoxW(owner, box.text, box.title, MB_TOPMOST | MB_ICONINFORMATION);
}

}  // namespace

void TopBarWindow::ShowSettingsMenu() {
    TopBarMenuState state;
    state.mode = model.mode;
    state.dockedRight = model.dock == TopBarDock::Right;
    state.autoHide = model.autoHide;
    state.compactMode = model.compactMode;
    RunMenu(TopBarMenu::Settings, TopBarSettingsMenu(state));
}

void TopBarWindow::ShowPowerMenu() { RunMenu(TopBarMenu::Power, TopBarPowerMenu()); }

void TopBarWindow::ShowWordManagerMenu() {
    RunMenu(TopBarMenu::WordManager, TopBarWordManagerMenu());
}

void TopBarWindow::RunMenu(TopBarMenu menu, const std::vector<MenuItem>& items) {
    if (!hwnd) return;
    HMENU popup = CreatePopupMenuFrom(items);
    if (!popup) return;
    const LayoutPoint anchor = TopBarMenuAnchor(menu, model.buttons);
    POINT at{anchor.x, anchor.y};
    ClientToScreen(hwnd, &at);
    // Without the foreground the menu would stay open after a click elsewhere, and without the
    // posted message it would not close at the next one.
    SetForegroundWindow(hwnd);
    const UINT align = menu == TopBarMenu::Power ? TPM_RIGHTALIGN : 0;
    const auto command = static_cast<unsigned>(
        TrackPopupMenu(popup, TPM_RETURNCMD | align, at.x, at.y, 0, hwnd, nullptr));
    PostMessageW(hwnd, WM_NULL, 0, 0);
    DestroyMenu(popup);
    model.hoverButton = TopBarButton::None;
    model.pressedButton = TopBarButton::None;
    if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
    RunMenuCommand(command);
}

void TopBarWindow::RunMenuCommand(unsigned command) {
    RunMenuAction(ActionOfTopBarCommand(command));
}

void TopBarWindow::RunMenuAction(const TopBarMenuAction& action) {
    using Kind = TopBarMenuAction::Kind;
    switch (action.kind) {
        case Kind::None: break;
        case Kind::SetMode: SetModeFromMenu(action.mode); break;
        case Kind::LaunchSettings:
            LaunchSettings(action.text.empty() ? nullptr : action.text.c_str());
            break;
        case Kind::OpenAddress: OpenWithShell(action.text); break;
        case Kind::ShowBox: ShowInfoBox(hwnd, *action.box); break;
        case Kind::ShowLayoutMap:
            ShowInfoBox(hwnd, kLayoutMapBox);
            OpenWithShell(action.text);
            break;
        case Kind::AutoHideRight:
        case Kind::AutoHideTop:
            SetAutoHide(true);
            SetDockPosition(action.kind == Kind::AutoHideRight ? TopBarDock::Right
                                                               : TopBarDock::Top);
            break;
        case Kind::AlwaysVisible:
            // A compact bar grows back at once.
            SetAutoHide(false);
            SaveCoordinates();
            break;
        case Kind::ToggleCompact: ToggleCompactMode(); break;
        case Kind::MoveToTray:
            Show(false);
            SaveCoordinates();
            break;
        // The program ends in order, as from the tray, so that the engine writes what it learned;
        // a restart starts the new copy only once this one has let go of everything.
        case Kind::Restart: RequestRestart(); break;
        case Kind::Exit: RunTrayCommand(kTrayExit); break;
        case Kind::AddWord: ShowAddWordDialog(hwnd, model.width); break;
        case Kind::CheckForUpdate: CheckForUpdatesManual(hwnd); break;
        case Kind::PrepareCleanUninstall: PrepareCleanUninstall(hwnd); break;
        case Kind::CleanUninstall: PerformCleanUninstall(hwnd); break;
    }
}

void TopBarWindow::SetModeFromMenu(ModeTarget mode) {
    ModeIpc::Instance().SetMode(mode);
    PlaySoundEffect(kSoundOfSharedMode);
    UpdateMode(mode);
}

void TopBarWindow::LaunchSettings(const wchar_t* parameters) {
    const std::wstring arguments = parameters ? parameters : L"";
    const std::wstring path = TopBarSettingsProgramPath(ExeDir(), IsFileOnDisk);
    // The shell's own search may still find the program by name.
    if (!OpenWithShell(path, arguments)) OpenWithShell(kSettingsProgramName, arguments);
}

void TopBarWindow::LaunchDictionary() { OpenWithShell(AppDataDir() + L"\\user_dict.txt"); }

void TopBarWindow::ToggleSuggestions() {
    model.suggestionsPaused = !model.suggestionsPaused;
    if (!hwnd) return;
    const RECT button =
        qorva_tsf::ToRect(ButtonRect(model.buttons, TopBarButton::SuggestionsPause));
    InvalidateRect(hwnd, &button, FALSE);
}

void TopBarWindow::LaunchOnScreenKeyboard() {
    if (virtualKeyboard) {
        virtualKeyboard->ToggleVisibility();
    } else {
        OpenWithShell(L"osk.exe");
    }
}

void TopBarWindow::LaunchConverter() { RunMenuCommand(kMenuConverter); }

}  // namespace qorva::universal
