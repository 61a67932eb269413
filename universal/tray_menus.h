// The universal program's two tray menus as data, built afresh from the program's state at every
// opening: the hot-key icon's menu and the language-pin icon's menu. The window side turns the
// entries into a popup menu and acts on the command chosen. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "universal/mode_target.h"

namespace qorva::universal {

struct MenuItem {
    enum class Kind { Command, Submenu, Separator };

    Kind kind = Kind::Command;
    unsigned id = 0;  // the command chosen; 0 for submenus and separators
    std::wstring text;
    bool checked = false;
    std::vector<MenuItem> items;  // a submenu's entries

    static MenuItem Command(unsigned id, std::wstring text, bool checked = false);
    static MenuItem Submenu(std::wstring text, std::vector<MenuItem> items);
    static MenuItem Separator();
};

// The commands of the tray menus.
enum TrayCommand : unsigned {
    kTraySettings = 104,
    kTrayExit = 105,
    kTrayCheckForUpdate = 106,
    kTrayModeBangla = 107,
    kTrayModeTranslation = 108,
    kTrayModeEnglish = 109,
    kTrayOnScreenKeyboard = 110,
    kTrayToggleTopBar = 111,
    kTrayResetTopBar = 112,
    kTrayRestart = 116,
    kTrayMicrophoneSettings = 120,
    kTrayDefaultInputDevice = 121,  // always checked; nothing to choose yet
    kPinModeBangla = 201,
    kPinModeEnglish = 202,
    kPinModeTranslation = 203,
    kPinToggleTopBar = 204,
    kPinResetTopBar = 205,
    kPinOnScreenKeyboard = 207,
    kPinSettings = 208,
};

// What the menus show of the program's state.
struct TrayMenuState {
    ModeTarget mode = ModeTarget::English;  // the shared mode; no entry is checked for other values
    std::wstring latestUpdateVersion;       // of the release a check found; empty before
    bool topBarVisible = true;
};

std::vector<MenuItem> HotkeyTrayMenu(const TrayMenuState& state);
std::vector<MenuItem> LanguagePinMenu(const TrayMenuState& state);

// The typing mode a command sets, for the mode entries of both menus.
std::optional<ModeTarget> ModeOfCommand(unsigned command);

}  // namespace qorva::universal
