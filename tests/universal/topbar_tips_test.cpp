// What the top bar says about its buttons: the Bangla tips, the hover card's texts in each state
// and the card's place near the screen's edges.
#include "universal/topbar_tips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace qorva::universal {
namespace {

TEST(TopBarTipsTest, EveryButtonHasATwoLineTipAndACard) {
    for (int button = 1; button <= 9; ++button) {
        const std::wstring tip = TopBarTooltipText(button);
        EXPECT_EQ(std::count(tip.begin(), tip.end(), L'\n'), 1) << button;
        ASSERT_TRUE(HoverCardFor(button, false, 262)) << button;
    }
    EXPECT_EQ(TopBarTooltipText(0), nullptr);
    EXPECT_EQ(TopBarTooltipText(10), nullptr);
    EXPECT_FALSE(HoverCardFor(0, false, 262));
    EXPECT_FALSE(HoverCardFor(10, false, 262));
    EXPECT_EQ(std::wstring(TopBarTooltipText(1)),
              L"বাংলা ভয়েস টাইপিং [Ctrl+Alt+V]\nমাইক্রোফোনে কথা বলে সরাসরি নির্ভুল বাংলা লিখুন");
}

// Button 4's card follows the pause, button 9's the bar's width; the translation and pause cards
// are the two wide ones.
TEST(TopBarTipsTest, CardsFollowThePauseAndTheBarsWidth) {
    struct Case {
        int button;
        bool paused;
        int32_t width;
        const wchar_t* title;
        const wchar_t* textStart;
        int32_t textWidth;
        int32_t offsetX;
    };
    const Case cases[] = {
        {4, false, 262, L"Typing Mode", L"Enable (▶) to display", 270, -145},
        {4, true, 262, L"Typing Mode", L"Resume (▶) to display", 270, -145},
        {3, false, 262, L"Translation Mode:", L"Convert Banglish", 270, -145},
        {9, false, 262, L"Qorva Menu:", L"Access options", 230, -125},
        {9, false, 261, L"Expand Top Bar:", L"Click to expand", 230, -125},
        {9, false, 160, L"Expand Top Bar:", L"Click to expand", 230, -125},
        {1, false, 160, L"Voice Typing:", L"Click to start voice typing", 230, -125},
    };
    for (const Case& c : cases) {
        const std::optional<HoverCard> card = HoverCardFor(c.button, c.paused, c.width);
        ASSERT_TRUE(card) << c.button;
        EXPECT_STREQ(card->title, c.title) << c.button;
        EXPECT_EQ(std::wstring(card->text).rfind(c.textStart, 0), 0u) << c.button;
        EXPECT_EQ(card->textWidth, c.textWidth) << c.button;
        EXPECT_EQ(card->offsetX, c.offsetX) << c.button;
        EXPECT_EQ(HoverCardWidth(*card), c.textWidth + 20) << c.button;
    }
}

// Below the button, 6 pixels down; 10 pixels inside either side of the screen; above the button
// when the card would come within 9 pixels of the screen's bottom.
TEST(TopBarTipsTest, CardSitsBelowTheButtonInsideTheScreen) {
    const LayoutRect voice{2, 1, 24, 23};        // button 1
    const LayoutRect settings{215, 1, 235, 23};  // button 8
    const HoverCard narrow = *HoverCardFor(8, false, 262);
    const HoverCard wide = *HoverCardFor(4, false, 262);
    struct Case {
        const char* name;
        LayoutRect button;
        LayoutPoint bar;
        HoverCard card;
        int32_t height;
        LayoutPoint expected;
    };
    const Case cases[] = {
        {"below the button", settings, {800, 0}, narrow, 60, {800 + 225 - 125, 29}},
        {"wide card", LayoutRect{131, 1, 151, 23}, {800, 0}, wide, 60, {800 + 141 - 145, 29}},
        {"near the left edge", voice, {0, 0}, narrow, 60, {10, 29}},
        {"near the right edge", settings, {1900, 300}, narrow, 60, {1920 - 250 - 10, 329}},
        {"ending exactly 10 pixels before the edge", settings, {1560, 0}, narrow, 60, {1660, 29}},
        {"one pixel further is pulled back", settings, {1561, 0}, narrow, 60, {1660, 29}},
        {"at the bottom of the screen",
         settings,
         {800, 1056},
         narrow,
         60,
         {900, 1056 + 1 - 60 - 6}},
        {"card ending 10 pixels above the bottom",
         settings,
         {800, 1080 - 29 - 60 - 10},
         narrow,
         60,
         {900, 1080 - 60 - 10}},
        {"card ending 9 pixels above the bottom",
         settings,
         {800, 1080 - 29 - 60 - 9},
         narrow,
         60,
         {900, 1080 - 29 - 60 - 9 + 1 - 60 - 6}},
    };
    for (const Case& c : cases) {
        const LayoutPoint at = HoverCardPosition(c.button, c.bar, c.card, c.height, 1920, 1080);
        EXPECT_EQ(at.x, c.expected.x) << c.name;
        EXPECT_EQ(at.y, c.expected.y) << c.name;
    }
}

// The card follows the pointer from button to button, goes between buttons and comes back on the
// same button only after a click hid it; a drag shows none.
TEST(TopBarTipsTest, HoverCardStepsFollowThePointer) {
    struct Case {
        int before;
        int now;
        bool visible;
        bool dragging;
        HoverCardStep step;
    };
    const Case cases[] = {
        {0, 3, false, false, HoverCardStep::Show}, {3, 5, true, false, HoverCardStep::Show},
        {3, 0, true, false, HoverCardStep::Hide},  {3, 3, true, false, HoverCardStep::Keep},
        {3, 3, false, false, HoverCardStep::Show}, {0, 0, false, false, HoverCardStep::Keep},
        {3, 5, true, true, HoverCardStep::Hide},   {3, 3, false, true, HoverCardStep::Keep},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextHoverCardStep(c.before, c.now, c.visible, c.dragging), c.step)
            << c.before << " -> " << c.now << (c.visible ? " shown" : "")
            << (c.dragging ? " dragging" : "");
    }
}

}  // namespace
}  // namespace qorva::universal
