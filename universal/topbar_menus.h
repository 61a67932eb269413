// The top bar's three popup menus as data, built afresh from the bar's state at every opening, and
// what each command asks of the bar: the settings menu (button 8 and a right click), the power menu
// (button 9 and a right click on it) and the word-manager menu (button 5). The layout entries only
// choose among the program's three typing modes; it has no other keyboard layouts. Portable.
#pragma once

#include <string>
#include <vector>

#include "universal/mode_target.h"
#include "universal/topbar_model.h"
#include "universal/tray_menus.h"

namespace qorva::universal {

enum TopBarMenuCommand : unsigned {
    kMenuCompactTopBar = 209,
    kMenuAutoHideTop = 210,
    kMenuSettings = 211,
    kMenuAutoHideRight = 212,
    kMenuAlwaysVisible = 213,
    kMenuWordManager = 301,
    kMenuAddWord = 302,
    kMenuQwerty = 401,
    kMenuDvorak = 402,
    kMenuUtf8Encoding = 411,
    kMenuAnsiEncoding = 412,
    kMenuPhonetic = 421,
    kMenuBanglish = 422,
    kMenuBijoyBayanno = 423,
    kMenuProbhat = 424,
    kMenuNationalJatiya = 425,
    kMenuUnibijoy = 426,
    kMenuMunirOptima = 427,
    kMenuUnicodeEncoding = 431,
    kMenuBijoyClassicEncoding = 432,
    kMenuConverter = 441,
    kMenuEditKeyboardLayout = 442,
    kMenuAbout = 451,
    kMenuCurrentVersion = 452,
    kMenuChangeLogs = 453,
    kMenuPrepareUninstall = 455,
    kMenuLayoutMap = 461,
    kMenuDownloads = 462,
    kMenuWebsite = 463,
    kMenuFacebook = 464,
    kMenuYoutube = 465,
    kMenuWhatsapp = 466,
    kMenuTelegram = 467,
    kMenuEmail = 468,
    kMenuMoveToTray = 501,
    kMenuCheckForUpdate = 502,
    kMenuRestart = 503,
    kMenuExit = 504,
    kMenuCleanUninstall = 505,
};

// What the settings menu shows checked.
struct TopBarMenuState {
    ModeTarget mode = ModeTarget::English;  // the bar's copy of the shared mode
    bool dockedRight = false;
    bool autoHide = true;
    bool compactMode = false;
};

enum class TopBarMenu { Settings, Power, WordManager };

// The menu a right click at this client point opens: the power menu on button 9, the settings menu
// anywhere else.
TopBarMenu MenuOfRightClick(const TopBarLayout& buttons, LayoutPoint client);

// Where the menu opens, in the bar's client coordinates: 3 pixels below its button, at the
// button's left edge (the power menu: its right edge, the menu aligned to it). A hidden button's
// empty rectangle puts the settings menu of a compact bar at (0, 3).
LayoutPoint TopBarMenuAnchor(TopBarMenu menu, const TopBarLayout& buttons);

std::vector<MenuItem> TopBarSettingsMenu(const TopBarMenuState& state);
std::vector<MenuItem> TopBarPowerMenu();
std::vector<MenuItem> TopBarWordManagerMenu();

// A message box of the menus: its title and text.
struct InfoBox {
    const wchar_t* title;
    const wchar_t* text;
};

extern const InfoBox kAboutBox;
extern const InfoBox kCurrentVersionBox;
extern const InfoBox kChangeLogsBox;
// Shown before the guide page opens.
extern const InfoBox kLayoutMapBox;

// What a command asks of the bar.
struct TopBarMenuAction {
    enum class Kind {
        None,  // dismissed, or an entry that only shows a fixed mark
        SetMode,
        LaunchSettings,  // with `text` as the settings program's arguments (may be empty)
        OpenAddress,     // `text`
        ShowBox,         // `box`
        ShowLayoutMap,   // the layout map box, then the guide page
        AutoHideRight,
        AutoHideTop,
        AlwaysVisible,
        ToggleCompact,
        PrepareCleanUninstall,
        MoveToTray,
        CheckForUpdate,
        Restart,
        CleanUninstall,
        Exit,
        AddWord,
    };

    Kind kind = Kind::None;
    ModeTarget mode = ModeTarget::English;
    std::wstring text;
    const InfoBox* box = nullptr;
};

TopBarMenuAction ActionOfTopBarCommand(unsigned command);

}  // namespace qorva::universal
