// The settings file as the dashboard writes and reads it: the exact bytes, and which texts the
// line reader takes.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "tests/settings/default_settings_file.h"

namespace qorva {
namespace {

using qorva_test::kDefaultSettingsFile;

// Every field that the reader takes back, away from its default.
DashboardSettings Changed() {
    DashboardSettings s;
    s.enableQorva = false;
    s.launchStartup = true;
    s.autoCheckUpdate = false;
    s.engToBangla = false;
    s.fuzzySpelling = false;
    s.showSuggestions = false;
    s.wordPrediction = false;
    s.showEngCandidate = false;
    s.autoCorrect = true;
    s.englishTranslation = false;
    s.onlineSuggestions = true;
    s.personalLearning = false;
    s.maxCandidates = 3;
    s.theme = 2;
    s.inputMode = InputMode::TsfOnly;
    s.showTopbar = false;
    s.topbarAutohide = false;
    s.topbarX = -120;
    s.topbarY = 4000;
    return s;
}

// Two records are equal when they give the same file.
void ExpectSameSettings(const DashboardSettings& got, const DashboardSettings& expected) {
    EXPECT_EQ(FormatSettingsFile(got), FormatSettingsFile(expected));
}

TEST(SettingsFileTest, DefaultsGiveTheFixedLayoutByteForByte) {
    EXPECT_EQ(ToDiskLineEnds(FormatSettingsFile(DashboardSettings{})), kDefaultSettingsFile);
}

TEST(SettingsFileTest, ValuesAreWrittenInTheirForms) {
    DashboardSettings s = Changed();
    const std::string file = FormatSettingsFile(s);
    for (const char* line : {"  \"enable_qorva\": false,\n", "  \"max_candidates\": 3,\n",
                             "  \"theme\": 2,\n", "  \"input_mode\": \"tsf_only\",\n",
                             "  \"topbar_x\": -120,\n", "  \"topbar_y\": 4000\n}\n"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line;
    }
    s.inputMode = InputMode::Universal;
    EXPECT_NE(FormatSettingsFile(s).find("\"input_mode\": \"universal\","), std::string::npos);
    s.inputMode = static_cast<InputMode>(7);
    EXPECT_NE(FormatSettingsFile(s).find("\"input_mode\": \"automatic\","), std::string::npos);
}

TEST(SettingsFileTest, WhatIsWrittenReadsBack) {
    const std::string disk = ToDiskLineEnds(FormatSettingsFile(Changed()));
    ExpectSameSettings(ParseDashboardSettings(FromDiskLineEnds(disk)), Changed());
    ExpectSameSettings(ParseDashboardSettings(FromDiskLineEnds(kDefaultSettingsFile)),
                       DashboardSettings{});
}

struct ReaderCase {
    std::string name;
    std::string text;
    std::function<void(DashboardSettings&)> expect;  // applied to the defaults
};

std::ostream& operator<<(std::ostream& os, const ReaderCase& c) { return os << c.name; }

class DashboardReaderTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(DashboardReaderTest, TakesOnlyExactTexts) {
    DashboardSettings expected;
    GetParam().expect(expected);
    ExpectSameSettings(ParseDashboardSettings(GetParam().text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DashboardReaderTest,
    ::testing::Values(
        ReaderCase{"EmptyFile", "", [](DashboardSettings&) {}},
        ReaderCase{"UniversalMode", "  \"input_mode\": \"universal\",\n",
                   [](DashboardSettings& s) { s.inputMode = InputMode::Universal; }},
        ReaderCase{"UnknownModeWord", "  \"input_mode\": \"Universal\",\n",
                   [](DashboardSettings&) {}},
        ReaderCase{"CandidatesOutOfRange", "\"max_candidates\": 7\n", [](DashboardSettings&) {}},
        ReaderCase{"CandidatesWithoutSpace", "\"max_candidates\":3\n", [](DashboardSettings&) {}},
        ReaderCase{"CandidatesFour", "\"max_candidates\": 4\n",
                   [](DashboardSettings& s) { s.maxCandidates = 4; }},
        ReaderCase{"NegativeX", "  \"topbar_x\": -120,\n",
                   [](DashboardSettings& s) { s.topbarX = -120; }},
        ReaderCase{"XWithoutNumber", "  \"topbar_x\": ,\n",
                   [](DashboardSettings& s) { s.topbarX = 0; }},
        ReaderCase{"XAfterSpaces", "  \"topbar_x\":   42\n",
                   [](DashboardSettings& s) { s.topbarX = 42; }},
        ReaderCase{"YTooLargeKeepsItsValue", "  \"topbar_y\": 99999999999\n",
                   [](DashboardSettings&) {}},
        ReaderCase{"YWithCarriageReturn", "  \"topbar_y\": 25\r\n",
                   [](DashboardSettings& s) { s.topbarY = 25; }},
        ReaderCase{"RowsNobodyReads", "\"bangla_typing\": false\n\"banglish_recog\": false\n",
                   [](DashboardSettings&) {}},
        ReaderCase{"BarKeysOfOthersIgnored",
                   "\"topbar_dock\": \"right\"\n\"universal_mode\": false\n",
                   [](DashboardSettings&) {}},
        ReaderCase{"OnOneLineTheLaterTestWins",
                   "\"auto_correct\": false, \"auto_correct\": true, \"show_topbar\": false, "
                   "\"show_topbar\": true\n",
                   [](DashboardSettings& s) {
                       s.autoCorrect = false;
                       s.showTopbar = false;
                   }},
        ReaderCase{"TheLaterLineWins", "\"theme\": 2\n\"theme\": 1\n",
                   [](DashboardSettings& s) { s.theme = 1; }},
        ReaderCase{"CapitalValueIgnored", "\"personal_learning\": False\n",
                   [](DashboardSettings&) {}}));

TEST(SettingsFileTest, LineEndsConvertBetweenDiskAndMemory) {
    EXPECT_EQ(FromDiskLineEnds("a\r\nb\rc\n\r\n"), "a\nb\rc\n\n");
    EXPECT_EQ(ToDiskLineEnds("a\nb\rc\n\n"), "a\r\nb\rc\r\n\r\n");
    EXPECT_EQ(FromDiskLineEnds(ToDiskLineEnds("x\ny\r")), "x\ny\r");
}

}  // namespace
}  // namespace qorva
