#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "engine/bangla_engine_impl.h"
#include "tests/support/engine_fixtures.h"

namespace bangla {
namespace {

using testing_support::EnginePtr;
using testing_support::MakeEngine;

const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";               // আমি
const std::string kAjke = "\xE0\xA6\x86\xE0\xA6\x9C\xE0\xA6\x95\xE0\xA7\x87";  // আজকে
const std::string kEkhon = "\xE0\xA6\x8F\xE0\xA6\x96\xE0\xA6\xA8";             // এখন
const std::string kJabo = "\xE0\xA6\xAF\xE0\xA6\xBE\xE0\xA6\xAC";              // যাব
const std::string kAchi = "\xE0\xA6\x86\xE0\xA6\x9B\xE0\xA6\xBF";              // আছি
const std::string kKorbo = "\xE0\xA6\x95\xE0\xA6\xB0\xE0\xA6\xAC";             // করব
const std::string kOfishe =
    "\xE0\xA6\x85\xE0\xA6\xAB\xE0\xA6\xBF\xE0\xA6\xB8\xE0\xA7\x87";  // অফিসে
const std::string kKaj = "\xE0\xA6\x95\xE0\xA6\xBE\xE0\xA6\x9C";     // কাজ
const std::string kBasay = "\xE0\xA6\xAC\xE0\xA6\xBE\xE0\xA6\xB8\xE0\xA6\xBE\xE0\xA7\x9F";  // বাসায়
const std::string kBrishti =
    "\xE0\xA6\xAC\xE0\xA7\x83\xE0\xA6\xB7\xE0\xA7\x8D\xE0\xA6\x9F\xE0\xA6\xBF";  // বৃষ্টি
const std::string kChuti = "\xE0\xA6\x9B\xE0\xA7\x81\xE0\xA6\x9F\xE0\xA6\xBF";  // ছুটি
const std::string kJanala =
    "\xE0\xA6\x9C\xE0\xA6\xBE\xE0\xA6\xA8\xE0\xA6\xBE\xE0\xA6\xB2\xE0\xA6\xBE";  // জানালা, no
                                                                                 // built-in pair

constexpr uint32_t kBuiltIn = BANGLA_SOURCE_CONTEXT | BANGLA_SOURCE_PREDICTION;
constexpr uint32_t kLearned =
    BANGLA_SOURCE_CONTEXT | BANGLA_SOURCE_PERSONAL | BANGLA_SOURCE_PREDICTION;

struct Expected {
    std::string text;
    float score;
    uint32_t flags;
};

std::vector<Expected> Predictions(BanglaEngineHandle engine) {
    EngineCandidateList list;
    std::memset(&list, 0x5A, sizeof list);
    BanglaEngine_GetNextWordPredictions(engine, &list);
    std::vector<Expected> found;
    for (uint32_t i = 0; i < list.count; ++i) {
        found.push_back(
            {list.candidates[i].text, list.candidates[i].score, list.candidates[i].sourceFlags});
        EXPECT_STREQ(list.candidates[i].roman, "");
        EXPECT_FALSE(list.candidates[i].autoSelect);
    }
    EXPECT_STREQ(list.input, "");
    return found;
}

// Equal scores come out in either order, so compare score groups as sets.
void ExpectPredictions(const std::vector<Expected>& found, const std::vector<Expected>& expected) {
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(found[i].score, expected[i].score, 1e-4);
        bool matched = false;
        for (const Expected& e : expected) {
            if (e.text == found[i].text && std::abs(e.score - found[i].score) < 1e-4 &&
                e.flags == found[i].flags) {
                matched = true;
            }
        }
        EXPECT_TRUE(matched) << found[i].text << " " << found[i].score << " flags "
                             << found[i].flags;
    }
}

struct PredictionCase {
    const char* name;
    int32_t maxCandidates;
    bool learning;
    std::vector<std::string> context;
    std::string learnedPairs;  // user_bigrams.tsv content before the engine starts
    std::vector<Expected> expected;
};

std::ostream& operator<<(std::ostream& os, const PredictionCase& c) { return os << c.name; }

class PredictionTableTest : public ::testing::TestWithParam<PredictionCase> {};

TEST_P(PredictionTableTest, PredictsTheNextWords) {
    const PredictionCase& c = GetParam();
    TempFolder folder("prediction");
    testing_support::WriteTextFile(folder.File("user_bigrams.tsv"), c.learnedPairs);
    EnginePtr engine = MakeEngine("", folder.File("user_dict.txt"), c.maxCandidates);
    ASSERT_EQ(reinterpret_cast<BanglaEngine*>(engine.get())->lexicon.EntryCount(), 0u);
    BanglaEngine_SetLearningEnabled(engine.get(), false);
    for (const std::string& word : c.context) BanglaEngine_CommitWord(engine.get(), word.c_str());
    BanglaEngine_SetLearningEnabled(engine.get(), c.learning);
    ExpectPredictions(Predictions(engine.get()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Contexts, PredictionTableTest,
    ::testing::Values(PredictionCase{"built_in_after_one_word",
                                     5,
                                     false,
                                     {kAmi},
                                     "",
                                     {{kAjke, 0.98857f, kBuiltIn},
                                      {kEkhon, 0.98237f, kBuiltIn},
                                      {kJabo, 0.97579f, kBuiltIn},
                                      {kAchi, 0.96878f, kBuiltIn},
                                      {kKorbo, 0.96878f, kBuiltIn}}},
                      PredictionCase{"built_in_after_two_words",
                                     6,
                                     false,
                                     {kAmi, kAjke},
                                     "",
                                     {{kOfishe, 1.08237f, kBuiltIn},
                                      {kJabo, 1.06878f, kBuiltIn},
                                      {kKaj, 1.06129f, kBuiltIn},
                                      {kBasay, 1.0f, kBuiltIn},
                                      {kBrishti, 0.97579f, kBuiltIn},
                                      {kChuti, 0.95325f, kBuiltIn}}},
                      PredictionCase{"slots_limit_the_list",
                                     3,
                                     false,
                                     {kAmi},
                                     "",
                                     {{kAjke, 0.98857f, kBuiltIn},
                                      {kEkhon, 0.98237f, kBuiltIn},
                                      {kJabo, 0.97579f, kBuiltIn}}},
                      PredictionCase{"empty_context", 5, true, {}, "", {}},
                      PredictionCase{"learned_pair_after_last_word",
                                     5,
                                     true,
                                     {kJanala},
                                     kJanala + "\t" + kKaj + "\t1\n",
                                     {{kKaj, 0.85f, kLearned}}},
                      PredictionCase{"learned_pair_ignored_with_learning_off",
                                     5,
                                     false,
                                     {kJanala},
                                     kJanala + "\t" + kKaj + "\t1\n",
                                     {}},
                      PredictionCase{"learned_pair_after_two_words",
                                     5,
                                     true,
                                     {kAjke, kJanala},
                                     kAjke + " " + kJanala + "\t" + kChuti + "\t1\n",
                                     {{kChuti, 0.95f, kLearned}}},
                      PredictionCase{"frequent_learned_pair_scores_higher",
                                     5,
                                     true,
                                     {kJanala},
                                     kJanala + "\t" + kKaj + "\t99\n",
                                     {{kKaj, 1.0f, kLearned}}},
                      PredictionCase{"learned_english_follower_never_predicted",
                                     5,
                                     true,
                                     {kJanala},
                                     kJanala + "\thello\t5\n",
                                     {}}),
    [](const ::testing::TestParamInfo<PredictionCase>& info) { return info.param.name; });

TEST(PredictionTest, LearnedFollowerMergesWithBuiltInOnesByScore) {
    TempFolder folder("prediction_merge");
    testing_support::WriteTextFile(
        folder.File("user_bigrams.tsv"),
        kAmi + "\t" + kJanala + "\t1\n" + kAmi + "\t" + kAjke + "\t50\n");
    EnginePtr engine = MakeEngine("", folder.File("user_dict.txt"), 5);
    BanglaEngine_SetLearningEnabled(engine.get(), false);
    BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
    BanglaEngine_SetLearningEnabled(engine.get(), true);
    // আজকে is both learned (50 times) and built in: listed once, as learned;
    // জানালা (learned once, 0.85) scores below every built-in follower.
    ExpectPredictions(Predictions(engine.get()), {{kEkhon, 0.98237f, kBuiltIn},
                                                  {kJabo, 0.97579f, kBuiltIn},
                                                  {kAjke, 0.96919f, kLearned},
                                                  {kAchi, 0.96878f, kBuiltIn},
                                                  {kKorbo, 0.96878f, kBuiltIn}});
}

TEST(PredictionTest, NullListOrHandleIsIgnored) {
    EnginePtr engine = MakeEngine("", "");
    BanglaEngine_GetNextWordPredictions(engine.get(), nullptr);
    EngineCandidateList list;
    std::memset(&list, 0x5A, sizeof list);
    BanglaEngine_GetNextWordPredictions(nullptr, &list);
    EXPECT_EQ(list.count, 0x5A5A5A5Au);
}

TEST(PredictionTest, CommittedPairsSurviveDestroyAndCreate) {
    TempFolder folder("prediction_persist");
    const std::string dictPath = folder.File("user_dict.txt");
    {
        EnginePtr engine = MakeEngine("", dictPath);
        BanglaEngine_LearnWord(engine.get(), "janala", kJanala.c_str());
        BanglaEngine_CommitWord(engine.get(), kJanala.c_str());
        BanglaEngine_LearnWord(engine.get(), "kaj", kKaj.c_str());
        BanglaEngine_CommitWord(engine.get(), kKaj.c_str());
    }
    EnginePtr engine = MakeEngine("", dictPath);
    BanglaEngine_CommitWord(engine.get(), kJanala.c_str());
    ExpectPredictions(Predictions(engine.get()), {{kKaj, 0.85f, kLearned}});
}

}  // namespace
}  // namespace bangla
