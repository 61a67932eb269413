// The key events the universal program injects to type: what a commit, the on-screen keyboard and
// voice typing send for a given erase count, text and boundary.
#include "universal/keystrokes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/text.h"

namespace qorva::universal {
namespace {

// Key events as text: "B" and "b" a Backspace down and up, "<x" and ">x" the down and up of the
// Unicode unit x (in hex when it is not a visible ASCII character: "<0964", "<0020"), "V14" and
// "v14" a virtual key down and up (hex).
std::string Describe(const Keystrokes& keys) {
    std::string out;
    char buffer[16];
    for (const KeyRecord& key : keys) {
        if (!out.empty()) out += ' ';
        const bool up = (key.flags & kKeyUp) != 0;
        if (key.flags & kUnicode) {
            EXPECT_EQ(key.virtualKey, 0);
            if (key.scanCode > 0x20 && key.scanCode < 0x7F)
                std::snprintf(buffer, sizeof(buffer), "%c%c", up ? '>' : '<', key.scanCode);
            else
                std::snprintf(buffer, sizeof(buffer), "%c%04X", up ? '>' : '<', key.scanCode);
        } else if (key.virtualKey == kBackspaceKey) {
            EXPECT_EQ(key.scanCode, 0);
            std::snprintf(buffer, sizeof(buffer), "%c", up ? 'b' : 'B');
        } else {
            std::snprintf(buffer, sizeof(buffer), "%c%X", up ? 'v' : 'V', key.virtualKey);
        }
        EXPECT_EQ(key.flags & ~(kKeyUp | kUnicode), 0u);
        out += buffer;
    }
    return out;
}

struct Case {
    const char* name;
    uint32_t eraseCount;
    std::wstring text;
    std::wstring boundary;
    const char* expected;
};

TEST(BuildKeystrokesTest, ErasesTheLettersThenTypesTextAndBoundaryUnitByUnit) {
    const Case cases[] = {
        {"a word and a space", 3, L"\u0986\u09AE\u09BF", L" ",
         "B b B b B b <0986 >0986 <09AE >09AE <09BF >09BF <0020 >0020"},
        {"the Latin row types the word again", 3, L"ami", L"\t",
         "B b B b B b <a >a <m >m <i >i <0009 >0009"},
        {"a character beyond the BMP is its two surrogates", 1,
         qorva::Utf8ToUtf16("\xF0\x9F\x98\x80"), L"", "B b <D83D >D83D <DE00 >DE00"},
        {"nothing chosen keeps the letters and types the boundary only", 3, L"", L",", "<, >,"},
        {"a full stop on its own becomes the danda", 0, L"", L"\u0964", "<0964 >0964"},
        {"a boundary of a line end", 2, L"\u0995", L"\r", "B b B b <0995 >0995 <000D >000D"},
        {"nothing at all", 4, L"", L"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(BuildKeystrokes(c.eraseCount, c.text, c.boundary)), c.expected)
            << c.name;
    }
}

TEST(BuildKeystrokesTest, PiecesAppendInOrderForTheOnScreenKeyboard) {
    Keystrokes keys;
    AppendVirtualKey(keys, 0x14);  // Caps Lock
    AppendUnicode(keys, L"");
    AppendBackspaces(keys, 0);
    AppendUnicode(keys, L"x");
    AppendBackspaces(keys, 1);
    EXPECT_EQ(Describe(keys), "V14 v14 <x >x B b");
}

}  // namespace
}  // namespace qorva::universal
