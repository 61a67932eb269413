// Typing into the focused application by injected key events, for every part of the universal
// program that types: the keyboard hook's commit, the on-screen keyboard, the top bar and voice
// typing. The records are built here without the window system, so what is sent is tested
// natively; `SendKeystrokes` (Windows only) sends a sequence with one SendInput call.
//
// A sequence holds, in order, a down and an up record per key:
// - an erased letter: virtual key VK_BACK (0x08), flags 0, then the same with kKeyUp;
// - a UTF-16 unit u of a text: virtual key 0, scan code u, flags kUnicode, then kUnicode | kKeyUp
//   (a character outside the Basic Multilingual Plane is two units, so two such pairs);
// - a virtual key (Caps Lock, Enter, the arrows of the on-screen keyboard): that key, no scan code,
//   flags 0, then kKeyUp.
// The program's own keyboard hook sees these events flagged as injected and lets them pass, so
// nothing typed this way reaches the word being composed.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "universal/virtual_keys.h"

namespace qorva::universal {

// The values of KEYEVENTF_EXTENDEDKEY, KEYEVENTF_KEYUP and KEYEVENTF_UNICODE.
inline constexpr uint32_t kExtendedKey = 0x0001;
inline constexpr uint32_t kKeyUp = 0x0002;
inline constexpr uint32_t kUnicode = 0x0004;

// One keyboard INPUT record's own fields; time and extra information are always 0.
struct KeyRecord {
    uint16_t virtualKey = 0;
    uint16_t scanCode = 0;
    uint32_t flags = 0;
};

inline bool operator==(const KeyRecord& a, const KeyRecord& b) {
    return a.virtualKey == b.virtualKey && a.scanCode == b.scanCode && a.flags == b.flags;
}

using Keystrokes = std::vector<KeyRecord>;

// `count` Backspace presses.
void AppendBackspaces(Keystrokes& keys, uint32_t count);
// Each UTF-16 unit of `text` as a Unicode key press; nothing for an empty text.
void AppendUnicode(Keystrokes& keys, std::wstring_view text);
// One press of a virtual key.
void AppendVirtualKey(Keystrokes& keys, uint16_t virtualKey);
// One press of a key as the keyboard reported it: its virtual key, scan code and whether it is an
// extended key (the arrows and the editing keys beside them, the right-hand Ctrl and Alt).
void AppendKeyPress(Keystrokes& keys, uint16_t virtualKey, uint16_t scanCode, bool extended);

// Replaces the `eraseCount` letters before the caret by `text` and types `boundary` after it. When
// `text` is empty nothing is erased: the letters stay and only the boundary is typed (a word with
// nothing to offer, or a full stop typed on its own). Empty when there is nothing to type.
Keystrokes BuildKeystrokes(uint32_t eraseCount, std::wstring_view text, std::wstring_view boundary);

#ifdef _WIN32
// Sends the sequence with one SendInput call, so no real key can come between its events; true
// when every event was accepted (an application of a higher integrity level refuses them). An
// empty sequence sends nothing and is true.
bool SendKeystrokes(const Keystrokes& keys);
#endif

}  // namespace qorva::universal
