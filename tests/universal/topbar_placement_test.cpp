// The top bar's keys in settings.json: what a start takes from the file, and how a save rewrites
// the six keys while keeping every other byte the settings program wrote.
#include "universal/topbar_placement.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "tools/lib/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qorva::universal {
namespace {

constexpr int32_t kScreenWidth = 1280;
constexpr int32_t kScreenHeight = 1024;

TopBarModel Loaded(const std::string& text, TopBarModel bar = TopBarModel{}) {
    ApplySettingsPlacement(text, kScreenWidth, kScreenHeight, bar);
    return bar;
}

std::string XAndY(const std::string& x, const std::string& y) {
    return "{\n  \"topbar_x\": " + x + ",\n  \"topbar_y\": " + y + "\n}\n";
}

TEST(TopBarPlacementLoadTest, PositionIsTakenOnlyInsideTheScreensRanges) {
    struct Case {
        std::string x;
        std::string y;
        int32_t expectedX;  // the bar starts at x -1, y 0
        int32_t expectedY;
    };
    const Case cases[] = {
        {"-50", "0", -50, 0},          {"-51", "-1", -1, 0},
        {"1250", "984", 1250, 984},  // screen width - 30, screen height - 40
        {"1251", "985", -1, 0},        {"300", "200", 300, 200},
        {"-9999", "-9999", -1, 0},     {"\"left\"", "null", -1, 0},
        {"99999999999", "12", -1, 12},
    };
    for (const Case& c : cases) {
        const TopBarModel bar = Loaded(XAndY(c.x, c.y));
        EXPECT_EQ(bar.x, c.expectedX) << c.x;
        EXPECT_EQ(bar.y, c.expectedY) << c.y;
        EXPECT_EQ(bar.rememberedY, c.expectedY) << c.y;
    }
}

TEST(TopBarPlacementLoadTest, AutoHideIsOffOnlyForTheExactFalse) {
    struct Case {
        std::string text;
        bool autoHide;
    };
    const Case cases[] = {
        {"{\n  \"topbar_autohide\": false\n}\n", false},
        {"{\n  \"topbar_autohide\": true,\n  \"topbar_autohide\": false\n}\n", false},
        {"{\n  \"topbar_autohide\":false\n}\n", true},
        {"{\n  \"topbar_autohide\": False\n}\n", true},
        {"{\n  \"topbar_autohide\" : false\n}\n", true},
        {"{\n  \"theme\": 0\n}\n", true},
    };
    for (const Case& c : cases) {
        TopBarModel bar;
        bar.autoHide = !c.autoHide;
        EXPECT_EQ(Loaded(c.text, bar).autoHide, c.autoHide) << c.text;
    }
    // An empty file says nothing at all.
    TopBarModel off;
    off.autoHide = false;
    EXPECT_FALSE(Loaded("", off).autoHide);
}

TEST(TopBarPlacementLoadTest, ShowTopbarFalseWinsAndAnythingElseKeepsTheFlag) {
    struct Case {
        std::string text;
        bool before;
        bool after;
    };
    const Case cases[] = {
        {"{\"show_topbar\": false}", true, false},
        {"{\"show_topbar\": true}", false, true},
        {"{\"show_topbar\": true, \"show_topbar\": false}", true, false},
        {"{\"show_topbar\":false}", true, true},
        {"{\"theme\": 0}", false, false},
    };
    for (const Case& c : cases) {
        TopBarModel bar;
        bar.visible = c.before;
        EXPECT_EQ(Loaded(c.text, bar).visible, c.after) << c.text;
    }
}

TopBarModel PlacedBar() {
    TopBarModel bar;
    bar.x = 321;
    bar.y = 40;  // the remembered top is what is saved
    bar.rememberedY = 45;
    bar.visible = false;
    bar.autoHide = false;
    bar.compactMode = true;
    bar.dock = TopBarDock::Right;
    return bar;
}

TEST(TopBarPlacementSaveTest, SixKeysAreAddedInOrderBeforeTheLastBrace) {
    EXPECT_EQ(WithTopBarPlacement("{\n  \"theme\": 0\n}\n", PlacedBar()),
              "{\n  \"theme\": 0\n,\n  \"topbar_x\": 321,\n  \"topbar_y\": 45,\n"
              "  \"show_topbar\": false,\n  \"topbar_autohide\": false,\n"
              "  \"topbar_compact\": true,\n  \"topbar_dock\": \"right\"}\n");
}

TEST(TopBarPlacementSaveTest, WithoutAFileTheSixLinesCarryTheBarsRealFlags) {
    EXPECT_EQ(WithTopBarPlacement("", PlacedBar()),
              "{\n  \"topbar_x\": 321,\n  \"topbar_y\": 45,\n  \"show_topbar\": false,\n"
              "  \"topbar_autohide\": false\n}\n");
    // Read back at the next start and by the program's settings reader: nothing flips.
    const TopBarModel reloaded = Loaded(WithTopBarPlacement("", PlacedBar()));
    EXPECT_FALSE(reloaded.autoHide);
    EXPECT_FALSE(reloaded.visible);
    EXPECT_EQ(reloaded.x, 321);
    EXPECT_EQ(reloaded.rememberedY, 45);
}

TEST(TopBarPlacementSaveTest, TheSettingsProgramsFileKeepsEveryByteButTheSixKeys) {
    const std::string original = FormatSettingsFile(DashboardSettings{});
    const std::string saved = WithTopBarPlacement(original, PlacedBar());

    std::string expected = original;
    const auto replace = [&](const std::string& from, const std::string& to) {
        expected.replace(expected.find(from), from.size(), to);
    };
    replace("\"show_topbar\": true", "\"show_topbar\": false");
    replace("\"topbar_autohide\": true", "\"topbar_autohide\": false");
    replace("\"topbar_x\": -1", "\"topbar_x\": 321");
    replace("\"topbar_y\": 10", "\"topbar_y\": 45");
    expected.insert(expected.rfind('}'),
                    ",\n  \"topbar_compact\": true,\n  \"topbar_dock\": \"right\"");
    EXPECT_EQ(saved, expected);
    // A second save finds all six keys and changes nothing more.
    EXPECT_EQ(WithTopBarPlacement(saved, PlacedBar()), saved);
}

TEST(TopBarPlacementSaveTest, AFileWithoutBraceIsWrittenBackUnchanged) {
    EXPECT_EQ(WithTopBarPlacement("\"theme\": 0\n", PlacedBar()), "\"theme\": 0\n");
}

class TopBarPlacementFileTest : public ::testing::Test {
protected:
    std::wstring Path() const { return Utf8ToUtf16(folder_.File("settings.json")); }
    bangla::TempFolder folder_{"topbar_placement"};
};

TEST_F(TopBarPlacementFileTest, SaveCreatesAMissingFileAndLoadReadsItBack) {
    ASSERT_TRUE(SaveTopBarPlacement(Path(), PlacedBar()));
    EXPECT_EQ(ReadSettingsFile(Path()), WithTopBarPlacement("", PlacedBar()));

    TopBarModel bar;
    LoadTopBarPlacement(Path(), kScreenWidth, kScreenHeight, bar);
    EXPECT_EQ(bar.x, 321);
    EXPECT_EQ(bar.rememberedY, 45);
    EXPECT_FALSE(bar.visible);
    EXPECT_FALSE(bar.autoHide);
}

TEST_F(TopBarPlacementFileTest, WithoutADataFolderNothingIsReadOrWritten) {
    TopBarModel bar;
    LoadTopBarPlacement(L"", kScreenWidth, kScreenHeight, bar);
    EXPECT_EQ(bar.x, -1);
    EXPECT_FALSE(SaveTopBarPlacement(L"", bar));
    EXPECT_FALSE(SaveTopBarPlacement(Utf8ToUtf16(folder_.File("missing/settings.json")), bar));
}

#ifdef _WIN32
// A file that another program holds, sharing only its deletion, cannot be read but could be
// replaced: the user's settings in it must survive, so nothing is written over them.
TEST_F(TopBarPlacementFileTest, FileThatCannotBeReadIsLeftAlone) {
    const std::string original = FormatSettingsFile(DashboardSettings{});
    ASSERT_TRUE(WriteSettingsFile(Path(), original));
    const HANDLE held = CreateFileW(Path().c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveTopBarPlacement(Path(), PlacedBar()));
    CloseHandle(held);
    EXPECT_EQ(ReadSettingsFile(Path()), original);
}
#endif

}  // namespace
}  // namespace qorva::universal
