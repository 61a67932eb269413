// What the language-pin tray icon shows for each value the shared mode block may hold: the badge's
// colour, text and font, and the tip. A value no program knows reads as Bangla.
#include "universal/mode_badge.h"

#include <gtest/gtest.h>

#include <string>

namespace qorva::universal {
namespace {

TEST(ModeBadgeTest, EachModeHasItsColourTextFaceAndHeight) {
    const struct {
        uint32_t mode;
        uint8_t red, green, blue;
        std::wstring text;
        std::wstring face;
        int percent;
    } cases[] = {
        {0, 0, 168, 240, L"বাং", L"Vrinda", 75},
        {1, 2, 132, 199, L"Eng", L"Segoe UI", 65},
        {2, 13, 148, 136, L"B-E", L"Segoe UI", 75},
        // Vrinda may lack what a newer program meant; the Latin face shows the Bangla badge.
        {3, 0, 168, 240, L"বাং", L"Segoe UI", 75},
        {0xFFFFFFFF, 0, 168, 240, L"বাং", L"Segoe UI", 75},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const ModeBadge badge = BadgeOfMode(static_cast<ModeTarget>(c.mode));
        EXPECT_EQ(badge.red, c.red);
        EXPECT_EQ(badge.green, c.green);
        EXPECT_EQ(badge.blue, c.blue);
        EXPECT_EQ(badge.text, c.text);
        EXPECT_EQ(badge.fontFace, c.face);
        EXPECT_EQ(badge.fontPercent, c.percent);
    }
}

TEST(ModeBadgeTest, TipNamesTheModeAndFitsTheTrayTipField) {
    const std::wstring click = L"\n(ক্লিক করে ভাষা পরিবর্তন করুন)";
    const struct {
        uint32_t mode;
        std::wstring tip;
    } cases[] = {
        {0, L"Qorva Language Pin: [বাং] বাংলা মোড" + click},
        {1, L"Qorva Language Pin: [EN] English" + click},
        {2, L"Qorva Language Pin: [Tr] Banglish->English অনুবাদ" + click},
        {7, L"Qorva Language Pin: [বাং] বাংলা মোড" + click},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const std::wstring tip = PinTipOfMode(static_cast<ModeTarget>(c.mode));
        EXPECT_EQ(tip, c.tip);
        // The tray keeps 127 characters and a terminator: nothing of the tip may be cut off.
        EXPECT_LE(tip.size(), 127u);
    }
}

}  // namespace
}  // namespace qorva::universal
