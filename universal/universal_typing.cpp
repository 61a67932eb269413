#include "universal/universal_typing.h"

namespace qorva::universal {
namespace {

constexpr wchar_t kDanda = 0x0964;

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

bool IsModifierOrLock(int vk) {
    return InRange(vk, 0x10, 0x12) || vk == 0x14 || InRange(vk, 0x5B, 0x5D) ||
           InRange(vk, 0x90, 0x91) || InRange(vk, 0xA0, 0xA5);
}

// Clear, Pause, the navigation and editing block, the numeric keypad and the function keys: they
// move the caret or type something the word cannot hold.
bool IsNavigationOrKeypad(int vk) {
    return vk == 0x0C || vk == 0x13 || InRange(vk, 0x21, 0x2F) || InRange(vk, 0x60, 0x87);
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

KeyKind KindOf(int vk, wchar_t character) {
    switch (vk) {
        case 0x08: return KeyKind::Backspace;
        case 0x09: return KeyKind::Tab;
        case 0x0D: return KeyKind::Enter;
        case 0x1B: return KeyKind::Escape;
        case 0x20: return KeyKind::Space;
    }
    if (IsNavigationOrKeypad(vk)) return KeyKind::Other;
    if (IsAsciiLetter(character)) return KeyKind::Letter;
    if (character >= L'0' && character <= L'9') return KeyKind::Digit;
    if (character >= 0x21 && character <= 0x7E) return KeyKind::Punctuation;
    return KeyKind::Other;
}

}  // namespace

KeyEvent ClassifyKey(int vk, wchar_t character, bool ctrl, bool alt, bool win, bool shift,
                     bool otherOnly) {
    KeyEvent event;
    event.character = character;
    event.ctrl = ctrl;
    event.alt = alt;
    event.win = win;
    event.shift = shift;
    if (IsModifierOrLock(vk)) {
        event.kind = KeyKind::Modifier;
    } else if (!otherOnly) {
        event.kind = KindOf(vk, character);
    }
    return event;
}

TypingAction UniversalTyping::Feed(const KeyEvent& event) {
    if (!enabled) {
        Reset();
        return {};
    }
    if (event.ctrl || event.alt || event.win) return {};
    switch (event.kind) {
        case KeyKind::Letter: return Letter(event.character);
        case KeyKind::Digit: return Boundary(std::wstring(1, event.character));
        case KeyKind::Space: return Boundary(L" ");
        case KeyKind::Enter: return Boundary(L"\r");
        case KeyKind::Tab: return Boundary(L"\t");
        case KeyKind::Backspace:
            if (!buffer.empty()) buffer.pop_back();
            return {};
        case KeyKind::Escape: buffer.clear(); return {};
        case KeyKind::Punctuation: return Punctuation(event);
        case KeyKind::Modifier: return {};
        case KeyKind::Other: break;
    }
    Reset();
    return {};
}

TypingAction UniversalTyping::Letter(wchar_t character) {
    if (!IsAsciiLetter(character) || overflow) return {};
    if (buffer.size() >= kMaxLetters) {
        // An over-long word stays as typed: nothing of it is collected until its boundary.
        buffer.clear();
        overflow = true;
        return {};
    }
    buffer += character <= L'Z' ? static_cast<wchar_t>(character - L'A' + L'a') : character;
    TypingAction action;
    action.action = TypingAction::Update;
    return action;
}

TypingAction UniversalTyping::Punctuation(const KeyEvent& event) {
    if (event.character != L'.') {
        if (buffer.empty()) return {};
        return Boundary(std::wstring(1, event.character));
    }
    if (!buffer.empty()) return Boundary(std::wstring(1, kDanda));
    if (event.shift) return {};
    // A full stop typed on its own becomes the danda too.
    TypingAction action;
    action.action = TypingAction::Commit;
    action.boundary.assign(1, kDanda);
    return action;
}

TypingAction UniversalTyping::Boundary(const std::wstring& boundary) {
    overflow = false;
    if (buffer.empty()) return {};
    TypingAction action;
    action.action = TypingAction::Commit;
    action.eraseCount = static_cast<uint32_t>(buffer.size());
    action.text.swap(buffer);
    action.boundary = boundary;
    return action;
}

void UniversalTyping::Reset() {
    buffer.clear();
    overflow = false;
}

void UniversalTyping::SetEnabled(bool on) {
    enabled = on;
    if (!on) Reset();
}

}  // namespace qorva::universal
