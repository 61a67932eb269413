// Single keys read and rewritten in place, as the top bar keeps its placement.
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
        PatchCase{"MissingKeyGoesBeforeTheLastBrace", "{\n  \"theme\": 0\n}\n", "topbar_dock",
                  "\"top\"", "{\n  \"theme\": 0\n,\n  \"topbar_dock\": \"top\"}\n"},
        PatchCase{"SpaceBeforeColonIsNotTheKey", "{\n  \"topbar_x\" : 5\n}\n", "topbar_x", "9",
                  "{\n  \"topbar_x\" : 5\n,\n  \"topbar_x\": 9}\n"},
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
    expected.insert(expected.rfind('}'), ",\n  \"topbar_compact\": true");
    EXPECT_EQ(text, expected);
    EXPECT_EQ(ReadSettingsNumber(text, "topbar_x"), 300);
    EXPECT_EQ(ReadSettingsNumber(text, "topbar_y"), 10);
}

}  // namespace
}  // namespace qorva
