#include "universal/osk_layout.h"

#include <string>

#include "common/text.h"
#include "universal/virtual_keys.h"

namespace qorva::universal {
namespace {

// Character keys of the English rows step 37 pixels: 34 wide with a 3-pixel gap.
constexpr int32_t kKeyStep = 37;
constexpr int32_t kKeyWidth = 34;
// The Characters and Emoji grids step 39 pixels with keys 36 wide and 34 high.
constexpr int32_t kGridStep = 39;
constexpr int32_t kGridKeySize = 36;
constexpr int32_t kGridRowStep = 37;
constexpr int32_t kGridColumns = 16;

// Source texts are UTF-8 here; keys hold UTF-16 on every platform.
std::wstring Text(const char* utf8) { return qorva::Utf8ToUtf16(utf8); }

OskKey Named(LayoutRect rect, const char* name, uint16_t vk) {
    OskKey key;
    key.rect = rect;
    key.label = Text(name);
    key.vk = vk;
    key.special = true;
    return key;
}

OskKey Character(LayoutRect rect, std::wstring text, std::wstring shifted = {}) {
    OskKey key;
    key.rect = rect;
    key.label = text;
    key.text = std::move(text);
    key.shiftedLabel = std::move(shifted);
    return key;
}

OskKey Space(LayoutRect rect, const char* label) {
    OskKey key;
    key.rect = rect;
    key.label = Text(label);
    key.text = L" ";
    key.vk = kSpaceKey;
    return key;
}

// A row of ASCII character keys with their shifted characters, starting at `left`.
void AddCharacterRow(OskKeys& keys, int32_t left, int32_t top, int32_t bottom, const char* plain,
                     const char* shifted) {
    for (int32_t k = 0; plain[k] != '\0'; ++k) {
        const int32_t x = left + kKeyStep * k;
        keys.push_back(Character({x, top, x + kKeyWidth, bottom}, std::wstring(1, plain[k]),
                                 std::wstring(1, shifted[k])));
    }
}

void AddFunctionRow(OskKeys& keys) {
    for (int32_t k = 0; k < 12; ++k) {
        const std::string name = "F" + std::to_string(k + 1);
        keys.push_back(Named({8 + 31 * k, 38, 36 + 31 * k, 64}, name.c_str(),
                             static_cast<uint16_t>(kF1Key + k)));
    }
    struct Media {
        const char* label;
        uint16_t vk;
    };
    const Media media[] = {{"🔈", kVolumeDownKey},
                           {"🔊", kVolumeUpKey},
                           {"⏮", kPreviousTrackKey},
                           {"⏯", kPlayPauseKey},
                           {"⏭", kNextTrackKey}};
    for (int32_t k = 0; k < 5; ++k) {
        keys.push_back(Named({386 + 35 * k, 38, 418 + 35 * k, 64}, media[k].label, media[k].vk));
    }
}

// A block of Bangla character keys, `perRow` to a row, 32 pixels high and 35 pixels apart.
template <size_t N>
void AddBanglaBlock(OskKeys& keys, int32_t left, int32_t top, const char* const (&table)[N],
                    size_t perRow) {
    for (size_t j = 0; j < N; ++j) {
        const int32_t x = left + kKeyStep * static_cast<int32_t>(j % perRow);
        const int32_t y = top + 35 * static_cast<int32_t>(j / perRow);
        keys.push_back(Character({x, y, x + kKeyWidth, y + 32}, Text(table[j])));
    }
}

// Places the table's entries on a 16-column grid from `top`, keeping those that `fits` allows.
template <size_t N, class Fits>
void AddGrid(OskKeys& keys, const char* const (&table)[N], int32_t top, Fits fits) {
    for (size_t j = 0; j < N; ++j) {
        const int32_t c = static_cast<int32_t>(j) % kGridColumns;
        const int32_t r = static_cast<int32_t>(j) / kGridColumns;
        const LayoutRect rect{8 + kGridStep * c, top + kGridRowStep * r,
                              8 + kGridStep * c + kGridKeySize, top + kGridRowStep * r + 34};
        if (fits(rect)) keys.push_back(Character(rect, Text(table[j])));
    }
}

// Constant tables: the layouts may be built while other files' globals are constructed. Kept in
// rows as the keyboard shows them. RRA, RHA and YYA are the single code points U+09DC, U+09DD and
// U+09DF, written as escapes because they look the same as the letter and nukta written apart.
// clang-format off
const char* const kBanglaLetters[] = {
    "অ", "আ", "ই", "ঈ", "উ", "ঊ", "ঋ", "এ", "ঐ", "ও", "ঔ",  // vowels
    "া", "ি", "ী", "ু", "ূ", "ৃ", "ে", "ৈ", "ো", "ৌ", "্",  // vowel signs, hasant
    "ক", "খ", "গ", "ঘ", "ঙ", "চ", "ছ", "জ", "ঝ", "ঞ", "ৎ",
    "ট", "ঠ", "ড", "ঢ", "ণ", "ত", "থ", "দ", "ধ", "ন", "\u09DC",
    "প", "ফ", "ব", "ভ", "ম", "য", "র", "\u09B2", "শ", "ষ", "\u09DD",
    "স", "হ", "\u09DC", "\u09DD", "\u09DF", "ৎ", "ং", "ঃ", "ঁ", "্", "়",
    "ক্ষ", "জ্ঞ", "ঞ্চ", "ঞ্ছ", "ঞ্জ", "ঙ্ক", "ঙ্গ", "ম্প", "ষ্ক", "ষ্ণ", "ত্র"};  // conjuncts

const char* const kBanglaDigitsAndPunctuation[] = {
    "০", "১", "২", "৩", "৪",
    "৫", "৬", "৭", "৮", "৯",
    "।", ",", "?", ";", ":",
    "৳", "!", "@", "(", ")"};

const char* const kSymbols[] = {
    "৳", "$", "€", "£", "¥", "₹", "¢", "+", "-", "×", "÷", "=", "≠", "±", "≤", "≥",
    "%", "‰", "°", "#", "&", "@", "*", "^", "_", "~", "|", "/", "\\", "√", "∞", "π",
    "।", "॥", "…", "·", "•", "—", "–", "©", "®", "™", "§", "¶", "!", "?", ";", ":",
    "(", ")", "[", "]", "{", "}", "<", ">", "«", "»", "“", "”", "‘", "’", "`", "'"};

const char* const kEmoji[] = {
    "❓", "🙄", "😑", "⛈", "🇧🇩", "☝", "🥳", "❌", "💹", "🔹", "🐍", "🐳", "🤩", "😜", "😶", "✨",
    "😉", "👎", "👍", "🥶", "🇧🇩", "🌩", "📈", "🦄", "🤖", "🌧", "🦁", "💖", "🔥", "🎉", "💯", "⭐",
    "😃", "😆", "😅", "🤣", "😂", "😭", "😋", "😛", "😜", "🤪", "😇", "🥰", "😍", "🤩", "😘", "😚",
    "😗", "😙", "🤤", "🤑", "🤗", "🤭", "🤫", "🤔", "🤐", "🤨", "😐", "😑", "😶", "😏", "😒", "🙄",
    "😬", "🤥", "😌", "😔", "😪", "😴", "😷", "🤒", "🤕", "🤢", "🤮", "🥵", "🥶", "😱", "🤯", "🥳",
    "🙏", "👏", "🤝", "🙌", "✌", "🤞", "🤟", "🤘", "👌", "🤌", "👋", "🤙", "💪", "🧠", "👑", "❤️"};
// clang-format on

}  // namespace

OskKeys BuildEnglishLayout(int32_t width) {
    const int32_t right = width - 8;
    OskKeys keys;
    AddFunctionRow(keys);

    keys.push_back(Named({8, 69, 46, 105}, "Esc.", kEscapeKey));
    AddCharacterRow(keys, 49, 69, 105, "`1234567890-=", "~!@#$%^&*()_+");
    keys.push_back(Named({530, 69, right, 105}, "⌫", kBackspaceKey));

    keys.push_back(Named({8, 108, 54, 144}, "Tab", kTabKey));
    AddCharacterRow(keys, 57, 108, 144, "qwertyuiop[]\\", "QWERTYUIOP{}|");
    keys.push_back(Named({538, 108, right, 144}, "Del.", kDeleteKey));

    keys.push_back(Named({8, 147, 60, 183}, "Caps", kCapsLockKey));
    AddCharacterRow(keys, 63, 147, 183, "asdfghjkl;'", "ASDFGHJKL:\"");
    keys.push_back(Named({470, 147, 528, 183}, "Enter", kEnterKey));
    keys.push_back(Named({531, 147, right, 183}, "Home", kHomeKey));

    keys.push_back(Named({8, 186, 66, 222}, "Shift", kShiftKey));
    AddCharacterRow(keys, 69, 186, 222, "zxcvbnm,./", "ZXCVBNM<>?");
    keys.push_back(Named({439, 186, 471, 222}, "↑", kUpKey));
    keys.push_back(Named({474, 186, 522, 222}, "Shift", kShiftKey));
    keys.push_back(Named({525, 186, right, 222}, "End", kEndKey));

    keys.push_back(Named({8, 225, 54, 261}, "Ctrl", kCtrlKey));
    keys.push_back(Named({57, 225, 89, 261}, "⊞", kWindowsKey));
    keys.push_back(Named({92, 225, 126, 261}, "Alt", kAltKey));
    keys.push_back(Space({129, 225, 339, 261}, ""));
    keys.push_back(Named({342, 225, 376, 261}, "Alt", kAltKey));
    keys.push_back(Named({379, 225, 411, 261}, "←", kLeftKey));
    keys.push_back(Named({414, 225, 446, 261}, "↓", kDownKey));
    keys.push_back(Named({449, 225, 481, 261}, "→", kRightKey));
    keys.push_back(Named({484, 225, right, 261}, "☰", kMenuKey));
    return keys;
}

OskKeys BuildBanglaLayout(int32_t width) {
    const int32_t right = width - 8;
    OskKeys keys;
    AddBanglaBlock(keys, 8, 38, kBanglaLetters, 11);
    AddBanglaBlock(keys, 427, 38, kBanglaDigitsAndPunctuation, 5);

    keys.push_back(Named({427, 178, 477, 210}, "Tab", kTabKey));
    keys.push_back(Named({480, 178, 536, 210}, "⌫", kBackspaceKey));
    keys.push_back(Named({539, 178, right, 210}, "Enter", kEnterKey));

    // The joiners are named keys that type their character. They have no shifted label, so a
    // latched Shift never makes them type their names.
    const int32_t half = (width - 438) / 2;
    OskKey joiner = Named({427, 213, 427 + half, 245}, "ZWJ", 0);
    joiner.text = L"\u200D";
    keys.push_back(joiner);
    OskKey nonJoiner = Named({430 + half, 213, right, 245}, "ZWNJ", 0);
    nonJoiner.text = L"\u200C";
    keys.push_back(nonJoiner);

    keys.push_back(Space({427, 248, right, 280}, ""));
    return keys;
}

OskKeys BuildCharactersLayout(int32_t width) {
    OskKeys keys;
    AddGrid(keys, kSymbols, 44, [&](const LayoutRect& r) { return r.right < width - 7; });
    keys.push_back(Space({8, 198, width - 120, 234}, "Space"));
    keys.push_back(Named({width - 116, 198, width - 8, 234}, "⌫ Backspace", kBackspaceKey));
    return keys;
}

OskKeys BuildEmojiLayout(int32_t height) {
    OskKeys keys;
    AddGrid(keys, kEmoji, 78, [&](const LayoutRect& r) { return r.bottom < height - 3; });
    return keys;
}

std::array<OskKeys, kOskTabCount> BuildOskLayouts(int32_t width, int32_t height) {
    return {BuildEnglishLayout(width), BuildBanglaLayout(width), BuildCharactersLayout(width),
            BuildEmojiLayout(height)};
}

}  // namespace qorva::universal
