// The top bar's menus as data: their entries, icons and check marks in each state, and what each
// command asks of the bar.
#include "universal/topbar_menus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/text.h"

namespace qorva::universal {
namespace {

using Kind = TopBarMenuAction::Kind;

// The entries as lines: "<id> <text>" with " [x]" when checked and " #<icon>" when it has one,
// "---" for a separator, "> <text>" for a submenu, its entries indented by two spaces.
void Describe(const std::vector<MenuItem>& items, const std::string& indent,
              std::vector<std::string>& lines) {
    for (const MenuItem& item : items) {
        std::string line = indent;
        switch (item.kind) {
            case MenuItem::Kind::Separator: line += "---"; break;
            case MenuItem::Kind::Submenu: line += "> " + Utf16ToUtf8(item.text); break;
            case MenuItem::Kind::Command:
                line += std::to_string(item.id) + " " + Utf16ToUtf8(item.text);
                if (item.checked) line += " [x]";
                break;
        }
        if (item.icon != kNoMenuIcon) line += " #" + std::to_string(item.icon);
        lines.push_back(line);
        Describe(item.items, indent + "  ", lines);
    }
}

std::vector<std::string> Lines(const std::vector<MenuItem>& items) {
    std::vector<std::string> lines;
    Describe(items, "", lines);
    return lines;
}

// Every command of the menu, submenus included.
void Commands(const std::vector<MenuItem>& items, std::vector<unsigned>& ids) {
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command) ids.push_back(item.id);
        Commands(item.items, ids);
    }
}

const MenuItem* Find(const std::vector<MenuItem>& items, unsigned id) {
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command && item.id == id) return &item;
        if (const MenuItem* found = Find(item.items, id)) return found;
    }
    return nullptr;
}

// Each menu opens 3 pixels below its button; on a compact bar the settings button is hidden, so
// the settings menu opens at the bar's left edge. A right click opens the power menu on button 9
// only.
TEST(TopBarMenusTest, MenusOpenUnderTheirButtons) {
    const TopBarLayout full = LayoutTopBar(kTopBarFullWidth);
    const TopBarLayout compact = LayoutTopBar(kTopBarCompactWidth);
    struct Case {
        const char* name;
        TopBarMenu menu;
        const TopBarLayout& layout;
        LayoutPoint expected;
    };
    const Case cases[] = {
        {"settings, full bar",
         TopBarMenu::Settings,
         full,
         {ButtonRect(full, TopBarButton::Settings).left, 26}},
        {"word manager",
         TopBarMenu::WordManager,
         full,
         {ButtonRect(full, TopBarButton::WordManager).left, 26}},
        {"power, right-aligned", TopBarMenu::Power, full, {kTopBarFullWidth - 2, 26}},
        {"settings, compact bar", TopBarMenu::Settings, compact, {0, 3}},
    };
    for (const Case& c : cases) {
        const LayoutPoint at = TopBarMenuAnchor(c.menu, c.layout);
        EXPECT_EQ(at.x, c.expected.x) << c.name;
        EXPECT_EQ(at.y, c.expected.y) << c.name;
    }
    const LayoutRect& menuButton = ButtonRect(compact, TopBarButton::Menu);
    EXPECT_EQ(MenuOfRightClick(compact, {menuButton.left + 1, 12}), TopBarMenu::Power);
    EXPECT_EQ(MenuOfRightClick(compact, {menuButton.left - 1, 12}), TopBarMenu::Settings);
    EXPECT_EQ(MenuOfRightClick(full, {ButtonRect(full, TopBarButton::Settings).left + 1, 12}),
              TopBarMenu::Settings);
}

TEST(TopBarMenusTest, SettingsMenuHasItsEntriesAndIconsInOrder) {
    TopBarMenuState state;
    state.mode = ModeTarget::Bangla;
    const std::vector<std::string> expected = {
        "> English Layouts #4",
        "  401 QWERTY (Standard US) [x]",
        "  402 Dvorak",
        "> English Encodings #5",
        "  411 UTF-8 / Unicode (Standard) [x]",
        "  412 ASCII / ANSI",
        "---",
        "> Bangla Layouts #6",
        "  421 Phonetic (ফনেটিক) [x]",
        "  422 Banglish (বাংলিশ অনুবাদ) [Ctrl+Alt+E]",
        "  423 Bijoy Bayanno (বিজয় বাহান্ন)",
        "  424 Probhat (প্রভাত)",
        "  425 National Jatiya (জাতীয়)",
        "  426 Unibijoy (ইউনিবিজয়)",
        "  427 Munir Optima (মুনীর অপটিমা)",
        "> Bangla Encodings #7",
        "  431 Unicode (ইউনিকোড - আধুনিক) [x]",
        "  432 ANSI / Bijoy Classic (বিজয় ক্লাসিক)",
        "---",
        "441 Encoding Converter (ইউনিকোড ⇄ বিজয়) #8",
        "442 Edit / Build Keyboard Layout... #9",
        "---",
        "211 Settings #10",
        "> About Qorva #12",
        "  451 About #17",
        "  452 Current Version #18",
        "  453 ChangeLogs #19",
        "  455 Prepare for Uninstall/Clean Update #21",
        "> ? Help #13",
        "  461 Banglish Layout Map #22",
        "  462 Download Layouts and Encoders #23",
        "  463 Official Website (qorva.pelorin.com) #24",
        "  464 Facebook page #25",
        "  465 Youtube #26",
        "  466 Whatsapp #27",
        "  467 Telegram #28",
        "  468 Email #29",
        "---",
        "212 👉 ডান পাশে অটো-হাইড (Auto-Hide to Right Side) #15",
        "210 👆 শীর্ষে অটো-হাইড (Auto-Hide to Top) [x] #15",
        "213 📌 সর্বদা দৃশ্যমান (Always Visible) #10",
        "209 📐 কম্প্যাক্ট টপবার (Compact TopBar) [DblClick] #14",
    };
    EXPECT_EQ(Lines(TopBarSettingsMenu(state)), expected);
}

TEST(TopBarMenusTest, PowerAndWordManagerMenusHaveTheirEntries) {
    EXPECT_EQ(Lines(TopBarPowerMenu()),
              (std::vector<std::string>{"501 Move to Tray #0", "502 Check for Update #1",
                                        "503 Restart #2", "---", "505 Clean Uninstall #21", "---",
                                        "504 Exit #3"}));
    EXPECT_EQ(Lines(TopBarWordManagerMenu()),
              (std::vector<std::string>{"301 Word Manager #11", "302 Add new word #16"}));
}

// The changing check marks: the mode's layout, the dock and auto-hide choice, compact mode. The
// fixed marks of QWERTY and the encodings stay whatever the state.
TEST(TopBarMenusTest, CheckMarksFollowTheBarsState) {
    struct Case {
        const char* name;
        TopBarMenuState state;
        std::vector<unsigned> checked;
    };
    const Case cases[] = {
        {"English, auto-hide at the top", {ModeTarget::English, false, true, false}, {210}},
        {"Bangla, docked right with auto-hide",
         {ModeTarget::Bangla, true, true, false},
         {421, 212}},
        {"translation, always visible",
         {ModeTarget::BanglishToEnglish, true, false, false},
         {422, 213}},
        {"compact mode at the top", {ModeTarget::English, false, true, true}, {210, 209}},
        {"a mode no program knows", {static_cast<ModeTarget>(7), false, false, true}, {213, 209}},
    };
    const std::vector<unsigned> changing = {421, 422, 423, 424, 425, 426,
                                            427, 402, 212, 210, 213, 209};
    for (const Case& c : cases) {
        const std::vector<MenuItem> menu = TopBarSettingsMenu(c.state);
        for (unsigned id : {401u, 411u, 431u}) EXPECT_TRUE(Find(menu, id)->checked) << c.name;
        for (unsigned id : changing) {
            const bool expected =
                std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end();
            EXPECT_EQ(Find(menu, id)->checked, expected) << c.name << ", entry " << id;
        }
    }
}

// The layout names only choose among the three typing modes; the encodings do nothing.
TEST(TopBarMenusTest, LayoutEntriesSwitchAmongTheThreeModesOnly) {
    struct Case {
        unsigned command;
        Kind kind;
        ModeTarget mode;
    };
    const Case cases[] = {
        {401, Kind::SetMode, ModeTarget::English},
        {402, Kind::SetMode, ModeTarget::English},
        {421, Kind::SetMode, ModeTarget::Bangla},
        {422, Kind::SetMode, ModeTarget::BanglishToEnglish},
        {423, Kind::SetMode, ModeTarget::Bangla},
        {424, Kind::SetMode, ModeTarget::Bangla},
        {425, Kind::SetMode, ModeTarget::Bangla},
        {426, Kind::SetMode, ModeTarget::Bangla},
        {427, Kind::SetMode, ModeTarget::Bangla},
        {411, Kind::None, ModeTarget::English},
        {412, Kind::None, ModeTarget::English},
        {431, Kind::None, ModeTarget::English},
        {432, Kind::None, ModeTarget::English},
    };
    for (const Case& c : cases) {
        const TopBarMenuAction action = ActionOfTopBarCommand(c.command);
        EXPECT_EQ(action.kind, c.kind) << c.command;
        if (c.kind == Kind::SetMode) {
            EXPECT_EQ(action.mode, c.mode) << c.command;
        }
    }
}

TEST(TopBarMenusTest, EveryOtherCommandAsksForItsAction) {
    struct Case {
        unsigned command;
        Kind kind;
        std::wstring text;
    };
    const Case cases[] = {
        {211, Kind::LaunchSettings, L""},
        {442, Kind::LaunchSettings, L"/keyboard"},
        {301, Kind::LaunchSettings, L"/dict"},
        {302, Kind::AddWord, L""},
        {212, Kind::AutoHideRight, L""},
        {210, Kind::AutoHideTop, L""},
        {213, Kind::AlwaysVisible, L""},
        {209, Kind::ToggleCompact, L""},
        {455, Kind::PrepareCleanUninstall, L""},
        {501, Kind::MoveToTray, L""},
        {502, Kind::CheckForUpdate, L""},
        {503, Kind::Restart, L""},
        {505, Kind::CleanUninstall, L""},
        {504, Kind::Exit, L""},
        {0, Kind::None, L""},
    };
    for (const Case& c : cases) {
        const TopBarMenuAction action = ActionOfTopBarCommand(c.command);
        EXPECT_EQ(action.kind, c.kind) << c.command;
        EXPECT_EQ(action.text, c.text) << c.command;
    }
}

// The converter, the layout map's guide and every Help entry open a page or channel of the
// maker's over HTTPS, or a mail to its support; no two entries open the same address.
TEST(TopBarMenusTest, WebEntriesOpenTheMakersAddresses) {
    std::vector<std::wstring> opened;
    for (unsigned command : {441u, 461u, 462u, 463u, 464u, 465u, 466u, 467u, 468u}) {
        const TopBarMenuAction action = ActionOfTopBarCommand(command);
        EXPECT_EQ(action.kind, command == 461 ? Kind::ShowLayoutMap : Kind::OpenAddress) << command;
        const bool web = action.text.rfind(L"https://", 0) == 0;
        EXPECT_TRUE(command == 468 ? action.text.rfind(L"mailto:", 0) == 0 : web) << command;
        EXPECT_EQ(std::count(opened.begin(), opened.end(), action.text), 0) << command;
        opened.push_back(action.text);
    }
    EXPECT_EQ(ActionOfTopBarCommand(461).text, L"https://qorva.pelorin.com/phonetic-guide");
    EXPECT_EQ(ActionOfTopBarCommand(441).text, L"https://qorva.pelorin.com/converter/");
}

// The About entries name the typing engine's own version, which differs from the release the
// update service compares.
TEST(TopBarMenusTest, AboutBoxesNameVersionOneZeroZero) {
    for (unsigned command : {451u, 452u, 453u}) {
        const TopBarMenuAction action = ActionOfTopBarCommand(command);
        ASSERT_EQ(action.kind, Kind::ShowBox) << command;
        EXPECT_NE(std::wstring(action.box->text).find(L"1.0.0"), std::wstring::npos) << command;
    }
    EXPECT_STREQ(ActionOfTopBarCommand(451).box->title, L"About Qorva");
    EXPECT_STREQ(ActionOfTopBarCommand(452).box->title, L"Qorva - Current Version");
    EXPECT_STREQ(ActionOfTopBarCommand(453).box->title, L"Qorva - ChangeLogs");
}

// Every command of the three menus asks for something, except the encodings' fixed marks.
TEST(TopBarMenusTest, NoEntryIsLeftWithoutAnAction) {
    std::vector<unsigned> ids;
    Commands(TopBarSettingsMenu({}), ids);
    Commands(TopBarPowerMenu(), ids);
    Commands(TopBarWordManagerMenu(), ids);
    for (unsigned id : ids) {
        const bool encoding = id == 411 || id == 412 || id == 431 || id == 432;
        EXPECT_EQ(ActionOfTopBarCommand(id).kind == Kind::None, encoding) << id;
    }
}

}  // namespace
}  // namespace qorva::universal
