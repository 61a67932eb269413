// The top bar's keys in settings.json: what a start takes from the file, and how a save rewrites
// the six keys while keeping every other byte and the line ends of the file, and leaves a file it
// may not write exactly as it was.
#include "universal/topbar_placement.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/text.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "tests/support/engine_fixtures.h"
#include "tests/support/read_only_mark.h"
#include "tools/lib/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qorva::universal {
namespace {

using bangla::testing_support::ReadFileBytes;
using bangla::testing_support::WriteTextFile;

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

class TopBarPlacementFileTest : public ::testing::Test {
protected:
    std::wstring Path() const { return Utf8ToUtf16(folder_.File("settings.json")); }
    void Write(const std::string& bytes) const {
        WriteTextFile(folder_.File("settings.json"), bytes, "wb");
    }
    std::string Bytes() const { return ReadFileBytes(folder_.File("settings.json")); }
    bangla::TempFolder folder_{"topbar_placement"};
};

TEST_F(TopBarPlacementFileTest, SixKeysGetLinesOfTheirOwnInOrderWithTheFilesLineEnds) {
    Write("{\n  \"theme\": 0\n}\n");
    ASSERT_EQ(SaveTopBarPlacement(Path(), PlacedBar()), SettingsWrite::Written);
    EXPECT_EQ(Bytes(),
              "{\n  \"theme\": 0,\n  \"topbar_x\": 321,\n  \"topbar_y\": 45,\n"
              "  \"show_topbar\": false,\n  \"topbar_autohide\": false,\n"
              "  \"topbar_compact\": true,\n  \"topbar_dock\": \"right\"\n}\n");
}

TEST_F(TopBarPlacementFileTest, WithoutAFileTheFourLinesCarryTheBarsRealFlags) {
    ASSERT_EQ(SaveTopBarPlacement(Path(), PlacedBar()), SettingsWrite::Written);
    EXPECT_EQ(Bytes(),
              "{\r\n  \"topbar_x\": 321,\r\n  \"topbar_y\": 45,\r\n  \"show_topbar\": false,\r\n"
              "  \"topbar_autohide\": false\r\n}\r\n");
    // Read back at the next start and by the program's settings reader: nothing flips.
    TopBarModel bar;
    LoadTopBarPlacement(Path(), kScreenWidth, kScreenHeight, bar);
    EXPECT_EQ(bar.x, 321);
    EXPECT_EQ(bar.rememberedY, 45);
    EXPECT_FALSE(bar.visible);
    EXPECT_FALSE(bar.autoHide);
}

TEST_F(TopBarPlacementFileTest, TheSettingsProgramsFileKeepsEveryByteButTheSixKeys) {
    const std::string original = FormatSettingsFile(DashboardSettings{});
    Write(ToDiskLineEnds(original));
    ASSERT_EQ(SaveTopBarPlacement(Path(), PlacedBar()), SettingsWrite::Written);

    std::string expected = original;
    const auto replace = [&](const std::string& from, const std::string& to) {
        expected.replace(expected.find(from), from.size(), to);
    };
    replace("\"show_topbar\": true", "\"show_topbar\": false");
    replace("\"topbar_autohide\": true", "\"topbar_autohide\": false");
    replace("\"topbar_x\": -1", "\"topbar_x\": 321");
    replace("\"topbar_y\": 10", "\"topbar_y\": 45");
    expected.insert(expected.rfind("\n}"),
                    ",\n  \"topbar_compact\": true,\n  \"topbar_dock\": \"right\"");
    const std::string saved = Bytes();
    EXPECT_EQ(saved, ToDiskLineEnds(expected));
    // A second save finds all six keys and changes nothing more.
    ASSERT_EQ(SaveTopBarPlacement(Path(), PlacedBar()), SettingsWrite::Written);
    EXPECT_EQ(Bytes(), saved);
}

// What the bar cannot have read whole, does not understand or may not write stays byte for byte.
TEST_F(TopBarPlacementFileTest, FilesItMayNotWriteAreLeftByteForByte) {
    const struct {
        const char* name;
        std::string bytes;
        bool readOnly;
        SettingsWrite outcome;
    } cases[] = {
        {"fifty megabytes",
         "{\r\n  \"topbar_x\": 5,\r\n  \"notes\": \"" + std::string(50 << 20, 'x') + "\"\r\n}\r\n",
         false, SettingsWrite::TooLarge},
        {"no braces", "\"theme\": 0\n", false, SettingsWrite::NotUnderstood},
        {"bytes of another program", std::string("{\0\x01\x02\xFF}", 6), false,
         SettingsWrite::NotUnderstood},
        {"read-only", "{\n  \"topbar_x\": 5\n}\n", true, SettingsWrite::ReadOnly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write(c.bytes);
        {
            std::optional<qorva_test::ReadOnlyMark> mark;
            if (c.readOnly) mark.emplace(folder_.File("settings.json"));
            EXPECT_EQ(SaveTopBarPlacement(Path(), PlacedBar()), c.outcome);
        }
        EXPECT_TRUE(Bytes() == c.bytes) << Bytes().size() << " bytes";
    }
}

TEST_F(TopBarPlacementFileTest, WithoutADataFolderNothingIsReadOrWritten) {
    TopBarModel bar;
    LoadTopBarPlacement(L"", kScreenWidth, kScreenHeight, bar);
    EXPECT_EQ(bar.x, -1);
    EXPECT_EQ(SaveTopBarPlacement(L"", bar), SettingsWrite::Failed);
    EXPECT_EQ(SaveTopBarPlacement(Utf8ToUtf16(folder_.File("missing/settings.json")), bar),
              SettingsWrite::Failed);
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
    EXPECT_EQ(SaveTopBarPlacement(Path(), PlacedBar()), SettingsWrite::Unreadable);
    CloseHandle(held);
    EXPECT_EQ(ReadSettingsFile(Path()), original);
}
#endif

}  // namespace
}  // namespace qorva::universal
