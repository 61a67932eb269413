// Single keys read and rewritten in place, as the top bar and the dashboard keep theirs, and which
// files a writer understands well enough to patch.
#include "settings/settings_keys.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "settings/settings_file.h"

namespace qorva {
namespace {

struct NumberCase {
    std::string name;
    std::string text;
    int32_t expected;
};

std::ostream& operator<<(std::ostream& os, const NumberCase& c) { return os << c.name; }

class ReadSettingsNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadSettingsNumberTest, ReadsTopbarX) {
    EXPECT_EQ(ReadSettingsNumber(GetParam().text, "topbar_x"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSettingsNumberTest,
    ::testing::Values(
        NumberCase{"Plain", "{\n  \"topbar_x\": 5,\n}", 5},
        NumberCase{"Negative", "\"topbar_x\": -120,", -120},
        NumberCase{"NoSpace", "\"topbar_x\":7}", 7},
        NumberCase{"Missing", "{\n  \"topbar_y\": 10\n}", kAbsentSettingsNumber},
        NumberCase{"SpaceBeforeColon", "\"topbar_x\" : 5", kAbsentSettingsNumber},
        NumberCase{"NoNumberAnywhereAfter", "\"topbar_x\": null}", kAbsentSettingsNumber},
        NumberCase{"LoneMinus", "\"topbar_x\": -, \"topbar_y\": 3", kAbsentSettingsNumber},
        NumberCase{"OtherTextSkipped", "\"topbar_x\": about 12", 12},
        NumberCase{"EmptyValueTakesTheNextKeys", "\"topbar_x\": ,\n\"topbar_y\": 10", 10},
        NumberCase{"FirstOccurrence", "\"topbar_x\": 1, \"topbar_x\": 2", 1},
        NumberCase{"Largest", "\"topbar_x\": 2147483647", 2147483647},
        NumberCase{"Smallest", "\"topbar_x\": -2147483648", -2147483647 - 1},
        NumberCase{"TooLarge", "\"topbar_x\": 2147483648", kAbsentSettingsNumber},
        NumberCase{"TooSmall", "\"topbar_x\": -2147483649", kAbsentSettingsNumber},
        NumberCase{"FarTooLarge", "\"topbar_x\": 99999999999999999999999", kAbsentSettingsNumber}));

struct PatchCase {
    std::string name;
    std::string before;
    std::string key;
    std::string value;
    std::string after;
};

std::ostream& operator<<(std::ostream& os, const PatchCase& c) { return os << c.name; }

class PatchSettingsKeyTest : public ::testing::TestWithParam<PatchCase> {};

TEST_P(PatchSettingsKeyTest, RewritesOnlyTheKey) {
    std::string text = GetParam().before;
    PatchSettingsKey(text, GetParam().key, GetParam().value);
    EXPECT_EQ(text, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatchSettingsKeyTest,
    ::testing::Values(
        PatchCase{"ValueBeforeComma", "{\n  \"topbar_x\": -1,\n  \"topbar_y\": 10\n}\n", "topbar_x",
                  "5", "{\n  \"topbar_x\": 5,\n  \"topbar_y\": 10\n}\n"},
        PatchCase{"LastRow", "{\n  \"topbar_x\": -1,\n  \"topbar_y\": 10\n}\n", "topbar_y", "700",
                  "{\n  \"topbar_x\": -1,\n  \"topbar_y\": 700\n}\n"},
        PatchCase{"BeforeBraceOnTheSameLine", "{\"show_topbar\": true}", "show_topbar", "false",
                  "{\"show_topbar\": false}"},
        PatchCase{"RestOfTheLineIsReplaced", "{\n  \"topbar_x\": 12 // moved\n}\n", "topbar_x", "5",
                  "{\n  \"topbar_x\": 5\n}\n"},
        PatchCase{"UpToTheEndOfText", "{\"topbar_x\": 12", "topbar_x", "5", "{\"topbar_x\": 5"},
        PatchCase{"MissingKeyGetsALineOfItsOwnBeforeTheLastBrace", "{\n  \"theme\": 0\n}\n",
                  "topbar_dock", "\"top\"", "{\n  \"theme\": 0,\n  \"topbar_dock\": \"top\"\n}\n"},
        PatchCase{"MissingKeyKeepsCrLf", "{\r\n  \"theme\": 0\r\n}\r\n", "topbar_dock", "\"top\"",
                  "{\r\n  \"theme\": 0,\r\n  \"topbar_dock\": \"top\"\r\n}\r\n"},
        PatchCase{"PresentKeyKeepsCrLf", "{\r\n  \"topbar_x\": -1\r\n}\r\n", "topbar_x", "5",
                  "{\r\n  \"topbar_x\": 5\r\n}\r\n"},
        PatchCase{"MissingKeyInAnEmptyObject", "{\n}\n", "topbar_x", "5",
                  "{\n  \"topbar_x\": 5\n}\n"},
        PatchCase{"MissingKeyAfterATrailingComma", "{\n  \"theme\": 0,\n}\n", "topbar_x", "5",
                  "{\n  \"theme\": 0,\n  \"topbar_x\": 5\n}\n"},
        PatchCase{"MissingKeyInAOneLineFileGetsCrLf", "{\"theme\": 0}", "topbar_x", "5",
                  "{\"theme\": 0,\r\n  \"topbar_x\": 5}"},
        PatchCase{"QuotedValueWithCommaAndBraceIsReplacedWhole",
                  "{\n  \"topbar_dock\": \"a, \\\"b}\",\n  \"theme\": 0\n}\n", "topbar_dock",
                  "\"top\"", "{\n  \"topbar_dock\": \"top\",\n  \"theme\": 0\n}\n"},
        PatchCase{"EveryOccurrenceIsSet", "{\"show_topbar\": true, \"show_topbar\": false}",
                  "show_topbar", "true", "{\"show_topbar\": true, \"show_topbar\": true}"},
        PatchCase{"SpaceBeforeColonIsNotTheKey", "{\n  \"topbar_x\" : 5\n}\n", "topbar_x", "9",
                  "{\n  \"topbar_x\" : 5,\n  \"topbar_x\": 9\n}\n"},
        PatchCase{"NoBraceLeavesTheTextAlone", "\"theme\": 0\n", "topbar_x", "5", "\"theme\": 0\n"},
        PatchCase{"EmptyTextStaysEmpty", "", "topbar_x", "5", ""}));

TEST(PatchSettingsKeyTest, EveryOtherByteOfTheDashboardsFileIsKept) {
    const std::string original = FormatSettingsFile(DashboardSettings{});
    std::string text = original;
    PatchSettingsKey(text, "topbar_x", "300");
    PatchSettingsKey(text, "show_topbar", "false");
    PatchSettingsKey(text, "topbar_compact", "true");

    std::string expected = original;
    expected.replace(expected.find("\"topbar_x\": -1"), 14, "\"topbar_x\": 300");
    expected.replace(expected.find("\"show_topbar\": true"), 19, "\"show_topbar\": false");
    expected.insert(expected.rfind("\n}"), ",\n  \"topbar_compact\": true");
    EXPECT_EQ(text, expected);
    EXPECT_EQ(ReadSettingsNumber(text, "topbar_x"), 300);
    EXPECT_EQ(ReadSettingsNumber(text, "topbar_y"), 10);
}

struct ShapeCase {
    std::string name;
    std::string bytes;
    bool understood;
};

std::ostream& operator<<(std::ostream& os, const ShapeCase& c) { return os << c.name; }

class SettingsTextTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(SettingsTextTest, OnlyUtf8BetweenBracesIsUnderstood) {
    EXPECT_EQ(IsSettingsText(GetParam().bytes), GetParam().understood);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsTextTest,
    ::testing::Values(
        ShapeCase{"DashboardFile", FormatSettingsFile(DashboardSettings{}), true},
        ShapeCase{"CrLfFile", ToDiskLineEnds(FormatSettingsFile(DashboardSettings{})), true},
        ShapeCase{"OneLine", "{\"theme\": 0}", true}, ShapeCase{"EmptyObject", "{}", true},
        ShapeCase{"ByteOrderMarkAndWhiteSpaceAround", "\xEF\xBB\xBF \r\n{\n\t\"theme\": 0\n}\r\n\n",
                  true},
        ShapeCase{"BanglaValue", "{\n  \"name\": \"\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\"\n}\n",
                  true},
        ShapeCase{"Empty", "", false}, ShapeCase{"OnlyWhiteSpace", " \r\n", false},
        ShapeCase{"CutShort", "{\n  \"theme\": 0,\n  \"topbar_x\": 5", false},
        ShapeCase{"NoOpeningBrace", "\"theme\": 0\n}\n", false},
        ShapeCase{"TextAfterTheBrace", "{\n  \"theme\": 0\n}\n// note\n", false},
        ShapeCase{"IniFile", "[settings]\ntheme=0\n", false},
        ShapeCase{"InvalidUtf8", "{\n  \"name\": \"\xC3\x28\"\n}\n", false},
        ShapeCase{"Latin1", "{\n  \"name\": \"caf\xE9\"\n}\n", false},
        ShapeCase{"OverlongSlash", "{\n  \"name\": \"\xC0\xAF\"\n}\n", false},
        ShapeCase{"Utf16", std::string("\xFF\xFE{\0}\0", 6), false},
        ShapeCase{"NulByte", std::string("{\n  \"theme\": 0\0\n}\n", 18), false},
        ShapeCase{"EscapeCharacter", "{\n  \"theme\": \x1B[0m\n}\n", false}));

}  // namespace
}  // namespace qorva
