#include "engine/phonetic_parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace bangla {
namespace {

struct Expected {
    std::string text;
    float penalty;
};

struct ParseCase {
    std::string input;
    std::vector<Expected> spellings;  // all results with limit 8, best first
};

float PenaltyOf(const PhoneticCandidate& candidate) { return -std::log(candidate.score); }

std::string Repeat(const std::string& part, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += part;
    return repeated;
}

class PhoneticParserTest : public testing::Test {
protected:
    PhoneticParser parser_;
};

// Results with limit 8, including the order of spellings of equal penalty.
TEST_F(PhoneticParserTest, TypedWordsGiveRankedSpellings) {
    const std::vector<ParseCase> cases = {
        {"ami",
         {{"আমি", 0},
          {"অমি", 0.01f},
          {"এমি", 0.02f},
          {"আমী", 0.05f},
          {"অমী", 0.06f},
          {"এমী", 0.07f}}},
        {"k", {{"ক", 0}, {"খ", 0.02f}}},
        {"K", {{"খ", 0}, {"ক", 0.02f}}},
        {"kh", {{"খ", 0}}},
        {"KH", {{"খ", 0}}},
        {"kri",
         {{"ক্রি", 0},
          {"করি", 0.01f},
          {"খ্রি", 0.02f},
          {"কৃ", 0.03f},
          {"খরি", 0.03f},
          {"খৃ", 0.05f},
          {"ক্রী", 0.05f},
          {"করী", 0.06f}}},
        {"ky",
         {{"ক্য", 0},
          {"ক\u09DF", 0.01f},
          {"খ্য", 0.02f},
          {"কয", 0.03f},
          {"খ\u09DF", 0.03f},
          {"খয", 0.05f}}},
        {"ry",
         {{"র্\u09DF", 0},
          {"র\u09DF", 0.01f},
          {"র্য", 0.02f},
          {"রয", 0.03f},
          {"\u09DC্য", 0.04f},
          {"\u09DC\u09DF", 0.05f},
          {"\u09DCয", 0.07f}}},
        {"sth",
         {{"স্থ", 0},
          {"সথ", 0.01f},
          {"শ্থ", 0.02f},
          {"শথ", 0.03f},
          {"স্ঠ", 0.05f},
          {"সঠ", 0.06f},
          {"শ্ঠ", 0.07f},
          {"শঠ", 0.08f}}},
        {"ai", {{"আ\u09DF", 0}}},
        {"aim",
         {{"আইম", 0},
          {"অইম", 0.01f},
          {"এইম", 0.02f},
          {"আঈম", 0.05f},
          {"অঈম", 0.06f},
          {"এঈম", 0.07f}}},
        {"o", {{"অ", 0}, {"ও", 0.02f}}},
        {"ko", {{"কো", 0}, {"ক", 0.01f}, {"খো", 0.02f}, {"খ", 0.03f}}},
        {"eo", {{"এও", 0}, {"এঅ", 0.03f}}},
        {"ew", {{"এও", 0}, {"এব", 0.05f}}},
        {"raw", {{"রাও", 0}, {"\u09DCাও", 0.04f}, {"রাব", 0.08f}, {"\u09DCাব", 0.12f}}},
        {"koy", {{"ক\u09DF", 0}, {"খ\u09DF", 0.02f}, {"কৈ", 0.05f}, {"খৈ", 0.07f}}},
        {"oy", {{"\u09DF", 0}, {"ঐ", 0.05f}}},
        {"x", {{"ক্স", 0.01f}, {"ক্ষ", 0.04f}}},
        // A danda, digit or sign never joins the consonant before it.
        {"k.", {{"ক।", 0}, {"খ।", 0.02f}}},
        {"123", {{"১২৩", 0}}},
        {"k1", {{"ক১", 0}, {"খ১", 0.02f}}},
        {"shchh", {{"চ্ছ", 0}, {"ছ", 0.03f}}},
        {"ngsh", {{"ংশ", 0}, {"ংস", 0.02f}}},
        {"gyan", {{"জ্ঞান", 0}}},
        {"ggan", {{"জ্ঞান", 0}}},
        {"aaaaaaa", {{"আআআআ", 0}, {"আআআঅ", 0.01f}, {"আআআএ", 0.02f}}},
        {"q", {{"q", 0}}},
        {"k\xC3\xA9", {{"ক", 0}, {"খ", 0.02f}}},
        {"1k", {{"১ক", 0}, {"১খ", 0.02f}}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.input);
        const std::vector<PhoneticCandidate> results = parser_.Parse(c.input, 8);
        ASSERT_EQ(results.size(), c.spellings.size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].text, c.spellings[i].text) << "rank " << i;
            EXPECT_NEAR(PenaltyOf(results[i]), c.spellings[i].penalty, 1e-4) << "rank " << i;
            EXPECT_EQ(results[i].source, "beam_search");
        }
    }
}

TEST_F(PhoneticParserTest, BestSpellingsLeadTheList) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        // "school" is not the chchh cluster: s, then ch joined to it.
        {"school", "স্চুল"},
        // The letter-by-letter reading of "tion" costs nothing.
        {"tion", "তিওন"},
    };
    for (const auto& [input, best] : cases) {
        const auto results = parser_.Parse(input, 8);
        ASSERT_FALSE(results.empty()) << input;
        EXPECT_EQ(results[0].text, best);
        EXPECT_FLOAT_EQ(results[0].score, 1.0f);
    }
    const auto tion = parser_.Parse("tion", 8);
    ASSERT_GE(tion.size(), 2u);
    EXPECT_EQ(tion[1].text, "শন");
}

TEST_F(PhoneticParserTest, EmptyInputGivesNothing) { EXPECT_TRUE(parser_.Parse("", 8).empty()); }

TEST_F(PhoneticParserTest, LimitIsTestedAfterAppending) {
    const auto results = parser_.Parse("ami", 0);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].text, "আমি");
    EXPECT_FLOAT_EQ(results[0].score, 1.0f);
    EXPECT_EQ(parser_.Parse("ami", 1).size(), 1u);
}

TEST_F(PhoneticParserTest, SearchStopsAfter128CompletedSpellings) {
    // Five k have 512 spellings; only the 128 cheapest are completed.
    const auto five = parser_.Parse("kkkkk", 1000);
    ASSERT_EQ(five.size(), 128u);
    EXPECT_EQ(five[0].text, "ক্ক্ক্ক্ক");
    int upTo004 = 0;
    int at005 = 0;
    for (const auto& candidate : five) {
        const float penalty = PenaltyOf(candidate);
        if (penalty < 0.045f)
            ++upTo004;
        else if (penalty < 0.055f)
            ++at005;
    }
    EXPECT_EQ(upTo004, 81);
    EXPECT_EQ(at005, 47);

    // Four k have exactly 128 spellings, all of them returned.
    const auto four = parser_.Parse("kkkk", 1000);
    ASSERT_EQ(four.size(), 128u);
    EXPECT_EQ(four.back().text, "খখখখ");
    EXPECT_NEAR(PenaltyOf(four.back()), 0.11f, 1e-4);
}

// A caller reading deep into the list may raise the completed-state limit;
// the cheapest spellings stay the same and further ones follow them.
TEST_F(PhoneticParserTest, LargerCompletedLimitExtendsTheSameList) {
    const auto usual = parser_.Parse("kkkkk", 1000);
    const auto deep = parser_.Parse("kkkkk", 1000, 300);
    ASSERT_EQ(deep.size(), 300u);
    for (std::size_t i = 0; i < usual.size(); ++i) {
        EXPECT_NEAR(PenaltyOf(deep[i]), PenaltyOf(usual[i]), 1e-5) << i;
    }
    EXPECT_GE(PenaltyOf(deep.back()), PenaltyOf(usual.back()) - 1e-5f);
    EXPECT_EQ(parser_.Parse("kkkkk", 1000, 1000).size(), 512u);
}

// Letters that cost something in every reading make the number of partial
// spellings explode; the search must still end quickly with a spelling.
TEST_F(PhoneticParserTest, PathologicalInputStillGivesASpelling) {
    // Where a best spelling is given: the cheapest reading, which the
    // fallback finds by finishing the most advanced partial spelling.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Repeat("kw", 16), Repeat("ক্ব্", 15) + "ক্ব"},
        {Repeat("xa", 60), ""},
        {Repeat("k", 200), Repeat("ক্", 199) + "ক"},
        {Repeat("thh", 30), ""},
    };
    for (const auto& [input, best] : cases) {
        SCOPED_TRACE(input.substr(0, 12));
        const auto results = parser_.Parse(input, 8);
        ASSERT_FALSE(results.empty());
        EXPECT_GT(results[0].score, 0.0f);
        if (!best.empty()) {
            EXPECT_EQ(results[0].text, best);
        }
    }
}

TEST_F(PhoneticParserTest, ExpandStateAtEndAppendsNothing) {
    std::vector<PhoneticParser::ParseState> children;
    PhoneticParser::ParseState done;
    PhoneticParser::SpellingStore store;
    done.position = 3;
    parser_.ExpandState("ami", done, store, children);
    done.position = 7;
    parser_.ExpandState("ami", done, store, children);
    EXPECT_TRUE(children.empty());
}

// Spellings share their beginnings in the store and are written out whole:
// code points of one to four bytes, in and outside the Bengali block, and
// two spellings of one beginning read into the same buffer.
TEST(PhoneticParserSpellingStore, SpellingsReadBackAsWritten) {
    using Store = PhoneticParser::SpellingStore;
    Store store;
    std::string buffer;
    EXPECT_EQ(store.Utf8(Store::kEmpty, buffer), "");
    const Store::Node ka = store.Append(Store::kEmpty, U'\u0995');
    const Store::Node kaA = store.Append(ka, U'a');
    const Store::Node joined = store.Append(kaA, U'\u200C');
    const Store::Node face = store.Append(joined, U'\U0001F600');
    const Store::Node kaE = store.Append(ka, U'\u09C7');
    const Store::Node latin = store.Append(kaE, U'\u00E9');
    EXPECT_EQ(store.Utf8(face, buffer), "\u0995a\u200C\U0001F600");
    EXPECT_EQ(store.Utf8(latin, buffer), "\u0995\u09C7\u00E9");
    EXPECT_EQ(store.Utf8(ka, buffer), "\u0995");
    EXPECT_EQ(store.Last(face), U'\U0001F600');
    EXPECT_EQ(store.Last(kaE), U'\u09C7');
}

TEST(PhoneticParserMatchPrefix, FoldsAsciiCaseOnly) {
    const struct {
        std::string input;
        std::size_t position;
        std::string pattern;
        bool matches;
    } cases[] = {
        {"School", 0, "school", true}, {"xSCH", 1, "sch", true}, {"sc", 0, "sch", false},
        {"abc", 3, "", true},          {"abc", 4, "a", false},   {"\xC3\xA9", 0, "\xC3\x89", false},
        {"a", 0, "A", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PhoneticParser::MatchPrefix(c.input, c.position, c.pattern), c.matches)
            << c.input << " @" << c.position << " " << c.pattern;
    }
}

TEST(PhoneticParserToLower, ChangesOnlyAsciiCapitals) {
    EXPECT_EQ(PhoneticParser::ToLower("AbZ@[\xC3\x89"), "abz@[\xC3\x89");
}

}  // namespace
}  // namespace bangla
