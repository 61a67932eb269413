#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

namespace qorva {
namespace {

const wchar_t kReplacement = static_cast<wchar_t>(0xFFFD);

std::wstring Units(std::initializer_list<unsigned> units) {
    std::wstring text;
    for (unsigned unit : units) text.push_back(static_cast<wchar_t>(unit));
    return text;
}

TEST(Utf16ConversionTest, RoundTripsBengaliAndSurrogatePairs) {
    const std::string utf8 = "ami \xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF \xF0\x9F\x98\x80";
    const std::wstring utf16 = Utf8ToUtf16(utf8);
    const std::wstring expected = {L'a',
                                   L'm',
                                   L'i',
                                   L' ',
                                   0x0986,
                                   0x09AE,
                                   0x09BF,
                                   L' ',
                                   static_cast<wchar_t>(0xD83D),
                                   static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(utf16, expected);
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
}

TEST(Utf16ConversionTest, ReplacesWhatIsNotValid) {
    const std::wstring replacement(1, static_cast<wchar_t>(0xFFFD));
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              L"a" + replacement + L"b");
    EXPECT_EQ(Utf8ToUtf16("\xE0\xA6"), replacement + replacement);
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), replacement + replacement);                    // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\xBD"), replacement + replacement + replacement);  // surrogate
    const std::wstring loneHigh = {L'x', static_cast<wchar_t>(0xD83D)};
    EXPECT_EQ(Utf16ToUtf8(loneHigh), "x\xEF\xBF\xBD");
}

// What a writer of settings.json checks before it patches a file: every sequence well formed.
TEST(Utf8ValidityTest, OnlyWellFormedSequencesPass) {
    const struct {
        const char* name;
        std::string utf8;
        bool valid;
    } cases[] = {
        {"empty", "", true},
        {"ASCII with NUL", std::string("a\0b", 3), true},
        {"Bengali", "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF", true},
        {"replacement character itself", "\xEF\xBF\xBD", true},
        {"largest code point", "\xF4\x8F\xBF\xBF", true},
        {"Latin-1 byte", "caf\xE9", false},
        {"cut sequence at the end", "\xE0\xA6", false},
        {"overlong", "\xC0\xAF", false},
        {"surrogate", "\xED\xA0\xBD", false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"lone continuation byte", "a\x80", false},
        {"UTF-16 byte-order mark", "\xFF\xFE", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.utf8), c.valid) << c.name;
}

// Each ill-formed UTF-8 sequence gives replacement characters and decoding goes on with what
// follows, so one broken byte from a reply or a file never swallows the text after it.
TEST(Utf16ConversionTest, Utf8ToUtf16Table) {
    struct Case {
        const char* name;
        std::string utf8;
        std::wstring utf16;
    };
    const Case cases[] = {
        {"empty", "", L""},
        {"ASCII", "ami 42", L"ami 42"},
        {"two-byte", "\xC3\xA9", Units({0xE9})},
        {"Bengali", "\xE0\xA6\x95\xE0\xA7\x8D", Units({0x0995, 0x09CD})},
        {"largest code point", "\xF4\x8F\xBF\xBF", Units({0xDBFF, 0xDFFF})},
        {"embedded NUL", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"lone continuation", "\x80z", Units({0xFFFD, 'z'})},
        {"lead 0xF5 and above", "\xF5\x80\x80\x80", Units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
        {"above U+10FFFF", "\xF4\x90\x80\x80", Units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
        {"cut four-byte", "\xF0\x9F\x98", Units({0xFFFD, 0xFFFD, 0xFFFD})},
        {"lead before ASCII",
         "\xE0\xA6"
         "a",
         Units({0xFFFD, 0xFFFD, 'a'})},
        {"overlong three-byte", "\xE0\x80\xAF", Units({0xFFFD, 0xFFFD, 0xFFFD})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
    }
}

TEST(Utf16ConversionTest, Utf16ToUtf8Table) {
    struct Case {
        const char* name;
        std::wstring utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {"empty", L"", ""},
        {"Bengali", Units({0x0986, 0x09AE, 0x09BF}), "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF"},
        {"pair", Units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80"},
        {"lone low", Units({0xDE00, 'a'}),
         "\xEF\xBF\xBD"
         "a"},
        {"high then high", Units({0xD83D, 0xD83D, 0xDE00}), "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        {"reversed pair", Units({0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
    }
    EXPECT_EQ(Utf16ToUtf8(std::wstring(1, kReplacement)), "\xEF\xBF\xBD");
}

TEST(CodepointToUtf8Test, EncodesEachLengthAndNothingAboveUnicode) {
    EXPECT_EQ(CodepointToUtf8(0x7F), "\x7F");
    EXPECT_EQ(CodepointToUtf8(0x0995), "\xE0\xA6\x95");
    EXPECT_EQ(CodepointToUtf8(0x1F600), "\xF0\x9F\x98\x80");
    EXPECT_EQ(CodepointToUtf8(0x110000), "");
}

TEST(CutUtf16Test, KeepsTheLimitButNeverHalfASurrogatePair) {
    const std::wstring smiley = Utf8ToUtf16("\xF0\x9F\x98\x80");  // two units
    const struct {
        std::wstring text;
        std::size_t limit;
        std::wstring cut;
    } cases[] = {
        {L"abc", 3, L"abc"},
        {L"abcd", 3, L"abc"},
        {L"ab" + smiley, 3, L"ab"},  // the pair would be split: both halves go
        {L"ab" + smiley, 4, L"ab" + smiley},
        {L"a" + smiley + L"b", 3, L"a" + smiley},
        {L"abc", 0, L""},
    };
    for (const auto& c : cases) EXPECT_EQ(CutUtf16(c.text, c.limit), c.cut) << c.limit;
}

TEST(AsciiLowerTest, LowersOnlyAsciiCapitals) {
    EXPECT_EQ(AsciiLower("AmI Z@["), "ami z@[");
    // UTF-8 bytes are left alone: "É" is not lowered, and no byte of a Bengali letter changes.
    EXPECT_EQ(AsciiLower("\xC3\x89\xE0\xA6\x95K"), "\xC3\x89\xE0\xA6\x95k");
}

TEST(HoldsBengaliLetterTest, FindsTheBengaliBlockOnly) {
    struct Case {
        const char* name;
        std::string text;
        bool holds;
    };
    const Case cases[] = {
        {"English", "ami", false},
        {"first of the block", "a\xE0\xA6\x80", true},  // U+0980
        {"last of the block", "\xE0\xA7\xBF", true},    // U+09FF
        {"danda", "\xE0\xA5\xA4", false},               // U+0964, shared with Devanagari
        {"next block", "\xE0\xA8\x80", false},          // U+0A00
        {"cut Bengali letter", "\xE0\xA6", false},
        {"broken then Bengali", "\xFF\xE0\xA6\x95", true},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HoldsBengaliLetter(c.text), c.holds) << c.name;
    }
}

}  // namespace
}  // namespace qorva
