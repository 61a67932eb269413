// The word being typed in the universal program. The Latin letters reach the application as typed;
// this state only remembers them until the word ends and decides, for each key-down, whether the
// key passes, refreshes the candidates, or commits the word (erase the letters, type the chosen
// text and the boundary). No window system here: the keyboard hook fills in the key, the commit
// carries the action out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qorva::universal {

enum class KeyKind : uint32_t {
    Letter = 0,
    Digit = 1,
    Space = 2,
    Enter = 3,
    Tab = 4,
    Backspace = 5,
    Escape = 6,
    Punctuation = 7,
    Modifier = 8,  // modifier or lock key
    Other = 9,
};

struct KeyEvent {
    KeyKind kind = KeyKind::Other;
    wchar_t character = 0;  // what the key types, 0 for nothing
    bool ctrl = false;
    bool alt = false;
    bool win = false;
    bool shift = false;
};

struct TypingAction {
    enum Kind : uint32_t { Pass = 0, Update = 1, Commit = 2 };
    Kind action = Pass;
    uint32_t eraseCount = 0;  // commit: the letters to erase in the application
    std::wstring text;        // commit: the typed Latin word
    std::wstring boundary;    // commit: what to type after the chosen word
};

// The kind of a key-down from its virtual-key code and the character it produces. With
// `otherOnly`, everything but modifier and lock keys is Other.
KeyEvent ClassifyKey(int vk, wchar_t character, bool ctrl, bool alt, bool win, bool shift,
                     bool otherOnly);

class UniversalTyping {
public:
    static constexpr size_t kMaxLetters = 32;

    TypingAction Feed(const KeyEvent& event);
    // Ends the word with `boundary` typed after it; passes when no letters were collected.
    TypingAction Boundary(const std::wstring& boundary);
    void Reset();
    // Off drops the word and makes every key pass. Starts off until settings are applied.
    void SetEnabled(bool on);

    bool Enabled() const { return enabled; }
    const std::wstring& Buffer() const { return buffer; }
    // A word grew past kMaxLetters: letters pass uncollected until the next boundary.
    bool Overflowed() const { return overflow; }

private:
    TypingAction Letter(wchar_t character);
    TypingAction Punctuation(const KeyEvent& event);

    bool enabled = false;
    std::wstring buffer;  // lower-case a-z only
    bool overflow = false;
};

}  // namespace qorva::universal
