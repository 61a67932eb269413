#include "engine/fuzzy_normalizer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace bangla {
namespace {

using ::testing::ElementsAreArray;

struct NormalizeCase {
    std::string word;
    std::vector<std::string> keys;
};

std::ostream& operator<<(std::ostream& out, const NormalizeCase& c) {
    return out << '"' << c.word << '"';
}

class NormalizeTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeTest, YieldsLowerCasedWordThenRewrites) {
    const NormalizeCase& c = GetParam();
    EXPECT_THAT(FuzzyNormalizer().Normalize(c.word), ElementsAreArray(c.keys)) << c.word;
}

INSTANTIATE_TEST_SUITE_P(Words, NormalizeTest,
                         ::testing::Values(
                             // Whole-word row, whose doubled t then collapses.
                             NormalizeCase{"Battary", {"battary", "battery", "batery"}},
                             NormalizeCase{"BATTARY", {"battary", "battery", "batery"}},
                             // ss is not collapsible, so the second pass changes nothing.
                             NormalizeCase{"somossa", {"somossa", "somossha"}},
                             NormalizeCase{"sundary", {"sundary", "sundery"}},
                             NormalizeCase{"bhallo", {"bhallo", "bhalo"}},
                             // The second pass gives "control" back through the identity ending.
                             NormalizeCase{"kontrol", {"kontrol", "control"}},
                             NormalizeCase{"hide", {"hide"}}, NormalizeCase{"uddhar", {"uddhar"}},
                             NormalizeCase{"", {""}}, NormalizeCase{"ami", {"ami"}},
                             // Two passes that each change the word.
                             NormalizeCase{"poribarton", {"poribarton", "poriborton"}},
                             NormalizeCase{"chear", {"chear", "chair"}},
                             NormalizeCase{"kkk", {"kkk"}},
                             NormalizeCase{"Dhonnobad", {"dhonnobad", "dhonobad"}},
                             // Non-ASCII bytes pass through untouched.
                             NormalizeCase{"\xE0\xA6\x95"
                                           "ALL",
                                           {"\xE0\xA6\x95"
                                            "all",
                                            "\xE0\xA6\x95"
                                            "al"}}));

struct RewriteCase {
    std::string word;
    std::string rewritten;  // empty: no rule applies
};

std::ostream& operator<<(std::ostream& out, const RewriteCase& c) {
    return out << '"' << c.word << '"';
}

class ApplyRulesTest : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(ApplyRulesTest, RewritesOnePass) {
    const RewriteCase& c = GetParam();
    EXPECT_EQ(FuzzyNormalizer().ApplyRules(c.word), c.rewritten) << c.word;
}

INSTANTIATE_TEST_SUITE_P(
    WholeWords, ApplyRulesTest,
    ::testing::Values(RewriteCase{"battary", "battery"}, RewriteCase{"BATARRY", "battery"},
                      RewriteCase{"shomoshya", "somossha"}, RewriteCase{"paribartan", "poriborton"},
                      RewriteCase{"cheyear", "chair"}, RewriteCase{"kompiutar", "computer"},
                      RewriteCase{"enternet", "internet"}, RewriteCase{"window", "windows"},
                      RewriteCase{"bangladeshi", "bangladesh"}, RewriteCase{"haid", "hide"},
                      RewriteCase{"baton", "button"}, RewriteCase{"batone", "buttone"},
                      RewriteCase{"shachchondo", "swacchondo"},
                      RewriteCase{"sachonnodoe", "swacchondye"},
                      RewriteCase{"diksionari", "dictionary"},
                      // Identity rows return the word, not an empty string.
                      RewriteCase{"hide", "hide"}, RewriteCase{"unhide", "unhide"},
                      // A whole-word row wins over an ending rule that would also match.
                      RewriteCase{"chear", "chair"}, RewriteCase{"betar", "better"}));

INSTANTIATE_TEST_SUITE_P(
    Endings, ApplyRulesTest,
    ::testing::Values(RewriteCase{"sundary", "sundery"}, RewriteCase{"sundari", "sundery"},
                      RewriteCase{"poteri", "potery"}, RewriteCase{"kaarry", "kaery"},
                      RewriteCase{"bhossa", "bhossha"}, RewriteCase{"bhosha", "bhossha"},
                      RewriteCase{"obarton", "oborton"}, RewriteCase{"obortan", "oborton"},
                      RewriteCase{"obertan", "oborton"}, RewriteCase{"abiskar", "abishkar"},
                      RewriteCase{"abarishkar", "aborishkar"}, RewriteCase{"peyar", "pair"},
                      RewriteCase{"khear", "khair"},
                      // A word that is exactly an ending is rewritten whole.
                      RewriteCase{"ary", "ery"}, RewriteCase{"ear", "air"},
                      // The identity ending stops the collapse of its doubled letters.
                      RewriteCase{"kkontrol", "kkontrol"}, RewriteCase{"ppontrol", "ppontrol"}));

INSTANTIATE_TEST_SUITE_P(DoubledLetters, ApplyRulesTest,
                         ::testing::Values(RewriteCase{"bhallo", "bhalo"}, RewriteCase{"ll", "l"},
                                           RewriteCase{"lll", "l"}, RewriteCase{"ammu", "amu"},
                                           RewriteCase{"onno", "ono"},
                                           RewriteCase{"shotti", "shoti"},
                                           // An aspirate keeps its doubled letter before h.
                                           RewriteCase{"uddhar", ""}, RewriteCase{"buddhi", ""},
                                           RewriteCase{"shotthi", ""}, RewriteCase{"tttha", "ttha"},
                                           // l does not form an aspirate, so "llh" collapses.
                                           RewriteCase{"allha", "alha"},
                                           // Letters outside the collapsible set stay doubled.
                                           RewriteCase{"pakka", ""}, RewriteCase{"accha", ""},
                                           RewriteCase{"boss", ""}, RewriteCase{"boo", ""},
                                           RewriteCase{"a11", ""},
                                           // Upper-case letters collapse after lower-casing.
                                           RewriteCase{"BHALLO", "bhalo"}, RewriteCase{"", ""}));

TEST(FuzzyNormalizerTest, ToLowerChangesOnlyAsciiCapitals) {
    EXPECT_EQ(FuzzyNormalizer::ToLower("AbZ@[`{09\xC3\x84\xE0\xA6\x95"),
              "abz@[`{09\xC3\x84\xE0\xA6\x95");
}

TEST(FuzzyNormalizerTest, BestCanonicalIsTheDeepestRewrite) {
    const FuzzyNormalizer normalizer;
    EXPECT_EQ(normalizer.BestCanonical("Battary"), "batery");
    EXPECT_EQ(normalizer.BestCanonical("kontrol"), "control");
    EXPECT_EQ(normalizer.BestCanonical("AMI"), "ami");
    EXPECT_EQ(normalizer.BestCanonical(""), "");
}

}  // namespace
}  // namespace bangla
