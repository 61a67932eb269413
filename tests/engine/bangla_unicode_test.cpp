#include "engine/bangla_unicode.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace bangla {
namespace {

using U = UnicodeUtils;

std::string Utf8(const std::u32string& cps) { return U::Utf32ToUtf8(cps); }

struct ClassCase {
    char32_t cp;
    bool bengali, vowel, consonant, kar, modifier;
};

TEST(UnicodeUtilsClassification, RangeEdges) {
    const std::vector<ClassCase> cases = {
        {0x097F, false, false, false, false, false},
        {0x0980, true, false, false, false, false},
        {0x0981, true, false, false, false, true},
        {0x0983, true, false, false, false, true},
        {0x0984, true, false, false, false, false},
        {0x0985, true, true, false, false, false},
        {0x0994, true, true, false, false, false},
        {0x0995, true, false, true, false, false},
        {0x09B9, true, false, true, false, false},
        {0x09BA, true, false, false, false, false},
        {0x09BC, true, false, false, false, false},
        {0x09BE, true, false, false, true, false},
        {0x09CC, true, false, false, true, false},
        {0x09CD, true, false, false, false, true},
        {0x09CE, true, false, false, false, true},
        {0x09DB, true, false, false, false, false},
        {0x09DC, true, false, true, false, false},
        {0x09DD, true, false, true, false, false},
        {0x09DE, true, false, false, false, false},
        {0x09DF, true, false, true, false, false},
        {0x09FF, true, false, false, false, false},
        {0x0A00, false, false, false, false, false},
        {0x0964, true, false, false, false, false},
        {0x0965, true, false, false, false, false},
        {U'a', false, false, false, false, false},
        {0, false, false, false, false, false},
        {0xFFFFFFFF, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << static_cast<unsigned>(c.cp));
        EXPECT_EQ(U::IsBengali(c.cp), c.bengali);
        EXPECT_EQ(U::IsVowel(c.cp), c.vowel);
        EXPECT_EQ(U::IsConsonant(c.cp), c.consonant);
        EXPECT_EQ(U::IsKar(c.cp), c.kar);
        EXPECT_EQ(U::IsModifier(c.cp), c.modifier);
    }
}

TEST(UnicodeUtilsVowelSigns, EveryVowelWithASignRoundTrips) {
    const std::vector<std::pair<char32_t, char32_t>> pairs = {
        {0x0986, 0x09BE}, {0x0987, 0x09BF}, {0x0988, 0x09C0}, {0x0989, 0x09C1}, {0x098A, 0x09C2},
        {0x098B, 0x09C3}, {0x098F, 0x09C7}, {0x0990, 0x09C8}, {0x0993, 0x09CB}, {0x0994, 0x09CC},
    };
    for (const auto& [vowel, kar] : pairs) {
        EXPECT_EQ(U::VowelToKar(vowel), kar);
        EXPECT_EQ(U::KarToVowel(kar), vowel);
    }
}

TEST(UnicodeUtilsVowelSigns, NoSignGivesZeroAndOutOfTableIsSafe) {
    // Code points below and above each table, including ones whose distance
    // from the table's start would wrap around as an unsigned index.
    for (char32_t cp : {0x0985u, 0x098Cu, 0x098Du, 0x098Eu, 0x0991u, 0x0992u, 0x0995u, 0x0000u,
                        0x09BEu, 0xFFFFFFFFu}) {
        EXPECT_EQ(U::VowelToKar(cp), 0u) << std::hex << static_cast<unsigned>(cp);
    }
    for (char32_t cp : {0x09BDu, 0x09C4u, 0x09C5u, 0x09C6u, 0x09C9u, 0x09CAu, 0x09CDu, 0x0000u,
                        0x0986u, 0xFFFFFFFFu}) {
        EXPECT_EQ(U::KarToVowel(cp), 0u) << std::hex << static_cast<unsigned>(cp);
    }
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::u32string expected;
};

TEST(UnicodeUtilsUtf8ToUtf32, DecodesAndSkipsMalformedBytes) {
    const std::vector<DecodeCase> cases = {
        {"empty", "", U""},
        {"ascii", "ami", U"ami"},
        {"two byte", "\xC3\xA9", U"\u00E9"},
        {"three byte bengali", "\xE0\xA6\x95\xE0\xA6\xBE", U"\u0995\u09BE"},
        {"four byte", "\xF0\x9F\x98\x80", U"\U0001F600"},
        {"truncated lead stops decoding",
         "a\xE0"
         "b",
         U"a"},
        {"lead without continuation is skipped",
         "\xE0"
         "ab",
         U"ab"},
        {"lone continuation byte dropped",
         "a\x80"
         "b",
         U"ab"},
        {"five byte lead skipped",
         "\xF8"
         "a",
         U"a"},
        {"truncated four byte at end", "ab\xF0\x9F\x98", U"ab"},
        {"bad second continuation skips lead only",
         "\xE0\xA6"
         "x",
         U"x"},
        // Forms that are no UTF-8: each byte is dropped, so nothing can pass
        // for a character it does not encode.
        {"overlong slash refused", "\xC0\xAF", U""},
        {"overlong NUL refused",
         "a\xC0\x80"
         "b",
         U"ab"},
        {"overlong three byte refused", "\xE0\x80\xAF", U""},
        {"overlong four byte refused", "\xF0\x80\x80\xAF", U""},
        {"encoded high surrogate refused", "\xED\xA0\x80", U""},
        {"encoded low surrogate refused", "\xED\xBF\xBF", U""},
        {"above U+10FFFF refused", "\xF4\x90\x80\x80", U""},
        {"byte order mark bytes refused", "\xFF\xFE", U""},
        // The edges around the refused forms still decode.
        {"first two byte", "\xC2\x80", U"\u0080"},
        {"first three byte", "\xE0\xA0\x80", U"\u0800"},
        {"last before surrogates", "\xED\x9F\xBF", U"\uD7FF"},
        {"first after surrogates", "\xEE\x80\x80", U"\uE000"},
        {"first four byte", "\xF0\x90\x80\x80", U"\U00010000"},
        {"last code point", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U::Utf8ToUtf32(c.bytes), c.expected) << c.name;
    }
}

TEST(UnicodeUtilsUtf8ToUtf32, ValueAboveUnicodeRangeIsRefused) {
    EXPECT_EQ(U::Utf8ToUtf32("\xF7\xBF\xBF\xBF"), U"");
}

TEST(UnicodeUtilsUtf32ToUtf8, EncodesEachLengthAndLeavesOutNonUnicode) {
    EXPECT_EQ(U::Utf32ToUtf8(U"a\u00E9\u0995\U0001F600"), "a\xC3\xA9\xE0\xA6\x95\xF0\x9F\x98\x80");
    EXPECT_EQ(U::Utf32ToUtf8(std::u32string{U'a', 0x110000, U'b', 0xFFFFFF80}), "ab");
    EXPECT_EQ(U::Utf32ToUtf8(std::u32string{0x10FFFF}), "\xF4\x8F\xBF\xBF");
}

TEST(UnicodeUtilsCodepointToUtf8, SingleCharacter) {
    EXPECT_EQ(U::CodepointToUtf8(0x0995), "\xE0\xA6\x95");
    EXPECT_EQ(U::CodepointToUtf8(0x7F), "\x7F");
    EXPECT_EQ(U::CodepointToUtf8(0x110000), "");
}

TEST(UnicodeUtilsValidity, SequenceRules) {
    const std::vector<std::pair<std::u32string, bool>> cases = {
        {U"", true},
        {U"\u0995\u09BE", true},
        {U"\u0986\u09BE", false},
        {U"\u0985\u09BF", false},
        {U"\u0994\u09CC", false},
        {U"\u0995\u09CD", false},
        {U"\u0995\u09CD\u09CD\u09B7", false},
        {U"\u0995\u09CD\u09B7", true},
        {U"\u09BE", true},
        {U"\u0995\u09BE\u09BE", true},
        {U"a\u09BE", true},
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(U::IsValidBengaliSequence(Utf8(text)), valid) << Utf8(text);
    }
}

TEST(UnicodeUtilsValidity, DanglingHasant) {
    EXPECT_FALSE(U::HasDanglingHasant(""));
    EXPECT_TRUE(U::HasDanglingHasant(Utf8(U"\u0995\u09CD")));
    EXPECT_FALSE(U::HasDanglingHasant(Utf8(U"\u0995\u09CD\u09B7")));
    // Malformed trailing bytes are ignored; the decoded text still ends in hasant.
    EXPECT_TRUE(U::HasDanglingHasant(Utf8(U"\u0995\u09CD") + "\xE0"));
}

struct SegmentCase {
    const char* name;
    std::u32string text;
    std::vector<GraphemeCluster> clusters;
};

// Clusters as readable text, so a mismatch shows code points and flags.
std::vector<std::string> Describe(const std::vector<GraphemeCluster>& clusters) {
    std::vector<std::string> described;
    for (const auto& c : clusters) {
        std::ostringstream os;
        for (char32_t cp : c.codepoints) os << std::hex << static_cast<unsigned>(cp) << ' ';
        os << "hasant=" << c.hasHasant << " kar=" << c.hasKar << " modifier=" << c.hasModifier;
        described.push_back(os.str());
    }
    return described;
}

TEST(UnicodeUtilsSegmentation, Clusters) {
    const std::vector<SegmentCase> cases = {
        {"empty", U"", {}},
        {"conjunct with kar",
         U"\u0995\u09CD\u09B7\u09BE",
         {{U"\u0995\u09CD\u09B7\u09BE", true, true, false}}},
        {"two latin letters", U"ab", {{U"a"}, {U"b"}}},
        {"nukta stands alone", U"\u09A1\u09BC", {{U"\u09A1"}, {U"\u09BC"}}},
        {"latin base joins hasant", U"\u0995\u09CDa", {{U"\u0995\u09CDa", true, false, false}}},
        {"long conjunct chain",
         U"\u09B8\u09CD\u09A4\u09CD\u09B0\u09C0",
         {{U"\u09B8\u09CD\u09A4\u09CD\u09B0\u09C0", true, true, false}}},
        {"modifier and new base",
         U"\u0995\u0982\u0996",
         {{U"\u0995\u0982", false, false, true}, {U"\u0996"}}},
        {"leading mark starts cluster",
         U"\u09BF\u0995",
         {{U"\u09BF", false, true, false}, {U"\u0995"}}},
        {"danda splits and takes marks",
         U"\u0995\u0964\u09BE",
         {{U"\u0995"}, {U"\u0964\u09BE", false, true, false}}},
        {"digit never joins hasant",
         U"\u0995\u09CD\u09E7",
         {{U"\u0995\u09CD", true, false, false}, {U"\u09E7"}}},
        {"khanda ta is a base", U"\u0989\u09CE", {{U"\u0989"}, {U"\u09CE"}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(U::SegmentGraphemes(Utf8(c.text))), Describe(c.clusters)) << c.name;
    }
}

TEST(UnicodeUtilsSegmentation, UndecodableInputGivesNothing) {
    EXPECT_TRUE(U::SegmentGraphemes("\x80\x80\xE0").empty());
}

TEST(UnicodeUtilsBackspace, RemovesLastWrittenUnit) {
    const std::vector<std::pair<std::u32string, std::u32string>> cases = {
        {U"", U""},
        {U"\u0995", U""},
        {U"\u0995\u09CD\u09B7", U"\u0995"},
        {U"\u0995\u09BE", U"\u0995"},
        {U"\u0995\u0982", U"\u0995"},
        {U"\u0995\u09CD", U"\u0995"},
        {U"\u0995\u0996", U"\u0995"},
        {U"\u09CD\u0995", U""},
        {U"ab", U"a"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(U::BackspaceGrapheme(Utf8(text)), Utf8(expected)) << Utf8(text);
    }
}

TEST(UnicodeUtilsBackspace, MalformedBytesAreDropped) {
    EXPECT_EQ(U::BackspaceGrapheme("a\x80"
                                   "bc"),
              "ab");
}

TEST(UnicodeUtilsCanonicalize, ComposesDecomposedAndRegionalForms) {
    const std::vector<std::pair<std::u32string, std::u32string>> cases = {
        {U"", U""},
        {U"\u09A1\u09BC", U"\u09DC"},
        {U"\u09A2\u09BC", U"\u09DD"},
        {U"\u09AF\u09BC", U"\u09DF"},
        {U"\u09C7\u09BE", U"\u09CB"},
        {U"\u09C7\u09D7", U"\u09CC"},
        {U"\u09C7\u09BE\u09BE", U"\u09CB\u09BE"},
        {U"\u09F0", U"\u09B0"},
        {U"\u09F1", U"\u09AC"},
        {U"\u0995\u09BC", U"\u0995\u09BC"},
        {U"\u0995\u09C7\u09BE\u09B2", U"\u0995\u09CB\u09B2"},
        {U"\u09A1\u09BC\u09BC", U"\u09DC\u09BC"},
        {U"\u09BC", U"\u09BC"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(U::CanonicalizeBengali(Utf8(text)), Utf8(expected)) << Utf8(text);
    }
}

}  // namespace
}  // namespace bangla
