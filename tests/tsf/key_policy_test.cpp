#include "tsf/key_policy.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace qorva_tsf {
namespace {

// Readable builders for the facts of one key-down.
KeyState Key(uint64_t vk) {
    KeyState s;
    s.vk = vk;
    return s;
}
KeyState Composing(KeyState s) {
    s.composing = true;
    return s;
}
KeyState WithCandidates(KeyState s) {
    s.composing = true;
    s.hasCandidates = true;
    return s;
}
KeyState Selecting(KeyState s) {
    s.composing = true;
    s.hasCandidates = true;
    s.canSelect = true;
    return s;
}
KeyState NumLockOn(KeyState s) {
    s.numLock = true;
    return s;
}
KeyState Ctrl(KeyState s) {
    s.ctrl = true;
    return s;
}
KeyState Alt(KeyState s) {
    s.alt = true;
    return s;
}
KeyState Shift(KeyState s) {
    s.shift = true;
    return s;
}
KeyState Win(KeyState s) {
    s.win = true;
    return s;
}

constexpr KeyDecision kPass{false, false, KeyAction::None};
constexpr KeyDecision kCommitAndPass{false, true, KeyAction::None};
KeyDecision Eat(KeyAction action) { return {true, false, action}; }

struct DecisionCase {
    std::string name;
    KeyState state;
    KeyDecision expected;
};

std::ostream& operator<<(std::ostream& os, const DecisionCase& c) { return os << c.name; }

class DecideKeyTest : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(DecideKeyTest, MatchesTable) {
    const KeyDecision got = DecideKey(GetParam().state);
    EXPECT_EQ(got.eaten, GetParam().expected.eaten);
    EXPECT_EQ(got.commitFirst, GetParam().expected.commitFirst);
    EXPECT_EQ(got.action, GetParam().expected.action);
}

const uint64_t kNumpad3 = 0x63;
const uint64_t kDelete = 0x2E;
const uint64_t kLeft = 0x25;
const uint64_t kOemComma = 0xBC;
const uint64_t kDecimal = 0x6E;
const uint64_t kRWin = 0x5C;

INSTANTIATE_TEST_SUITE_P(
    Rows, DecideKeyTest,
    ::testing::Values(
        // Modifier keys themselves never commit, even while composing.
        DecisionCase{"ShiftAloneWhileComposing", Composing(Key(vk::kShift)), kPass},
        DecisionCase{"LeftWinAloneWhileComposing", Composing(Key(vk::kLWin)), kPass},
        DecisionCase{"RightAltWhileComposing", Composing(Shift(Key(vk::kRMenu))), kPass},
        DecisionCase{"AppsKeyWhileComposing", Composing(Key(vk::kApps)), kPass},
        // A held modifier makes any key pass, committing first while composing.
        DecisionCase{"ShiftLetterWhileComposing", Composing(Shift(Key('A'))), kCommitAndPass},
        DecisionCase{"ShiftLetterIdle", Shift(Key('A')), kPass},
        DecisionCase{"WinLetterWhileComposing", Composing(Win(Key('A'))), kCommitAndPass},
        DecisionCase{"CtrlSpaceWhileComposing", Composing(Ctrl(Key(vk::kSpace))), kCommitAndPass},
        DecisionCase{"AltFullStopWhileComposing", Composing(Alt(Key(vk::kOemPeriod))),
                     kCommitAndPass},
        DecisionCase{"CtrlDigitThatCouldSelect", Selecting(Ctrl(Key('1'))), kCommitAndPass},
        // Function and system keys, numeric-keypad operators.
        DecisionCase{"TabWhileComposing", Composing(Key(vk::kTab)), kCommitAndPass},
        DecisionCase{"F5WhileComposing", Composing(Key(0x74)), kCommitAndPass},
        DecisionCase{"CapsLockIdle", Key(vk::kCapital), kPass},
        DecisionCase{"DecimalWhileComposing", Composing(NumLockOn(Key(kDecimal))), kCommitAndPass},
        DecisionCase{"NumpadDivideWhileComposing", Composing(Key(vk::kDivide)), kCommitAndPass},
        // Space, Escape, Backspace, Enter: eaten only while composing, never committing first.
        DecisionCase{"SpaceWhileComposing", Composing(Key(vk::kSpace)), Eat(KeyAction::Space)},
        DecisionCase{"SpaceIdle", Key(vk::kSpace), kPass},
        DecisionCase{"EscapeWhileComposing", Composing(Key(vk::kEscape)), Eat(KeyAction::Escape)},
        DecisionCase{"EscapeIdle", Key(vk::kEscape), kPass},
        DecisionCase{"BackspaceWhileComposing", Composing(Key(vk::kBack)),
                     Eat(KeyAction::Backspace)},
        DecisionCase{"BackspaceIdle", Key(vk::kBack), kPass},
        DecisionCase{"EnterWhileComposing", Composing(Key(vk::kReturn)), Eat(KeyAction::Enter)},
        DecisionCase{"EnterIdle", Key(vk::kReturn), kPass},
        // Digit row.
        DecisionCase{"DigitSelectingCandidate", Selecting(Key('2')),
                     Eat(KeyAction::CandidateDigit)},
        DecisionCase{"DigitBeyondCandidatesCommits", WithCandidates(Key('5')), kCommitAndPass},
        DecisionCase{"DigitIdle", Key('5'), kPass},
        // Numeric keypad digits depend on NumLock.
        DecisionCase{"NumpadNumLockOffWhileComposing", Composing(Key(kNumpad3)), kCommitAndPass},
        DecisionCase{"NumpadNumLockOffIdle", Key(kNumpad3), kPass},
        DecisionCase{"NumpadSelectingCandidate", NumLockOn(Selecting(Key(kNumpad3))),
                     Eat(KeyAction::CandidateDigit)},
        DecisionCase{"NumpadBengaliDigitIdle", NumLockOn(Key(kNumpad3)),
                     Eat(KeyAction::BengaliDigit)},
        DecisionCase{"NumpadBengaliDigitCommitsFirst", NumLockOn(WithCandidates(Key(kNumpad3))),
                     KeyDecision{true, true, KeyAction::BengaliDigit}},
        // Letters are eaten whether or not a composition is open.
        DecisionCase{"LetterIdle", Key('A'), Eat(KeyAction::Letter)},
        DecisionCase{"LastLetterWhileComposing", Composing(Key('Z')), Eat(KeyAction::Letter)},
        DecisionCase{"LetterWithNumLock", NumLockOn(Key('Q')), Eat(KeyAction::Letter)},
        // Up and down arrows move the selection only when there is a list.
        DecisionCase{"DownWithCandidates", WithCandidates(Key(vk::kDown)), Eat(KeyAction::Arrow)},
        DecisionCase{"UpWithCandidates", WithCandidates(Key(vk::kUp)), Eat(KeyAction::Arrow)},
        DecisionCase{"UpWithEmptyListCommits", Composing(Key(vk::kUp)), kCommitAndPass},
        DecisionCase{"DownIdle", Key(vk::kDown), kPass},
        // The full stop is always eaten.
        DecisionCase{"FullStopIdle", Key(vk::kOemPeriod), Eat(KeyAction::FullStop)},
        DecisionCase{"FullStopWhileComposing", Composing(Key(vk::kOemPeriod)),
                     Eat(KeyAction::FullStop)},
        // Everything else passes, committing first while composing.
        DecisionCase{"LeftArrowWhileComposing", WithCandidates(Key(kLeft)), kCommitAndPass},
        DecisionCase{"DeleteWhileComposing", Composing(Key(kDelete)), kCommitAndPass},
        DecisionCase{"CommaWhileComposing", Composing(Key(kOemComma)), kCommitAndPass},
        DecisionCase{"CommaIdle", Key(kOemComma), kPass},
        DecisionCase{"RightWinIsModifier", Composing(Key(kRWin)), kPass}),
    [](const ::testing::TestParamInfo<DecisionCase>& info) { return info.param.name; });

struct KeyClassCase {
    uint64_t first;
    uint64_t last;
    bool (*predicate)(uint64_t);
    const char* name;
};

TEST(KeyClassTest, EachClassCoversExactlyItsRange) {
    const KeyClassCase classes[] = {
        {'0', '9', IsDigitKey, "digit"},
        {vk::kNumpad0, vk::kNumpad9, IsNumpadDigitKey, "numpad digit"},
        {vk::kMultiply, vk::kDivide, IsNumpadOperator, "numpad operator"},
        {vk::kF1, vk::kF24, IsFunctionOrSystemKey, "function key"},
    };
    for (const KeyClassCase& c : classes) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.predicate(c.first - 1));
        EXPECT_TRUE(c.predicate(c.first));
        EXPECT_TRUE(c.predicate(c.last));
        EXPECT_FALSE(c.predicate(c.last + 1));
    }
}

TEST(KeyClassTest, ModifierKeysAreTheThreeGroups) {
    for (uint64_t key : {0x10u, 0x11u, 0x12u, 0xA0u, 0xA5u, 0x5Bu, 0x5Cu, 0x5Du}) {
        EXPECT_TRUE(IsModifierKey(key)) << key;
    }
    for (uint64_t key : {0x0Fu, 0x13u, 0x9Fu, 0xA6u, 0x5Au, 0x5Eu}) {
        EXPECT_FALSE(IsModifierKey(key)) << key;
    }
}

TEST(DigitFromKeyTest, DigitRowAndNumpadGiveAsciiDigits) {
    EXPECT_EQ(DigitFromKey('0'), '0');
    EXPECT_EQ(DigitFromKey('7'), '7');
    EXPECT_EQ(DigitFromKey(vk::kNumpad0), '0');
    EXPECT_EQ(DigitFromKey(kNumpad3), '3');
    EXPECT_EQ(DigitFromKey(vk::kNumpad9), '9');
    EXPECT_EQ(DigitFromKey('A'), 0);
    EXPECT_EQ(DigitFromKey(vk::kMultiply), 0);
}

TEST(DigitFromKeyTest, BengaliDigitsOnlyFromNumpad) {
    EXPECT_EQ(BengaliDigitFromKey(vk::kNumpad0), u'\u09E6');
    EXPECT_EQ(BengaliDigitFromKey(kNumpad3), u'\u09E9');
    EXPECT_EQ(BengaliDigitFromKey(vk::kNumpad9), u'\u09EF');
    EXPECT_EQ(BengaliDigitFromKey('3'), 0);
    EXPECT_EQ(BengaliDigitFromKey(vk::kMultiply), 0);
}

}  // namespace
}  // namespace qorva_tsf
