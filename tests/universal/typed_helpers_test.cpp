// The texts the top bar can type: today's date in either digits, the time on a 12-hour clock, and
// the emoji panel's shortcut.
#include "universal/typed_helpers.h"

#include <gtest/gtest.h>

namespace qorva::universal {
namespace {

TEST(TypedHelpersTest, DateIsDayMonthYearInLatinOrBengaliDigits) {
    EXPECT_EQ(DateText(9, 12, 2026, false), L"09/12/2026");
    EXPECT_EQ(DateText(9, 12, 2026, true), L"০৯/১২/২০২৬");
    EXPECT_EQ(DateText(31, 1, 987, false), L"31/01/0987");
}

TEST(TypedHelpersTest, TimeIsOnATwelveHourClock) {
    struct Case {
        int hour;
        int minute;
        const wchar_t* text;
    };
    const Case cases[] = {{0, 5, L"12:05 AM"},  {1, 0, L"1:00 AM"},   {11, 59, L"11:59 AM"},
                          {12, 0, L"12:00 PM"}, {13, 30, L"1:30 PM"}, {23, 9, L"11:09 PM"}};
    for (const Case& c : cases) EXPECT_EQ(TimeText(c.hour, c.minute), c.text) << c.hour;
}

TEST(TypedHelpersTest, EmojiPanelIsTheFullStopPressedWhileWinIsHeld) {
    EXPECT_EQ(EmojiPanelKeystrokes(), (Keystrokes{{kWindowsKey, 0, 0},
                                                  {kPeriodKey, 0, 0},
                                                  {kPeriodKey, 0, kKeyUp},
                                                  {kWindowsKey, 0, kKeyUp}}));
}

}  // namespace
}  // namespace qorva::universal
