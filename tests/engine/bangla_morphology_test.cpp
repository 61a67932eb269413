#include "engine/bangla_morphology.h"

#include <gtest/gtest.h>

#include <string>

namespace bangla {
namespace {

struct SplitCase {
    const char* token;
    bool splits;
    const char* stem;
    const char* suffix;
};

std::ostream& operator<<(std::ostream& os, const SplitCase& c) { return os << c.token; }

constexpr const char* kUntouched = "<untouched>";

class HyphenSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(HyphenSplitTest, SplitsAtLastHyphenBeforeKnownSuffix) {
    const SplitCase& c = GetParam();
    std::string stem = kUntouched;
    std::string suffix = kUntouched;
    EXPECT_EQ(BanglaMorphology::DecomposeHyphenatedToken(c.token, stem, suffix), c.splits);
    EXPECT_EQ(stem, c.splits ? c.stem : kUntouched);
    EXPECT_EQ(suffix, c.splits ? c.suffix : kUntouched);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, HyphenSplitTest,
    ::testing::Values(SplitCase{"boi-gulo", true, "boi", "gulo"},
                      SplitCase{"boi-Gulo", true, "boi", "Gulo"},
                      SplitCase{"BOI-KE", true, "BOI", "KE"}, SplitCase{"a-ke", true, "a", "ke"},
                      SplitCase{"a-b-ke", true, "a-b", "ke"}, SplitCase{"x-r", true, "x", "r"},
                      SplitCase{"-ke", false, "", ""}, SplitCase{"boi-", false, "", ""},
                      SplitCase{"boi-ke-", false, "", ""}, SplitCase{"boi-xyz", false, "", ""},
                      SplitCase{"boi-gulo-xyz", false, "", ""}, SplitCase{"boike", false, "", ""},
                      SplitCase{"-e", false, "", ""}, SplitCase{"", false, "", ""}));

class CompoundSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CompoundSplitTest, SplitsKnownEndingsWithRoomForAStem) {
    const SplitCase& c = GetParam();
    std::string stem = kUntouched;
    std::string suffix = kUntouched;
    EXPECT_EQ(BanglaMorphology::DecomposeCompoundToken(c.token, stem, suffix), c.splits);
    EXPECT_EQ(stem, c.splits ? c.stem : kUntouched);
    EXPECT_EQ(suffix, c.splits ? c.suffix : kUntouched);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, CompoundSplitTest,
    ::testing::Values(
        SplitCase{"korleo", true, "korle", "o"}, SplitCase{"KORLEO", true, "KORLE", "O"},
        SplitCase{"xxleo", true, "xxle", "o"}, SplitCase{"xleo", false, "", ""},
        SplitCase{"xxmoto", true, "xx", "moto"}, SplitCase{"XXMOTO", true, "XX", "moto"},
        SplitCase{"xmoto", false, "", ""}, SplitCase{"tomarmoto", true, "tomar", "moto"},
        SplitCase{"xxmoton", true, "xx", "moton"}, SplitCase{"xmoton", false, "", ""},
        SplitCase{"tomarmoton", true, "tomar", "moton"}, SplitCase{"xxbhabe", true, "xx", "bhabe"},
        SplitCase{"xbhabe", false, "", ""}, SplitCase{"bhalobhabe", true, "bhalo", "bhabe"},
        SplitCase{"xxxxx", false, "", ""}, SplitCase{"abcdefgh", false, "", ""},
        SplitCase{"", false, "", ""}));

struct AttachCase {
    const char* name;
    std::string stem;
    const char* suffix;
    std::string expected;
};

std::ostream& operator<<(std::ostream& os, const AttachCase& c) { return os << c.name; }

class AttachSuffixTest : public ::testing::TestWithParam<AttachCase> {};

TEST_P(AttachSuffixTest, ChoosesFormByStemEnding) {
    const AttachCase& c = GetParam();
    EXPECT_EQ(BanglaMorphology::AttachSuffix(c.stem, c.suffix), c.expected);
}

const std::string kVowelSignStem = "\u09AE\u09BE";  // ends in the aa-sign
const std::string kVowelStem = "\u09AC\u0987";      // ends in the independent i
const std::string kConsonantStem = "\u0998\u09B0";  // ends in a consonant
const std::string kLastSignStem = "\u0995\u09CC";   // ends in U+09CC, the last vowel sign
const std::string kHasantStem = "\u0995\u09CD";     // ends in hasant

INSTANTIATE_TEST_SUITE_P(
    Forms, AttachSuffixTest,
    ::testing::Values(
        AttachCase{"r_after_sign", kVowelSignStem, "r", kVowelSignStem + "\u09B0"},
        AttachCase{"r_after_vowel", kVowelStem, "r", kVowelStem + "\u09B0"},
        AttachCase{"r_after_consonant", kConsonantStem, "r", kConsonantStem + "\u09C7\u09B0"},
        AttachCase{"er_after_sign", kVowelSignStem, "er", kVowelSignStem + "\u09B0"},
        AttachCase{"er_after_vowel", kVowelStem, "er", kVowelStem + "\u09DF\u09C7\u09B0"},
        AttachCase{"er_after_consonant", kConsonantStem, "er", kConsonantStem + "\u09C7\u09B0"},
        AttachCase{"e_after_sign", kVowelSignStem, "e", kVowelSignStem + "\u09DF"},
        AttachCase{"e_after_vowel", kVowelStem, "e", kVowelStem + "\u09DF"},
        AttachCase{"e_after_consonant", kConsonantStem, "e", kConsonantStem + "\u09C7"},
        AttachCase{"e_after_last_sign", kLastSignStem, "e", kLastSignStem + "\u09DF"},
        // What cannot carry a vowel sign takes the vowel itself behind a hyphen.
        AttachCase{"er_after_hasant", kHasantStem, "er", kHasantStem + "-\u098F\u09B0"},
        AttachCase{"er_after_latin", "boi", "er", "boi-\u098F\u09B0"},
        AttachCase{"e_after_short_stem", "b", "e", "b-\u098F"},
        AttachCase{"er_after_digits", "\u09E7\u09EF\u09ED\u09E6", "er",
                   "\u09E7\u09EF\u09ED\u09E6-\u098F\u09B0"},
        AttachCase{"e_after_anusvara", "\u09B6\u09C1\u099F\u09BF\u0982", "e",
                   "\u09B6\u09C1\u099F\u09BF\u0982-\u098F"},
        AttachCase{"r_after_anusvara", "\u09B0\u0982", "r", "\u09B0\u0982-\u098F\u09B0"},
        AttachCase{"te_after_digits", "\u09E7\u09EF\u09ED\u09E6", "te",
                   "\u09E7\u09EF\u09ED\u09E6\u09A4\u09C7"},
        // Khanda ta turns into ta before a vowel sign only.
        AttachCase{"er_after_khanda_ta", "\u099C\u0997\u09CE", "er",
                   "\u099C\u0997\u09A4\u09C7\u09B0"},
        AttachCase{"ke_after_khanda_ta", "\u099C\u0997\u09CE", "ke",
                   "\u099C\u0997\u09CE\u0995\u09C7"},
        // A chandrabindu goes with the vowel it sits on.
        AttachCase{"er_after_chandrabindu_on_sign", "\u0997\u09BE\u0981", "er",
                   "\u0997\u09BE\u0981\u09B0"},
        AttachCase{"e_after_chandrabindu_on_consonant", "\u0995\u0981", "e", "\u0995\u0981-\u098F"},
        AttachCase{"er_after_precomposed_rra", "\u09AA\u09BE\u09B9\u09BE\u09DC", "er",
                   "\u09AA\u09BE\u09B9\u09BE\u09DC\u09C7\u09B0"},
        AttachCase{"o", kConsonantStem, "o", kConsonantStem + "\u0993"},
        AttachCase{"ke", kVowelStem, "ke", kVowelStem + "\u0995\u09C7"},
        AttachCase{"KE_uppercase", kVowelStem, "KE", kVowelStem + "\u0995\u09C7"},
        AttachCase{"re", kConsonantStem, "re", kConsonantStem + "\u09B0\u09C7"},
        AttachCase{"te", kConsonantStem, "te", kConsonantStem + "\u09A4\u09C7"},
        AttachCase{"ta", kConsonantStem, "ta", kConsonantStem + "\u099F\u09BE"},
        AttachCase{"ti", kConsonantStem, "ti", kConsonantStem + "\u099F\u09BF"},
        AttachCase{"ra", kVowelSignStem, "ra", kVowelSignStem + "\u09B0\u09BE"},
        AttachCase{"der", kVowelSignStem, "der", kVowelSignStem + "\u09A6\u09C7\u09B0"},
        AttachCase{"gulo", kConsonantStem, "gulo", kConsonantStem + "\u0997\u09C1\u09B2\u09CB"},
        AttachCase{"guli", kConsonantStem, "guli", kConsonantStem + "\u0997\u09C1\u09B2\u09BF"},
        AttachCase{"khana", kConsonantStem, "khana", kConsonantStem + "\u0996\u09BE\u09A8\u09BE"},
        AttachCase{"khani", kConsonantStem, "khani", kConsonantStem + "\u0996\u09BE\u09A8\u09BF"},
        AttachCase{"tuku", kConsonantStem, "tuku", kConsonantStem + "\u099F\u09C1\u0995\u09C1"},
        AttachCase{"tai", kConsonantStem, "tai", kConsonantStem + "\u099F\u09BE\u0987"},
        AttachCase{"moto", kConsonantStem, "moto", kConsonantStem + "\u09AE\u09A4\u09CB"},
        AttachCase{"moton", kConsonantStem, "moton", kConsonantStem + "\u09AE\u09A4\u09A8"},
        AttachCase{"bhabe", kConsonantStem, "bhabe", kConsonantStem + "\u09AD\u09BE\u09AC\u09C7"},
        AttachCase{"unknown_suffix", kConsonantStem, "xyz", kConsonantStem},
        AttachCase{"empty_suffix", kConsonantStem, "", kConsonantStem},
        AttachCase{"empty_stem", "", "er", ""}));

TEST(BanglaMorphologySuffixes, EveryRecognizedSuffixHasABengaliForm) {
    const char* const suffixes[] = {"er",    "r",    "o",   "ke",   "re",    "e",    "te",
                                    "ta",    "ti",   "ra",  "der",  "gulo",  "guli", "khana",
                                    "khani", "tuku", "tai", "moto", "moton", "bhabe"};
    const std::string stem = kConsonantStem;
    for (const char* suffix : suffixes) {
        EXPECT_TRUE(BanglaMorphology::IsRecognizedSuffix(suffix)) << suffix;
        EXPECT_GT(BanglaMorphology::AttachSuffix(stem, suffix).size(), stem.size()) << suffix;
    }
}

TEST(BanglaMorphologySuffixes, RecognitionIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(BanglaMorphology::IsRecognizedSuffix("GuLo"));
    EXPECT_FALSE(BanglaMorphology::IsRecognizedSuffix(""));
    EXPECT_FALSE(BanglaMorphology::IsRecognizedSuffix("gul"));
    EXPECT_FALSE(BanglaMorphology::IsRecognizedSuffix("er "));
}

struct EndingCase {
    const char* name;
    std::string text;
    bool kar;
    bool vowel;
};

std::ostream& operator<<(std::ostream& os, const EndingCase& c) { return os << c.name; }

class StemEndingTest : public ::testing::TestWithParam<EndingCase> {};

TEST_P(StemEndingTest, ClassifiesByLastCharacter) {
    const EndingCase& c = GetParam();
    EXPECT_EQ(BanglaMorphology::EndsInKar(c.text), c.kar);
    EXPECT_EQ(BanglaMorphology::EndsInIndependentVowel(c.text), c.vowel);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, StemEndingTest,
    ::testing::Values(EndingCase{"first_sign", "\u0995\u09BE", true, false},
                      EndingCase{"last_sign", "\u0995\u09CC", true, false},
                      EndingCase{"length_mark_after_sign", "\u0995\u09D7", false, false},
                      EndingCase{"first_vowel", "\u0985", false, true},
                      EndingCase{"last_vowel", "\u0994", false, true},
                      EndingCase{"consonant", "\u0995", false, false},
                      EndingCase{"hasant", "\u0995\u09CD", false, false},
                      EndingCase{"nukta", "\u09AF\u09BC", false, false},
                      EndingCase{"latin", "abc", false, false},
                      EndingCase{"empty", "", false, false},
                      EndingCase{"truncated_sign", std::string("\xA6\xBE"), false, false}));

}  // namespace
}  // namespace bangla
