#include "universal/keystrokes.h"

namespace qorva::universal {
namespace {

void AppendPress(Keystrokes& keys, KeyRecord down) {
    keys.push_back(down);
    down.flags |= kKeyUp;
    keys.push_back(down);
}

}  // namespace

void AppendBackspaces(Keystrokes& keys, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) AppendVirtualKey(keys, kBackspaceKey);
}

void AppendUnicode(Keystrokes& keys, std::wstring_view text) {
    for (const wchar_t unit : text) {
        AppendPress(keys, KeyRecord{0, static_cast<uint16_t>(unit), kUnicode});
    }
}

void AppendVirtualKey(Keystrokes& keys, uint16_t virtualKey) {
    AppendPress(keys, KeyRecord{virtualKey, 0, 0});
}

void AppendKeyPress(Keystrokes& keys, uint16_t virtualKey, uint16_t scanCode, bool extended) {
    AppendPress(keys, KeyRecord{virtualKey, scanCode, extended ? kExtendedKey : 0});
}

Keystrokes BuildKeystrokes(uint32_t eraseCount, std::wstring_view text,
                           std::wstring_view boundary) {
    Keystrokes keys;
    if (!text.empty()) {
        AppendBackspaces(keys, eraseCount);
        AppendUnicode(keys, text);
    }
    AppendUnicode(keys, boundary);
    return keys;
}

}  // namespace qorva::universal
