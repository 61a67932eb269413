// The universal program's mode switches: the mode each toggle and header click writes, how it is
// confirmed, and the clock that keeps one press from switching twice.
#include "universal/mode_toggle_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace qorva::universal {
namespace {

using qorva_tsf::CandidateConversionTarget;

ModeTarget Mode(uint32_t value) { return static_cast<ModeTarget>(value); }

TEST(ModeToggleRulesTest, EachToggleWritesItsModeFromEveryValueTheBlockMayHold) {
    struct Case {
        ModeToggle toggle;
        uint32_t from;
        uint32_t to;
    };
    const Case cases[] = {
        {ModeToggle::BanglaEnglish, 1, 0},     {ModeToggle::BanglaEnglish, 0, 1},
        {ModeToggle::BanglaEnglish, 2, 1},     {ModeToggle::BanglaEnglish, 7, 1},
        {ModeToggle::BanglaTranslation, 2, 0}, {ModeToggle::BanglaTranslation, 0, 2},
        {ModeToggle::BanglaTranslation, 1, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ModeAfterToggle(c.toggle, Mode(c.from)), Mode(c.to))
            << "toggle " << static_cast<int>(c.toggle) << " from " << c.from;
    }
}

TEST(ModeToggleRulesTest, HeaderEnglishMeansTranslationInTheUniversalProgram) {
    EXPECT_EQ(ModeAfterHeaderClick(CandidateConversionTarget::English),
              ModeTarget::BanglishToEnglish);
    EXPECT_EQ(ModeAfterHeaderClick(CandidateConversionTarget::Bangla), ModeTarget::Bangla);
}

TEST(ModeToggleRulesTest, SoundAndLogLineFollowTheModeReadBack) {
    struct Case {
        ModeToggle toggle;
        uint32_t now;
        int sound;
        std::string line;
    };
    const Case cases[] = {
        {ModeToggle::BanglaEnglish, 1, 2, "hotkey: english mode"},
        {ModeToggle::BanglaEnglish, 0, 1, "hotkey: bangla mode"},
        // Another program wrote translation in between: not English, so the Bangla sound.
        {ModeToggle::BanglaEnglish, 2, 1, "hotkey: bangla mode"},
        {ModeToggle::BanglaTranslation, 2, 1, "hotkey: english conversion mode"},
        {ModeToggle::BanglaTranslation, 0, 1, "hotkey: bangla mode"},
    };
    for (const Case& c : cases) {
        const ToggleFeedback feedback = FeedbackOfToggle(c.toggle, Mode(c.now));
        EXPECT_EQ(feedback.soundKind, c.sound) << c.line;
        EXPECT_EQ(feedback.logLine, c.line);
    }
}

TEST(ToggleClocksTest, AToggleActsOnlyAQuarterSecondAfterItActedLast) {
    struct Case {
        const char* name;
        uint32_t first;
        uint32_t second;
        bool secondActs;
    };
    const Case cases[] = {
        {"249 ms later is the same press", 10000, 10249, false},
        {"250 ms later acts", 10000, 10250, true},
        {"across the counter's wrap, 96 ms", 0xFFFFFFF0u, 0x50, false},
        {"across the counter's wrap, 272 ms", 0xFFFFFF00u, 0x10, true},
        {"the first toggle right after the machine started", 0, 100, false},
    };
    for (ModeToggle toggle : {ModeToggle::BanglaEnglish, ModeToggle::BanglaTranslation}) {
        for (const Case& c : cases) {
            ToggleClocks clocks;
            EXPECT_TRUE(clocks.Accept(toggle, c.first)) << c.name << ": the first toggle acts";
            EXPECT_EQ(clocks.Accept(toggle, c.second), c.secondActs) << c.name;
        }
    }
}

TEST(ToggleClocksTest, AnIgnoredPressDoesNotRestartTheQuietTime) {
    ToggleClocks clocks;
    ASSERT_TRUE(clocks.Accept(ModeToggle::BanglaEnglish, 1000));
    EXPECT_FALSE(clocks.Accept(ModeToggle::BanglaEnglish, 1200));
    EXPECT_TRUE(clocks.Accept(ModeToggle::BanglaEnglish, 1250));
}

TEST(ToggleClocksTest, TheTwoTogglesKeepSeparateClocks) {
    ToggleClocks clocks;
    ASSERT_TRUE(clocks.Accept(ModeToggle::BanglaEnglish, 5000));
    EXPECT_FALSE(clocks.Accept(ModeToggle::BanglaEnglish, 5100));
    EXPECT_TRUE(clocks.Accept(ModeToggle::BanglaTranslation, 5100));
    EXPECT_FALSE(clocks.Accept(ModeToggle::BanglaTranslation, 5200));
    EXPECT_TRUE(clocks.Accept(ModeToggle::BanglaEnglish, 5250));
}

}  // namespace
}  // namespace qorva::universal
