// The word being typed, fed key by key as the keyboard hook classifies the keys.
#include "universal/universal_typing.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace qorva::universal {
namespace {

constexpr int kShiftKey = 0x10;
constexpr int kLeft = 0x25;
constexpr int kDelete = 0x2E;
constexpr int kNumpad6 = 0x66;
constexpr int kF5 = 0x74;
constexpr int kOem1 = 0xBA;

struct Press {
    int vk;
    wchar_t character;
    bool ctrl = false, alt = false, win = false, shift = false;
};

// Keys written as text: a-z, A-Z (with Shift), digits, ' ', '.', ',', and named keys in braces:
// {enter} {tab} {bs} {esc} {left} {del} {num6} {f5} {shift} (the Shift key itself) {oem-e} (a key
// typing a non-ASCII letter). {C} {A} {W} {S} hold Ctrl, Alt, Win or Shift for the next key.
std::vector<Press> Keys(const std::string& keys) {
    std::vector<Press> presses;
    Press held{0, 0};
    for (size_t i = 0; i < keys.size(); ++i) {
        Press p = held;
        if (keys[i] == '{') {
            const size_t end = keys.find('}', i);
            const std::string name = keys.substr(i + 1, end - i - 1);
            i = end;
            if (name == "C") {
                held.ctrl = true;
                continue;
            }
            if (name == "A") {
                held.alt = true;
                continue;
            }
            if (name == "W") {
                held.win = true;
                continue;
            }
            if (name == "S") {
                held.shift = true;
                continue;
            }
            if (name == "enter")
                p.vk = 0x0D, p.character = L'\r';
            else if (name == "tab")
                p.vk = 0x09, p.character = L'\t';
            else if (name == "bs")
                p.vk = 0x08, p.character = 0x08;
            else if (name == "esc")
                p.vk = 0x1B, p.character = 0x1B;
            else if (name == "left")
                p.vk = kLeft;
            else if (name == "del")
                p.vk = kDelete;
            else if (name == "num6")
                p.vk = kNumpad6, p.character = L'6';
            else if (name == "f5")
                p.vk = kF5;
            else if (name == "shift")
                p.vk = kShiftKey;
            else if (name == "oem-e")
                p.vk = kOem1, p.character = 0x00E9;
            else
                ADD_FAILURE() << "unknown key {" << name << "}";
        } else {
            const char c = keys[i];
            p.character = static_cast<wchar_t>(c);
            if (c >= 'a' && c <= 'z')
                p.vk = c - 'a' + 'A';
            else if (c >= 'A' && c <= 'Z')
                p.vk = c, p.shift = true;
            else if (c == '.')
                p.vk = 0xBE;
            else if (c == ',')
                p.vk = 0xBC;
            else
                p.vk = c;  // digits and space are their own keys
        }
        presses.push_back(p);
        held = Press{0, 0};
    }
    return presses;
}

// One letter per action: p pass, u update, and c[text|erase|boundary] for a commit.
std::wstring Describe(const TypingAction& a) {
    switch (a.action) {
        case TypingAction::Pass: return L"p";
        case TypingAction::Update: return L"u";
        case TypingAction::Commit:
            return L"c[" + a.text + L"|" + std::to_wstring(a.eraseCount) + L"|" + a.boundary + L"]";
    }
    return L"?";
}

std::wstring FeedAll(UniversalTyping& typing, const std::string& keys) {
    std::wstring out;
    for (const Press& p : Keys(keys)) {
        if (!out.empty()) out += L' ';
        out += Describe(
            typing.Feed(ClassifyKey(p.vk, p.character, p.ctrl, p.alt, p.win, p.shift, false)));
    }
    return out;
}

struct SequenceCase {
    std::string name;
    std::string keys;
    std::wstring actions;
    std::wstring bufferAfter;
};

std::ostream& operator<<(std::ostream& os, const SequenceCase& c) { return os << c.name; }

class TypingSequenceTest : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(TypingSequenceTest, GivesTheActions) {
    UniversalTyping typing;
    typing.SetEnabled(true);
    EXPECT_EQ(FeedAll(typing, GetParam().keys), GetParam().actions);
    EXPECT_EQ(typing.Buffer(), GetParam().bufferAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypingSequenceTest,
    ::testing::Values(
        SequenceCase{"ShiftedLettersAreLowered", "AmI ", L"u u u c[ami|3| ]", L""},
        SequenceCase{"EnterTabAndDigitEndTheWord", "ami{enter}tumi{tab}se6",
                     L"u u u c[ami|3|\r] u u u u c[tumi|4|\t] u u c[se|2|6]", L""},
        SequenceCase{"BackspaceDropsTheLastLetter", "am{bs}i ", L"u u p u c[ai|2| ]", L""},
        SequenceCase{"BackspaceOnNothing", "{bs}", L"p", L""},
        SequenceCase{"HeldCtrlAltWinPassAndKeepTheWord", "am{C}x{A}y{W}z", L"u u p p p", L"am"},
        SequenceCase{"ShiftedDigitIsStillTheBoundary", "ami{S}1", L"u u u c[ami|3|1]", L""},
        SequenceCase{"FullStopAloneBecomesDanda", ".", L"c[|0|\u0964]", L""},
        SequenceCase{"ShiftedFullStopAlonePasses", "{S}.", L"p", L""},
        SequenceCase{"FullStopAfterWord", "ami.", L"u u u c[ami|3|\u0964]", L""},
        SequenceCase{"CommaAlonePasses", ",", L"p", L""},
        SequenceCase{"CommaAfterWord", "ami,", L"u u u c[ami|3|,]", L""},
        SequenceCase{"EscapeDropsTheWord", "ami{esc} ", L"u u u p p", L""},
        SequenceCase{"NavigationDropsTheWord", "ami{left}", L"u u u p", L""},
        SequenceCase{"DeleteDropsTheWord", "ami{del}", L"u u u p", L""},
        SequenceCase{"KeypadDigitDropsTheWord", "ami{num6}", L"u u u p", L""},
        SequenceCase{"FunctionKeyDropsTheWord", "ami{f5}", L"u u u p", L""},
        SequenceCase{"NonAsciiLetterDropsTheWord", "ami{oem-e}", L"u u u p", L""},
        SequenceCase{"ShiftKeyKeepsTheWord", "ami{shift}", L"u u u p", L"ami"}));

TEST(UniversalTypingTest, ThirtyTwoLettersFitAndTheThirtyThirdStartsOverflow) {
    UniversalTyping typing;
    typing.SetEnabled(true);
    const std::string word(32, 'a');
    FeedAll(typing, word);
    EXPECT_EQ(typing.Buffer(), std::wstring(32, L'a'));

    EXPECT_EQ(FeedAll(typing, "bc{bs}"), L"p p p");  // nothing collected while overflowing
    EXPECT_TRUE(typing.Buffer().empty());
    EXPECT_TRUE(typing.Overflowed());
    EXPECT_EQ(FeedAll(typing, " "), L"p");  // its boundary passes and ends the overflow
    EXPECT_FALSE(typing.Overflowed());
    EXPECT_EQ(FeedAll(typing, "ab "), L"u u c[ab|2| ]");
}

TEST(UniversalTypingTest, OverflowEndsAtOtherKeysAndReset) {
    UniversalTyping typing;
    typing.SetEnabled(true);
    FeedAll(typing, std::string(33, 'a'));
    ASSERT_TRUE(typing.Overflowed());
    FeedAll(typing, "{left}");
    EXPECT_FALSE(typing.Overflowed());

    FeedAll(typing, std::string(33, 'a'));
    typing.Reset();
    EXPECT_EQ(FeedAll(typing, "a"), L"u");
}

TEST(UniversalTypingTest, DisabledEveryKeyPassesAndNothingIsKept) {
    UniversalTyping typing;
    EXPECT_FALSE(typing.Enabled());
    EXPECT_EQ(FeedAll(typing, "ami ."), L"p p p p p");
    EXPECT_TRUE(typing.Buffer().empty());

    typing.SetEnabled(true);
    FeedAll(typing, "ami");
    typing.SetEnabled(false);
    EXPECT_TRUE(typing.Buffer().empty());
    typing.SetEnabled(true);
    EXPECT_EQ(FeedAll(typing, " "), L"p");
}

struct ClassifyCase {
    int vk;
    wchar_t character;
    bool otherOnly;
    KeyKind expected;
};

std::ostream& operator<<(std::ostream& os, const ClassifyCase& c) {
    return os << "vk 0x" << std::hex << c.vk << " char " << static_cast<int>(c.character)
              << (c.otherOnly ? " otherOnly" : "");
}

class ClassifyKeyTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyKeyTest, GivesTheKind) {
    const ClassifyCase& c = GetParam();
    const KeyEvent event = ClassifyKey(c.vk, c.character, true, false, true, false, c.otherOnly);
    EXPECT_EQ(event.kind, c.expected);
    EXPECT_EQ(event.character, c.character);
    EXPECT_TRUE(event.ctrl && event.win && !event.alt && !event.shift);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClassifyKeyTest,
                         ::testing::Values(ClassifyCase{0x41, L'a', false, KeyKind::Letter},
                                           ClassifyCase{0x41, L'a', true, KeyKind::Other},
                                           ClassifyCase{0x41, 0, false, KeyKind::Other},
                                           ClassifyCase{0x10, 0, true, KeyKind::Modifier},
                                           ClassifyCase{0x14, 0, false, KeyKind::Modifier},
                                           ClassifyCase{0x5D, 0, false, KeyKind::Modifier},
                                           ClassifyCase{0x91, 0, false, KeyKind::Modifier},
                                           ClassifyCase{0xA5, 0, false, KeyKind::Modifier},
                                           ClassifyCase{0x0C, 0, false, KeyKind::Other},
                                           ClassifyCase{0x13, 0, false, KeyKind::Other},
                                           ClassifyCase{0x60, L'0', false, KeyKind::Other},
                                           ClassifyCase{0x87, 0, false, KeyKind::Other},
                                           ClassifyCase{0x35, L'%', false, KeyKind::Punctuation},
                                           ClassifyCase{0xDE, L'~', false, KeyKind::Punctuation},
                                           ClassifyCase{0x1B, 0x1B, false, KeyKind::Escape},
                                           ClassifyCase{0x30, L'0', false, KeyKind::Digit}));

}  // namespace
}  // namespace qorva::universal
