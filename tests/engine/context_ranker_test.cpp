#include "engine/context_ranker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/bangla_unicode.h"
#include "engine/builtin_word_pairs.h"
#include "engine/lexicon_trie.h"

namespace bangla {
namespace {

constexpr float kTolerance = 1e-5f;

float ExpectedPairScore(uint32_t count) {
    return std::min(1.0f, 0.25f * std::log10(static_cast<float>(count) + 1.0f));
}

// --- Word-pair scores ------------------------------------------------------

struct PairScoreCase {
    const char* name;
    uint32_t count;
    float expected;
};

std::ostream& operator<<(std::ostream& os, const PairScoreCase& c) { return os << c.name; }

class BigramProbTest : public ::testing::TestWithParam<PairScoreCase> {};

TEST_P(BigramProbTest, GrowsWithTheLogOfTheCountUpToOne) {
    ContextRanker ranker;
    ranker.AddBigram("first", "next", GetParam().count);
    EXPECT_NEAR(ranker.ComputeBigramProb("first", "next"), GetParam().expected, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(Counts, BigramProbTest,
                         ::testing::Values(PairScoreCase{"zero", 0, 0.0f},
                                           PairScoreCase{"nine", 9, 0.25f},
                                           PairScoreCase{"ninety_nine", 99, 0.5f},
                                           PairScoreCase{"eight_thousand", 8000, 0.97579f},
                                           PairScoreCase{"cap_reached", 9999, 1.0f},
                                           PairScoreCase{"above_cap", 4000000000u, 1.0f}));

TEST(ContextRankerPairs, UnknownOrEmptyWordsScoreZero) {
    ContextRanker ranker;
    ranker.AddBigram("first", "next", 99);
    EXPECT_EQ(ranker.ComputeBigramProb("", "next"), 0.0f);
    EXPECT_EQ(ranker.ComputeBigramProb("first", ""), 0.0f);
    EXPECT_EQ(ranker.ComputeBigramProb("first", "other"), 0.0f);
    EXPECT_EQ(ranker.ComputeBigramProb("unknown", "next"), 0.0f);
    EXPECT_EQ(ranker.ComputeBigramProb("next", "first"), 0.0f);
}

TEST(ContextRankerPairs, CountsOfOnePairAddUp) {
    ContextRanker ranker;
    ranker.AddBigram("first", "next", 4);
    ranker.AddBigram("first", "next", 5);
    EXPECT_NEAR(ranker.ComputeBigramProb("first", "next"), 0.25f, kTolerance);
}

// Every built-in row is loaded, canonicalised, and rows of one pair add up.
TEST(ContextRankerPairs, BuiltinTableIsLoadedWhole) {
    std::map<std::pair<std::string, std::string>, uint32_t> expectedCounts;
    for (const BuiltinWordPair& row : kBuiltinWordPairs) {
        expectedCounts[{UnicodeUtils::CanonicalizeBengali(row.first),
                        UnicodeUtils::CanonicalizeBengali(row.follower)}] += row.count;
    }
    EXPECT_EQ(expectedCounts.size(), 195u);
    const ContextRanker ranker;
    for (const auto& [pair, count] : expectedCounts) {
        EXPECT_NEAR(ranker.ComputeBigramProb(pair.first, pair.second), ExpectedPairScore(count),
                    kTolerance)
            << pair.first << " -> " << pair.second;
    }
}

struct BuiltinPairCase {
    const char* name;
    std::string first;
    std::string follower;
    float expected;
};

std::ostream& operator<<(std::ostream& os, const BuiltinPairCase& c) { return os << c.name; }

class BuiltinPairTest : public ::testing::TestWithParam<BuiltinPairCase> {};

TEST_P(BuiltinPairTest, MatchesCanonicalText) {
    const ContextRanker ranker;
    EXPECT_NEAR(ranker.ComputeBigramProb(GetParam().first, GetParam().follower),
                GetParam().expected, kTolerance);
}

// Precomposed ya (U+09DF) and rra (U+09DC) as typed and committed text spells them.
const std::string kKothay = "\u0995\u09CB\u09A5\u09BE\u09DF";
const std::string kKothayDecomposed = "\u0995\u09CB\u09A5\u09BE\u09AF\u09BC";
const std::string kJabe = "\u09AF\u09BE\u09AC\u09C7";
const std::string kTumi = "\u09A4\u09C1\u09AE\u09BF";
const std::string kShomoy = "\u09B8\u09AE\u09DF";
const std::string kMoto = "\u09AE\u09A4\u09CB";
const std::string kTaratari = "\u09A4\u09BE\u09DC\u09BE\u09A4\u09BE\u09DC\u09BF";
const std::string kAsho = "\u0986\u09B8\u09CB";
const std::string kMone = "\u09AE\u09A8\u09C7";
const std::string kHoy = "\u09B9\u09DF";
const std::string kOfficeE = "\u0985\u09AB\u09BF\u09B8\u09C7";
const std::string kOffice = "\u0985\u09AB\u09BF\u09B8";
const std::string kJabo = "\u09AF\u09BE\u09AC";
const std::string kAchhi = "\u0986\u099B\u09BF";
const std::string kAmi = "\u0986\u09AE\u09BF";
const std::string kAjke = "\u0986\u099C\u0995\u09C7";

INSTANTIATE_TEST_SUITE_P(
    Pairs, BuiltinPairTest,
    ::testing::Values(
        BuiltinPairCase{"listed_twice_adds_up", kOfficeE, kJabo, 1.0f},
        BuiltinPairCase{"office_achhi", kOfficeE, kAchhi, ExpectedPairScore(9000)},
        BuiltinPairCase{"lowest_count", kOffice, kJabo, ExpectedPairScore(4000)},
        BuiltinPairCase{"highest_count", "Thank", "you", ExpectedPairScore(9900)},
        BuiltinPairCase{"precomposed_follower", kTumi, kKothay, ExpectedPairScore(8000)},
        BuiltinPairCase{"first_word_written_decomposed", kKothay, kJabe, ExpectedPairScore(8500)},
        BuiltinPairCase{"shomoy_moto", kShomoy, kMoto, ExpectedPairScore(8500)},
        BuiltinPairCase{"rra_first_word", kTaratari, kAsho, ExpectedPairScore(8500)},
        BuiltinPairCase{"follower_written_decomposed", kMone, kHoy, ExpectedPairScore(9200)},
        BuiltinPairCase{"decomposed_lookup_finds_nothing", kKothayDecomposed, kJabe, 0.0f},
        BuiltinPairCase{"english_case_matters", "thank", "you", 0.0f}));

// --- Ranking ---------------------------------------------------------------

PhoneticCandidate Input(const std::string& text, float score) {
    return {text, score, "beam_search"};
}

struct RankRequest {
    std::string typed = "ami";
    std::vector<PhoneticCandidate> inputs;
    std::string preceding;
    ContextRanker::PersonalBoosts boosts;
    bool autoCorrect = false;
    float threshold = 0.85f;
    uint64_t maxResults = 16;
};

class ContextRankerRankTest : public ::testing::Test {
protected:
    std::vector<ScoredCandidate> Rank(const RankRequest& r) const {
        return ranker.RankCandidates(r.typed, r.inputs, lexicon, r.preceding, r.boosts,
                                     r.autoCorrect, r.threshold, r.maxResults);
    }

    static const ScoredCandidate* FindText(const std::vector<ScoredCandidate>& list,
                                           const std::string& text) {
        for (const ScoredCandidate& entry : list) {
            if (entry.text == text) return &entry;
        }
        return nullptr;
    }

    static std::vector<std::string> Texts(const std::vector<ScoredCandidate>& list) {
        std::vector<std::string> texts;
        for (const ScoredCandidate& entry : list) texts.push_back(entry.text);
        return texts;
    }

    ContextRanker ranker;
    LexiconTrie lexicon;
};

TEST_F(ContextRankerRankTest, NothingToRankLeavesOnlyTheTypedText) {
    RankRequest request;
    const auto ranked = Rank(request);
    ASSERT_EQ(ranked.size(), 1u);
    EXPECT_EQ(ranked[0].text, "ami");
    EXPECT_EQ(ranked[0].roman, "ami");
    EXPECT_FLOAT_EQ(ranked[0].phoneticScore, 0.5f);
    EXPECT_FLOAT_EQ(ranked[0].finalScore, 0.01f);
    EXPECT_EQ(ranked[0].sourceFlags, 0u);
    EXPECT_FALSE(ranked[0].autoSelect);
}

TEST_F(ContextRankerRankTest, EmptyTypedTextAndNoInputsGiveNothing) {
    RankRequest request;
    request.typed = "";
    EXPECT_TRUE(Rank(request).empty());
}

TEST_F(ContextRankerRankTest, MaximumOfZeroGivesNothing) {
    RankRequest request;
    request.inputs = {Input(kAmi, 1.0f)};
    request.maxResults = 0;
    EXPECT_TRUE(Rank(request).empty());
}

struct ScoreCase {
    const char* name;
    uint32_t inputFrequency;  // kNoWord: the input is no lexicon word
    bool otherLexiconWord;    // some other candidate is a lexicon word
    float boost;              // personal boost of the input; 0: none given
    uint32_t expectedFlags;
    float expectedFinal;
};

constexpr uint32_t kNoWord = 0xFFFFFFFFu;

std::ostream& operator<<(std::ostream& os, const ScoreCase& c) { return os << c.name; }

class RankScoreTest : public ContextRankerRankTest,
                      public ::testing::WithParamInterface<ScoreCase> {};

// The input আমি with phonetic score 0.8, scored against the lexicon.
TEST_P(RankScoreTest, WeighsPhoneticFrequencyAndUserScores) {
    const ScoreCase& c = GetParam();
    if (c.inputFrequency != kNoWord) lexicon.Insert(kAmi, "ami", c.inputFrequency, 0);
    RankRequest request;
    request.typed = "amii";
    request.inputs = {Input(kAmi, 0.8f)};
    if (c.otherLexiconWord) {
        lexicon.Insert(kAchhi, "achhi", 100, 0);
        request.inputs.push_back(Input(kAchhi, 0.5f));
    }
    if (c.boost != 0.0f) request.boosts[kAmi] = c.boost;
    const auto ranked = Rank(request);
    const ScoredCandidate* entry = FindText(ranked, kAmi);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->sourceFlags, c.expectedFlags);
    EXPECT_EQ(entry->roman, "amii");
    EXPECT_NEAR(entry->finalScore, c.expectedFinal, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RankScoreTest,
    ::testing::Values(
        // 0.25 * 0.8 = 0.2; frequency 999999 scores log10(1e6) / 6 = 1.
        ScoreCase{"no_lexicon_keeps_total", kNoWord, false, 0.0f, 1u, 0.2f},
        ScoreCase{"lexicon_word_gets_bonus", 999999, false, 0.0f, 3u, 0.2f + 0.45f + 0.2f},
        ScoreCase{"frequent_word_capped_at_one", 999999, false, 1.0f, 11u, 1.0f},
        ScoreCase{"frequency_zero_is_damped", 0, false, 0.0f, 3u, 0.02f},
        ScoreCase{"non_word_beside_word_is_damped", kNoWord, true, 0.0f, 1u, 0.02f},
        ScoreCase{"negative_boost_still_damped", kNoWord, true, -0.5f, 9u,
                  (0.2f + 0.15f * -0.5f) * 0.1f},
        ScoreCase{"boosted_non_word_not_damped", kNoWord, true, 0.5f, 9u, 0.2f + 0.075f}));

TEST_F(ContextRankerRankTest, SkipsInvalidBengaliAndKeepsTheLaterOfEqualTexts) {
    RankRequest request;
    request.inputs = {Input("\u0995\u09CD", 1.0f), Input(kAmi, 0.4f), Input(kAmi, 0.8f)};
    const auto ranked = Rank(request);
    EXPECT_EQ(FindText(ranked, "\u0995\u09CD"), nullptr);
    ASSERT_NE(FindText(ranked, kAmi), nullptr);
    EXPECT_FLOAT_EQ(FindText(ranked, kAmi)->phoneticScore, 0.8f);
    EXPECT_EQ(ranked.size(), 2u);  // আমি and the typed text
}

TEST_F(ContextRankerRankTest, LexiconWordsOfTheTypedKeyJoinTheList) {
    lexicon.Insert(kAmi, "ami", 5000, 0);
    lexicon.Insert(kAchhi, "ami", 10, 0);
    lexicon.Insert(kJabo, "jabo", 10, 0);
    RankRequest request;
    request.inputs = {Input(kAchhi, 0.3f)};
    const auto ranked = Rank(request);
    const ScoredCandidate* added = FindText(ranked, kAmi);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->sourceFlags, 2u);
    EXPECT_EQ(added->roman, "ami");
    EXPECT_FLOAT_EQ(added->phoneticScore, 0.95f);
    const ScoredCandidate* confirmed = FindText(ranked, kAchhi);
    ASSERT_NE(confirmed, nullptr);
    EXPECT_EQ(confirmed->sourceFlags, 3u);
    EXPECT_FLOAT_EQ(confirmed->phoneticScore, 0.9f);
    EXPECT_EQ(FindText(ranked, kJabo), nullptr);
}

TEST_F(ContextRankerRankTest, LexiconMatchKeepsAHigherPhoneticScore) {
    lexicon.Insert(kAmi, "ami", 5000, 0);
    RankRequest request;
    request.inputs = {Input(kAmi, 1.0f)};
    const auto ranked = Rank(request);
    ASSERT_NE(FindText(ranked, kAmi), nullptr);
    EXPECT_FLOAT_EQ(FindText(ranked, kAmi)->phoneticScore, 1.0f);
}

TEST_F(ContextRankerRankTest, PrecedingWordAddsContextScore) {
    RankRequest request;
    request.typed = "jabo";
    request.preceding = kAmi;
    request.inputs = {Input(kJabo, 1.0f), Input(kJabe, 1.0f)};
    const auto ranked = Rank(request);
    const ScoredCandidate* paired = FindText(ranked, kJabo);
    ASSERT_NE(paired, nullptr);
    EXPECT_EQ(paired->sourceFlags, 5u);
    EXPECT_NEAR(paired->contextScore, 0.97579f, kTolerance);
    EXPECT_NEAR(paired->finalScore, 0.25f + 0.15f * 0.97579f, kTolerance);
    EXPECT_EQ(ranked.front().text, kJabo);
    EXPECT_EQ(FindText(ranked, kJabe)->sourceFlags, 1u);
}

TEST_F(ContextRankerRankTest, CommittedPrecomposedWordFindsItsFollowers) {
    RankRequest request;
    request.typed = "jabe";
    request.preceding = kKothay;
    request.inputs = {Input(kJabe, 1.0f)};
    const auto ranked = Rank(request);
    ASSERT_NE(FindText(ranked, kJabe), nullptr);
    EXPECT_NEAR(FindText(ranked, kJabe)->contextScore, ExpectedPairScore(8500), kTolerance);
}

TEST_F(ContextRankerRankTest, BoostsForUnlistedTextsAddNothing) {
    RankRequest request;
    request.inputs = {Input(kAmi, 1.0f)};
    request.boosts[kJabo] = 1.0f;
    const auto ranked = Rank(request);
    EXPECT_EQ(FindText(ranked, kJabo), nullptr);
    EXPECT_EQ(FindText(ranked, kAmi)->sourceFlags, 1u);
}

TEST_F(ContextRankerRankTest, OrdersByFinalScoreDescending) {
    RankRequest request;
    request.inputs = {Input(kAchhi, 0.2f), Input(kAmi, 0.9f), Input(kJabo, 0.5f),
                      Input(kJabe, 0.7f)};
    EXPECT_EQ(Texts(Rank(request)), (std::vector<std::string>{kAmi, kJabe, kJabo, kAchhi, "ami"}));
}

// --- The typed key's own words --------------------------------------------------

const std::string kTar = "\u09A4\u09BE\u09B0";         // তার
const std::string kTara = "\u09A4\u09BE\u09B0\u09BE";  // তারা
const std::string kAr = "\u0986\u09B0";                // আর
const std::string kAro = "\u0986\u09B0\u09CB";         // আরো
const std::string kAroO = "\u0986\u09B0\u0993";        // আরও
const std::string kKora = "\u0995\u09B0\u09BE";        // করা
const std::string kKara = "\u0995\u09BE\u09B0\u09BE";  // কারা

struct TypedKeyCase {
    const char* name;
    std::string typed;
    std::vector<LexiconEntry> lexicon;
    std::vector<PhoneticCandidate> parsed;  // what the parser reads from the letters
    std::string boosted;                    // a personal word, or empty
    std::string pairedAfterAmi;             // follows আমি in a word pair, or empty
    std::vector<std::string> expected;      // the ranked texts, the typed text last
};

std::ostream& operator<<(std::ostream& os, const TypedKeyCase& c) { return os << c.name; }

class TypedKeyTest : public ContextRankerRankTest,
                     public ::testing::WithParamInterface<TypedKeyCase> {};

// A word under the typed key is a word those letters spell; a word the
// letters reach only through another reading goes behind it unless it is 12
// times more frequent, or the user or the preceding word speak for it.
TEST_P(TypedKeyTest, WordOfTheTypedKeyLeadsUnlessTheOtherIsFarMoreFrequent) {
    const TypedKeyCase& c = GetParam();
    for (const LexiconEntry& e : c.lexicon) lexicon.Insert(e.word, e.roman, e.frequency, e.tag);
    RankRequest request;
    request.typed = c.typed;
    request.inputs = c.parsed;
    if (!c.boosted.empty()) request.boosts[c.boosted] = 0.5f;
    if (!c.pairedAfterAmi.empty()) {
        ranker.AddBigram(kAmi, c.pairedAfterAmi, 99);
        request.preceding = kAmi;
    }
    EXPECT_EQ(Texts(Rank(request)), c.expected);
}

// তার reaches "tara" only by reading the final a as its inherent vowel; it is
// 2.4 times as frequent as তারা.
TypedKeyCase TaraCase(const char* name, const std::string& boosted, const std::string& paired,
                      std::vector<std::string> expected) {
    return {name,
            "tara",
            {{kTara, "tara", 244245, 0}, {kTar, "tar", 588844, 0}},
            {Input(kTara, 1.0f), Input(kTar, 0.99f)},
            boosted,
            paired,
            std::move(expected)};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedKeyTest,
    ::testing::Values(
        TaraCase("shorter_word_behind", "", "", {kTara, kTar, "tara"}),
        TaraCase("personal_word_leads", kTar, "", {kTar, kTara, "tara"}),
        TaraCase("paired_word_leads", "", kTar, {kTar, kTara, "tara"}),
        // আর is 9.3 times as frequent as আরো: not enough.
        TypedKeyCase{"other_spelling_behind",
                     "aro",
                     {{kAro, "aro", 79440, 0}, {kAroO, "aro", 77629, 0}, {kAr, "ar", 734990, 0}},
                     {Input(kAro, 1.0f), Input(kAr, 0.99f)},
                     "",
                     "",
                     {kAro, kAroO, kAr, "aro"}},
        TypedKeyCase{"far_more_frequent_leads",
                     "kara",
                     {{kKara, "kara", 20000, 0}, {kKora, "kora", 12 * 20000, 0}},
                     {Input(kKara, 1.0f), Input(kKora, 0.99f)},
                     "",
                     "",
                     {kKora, kKara, "kara"}}),
    [](const ::testing::TestParamInfo<TypedKeyCase>& info) { return info.param.name; });

// --- Auto-selection ----------------------------------------------------------

struct AutoSelectCase {
    const char* name;
    bool autoCorrect;
    std::vector<float> finals;  // reached exactly: without a lexicon word final = 0.25 * phonetic
    bool expected;
};

std::ostream& operator<<(std::ostream& os, const AutoSelectCase& c) { return os << c.name; }

class AutoSelectTest : public ContextRankerRankTest,
                       public ::testing::WithParamInterface<AutoSelectCase> {};

TEST_P(AutoSelectTest, MarksOnlyAConfidentLeader) {
    const AutoSelectCase& c = GetParam();
    const std::string texts[] = {kAmi, kJabo, kJabe};
    RankRequest request;
    request.autoCorrect = c.autoCorrect;
    request.threshold = 0.85f;
    for (std::size_t i = 0; i < c.finals.size(); ++i) {
        request.inputs.push_back(Input(texts[i], 4.0f * c.finals[i]));
    }
    const auto ranked = Rank(request);
    ASSERT_FALSE(ranked.empty());
    EXPECT_FLOAT_EQ(ranked.front().finalScore, c.finals.front());
    EXPECT_EQ(ranked.front().autoSelect, c.expected);
    for (std::size_t i = 1; i < ranked.size(); ++i) EXPECT_FALSE(ranked[i].autoSelect);
}

const float kJustAtThreshold = 0.85f - 0.0001f;

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoSelectTest,
    ::testing::Values(
        AutoSelectCase{"single_at_threshold", true, {kJustAtThreshold}, true},
        AutoSelectCase{"single_just_below", true, {std::nextafter(kJustAtThreshold, 0.0f)}, false},
        AutoSelectCase{"switched_off", false, {0.95f}, false},
        AutoSelectCase{"clear_lead", true, {0.90f, 0.87f}, true},
        AutoSelectCase{"narrow_lead", true, {0.90f, 0.89f}, false},
        AutoSelectCase{"runner_up_only_counts", true, {0.95f, 0.5f, 0.94f}, false}));

// --- The typed-text fallback -------------------------------------------------

TEST_F(ContextRankerRankTest, TypedTextTakesTheLastKeptPlaceWhenTheListIsFull) {
    RankRequest request;
    request.inputs = {Input(kAmi, 0.9f), Input(kJabo, 0.8f), Input(kJabe, 0.7f),
                      Input(kAchhi, 0.6f), Input(kAjke, 0.5f)};
    request.maxResults = 3;
    EXPECT_EQ(Texts(Rank(request)), (std::vector<std::string>{kAmi, kJabo, "ami"}));
}

TEST_F(ContextRankerRankTest, TypedTextIsAppendedWhenThereIsRoom) {
    RankRequest request;
    request.inputs = {Input(kAmi, 0.9f), Input(kJabo, 0.8f)};
    request.maxResults = 3;
    EXPECT_EQ(Texts(Rank(request)), (std::vector<std::string>{kAmi, kJabo, "ami"}));
}

TEST_F(ContextRankerRankTest, MaximumOfOneKeepsOnlyTheTypedText) {
    RankRequest request;
    request.inputs = {Input(kAmi, 0.9f), Input(kJabo, 0.8f)};
    request.maxResults = 1;
    EXPECT_EQ(Texts(Rank(request)), (std::vector<std::string>{"ami"}));
}

TEST_F(ContextRankerRankTest, InputEqualToTypedTextSuppressesTheFallbackEvenBeyondTheCut) {
    RankRequest request;
    request.typed = "q";
    request.inputs = {Input(kAmi, 0.9f), Input(kJabo, 0.8f), Input("q", 0.1f)};
    request.maxResults = 2;
    EXPECT_EQ(Texts(Rank(request)), (std::vector<std::string>{kAmi, kJabo}));
}

// --- Next-word prediction ------------------------------------------------------

struct Expected {
    std::string text;
    float score;
};

class PredictNextWordsTest : public ::testing::Test {
protected:
    ContextRanker ranker;
    LexiconTrie lexicon;
};

TEST_F(PredictNextWordsTest, OneWordFollowersBestFirst) {
    const auto predictions = ranker.PredictNextWords(kAmi, lexicon, 5, "");
    ASSERT_EQ(predictions.size(), 5u);
    const Expected expected[] = {
        {kAjke, 0.98857f}, {"\u098F\u0996\u09A8", 0.98237f}, {kJabo, 0.97579f}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(predictions[i].text, expected[i].text) << i;
        EXPECT_NEAR(predictions[i].finalScore, expected[i].score, kTolerance) << i;
    }
    for (std::size_t i = 3; i < 5; ++i)
        EXPECT_NEAR(predictions[i].finalScore, 0.96878f, kTolerance);
    for (const ScoredCandidate& p : predictions) {
        EXPECT_EQ(p.sourceFlags, 20u);
        EXPECT_TRUE(p.roman.empty());
        EXPECT_FALSE(p.autoSelect);
    }
}

TEST_F(PredictNextWordsTest, TwoPrecedingWordsStrengthenSharedFollowers) {
    const auto predictions = ranker.PredictNextWords(kAjke, lexicon, 6, kAmi);
    const Expected expected[] = {{kOfficeE, 1.08237f},
                                 {kJabo, 1.06878f},
                                 {"\u0995\u09BE\u099C", 1.06129f},
                                 {"\u09AC\u09BE\u09B8\u09BE\u09DF", 1.0f},
                                 {"\u09AC\u09C3\u09B7\u09CD\u099F\u09BF", 0.97579f},
                                 {"\u099B\u09C1\u099F\u09BF", 0.95325f}};
    ASSERT_EQ(predictions.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(predictions[i].text, expected[i].text) << i;
        EXPECT_NEAR(predictions[i].finalScore, expected[i].score, kTolerance) << i;
    }
}

TEST_F(PredictNextWordsTest, PrecomposedWordFindsFollowersWrittenDecomposedInTheTable) {
    EXPECT_EQ(ranker.PredictNextWords(kKothay, lexicon, 5, "").size(), 3u);
}

TEST_F(PredictNextWordsTest, LexiconFrequencyMixesIn) {
    ranker.AddBigram("w", "rare", 10);  // pair score 0.26
    ranker.AddBigram("w", "common", 10);
    lexicon.Insert("rare", "rare", 0, 0);  // 0.75 * 0.26 < 0.2: dropped
    lexicon.Insert("common", "common", 999999, 0);
    const auto predictions = ranker.PredictNextWords("w", lexicon, 5, "");
    ASSERT_EQ(predictions.size(), 1u);
    EXPECT_EQ(predictions[0].text, "common");
    EXPECT_NEAR(predictions[0].finalScore, 0.25f + 0.75f * ExpectedPairScore(10), kTolerance);
    EXPECT_FLOAT_EQ(predictions[0].frequencyScore, 1.0f);
}

TEST_F(PredictNextWordsTest, NeverPredictsTheWordItselfOrWeakFollowers) {
    ranker.AddBigram("w", "w", 9999);
    ranker.AddBigram("w", "weak", 3);
    ranker.AddBigram("w", "fine", 10);
    const auto predictions = ranker.PredictNextWords("w", lexicon, 5, "");
    ASSERT_EQ(predictions.size(), 1u);
    EXPECT_EQ(predictions[0].text, "fine");
}

TEST_F(PredictNextWordsTest, EmptyWordOrZeroMaximumGivesNothing) {
    EXPECT_TRUE(ranker.PredictNextWords("", lexicon, 5, kAmi).empty());
    EXPECT_TRUE(ranker.PredictNextWords(kAmi, lexicon, 0, "").empty());
    EXPECT_EQ(ranker.PredictNextWords(kAmi, lexicon, 3, "").size(), 3u);
}

}  // namespace
}  // namespace bangla
