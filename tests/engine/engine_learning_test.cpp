#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "engine/bangla_engine_impl.h"
#include "tests/support/engine_fixtures.h"

namespace bangla {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Pair;
using testing_support::CandidatesFor;
using testing_support::EnginePtr;
using testing_support::MakeEngine;
using testing_support::Word;

const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";                // আমি
const std::string kBhalo = "\xE0\xA6\xAD\xE0\xA6\xBE\xE0\xA6\xB2\xE0\xA7\x8B";  // ভালো
const std::string kGhor = "\xE0\xA6\x98\xE0\xA6\xB0";                           // ঘর
const std::string kBari = "\xE0\xA6\xAC\xE0\xA6\xBE\xE0\xA7\x9C\xE0\xA6\xBF";   // বাড়ি
const std::string kE = "\xE0\xA6\x8F";                                          // এ
const std::string kTe = "\xE0\xA6\xA4\xE0\xA7\x87";                             // তে
const std::string kKe = "\xE0\xA6\x95\xE0\xA7\x87";                             // কে
const std::string kR = "\xE0\xA6\xB0";                                          // র
const std::string kESign = "\xE0\xA7\x87";                                      // ে
const std::string kDanda = "\xE0\xA5\xA4";                                      // ।

// Marked exact words, so that every token below has one known first candidate.
std::vector<LexiconEntry> SentenceLexicon() {
    return {Word(kAmi, "ami", 50000, 1),   Word(kBhalo, "bhalo", 40000, 1),
            Word(kGhor, "ghor", 30000, 1), Word(kBari, "bari", 20000, 1),
            Word(kE, "e", 9000, 1),        Word(kTe, "te", 9000, 1),
            Word(kKe, "ke", 9000, 1),      Word(kR, "r", 9000, 1)};
}

// ---------------------------------------------------------------------------
// Committing and learning.

enum class Step { Commit, Learn };

struct Operation {
    Step step;
    std::string word;
    std::string roman;  // for Learn
};

Operation Commit(const std::string& word) { return {Step::Commit, word, ""}; }
Operation Learn(const std::string& roman, const std::string& word) {
    return {Step::Learn, word, roman};
}

struct CommitCase {
    const char* name;
    bool learning;
    std::vector<Operation> operations;
    std::vector<std::string> context;
    std::map<std::string, uint32_t> pairs;          // "first > follower" -> count
    std::map<std::string, uint32_t> personalWords;  // text -> frequency
};

std::ostream& operator<<(std::ostream& os, const CommitCase& c) { return os << c.name; }

std::map<std::string, uint32_t> PairsOf(const LearnedWordPairs& pairs,
                                        const std::vector<std::string>& keys) {
    std::map<std::string, uint32_t> found;
    for (const std::string& key : keys) {
        const LearnedWordPairs::FollowerCounts* followers = pairs.FollowersOf(key);
        if (followers == nullptr) continue;
        for (const auto& [follower, count] : *followers) found[key + " > " + follower] = count;
    }
    return found;
}

class CommitSequenceTest : public ::testing::TestWithParam<CommitCase> {};

TEST_P(CommitSequenceTest, KeepsContextPairsAndPersonalWords) {
    const CommitCase& c = GetParam();
    TempFolder folder("commit");
    const std::string dictPath = folder.File("user_dict.txt");
    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    config.userDictPath = dictPath.c_str();
    config.lexiconPath = testing_support::EmptyLexiconPath().c_str();
    BanglaEngine engine(&config);
    engine.learningEnabled = c.learning;
    for (const Operation& op : c.operations) {
        if (op.step == Step::Commit) {
            engine.CommitWord(op.word);
        } else {
            engine.LearnWord(op.roman, op.word);
        }
    }
    EXPECT_THAT(engine.contextWords, ElementsAreArray(c.context));

    std::vector<std::string> keys = {"", "hello"};
    for (const std::string& a : {kAmi, kBhalo, kGhor}) {
        keys.push_back(a);
        for (const std::string& b : {kAmi, kBhalo, kGhor, std::string("hello")})
            keys.push_back(a + " " + b);
    }
    EXPECT_EQ(PairsOf(engine.userBigrams, keys), c.pairs);

    std::map<std::string, uint32_t> personal;
    for (const UserWordEntry& entry : engine.personalDictionary.GetAllEntries())
        personal[entry.text] = entry.frequency;
    EXPECT_EQ(personal, c.personalWords);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, CommitSequenceTest,
    ::testing::Values(
        CommitCase{"three_words_count_both_keys",
                   true,
                   {Commit(kAmi), Commit(kBhalo), Commit(kGhor)},
                   {kAmi, kBhalo, kGhor},
                   {{kAmi + " > " + kBhalo, 1},
                    {kBhalo + " > " + kGhor, 1},
                    {kAmi + " " + kBhalo + " > " + kGhor, 1}},
                   {}},
        CommitCase{"repeated_word_counts_nothing",
                   true,
                   {Commit(kAmi), Commit(kAmi)},
                   {kAmi, kAmi},
                   {},
                   {}},
        CommitCase{"learning_off_counts_nothing",
                   false,
                   {Commit(kAmi), Commit(kBhalo), Commit(kGhor)},
                   {kAmi, kBhalo, kGhor},
                   {},
                   {}},
        CommitCase{"empty_word_counts_nothing",
                   true,
                   {Commit(kAmi), Commit(""), Commit(kBhalo)},
                   {kAmi, "", kBhalo},
                   {},
                   {}},
        CommitCase{"english_word_counts_nothing",
                   true,
                   {Commit("hello"), Commit(kAmi), Commit(kBhalo)},
                   {"hello", kAmi, kBhalo},
                   {{kAmi + " > " + kBhalo, 1}},
                   {}},
        // The universal program learns, then commits, each chosen word.
        CommitCase{"learn_then_commit_counts_once",
                   true,
                   {Learn("ami", kAmi), Commit(kAmi), Learn("bhalo", kBhalo), Commit(kBhalo)},
                   {kAmi, kAmi, kBhalo, kBhalo},
                   {{kAmi + " > " + kBhalo, 1}},
                   {{kAmi, 2}, {kBhalo, 2}}},
        CommitCase{"learn_refuses_english",
                   true,
                   {Learn("hello", "hello"), Learn("hi", "good morning")},
                   {},
                   {},
                   {}},
        CommitCase{"learn_off_changes_nothing",
                   false,
                   {Learn("ami", kAmi), Learn("bhalo", kBhalo)},
                   {},
                   {},
                   {}},
        CommitCase{"commit_bumps_only_stored_words", false, {Commit(kAmi)}, {kAmi}, {}, {}}),
    [](const ::testing::TestParamInfo<CommitCase>& info) { return info.param.name; });

EngineConfig EmptyLexiconConfig() {
    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    config.lexiconPath = testing_support::EmptyLexiconPath().c_str();
    return config;
}

TEST(CommitContextTest, ContextKeepsTheLatestTwentyWords) {
    const EngineConfig config = EmptyLexiconConfig();
    BanglaEngine engine(&config);
    for (int i = 0; i < 21; ++i) engine.CommitWord("w" + std::to_string(i));
    ASSERT_EQ(engine.contextWords.size(), 20u);
    EXPECT_EQ(engine.contextWords.front(), "w1");
    for (int i = 0; i < 30; ++i) engine.LearnWord("ami", kAmi + std::to_string(i));
    EXPECT_EQ(engine.contextWords.size(), 20u)
        << "learning alone must not grow the context without bound";
}

TEST(CommitContextTest, CommitAndLearningEmptyTheComposition) {
    const EngineConfig config = EmptyLexiconConfig();
    BanglaEngine engine(&config);
    engine.composition = "ami";
    engine.LearnWord("hello", "hello");
    EXPECT_EQ(engine.composition, "ami") << "a refused word is not learned";
    engine.LearnWord("ami", kAmi);
    EXPECT_EQ(engine.composition, "");
    engine.composition = "bhalo";
    engine.CommitWord(kBhalo);
    EXPECT_EQ(engine.composition, "");
}

TEST(CommitContextTest, CommitBumpsAStoredWordWithLearningOff) {
    TempFolder folder("commit_bump");
    EnginePtr engine = MakeEngine("", folder.File("user_dict.txt"));
    BanglaEngine_AddUserWord(engine.get(), "ami", kAmi.c_str());
    BanglaEngine_SetLearningEnabled(engine.get(), false);
    BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
    EngineUserWord word;
    ASSERT_EQ(BanglaEngine_GetUserWords(engine.get(), "ami", &word, 1), 1);
    EXPECT_EQ(word.frequency, 2u);
}

// ---------------------------------------------------------------------------
// Sentences.

class SentenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteLexiconFile(folder.File("lexicon.bin"), SentenceLexicon()));
        engine = MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
    }

    std::string Transliterate(const std::string& sentence) {
        char buffer[512];
        std::memset(buffer, 0x5A, sizeof buffer);
        if (!BanglaEngine_TransliterateSentence(engine.get(), sentence.c_str(), buffer,
                                                sizeof buffer)) {
            return "<failed>";
        }
        EXPECT_EQ(buffer[sizeof buffer - 1], '\0');
        return buffer;
    }

    BanglaEngine& Engine() { return *reinterpret_cast<BanglaEngine*>(engine.get()); }

    TempFolder folder{"sentence"};
    EnginePtr engine;
};

struct SentenceCase {
    const char* name;
    std::string roman;
    std::string expected;
};

std::ostream& operator<<(std::ostream& os, const SentenceCase& c) { return os << c.name; }

class SentenceTableTest : public SentenceTest,
                          public ::testing::WithParamInterface<SentenceCase> {};

TEST_P(SentenceTableTest, Transliterates) {
    EXPECT_EQ(Transliterate(GetParam().roman), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sentences, SentenceTableTest,
    ::testing::Values(
        SentenceCase{"words", "ami bhalo", kAmi + " " + kBhalo},
        SentenceCase{"white_space_collapses", "  ami \t  bhalo  ", kAmi + " " + kBhalo},
        SentenceCase{"empty", "", ""}, SentenceCase{"only_white_space", " \t ", ""},
        SentenceCase{"question_mark_kept", "ami?", kAmi + "?"},
        SentenceCase{"exclamation_mark_kept", "ami!", kAmi + "!"},
        SentenceCase{"period_becomes_danda", "ami bhalo.", kAmi + " " + kBhalo + kDanda},
        SentenceCase{"marks_keep_typed_order", "ami.?", kAmi + kDanda + "?"},
        SentenceCase{"lone_period", "ami .", kAmi + " " + kDanda},
        SentenceCase{"e_joins_consonant_end", "ghor e", kGhor + kESign},
        SentenceCase{"te_joins_consonant_end", "ghor te", kGhor + kTe},
        SentenceCase{"ke_joins_consonant_end", "ghor ke bhalo", kGhor + kKe + " " + kBhalo},
        SentenceCase{"r_joins_vowel_sign_end", "bari r", kBari + kR},
        SentenceCase{"r_after_consonant_stays_a_word", "ghor r", kGhor + " " + kR},
        SentenceCase{"te_after_vowel_sign_stays_a_word", "bari te", kBari + " " + kTe},
        SentenceCase{"suffix_first_stays_a_word", "te ami", kTe + " " + kAmi},
        SentenceCase{"suffix_takes_its_own_mark", "ghor! e?", kGhor + kESign + "?"},
        SentenceCase{"suffix_after_full_stop", "ghor. te", kGhor + kTe},
        SentenceCase{"case_sensitive_suffix", "ghor TE", kGhor + " " + kTe},
        // A word left in Latin letters keeps them; the suffix stays apart.
        SentenceCase{"suffix_after_latin_word", "@@@ te", "@@@ " + kTe},
        SentenceCase{"suffix_after_short_word", "@ e", "@ " + kE}),
    [](const ::testing::TestParamInfo<SentenceCase>& info) { return info.param.name; });

TEST_F(SentenceTest, DigitsAndMixedTokensTakeTheirFirstCandidate) {
    const std::vector<std::string> digits = CandidatesFor(engine.get(), "2024");
    const std::vector<std::string> mixed = CandidatesFor(engine.get(), "C++");
    ASSERT_FALSE(digits.empty());
    ASSERT_FALSE(mixed.empty());
    EXPECT_EQ(Transliterate("ami 2024, C++!"),
              kAmi + " " + digits.front() + ", " + mixed.front() + "!");
}

TEST_F(SentenceTest, BufferMustHoldTheTerminator) {
    const std::string expected = kAmi + " " + kBhalo;
    std::vector<char> exact(expected.size() + 1, 'x');
    ASSERT_TRUE(
        BanglaEngine_TransliterateSentence(engine.get(), "ami bhalo", exact.data(), exact.size()));
    EXPECT_EQ(std::string(exact.data()), expected);

    std::vector<char> tooSmall(expected.size(), 'x');
    EXPECT_FALSE(BanglaEngine_TransliterateSentence(engine.get(), "ami bhalo", tooSmall.data(),
                                                    tooSmall.size()));
    EXPECT_EQ(std::string(tooSmall.begin(), tooSmall.end()), std::string(expected.size(), 'x'));

    char wide[64];
    std::memset(wide, 'x', sizeof wide);
    ASSERT_TRUE(BanglaEngine_TransliterateSentence(engine.get(), "ami", wide, sizeof wide));
    for (std::size_t i = kAmi.size(); i < sizeof wide; ++i) EXPECT_EQ(wide[i], '\0') << i;
}

// Called on every keystroke of the English target, a sentence must not
// teach the engine anything, nor become the context of the user's next commit.
TEST_F(SentenceTest, LearnsNothing) {
    BanglaEngine_AddUserWord(engine.get(), "ami", kAmi.c_str());
    ASSERT_TRUE(BanglaEngine_IsLearningEnabled(engine.get()));
    for (int keystroke = 0; keystroke < 3; ++keystroke) Transliterate("ami bhalo ghor");

    EXPECT_TRUE(Engine().userBigrams.Empty());
    EngineUserWord word;
    ASSERT_EQ(BanglaEngine_GetUserWords(engine.get(), "ami", &word, 1), 1);
    EXPECT_EQ(word.frequency, 1u);
    EXPECT_EQ(Engine().personalDictionary.GetAllEntries().size(), 1u);
    EXPECT_EQ(Engine().composition, "");
}

TEST_F(SentenceTest, LeavesTheContextAsItFoundIt) {
    Transliterate("ami bhalo");
    EXPECT_THAT(Engine().contextWords, IsEmpty());
    BanglaEngine_CommitWord(engine.get(), kGhor.c_str());
    EXPECT_EQ(Engine().userBigrams.FollowersOf(kBhalo), nullptr);

    BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
    Transliterate("bhalo ghor");
    EXPECT_THAT(Engine().contextWords, ElementsAre(kGhor, kAmi));
    BanglaEngine_CommitWord(engine.get(), kBhalo.c_str());
    const auto* followers = Engine().userBigrams.FollowersOf(kAmi);
    ASSERT_NE(followers, nullptr);
    EXPECT_THAT(*followers, ElementsAre(Pair(kBhalo, 1u)));
    // The sentence ended in ghor; only the user's own ami followed it.
    const auto* afterGhor = Engine().userBigrams.FollowersOf(kGhor);
    ASSERT_NE(afterGhor, nullptr);
    EXPECT_THAT(*afterGhor, ElementsAre(Pair(kAmi, 1u)));
}

// Within the sentence, each word's context is the sentence's words before it,
// whatever the user committed before.
TEST_F(SentenceTest, StartsFromAnEmptyContext) {
    const std::string first = Transliterate("ami bhalo");
    BanglaEngine_CommitWord(engine.get(), kGhor.c_str());
    EXPECT_EQ(Transliterate("ami bhalo"), first);
    EXPECT_THAT(Engine().contextWords, ElementsAre(kGhor));
}

}  // namespace
}  // namespace bangla
