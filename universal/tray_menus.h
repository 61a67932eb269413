// The universal program's popup menus as data, built afresh from the program's state at every
// opening, and the two tray menus: the hot-key icon's menu and the language-pin icon's menu. The
// window side turns the entries into a popup menu with their drawn icons and acts on the command
// chosen. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "universal/mode_target.h"

namespace qorva::universal {

// The small drawn icons of menu entries, one 16 by 16 bitmap per kind (20 has none).
enum MenuIconType : int32_t {
    kNoMenuIcon = -1,
    kIconMoveToTray = 0,
    kIconCheckForUpdate = 1,
    kIconRestart = 2,
    kIconExit = 3,
    kIconEnglish = 4,
    kIconEnglishEncodings = 5,
    kIconBangla = 6,
    kIconBanglaEncodings = 7,
    kIconConverter = 8,
    kIconKeyboard = 9,
    kIconSettings = 10,
    kIconWordManager = 11,
    kIconAbout = 12,
    kIconHelp = 13,
    kIconCompact = 14,
    kIconAutoHide = 15,
    kIconAddWord = 16,
    kIconInformation = 17,
    kIconVersion = 18,
    kIconChangeLogs = 19,
    kIconUninstall = 21,
    kIconLayoutMap = 22,
    kIconDownload = 23,
    kIconWebsite = 24,
    kIconFacebook = 25,
    kIconYoutube = 26,
    kIconWhatsapp = 27,
    kIconTelegram = 28,
    kIconEmail = 29,
    kIconMicrophone = 30,
};
inline constexpr int32_t kLastMenuIcon = kIconMicrophone;

struct MenuItem {
    enum class Kind { Command, Submenu, Separator };

    Kind kind = Kind::Command;
    unsigned id = 0;  // the command chosen; 0 for submenus and separators
    std::wstring text;
    bool checked = false;
    MenuIconType icon = kNoMenuIcon;
    std::vector<MenuItem> items;  // a submenu's entries

    static MenuItem Command(unsigned id, std::wstring text, bool checked = false);
    static MenuItem Submenu(std::wstring text, std::vector<MenuItem> items);
    static MenuItem Separator();
    // The same entry with this icon.
    MenuItem WithIcon(MenuIconType kind) &&;
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
    kTrayStartVoiceTyping = 113,
    kTrayWordManager = 114,  // opens user_dict.txt
    kTrayTypingMode = 115,   // pauses or resumes the suggestions
    kTrayRestart = 116,
    kTrayMicrophoneSettings = 120,
    kTrayDefaultInputDevice = 121,  // always checked; nothing to choose yet
    kPinModeBangla = 201,
    kPinModeEnglish = 202,
    kPinModeTranslation = 203,
    kPinToggleTopBar = 204,
    kPinResetTopBar = 205,
    kPinVoiceTyping = 206,
    kPinOnScreenKeyboard = 207,
    kPinSettings = 208,
};

// What the menus show of the program's state.
struct TrayMenuState {
    ModeTarget mode = ModeTarget::English;  // the shared mode; no entry is checked for other values
    std::wstring latestUpdateVersion;       // of the release a check found; empty before
    bool topBarVisible = true;
    bool suggestionsPaused = false;  // the top bar's suggestions pause
};

std::vector<MenuItem> HotkeyTrayMenu(const TrayMenuState& state);
std::vector<MenuItem> LanguagePinMenu(const TrayMenuState& state);

// The typing mode a command sets, for the mode entries of both menus.
std::optional<ModeTarget> ModeOfCommand(unsigned command);

}  // namespace qorva::universal
