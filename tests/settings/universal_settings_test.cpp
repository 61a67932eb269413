// The universal program's reading of settings.json: which value wins, the forms it recognises,
// and what a missing file does at start and later.
#include "settings/universal_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace qorva {
namespace {

void ExpectEqual(const UniversalSettings& got, const UniversalSettings& expected) {
    EXPECT_EQ(got.inputMode, expected.inputMode);
    EXPECT_EQ(got.hostEnabled, expected.hostEnabled);
    EXPECT_EQ(got.personalLearning, expected.personalLearning);
    EXPECT_EQ(got.autoCheckUpdate, expected.autoCheckUpdate);
    EXPECT_EQ(got.englishTranslation, expected.englishTranslation);
    EXPECT_EQ(got.nextWordPrediction, expected.nextWordPrediction);
    EXPECT_EQ(got.launchStartup, expected.launchStartup);
    EXPECT_EQ(got.topbarAutohide, expected.topbarAutohide);
}

// Every value away from the start values, so that a key the file lacks shows as kept.
UniversalSettings Flipped() {
    UniversalSettings s;
    s.inputMode = InputMode::Universal;
    s.hostEnabled = false;
    s.personalLearning = false;
    s.autoCheckUpdate = false;
    s.englishTranslation = false;
    s.nextWordPrediction = false;
    s.launchStartup = false;
    s.topbarAutohide = true;
    return s;
}

struct ParseCase {
    std::string name;
    std::string text;
    UniversalSettings current;
    std::function<void(UniversalSettings&)> expect;  // applied to `current`
};

std::ostream& operator<<(std::ostream& os, const ParseCase& c) { return os << c.name; }

class UniversalSettingsParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(UniversalSettingsParseTest, GivesTheExpectedValues) {
    UniversalSettings expected = GetParam().current;
    GetParam().expect(expected);
    ExpectEqual(ParseUniversalSettings(GetParam().text, GetParam().current), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UniversalSettingsParseTest,
    ::testing::Values(
        ParseCase{"NothingFoundKeepsAllButTheMode", "{}", Flipped(),
                  [](UniversalSettings& s) { s.inputMode = InputMode::Automatic; }},
        ParseCase{"TsfOnlyWinsOverUniversal",
                  "\"input_mode\": \"universal\", \"input_mode\": \"tsf_only\"",
                  {},
                  [](UniversalSettings& s) { s.inputMode = InputMode::TsfOnly; }},
        ParseCase{"UniversalMode",
                  "\"input_mode\": \"universal\"",
                  {},
                  [](UniversalSettings& s) { s.inputMode = InputMode::Universal; }},
        ParseCase{"UnquotedModeIsAutomatic", "\"input_mode\": universal", Flipped(),
                  [](UniversalSettings& s) { s.inputMode = InputMode::Automatic; }},
        ParseCase{"TrueWinsWhenBothArePresent",
                  "\"universal_mode\": true \"universal_mode\": false "
                  "\"personal_learning\": false \"personal_learning\": true "
                  "\"auto_check_update\": true \"auto_check_update\": false "
                  "\"english_translation\": false \"english_translation\": true",
                  Flipped(),
                  [](UniversalSettings& s) {
                      s.inputMode = InputMode::Automatic;
                      s.hostEnabled = s.personalLearning = s.autoCheckUpdate = true;
                      s.englishTranslation = true;
                  }},
        ParseCase{"FalseSwitchesOff",
                  "{\n  \"universal_mode\": false,\n  \"auto_check_update\": false,\n"
                  "  \"english_translation\": false,\n  \"launch_startup\": false\n}\n",
                  {},
                  [](UniversalSettings& s) {
                      s.hostEnabled = s.autoCheckUpdate = s.englishTranslation = false;
                      s.launchStartup = false;
                  }},
        ParseCase{"OwnPredictionKeyFalseButDashboardsTrue",
                  "\"next_word_prediction\": false, \"word_prediction\": true",
                  {},
                  [](UniversalSettings&) {}},
        ParseCase{"DashboardsPredictionKeyAlone",
                  "\"word_prediction\": false",
                  {},
                  [](UniversalSettings& s) { s.nextWordPrediction = false; }},
        ParseCase{"OwnPredictionKeyAlone", "\"next_word_prediction\": true", Flipped(),
                  [](UniversalSettings& s) {
                      s.inputMode = InputMode::Automatic;
                      s.nextWordPrediction = true;
                  }},
        ParseCase{"NoSpaceOrCapitalIsNotRecognised",
                  "\"personal_learning\":false \"english_translation\": False "
                  "\"universal_mode\" : false",
                  {},
                  [](UniversalSettings&) {}},
        ParseCase{"AutohideFalseWins", "\"topbar_autohide\": false \"topbar_autohide\": true",
                  Flipped(),
                  [](UniversalSettings& s) {
                      s.inputMode = InputMode::Automatic;
                      s.topbarAutohide = false;
                  }},
        ParseCase{"AutohideAbsentStaysUnsaid",
                  "\"topbar_autohide\":false",
                  {},
                  [](UniversalSettings&) {}},
        ParseCase{"KeyInsideAnotherValueCounts",
                  "\"note\": \"was \\\"personal_learning\": false before\"",
                  {},
                  [](UniversalSettings& s) { s.personalLearning = false; }}));

TEST(UniversalSettingsTest, TsfOnlySwitchesTypingOffButKeepsTheHostOn) {
    const UniversalSettings s =
        ParseUniversalSettings("\"input_mode\": \"tsf_only\", \"universal_mode\": true", {});
    EXPECT_TRUE(s.hostEnabled);
    EXPECT_FALSE(TypingEnabled(s));
    EXPECT_TRUE(TypingEnabled(ParseUniversalSettings("\"input_mode\": \"universal\"", {})));
    EXPECT_FALSE(TypingEnabled(ParseUniversalSettings("\"universal_mode\": false", {})));
}

TEST(UniversalSettingsTest, MissingFileAtStartAppliesTheStartValues) {
    const std::optional<UniversalSettings> applied = SettingsToApply(std::nullopt, {}, true);
    ASSERT_TRUE(applied);
    ExpectEqual(*applied, UniversalSettings{});
    EXPECT_TRUE(TypingEnabled(*applied));
}

TEST(UniversalSettingsTest, LaterFailedReadsChangeNothing) {
    EXPECT_FALSE(SettingsToApply(std::nullopt, Flipped(), false));
    const std::optional<UniversalSettings> applied =
        SettingsToApply(std::string("\"universal_mode\": true"), Flipped(), false);
    ASSERT_TRUE(applied);
    EXPECT_TRUE(applied->hostEnabled);
    EXPECT_FALSE(applied->personalLearning);
}

}  // namespace
}  // namespace qorva
