#include "tsf/key_policy.h"

#include <iterator>

namespace qorva_tsf {
namespace {

constexpr char16_t bengali_digits[10] = {u'০', u'১', u'২', u'৩', u'৪',
                                         u'৫', u'৬', u'৭', u'৮', u'৯'};

bool InRange(uint64_t key, uint64_t first, uint64_t last) { return key >= first && key <= last; }

bool IsLetterKey(uint64_t key) { return InRange(key, 'A', 'Z'); }
bool IsArrowUpOrDown(uint64_t key) { return key == vk::kUp || key == vk::kDown; }
bool AnyModifierHeld(const KeyState& s) { return s.ctrl || s.alt || s.win || s.shift; }

// Whether the open composition is committed before a key that passes to the application.
enum class Commit { Never, IfComposing };

struct Row {
    bool (*applies)(const KeyState&);
    bool eaten;
    Commit commit;
    KeyAction action;
};

// Tested top to bottom; the first row that applies decides.
constexpr Row kRows[] = {
    {[](const KeyState& s) { return IsModifierKey(s.vk); }, false, Commit::Never, KeyAction::None},
    {[](const KeyState& s) { return AnyModifierHeld(s); }, false, Commit::IfComposing,
     KeyAction::None},
    {[](const KeyState& s) { return IsFunctionOrSystemKey(s.vk); }, false, Commit::IfComposing,
     KeyAction::None},
    {[](const KeyState& s) { return IsNumpadOperator(s.vk); }, false, Commit::IfComposing,
     KeyAction::None},
    {[](const KeyState& s) { return s.vk == vk::kSpace && s.composing; }, true, Commit::Never,
     KeyAction::Space},
    {[](const KeyState& s) { return s.vk == vk::kSpace; }, false, Commit::Never, KeyAction::None},
    {[](const KeyState& s) { return s.vk == vk::kEscape && s.composing; }, true, Commit::Never,
     KeyAction::Escape},
    {[](const KeyState& s) { return s.vk == vk::kEscape; }, false, Commit::Never, KeyAction::None},
    {[](const KeyState& s) { return IsDigitKey(s.vk) && s.composing && s.canSelect; }, true,
     Commit::Never, KeyAction::CandidateDigit},
    {[](const KeyState& s) { return IsDigitKey(s.vk); }, false, Commit::IfComposing,
     KeyAction::None},
    {[](const KeyState& s) { return IsNumpadDigitKey(s.vk) && !s.numLock; }, false,
     Commit::IfComposing, KeyAction::None},
    {[](const KeyState& s) { return IsNumpadDigitKey(s.vk) && s.composing && s.canSelect; }, true,
     Commit::Never, KeyAction::CandidateDigit},
    {[](const KeyState& s) { return IsNumpadDigitKey(s.vk); }, true, Commit::IfComposing,
     KeyAction::BengaliDigit},
    {[](const KeyState& s) { return IsLetterKey(s.vk); }, true, Commit::Never, KeyAction::Letter},
    {[](const KeyState& s) { return s.vk == vk::kBack && s.composing; }, true, Commit::Never,
     KeyAction::Backspace},
    {[](const KeyState& s) { return s.vk == vk::kBack; }, false, Commit::Never, KeyAction::None},
    {[](const KeyState& s) { return s.vk == vk::kReturn && s.composing; }, true, Commit::Never,
     KeyAction::Enter},
    {[](const KeyState& s) { return s.vk == vk::kReturn; }, false, Commit::Never, KeyAction::None},
    {[](const KeyState& s) { return IsArrowUpOrDown(s.vk) && s.composing && s.hasCandidates; },
     true, Commit::Never, KeyAction::Arrow},
    {[](const KeyState& s) { return IsArrowUpOrDown(s.vk); }, false, Commit::IfComposing,
     KeyAction::None},
    {[](const KeyState& s) { return s.vk == vk::kOemPeriod; }, true, Commit::Never,
     KeyAction::FullStop},
};

// Every other key passes, after the open composition is committed.
constexpr Row kOtherKey = {nullptr, false, Commit::IfComposing, KeyAction::None};

KeyDecision DecisionOf(const Row& row, const KeyState& state) {
    return {row.eaten, row.commit == Commit::IfComposing && state.composing, row.action};
}

}  // namespace

bool IsModifierKey(uint64_t key) {
    return InRange(key, vk::kShift, vk::kMenu) || InRange(key, vk::kLShift, vk::kRMenu) ||
           InRange(key, vk::kLWin, vk::kApps);
}

bool IsFunctionOrSystemKey(uint64_t key) {
    return key == vk::kTab || key == vk::kPause || key == vk::kCapital || key == vk::kSnapshot ||
           key == vk::kInsert || InRange(key, vk::kF1, vk::kF24) || key == vk::kNumLock ||
           key == vk::kScroll;
}

bool IsNumpadOperator(uint64_t key) { return InRange(key, vk::kMultiply, vk::kDivide); }

bool IsDigitKey(uint64_t key) { return InRange(key, '0', '9'); }

bool IsNumpadDigitKey(uint64_t key) { return InRange(key, vk::kNumpad0, vk::kNumpad9); }

KeyDecision DecideKey(const KeyState& state) {
    for (const Row& row : kRows) {
        if (row.applies(state)) return DecisionOf(row, state);
    }
    return DecisionOf(kOtherKey, state);
}

char DigitFromKey(uint64_t key) {
    if (IsDigitKey(key)) return static_cast<char>(key);
    if (IsNumpadDigitKey(key)) return static_cast<char>(key - (vk::kNumpad0 - '0'));
    return 0;
}

char16_t BengaliDigitFromKey(uint64_t key) {
    if (!IsNumpadDigitKey(key)) return 0;
    static_assert(std::size(bengali_digits) == vk::kNumpad9 - vk::kNumpad0 + 1);
    return bengali_digits[key - vk::kNumpad0];
}

}  // namespace qorva_tsf
