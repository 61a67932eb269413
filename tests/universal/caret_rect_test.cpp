// Where the candidate window opens: the caret, else a strip by the focused control, else the last
// click inside the foreground window, else the mouse cursor.
#include "universal/caret_rect.h"

#include <gtest/gtest.h>

namespace qorva::universal {
namespace {

using qorva_tsf::LayoutPoint;
using qorva_tsf::LayoutRect;

// A focused control of the given size at (100, 200).
CaretFacts FocusOf(int32_t width, int32_t height) {
    CaretFacts facts;
    facts.focus = LayoutRect{100, 200, 100 + width, 200 + height};
    facts.cursor = LayoutPoint{700, 800};
    return facts;
}

TEST(ChooseCaretRectTest, TheCaretWinsWhenItHasARectangle) {
    CaretFacts facts = FocusOf(200, 20);
    facts.caret = CaretFacts::Caret{{3, 4, 5, 20}, {103, 204, 105, 220}};
    EXPECT_EQ(ChooseCaretRect(facts), (LayoutRect{103, 204, 105, 220}));

    // A caret window whose caret sits at (0, 0) with no size says nothing.
    facts.caret = CaretFacts::Caret{{0, 0, 0, 0}, {100, 200, 100, 200}};
    EXPECT_EQ(ChooseCaretRect(facts), (LayoutRect{100, 200, 105, 220}));
}

TEST(ChooseCaretRectTest, ACaretlessControlGetsAStripAtItsLeftEdge) {
    struct Case {
        int32_t width, height;
        LayoutRect expected;
    };
    const Case cases[] = {
        {16, 11, {100, 200, 105, 211}},     // just large enough
        {15, 11, {700, 800, 702, 824}},     // too narrow: the cursor
        {16, 10, {700, 800, 702, 824}},     // too flat: the cursor
        {300, 40, {100, 200, 105, 240}},    // one line: as tall as the control
        {300, 41, {100, 200, 105, 225}},    // several lines: the first
        {400, 600, {100, 200, 105, 225}},   // narrow enough
        {1000, 250, {100, 200, 105, 225}},  // flat enough
        {401, 251, {700, 800, 702, 824}},   // the whole window: the cursor
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseCaretRect(FocusOf(c.width, c.height)), c.expected)
            << c.width << " x " << c.height;
    }
}

TEST(ChooseCaretRectTest, WithoutCaretOrControlTheLastClickInsideTheWindowThenTheCursor) {
    CaretFacts facts;
    facts.foreground = LayoutRect{50, 50, 500, 400};
    facts.cursor = LayoutPoint{700, 800};
    facts.lastClick = LayoutPoint{60, 70};
    EXPECT_EQ(ChooseCaretRect(facts), (LayoutRect{60, 70, 62, 94}));

    facts.lastClick = LayoutPoint{500, 70};  // the right edge is outside
    EXPECT_EQ(ChooseCaretRect(facts), (LayoutRect{700, 800, 702, 824}));

    facts.lastClick = LayoutPoint{0, 0};  // no click yet
    facts.foreground = LayoutRect{-10, -10, 500, 400};
    EXPECT_EQ(ChooseCaretRect(facts), (LayoutRect{700, 800, 702, 824}));

    facts.cursor.reset();
    EXPECT_TRUE(ChooseCaretRect(facts).IsEmpty());
}

}  // namespace
}  // namespace qorva::universal
