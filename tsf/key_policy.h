// Which key-down the text input processor eats, and whether an open composition is committed
// before the key goes on. Pure logic over a snapshot of the keyboard: no window system involved,
// so the table is tested natively and the text service only fills the snapshot.
#pragma once

#include <cstdint>

namespace qorva_tsf {

// Virtual-key codes the decision looks at (the values of the Windows VK_ constants).
namespace vk {
constexpr uint64_t kBack = 0x08;
constexpr uint64_t kTab = 0x09;
constexpr uint64_t kReturn = 0x0D;
constexpr uint64_t kShift = 0x10;
constexpr uint64_t kMenu = 0x12;
constexpr uint64_t kPause = 0x13;
constexpr uint64_t kCapital = 0x14;
constexpr uint64_t kEscape = 0x1B;
constexpr uint64_t kSpace = 0x20;
constexpr uint64_t kUp = 0x26;
constexpr uint64_t kDown = 0x28;
constexpr uint64_t kSnapshot = 0x2C;
constexpr uint64_t kInsert = 0x2D;
constexpr uint64_t kLWin = 0x5B;
constexpr uint64_t kApps = 0x5D;
constexpr uint64_t kNumpad0 = 0x60;
constexpr uint64_t kNumpad9 = 0x69;
constexpr uint64_t kMultiply = 0x6A;
constexpr uint64_t kDivide = 0x6F;
constexpr uint64_t kF1 = 0x70;
constexpr uint64_t kF24 = 0x87;
constexpr uint64_t kNumLock = 0x90;
constexpr uint64_t kScroll = 0x91;
constexpr uint64_t kLShift = 0xA0;
constexpr uint64_t kRMenu = 0xA5;
constexpr uint64_t kOemPeriod = 0xBE;
}  // namespace vk

// Keyboard and composition facts for one key-down. The composition facts are filled by the text
// service; the rest comes from the keyboard state.
struct KeyState {
    uint64_t vk = 0;
    bool ctrl = false;
    bool alt = false;
    bool win = false;
    bool shift = false;
    bool numLock = false;
    bool composing = false;
    bool hasCandidates = false;  // composing and the candidate list is not empty
    bool canSelect = false;      // the key is a digit that picks an existing candidate
};

// Which composition handler acts on an eaten key.
enum class KeyAction : uint32_t {
    None = 0,
    Letter = 1,
    Space = 2,
    Escape = 3,
    Backspace = 4,
    Enter = 5,
    CandidateDigit = 6,
    BengaliDigit = 7,
    Arrow = 8,
    FullStop = 9,
};

struct KeyDecision {
    bool eaten = false;        // the key does not reach the application
    bool commitFirst = false;  // commit the open composition before the key is handled
    KeyAction action = KeyAction::None;
};

inline bool operator==(const KeyDecision& a, const KeyDecision& b) {
    return a.eaten == b.eaten && a.commitFirst == b.commitFirst && a.action == b.action;
}

bool IsModifierKey(uint64_t key);
bool IsFunctionOrSystemKey(uint64_t key);
bool IsNumpadOperator(uint64_t key);
bool IsDigitKey(uint64_t key);
bool IsNumpadDigitKey(uint64_t key);

KeyDecision DecideKey(const KeyState& state);

// '0' to '9' for the digit row and the numeric keypad; 0 for every other key.
char DigitFromKey(uint64_t key);

// The Bengali digit (U+09E6 to U+09EF) of a numeric-keypad key; 0 for every other key.
char16_t BengaliDigitFromKey(uint64_t key);

}  // namespace qorva_tsf
