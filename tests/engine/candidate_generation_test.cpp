#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "engine/bangla_unicode.h"
#include "tests/support/engine_fixtures.h"

namespace bangla {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using testing_support::CandidatesFor;
using testing_support::EnginePtr;
using testing_support::MakeEngine;
using testing_support::Word;

const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";               // আমি
const std::string kTumi = "\xE0\xA6\xA4\xE0\xA7\x81\xE0\xA6\xAE\xE0\xA6\xBF";  // তুমি
const std::string kTumio = kTumi + "\xE0\xA6\x93";                             // তুমিও
const std::string kGhor = "\xE0\xA6\x98\xE0\xA6\xB0";                          // ঘর
const std::string kBari = "\xE0\xA6\xAC\xE0\xA6\xBE\xE0\xA7\x9C\xE0\xA6\xBF";  // বাড়ি (precomposed)
const std::string kBariDecomposed =
    "\xE0\xA6\xAC\xE0\xA6\xBE\xE0\xA6\xA1\xE0\xA6\xBC\xE0\xA6\xBF";  // বাড়ি (ড + nukta)
const std::string kBarite = kBari + "\xE0\xA6\xA4\xE0\xA7\x87";      // বাড়িতে
const std::string kKa = "\xE0\xA6\x95";                              // ক
const std::string kAmmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA7\x8D\xE0\xA6\xAE\xE0\xA6\xBF";  // আম্মি

bool IsAllZero(const void* data, std::size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

std::vector<std::string> SevenExactWords() {
    std::vector<std::string> words;
    for (uint32_t i = 0; i < 7; ++i) words.push_back(testing_support::FillerWord(i).word);
    return words;
}

// A small lexicon (below the big-lexicon size): marked exact words under
// "ami", "bari" (in two encodings), "many" and "long"; plain words under
// "tumi" and "ghor".
std::vector<LexiconEntry> SmallLexicon() {
    std::vector<LexiconEntry> entries = {
        Word(kAmi, "ami", 50000, 1),
        Word(kBari, "bari", 20000, 1),
        Word(kBariDecomposed, "bari", 10000, 1),
        Word(kTumi, "tumi", 30000),
        Word(kTumio, "tumi", 2000),
        Word(kGhor, "ghor", 10000),
    };
    const std::vector<std::string> many = SevenExactWords();
    for (uint32_t i = 0; i < many.size(); ++i) entries.push_back(Word(many[i], "many", 900 - i, 1));
    std::string longWord;
    for (int i = 0; i < 50; ++i) longWord += kKa;
    entries.push_back(Word(longWord, "long", 5, 1));
    return entries;
}

class CandidateGenerationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteLexiconFile(LexiconPath(), SmallLexicon())); }

    std::string LexiconPath() const { return folder.File("lexicon.bin"); }
    std::string DictPath() const { return folder.File("user_dict.txt"); }

    EngineCandidateList Generate(BanglaEngineHandle engine, const std::string& typed) {
        BanglaEngine_SetComposition(engine, typed.c_str());
        EngineCandidateList list;
        std::memset(&list, 0x5A, sizeof list);
        BanglaEngine_GetCandidates(engine, &list);
        return list;
    }

    TempFolder folder{"candidates"};
};

// ---------------------------------------------------------------------------
// Output assembly.

TEST_F(CandidateGenerationTest, ExactWordsComeFirstWithFallingScores) {
    EnginePtr engine = MakeEngine(LexiconPath(), "", 5);
    const EngineCandidateList list = Generate(engine.get(), "many");
    const std::vector<std::string> exact = SevenExactWords();
    ASSERT_EQ(list.count, 5u);
    const float expectedScores[] = {1.0f, 0.999f, 0.998f, 0.997f, 0.996f};
    for (uint32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.candidates[i].text, exact[i]);
        EXPECT_STREQ(list.candidates[i].roman, "many");
        EXPECT_NEAR(list.candidates[i].score, expectedScores[i], 1e-5);
        EXPECT_EQ(list.candidates[i].sourceFlags, BANGLA_SOURCE_PHONETIC | BANGLA_SOURCE_LEXICON);
        EXPECT_FALSE(list.candidates[i].autoSelect);
    }
    EXPECT_TRUE(IsAllZero(&list.candidates[5], sizeof list.candidates[0] * 11));
}

struct ListShapeCase {
    const char* name;
    int32_t maxCandidates;
    const char* typed;
    std::vector<std::string> expected;
};

std::ostream& operator<<(std::ostream& os, const ListShapeCase& c) { return os << c.name; }

class CandidateListShapeTest : public CandidateGenerationTest,
                               public ::testing::WithParamInterface<ListShapeCase> {};

TEST_P(CandidateListShapeTest, ListsTheExpectedTexts) {
    const ListShapeCase& c = GetParam();
    EnginePtr engine = MakeEngine(LexiconPath(), "", c.maxCandidates);
    EXPECT_THAT(CandidatesFor(engine.get(), c.typed), ::testing::ElementsAreArray(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, CandidateListShapeTest,
    ::testing::Values(
        // The typed text comes last, after the lexicon's word.
        ListShapeCase{"fallback last", 5, "ghor", {kGhor, "ghor"}},
        // ... and is missing when the other entries fill the list.
        ListShapeCase{"fallback dropped when full", 1, "ami", {kAmi}},
        // Two encodings of one word give one slot, the first written.
        ListShapeCase{"canonical duplicates merged", 5, "bari", {kBari, "bari"}},
        ListShapeCase{"no slots", 0, "ami", {}},
        // Hyphenated words are read part by part and joined again.
        ListShapeCase{"hyphenated words", 5, "ghor-bari", {kGhor + "-" + kBari, "ghor-bari"}},
        ListShapeCase{"hyphenated number and word",
                      5,
                      "1970-ghor",
                      {"\xE0\xA7\xA7\xE0\xA7\xAF\xE0\xA7\xAD\xE0\xA7\xA6-" + kGhor, "1970-ghor"}},
        // A case ending after a number cannot be a vowel sign.
        ListShapeCase{"suffix after a number",
                      5,
                      "1970-er",
                      {"\xE0\xA7\xA7\xE0\xA7\xAF\xE0\xA7\xAD\xE0\xA7\xA6-\xE0\xA6\x8F\xE0\xA6\xB0",
                       "1970-er"}}),
    [](const ::testing::TestParamInfo<ListShapeCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

TEST_F(CandidateGenerationTest, EmptyCompositionGivesAnAllZeroList) {
    EnginePtr engine = MakeEngine(LexiconPath(), "");
    const EngineCandidateList list = Generate(engine.get(), "");
    EXPECT_TRUE(IsAllZero(&list, sizeof list));
}

TEST_F(CandidateGenerationTest, LongCompositionFillsInputWithItsFirst255Bytes) {
    EnginePtr engine = MakeEngine(LexiconPath(), "");
    const std::string typed(300, 'a');
    const EngineCandidateList list = Generate(engine.get(), typed);
    EXPECT_EQ(std::string(list.input), typed.substr(0, 255));
    EXPECT_GT(list.count, 0u);
}

// Text a keyboard does not type as Banglish, or bytes that are no UTF-8:
// whatever is offered is a well-formed, non-empty text, with the small
// lexicon and with a big one.
TEST_F(CandidateGenerationTest, OddInputNeverGivesAnEmptyOrMalformedCandidate) {
    const std::string padded = folder.File("big.bin");
    ASSERT_TRUE(WriteLexiconFile(padded, testing_support::PaddedTo(SmallLexicon(), 1001)));
    const struct {
        const char* name;
        std::string typed;
        std::string first;  // empty: no candidate at all
    } cases[] = {
        {"emoji", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"Bengali letter typed directly", kKa, kKa},
        {"letter and an accented letter", "k\xC3\xA9", kKa},
        {"byte order mark bytes", "\xFF\xFE", ""},
        {"overlong NUL", "\xC0\x80", ""},
        {"encoded lone surrogate", "\xED\xA0\x80", ""},
        {"letter and a stray byte", "k\xFF", kKa},
    };
    for (const std::string& lexicon : {LexiconPath(), padded}) {
        EnginePtr engine = MakeEngine(lexicon, "");
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (lexicon == padded ? " (big lexicon)" : ""));
            const EngineCandidateList list = Generate(engine.get(), c.typed);
            if (c.first.empty()) {
                EXPECT_EQ(list.count, 0u);
                continue;
            }
            ASSERT_GT(list.count, 0u);
            EXPECT_EQ(std::string(list.candidates[0].text), c.first);
            for (uint32_t i = 0; i < list.count; ++i) {
                const std::string text = list.candidates[i].text;
                EXPECT_FALSE(text.empty()) << i;
                EXPECT_EQ(UnicodeUtils::Utf32ToUtf8(UnicodeUtils::Utf8ToUtf32(text)), text) << i;
            }
        }
    }
}

TEST_F(CandidateGenerationTest, LongCandidateIsCutAtACharacterBoundary) {
    EnginePtr engine = MakeEngine(LexiconPath(), "");
    const EngineCandidateList list = Generate(engine.get(), "long");
    ASSERT_GT(list.count, 0u);
    const std::string text = list.candidates[0].text;
    EXPECT_EQ(text.size(), 126u);
    EXPECT_EQ(UnicodeUtils::Utf32ToUtf8(UnicodeUtils::Utf8ToUtf32(text)), text);
}

TEST_F(CandidateGenerationTest, StrictModeDropsWeakSpellingsWhenTheLexiconKnowsTheKey) {
    EnginePtr withLexicon = MakeEngine(LexiconPath(), "", 8);
    EXPECT_THAT(CandidatesFor(withLexicon.get(), "ghor"), ElementsAre(kGhor, "ghor"));

    EnginePtr withoutLexicon = MakeEngine("", "", 8);
    const std::vector<std::string> spellings = CandidatesFor(withoutLexicon.get(), "ghor");
    EXPECT_GT(spellings.size(), 2u) << "without a lexicon every spelling is offered";
    EXPECT_EQ(spellings.back(), "ghor");
}

TEST_F(CandidateGenerationTest, AutoCorrectMarksAConfidentExactWord) {
    for (const float threshold : {0.85f, 1.5f}) {
        EngineConfig config;
        BanglaEngine_GetDefaultConfig(&config);
        const std::string lexicon = LexiconPath();
        config.lexiconPath = lexicon.c_str();
        config.autoCorrect = true;
        config.autoCorrectThreshold = threshold;
        EnginePtr engine(BanglaEngine_Create(&config));
        const EngineCandidateList list = Generate(engine.get(), "ami");
        ASSERT_GT(list.count, 0u);
        EXPECT_EQ(list.candidates[0].autoSelect, threshold < 1.0f) << threshold;
        EXPECT_FALSE(list.candidates[list.count - 1].autoSelect);
    }
}

TEST_F(CandidateGenerationTest, SuffixedWordPutsTheMorphologyWordFirst) {
    EnginePtr engine = MakeEngine(LexiconPath(), "");
    const std::vector<std::string> texts = CandidatesFor(engine.get(), "bari-te");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), kBarite);
    for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
        EXPECT_EQ(texts[i].find('-'), std::string::npos) << texts[i];
    }
}

// A classifier or a case ending typed onto a number belongs to the number;
// read letter by letter, "8ti" would give ৮তি.
TEST_F(CandidateGenerationTest, EndingTypedOntoANumberIsItsSuffix) {
    const struct {
        const char* typed;
        std::string first;
    } cases[] = {
        {"8ti", "\u09EE\u099F\u09BF"},                        // ৮টি
        {"12ta", "\u09E7\u09E8\u099F\u09BE"},                 // ১২টা
        {"3ke", "\u09E9\u0995\u09C7"},                        // ৩কে
        {"1970er", "\u09E7\u09EF\u09ED\u09E6-\u098F\u09B0"},  // ১৯৭০-এর
    };
    EnginePtr engine = MakeEngine(LexiconPath(), "");
    for (const auto& c : cases) {
        const std::vector<std::string> texts = CandidatesFor(engine.get(), c.typed);
        ASSERT_FALSE(texts.empty()) << c.typed;
        EXPECT_EQ(texts.front(), c.first) << c.typed;
    }
}

// ---------------------------------------------------------------------------
// Personal words and learned pairs.

TEST_F(CandidateGenerationTest, LearnedWordIsPromotedFromItsSecondUse) {
    EnginePtr engine = MakeEngine(LexiconPath(), DictPath());
    BanglaEngine_LearnWord(engine.get(), "tumi", kAmmi.c_str());
    BanglaEngine_ResetContext(engine.get());
    std::vector<std::string> texts = CandidatesFor(engine.get(), "tumi");
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(texts.front(), kAmmi) << "a word learned once is not promoted";

    BanglaEngine_LearnWord(engine.get(), "tumi", kAmmi.c_str());
    BanglaEngine_ResetContext(engine.get());
    texts = CandidatesFor(engine.get(), "tumi");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), kAmmi);
}

TEST_F(CandidateGenerationTest, PersonalWordsTakePartWithLearningOff) {
    EnginePtr engine = MakeEngine(LexiconPath(), DictPath());
    BanglaEngine_AddUserWord(engine.get(), "tumi", kAmmi.c_str());
    BanglaEngine_AddUserWord(engine.get(), "tumi", kAmmi.c_str());
    BanglaEngine_SetLearningEnabled(engine.get(), false);
    const std::vector<std::string> texts = CandidatesFor(engine.get(), "tumi");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), kAmmi);
}

TEST_F(CandidateGenerationTest, LearnedPairBoostsTheFollowerAfterItsWord) {
    EnginePtr engine = MakeEngine(LexiconPath(), DictPath());
    const EngineCandidateList before = Generate(engine.get(), "tumi");
    ASSERT_GE(before.count, 2u);
    ASSERT_EQ(before.candidates[1].text, kTumio);
    EXPECT_EQ(before.candidates[1].sourceFlags & BANGLA_SOURCE_PERSONAL, 0u);

    for (int i = 0; i < 9; ++i) {
        BanglaEngine_CommitWord(engine.get(), kGhor.c_str());
        BanglaEngine_CommitWord(engine.get(), kTumio.c_str());
    }
    BanglaEngine_CommitWord(engine.get(), kGhor.c_str());
    const EngineCandidateList after = Generate(engine.get(), "tumi");
    ASSERT_GE(after.count, 2u);
    ASSERT_EQ(after.candidates[1].text, kTumio);
    EXPECT_NE(after.candidates[1].sourceFlags & BANGLA_SOURCE_PERSONAL, 0u);
    // A pair counted 9 times boosts by min(1, log10(10) * 0.25 + 0.35) = 0.6,
    // which the ranker weighs by 0.15.
    EXPECT_NEAR(after.candidates[1].score - before.candidates[1].score, 0.15f * 0.6f, 1e-4);
}

// A word that thousands of words have followed: a keystroke weighs only its
// most used followers, so a follower used often still has its boost, and one
// used less than the few dozen most used ones goes without.
struct ManyFollowersCase {
    const char* name;
    uint32_t tumioCount;
    uint32_t othersCount;
    bool boosted;
};

std::ostream& operator<<(std::ostream& os, const ManyFollowersCase& c) { return os << c.name; }

class ManyFollowersTest : public CandidateGenerationTest,
                          public ::testing::WithParamInterface<ManyFollowersCase> {};

TEST_P(ManyFollowersTest, KeystrokeWeighsTheMostUsedFollowers) {
    const ManyFollowersCase& c = GetParam();
    std::string pairs = kGhor + "\t" + kTumio + "\t" + std::to_string(c.tumioCount) + "\n";
    for (uint32_t i = 0; i < 3000; ++i) {
        pairs += kGhor + "\t" + testing_support::FillerWord(i).word + "\t" +
                 std::to_string(c.othersCount) + "\n";
    }
    testing_support::WriteTextFile(folder.File("user_bigrams.tsv"), pairs);
    EnginePtr engine = MakeEngine(LexiconPath(), DictPath());
    BanglaEngine_SetLearningEnabled(engine.get(), false);
    BanglaEngine_CommitWord(engine.get(), kGhor.c_str());
    const EngineCandidateList list = Generate(engine.get(), "tumi");
    ASSERT_GE(list.count, 2u);
    ASSERT_EQ(list.candidates[1].text, kTumio);
    EXPECT_EQ((list.candidates[1].sourceFlags & BANGLA_SOURCE_PERSONAL) != 0, c.boosted);
}

INSTANTIATE_TEST_SUITE_P(Followers, ManyFollowersTest,
                         ::testing::Values(ManyFollowersCase{"most_used_of_thousands", 9, 1, true},
                                           ManyFollowersCase{"least_used_of_thousands", 1, 2,
                                                             false}),
                         [](const auto& info) { return std::string(info.param.name); });

// With a big lexicon, learned words the lexicon contradicts are hidden, but a
// word the user added is the user's own choice and always offered.
struct AgreementCase {
    const char* name;
    uint32_t lexiconSize;
    bool explicitWord;
    bool offered;
};

std::ostream& operator<<(std::ostream& os, const AgreementCase& c) { return os << c.name; }

class PersonalWordAgreementTest : public ::testing::TestWithParam<AgreementCase> {};

TEST_P(PersonalWordAgreementTest, OffersThePersonalWordOrNot) {
    const AgreementCase& c = GetParam();
    TempFolder folder("agreement");
    ASSERT_TRUE(
        WriteLexiconFile(folder.File("lexicon.bin"),
                         testing_support::PaddedTo({Word(kAmi, "ami", 50000)}, c.lexiconSize)));
    // Written as the file an earlier session left, with the repair marker
    // present so that only agreement decides.
    testing_support::WriteTextFile(
        folder.File("user_dict.txt"),
        "ami\t" + kAmmi + "\t5\t100\t" + (c.explicitWord ? "0" : "1") + "\n");
    testing_support::WriteTextFile(folder.File("learned_repaired_v2.flag"), "x\n");
    EnginePtr engine = MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
    const std::vector<std::string> texts = CandidatesFor(engine.get(), "ami");
    if (c.offered) {
        EXPECT_THAT(texts, Contains(kAmmi));
    } else {
        EXPECT_THAT(texts, Not(Contains(kAmmi)));
    }
}

INSTANTIATE_TEST_SUITE_P(Lexicons, PersonalWordAgreementTest,
                         ::testing::Values(AgreementCase{"learned_small_lexicon", 10, false, true},
                                           AgreementCase{"learned_big_lexicon", 1001, false, false},
                                           AgreementCase{"explicit_small_lexicon", 10, true, true},
                                           AgreementCase{"explicit_big_lexicon", 1001, true, true}),
                         [](const ::testing::TestParamInfo<AgreementCase>& info) {
                             return info.param.name;
                         });

// A chat spelling (c for ch) finds the word of its standard key, which the
// parser alone would spell otherwise.
TEST(CandidateGenerationInformalTest, ChatSpellingOffersTheWordOfItsStandardKey) {
    const std::string korchen =
        "\xE0\xA6\x95\xE0\xA6\xB0\xE0\xA6\x9B\xE0\xA7\x87\xE0\xA6\xA8";  // করছেন
    TempFolder folder("informal");
    ASSERT_TRUE(
        WriteLexiconFile(folder.File("lexicon.bin"),
                         testing_support::PaddedTo({Word(korchen, "korchen", 40000)}, 1001)));
    EnginePtr engine = MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
    EXPECT_THAT(CandidatesFor(engine.get(), "korcen"), Contains(korchen));
}

// A spelling that no key holds and that the parser spells otherwise still
// finds the word whose key shares its outline (capshule: kapsul).
TEST(CandidateGenerationSkeletonTest, SpellingOfAKeysOutlineOffersItsWord) {
    const std::string capsule =
        "\xE0\xA6\x95\xE0\xA7\x8D\xE0\xA6\xAF\xE0\xA6\xBE\xE0\xA6\xAA"
        "\xE0\xA6\xB8\xE0\xA7\x81\xE0\xA6\xB2";  // ক্যাপসুল
    TempFolder folder("skeleton");
    ASSERT_TRUE(WriteLexiconFile(folder.File("lexicon.bin"),
                                 testing_support::PaddedTo({Word(capsule, "kapsul", 3000)}, 1001)));
    EnginePtr engine = MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
    EXPECT_THAT(CandidatesFor(engine.get(), "capshule"), Contains(capsule));
    EXPECT_THAT(CandidatesFor(engine.get(), "kapsul"), Contains(capsule));
    // Two letters are too few to outline a word.
    EXPECT_THAT(CandidatesFor(engine.get(), "ka"), Not(Contains(capsule)));
}

// A far more frequent word of the same outline (tomake: তোমাকে) is offered
// too, but behind the word the typed letters spell, and it is never
// committed on its own however confident its score.
TEST(CandidateGenerationSkeletonTest, OutlineWordNeverLeadsOrAutoSelects) {
    const std::string themeke =
        "\xE0\xA6\xA5\xE0\xA6\xBF\xE0\xA6\xAE\xE0\xA6\x95\xE0\xA7\x87";  // থিমকে
    const std::string tomake =
        "\xE0\xA6\xA4\xE0\xA7\x8B\xE0\xA6\xAE\xE0\xA6\xBE\xE0\xA6\x95\xE0\xA7\x87";  // তোমাকে
    TempFolder folder("skeleton_lead");
    ASSERT_TRUE(
        WriteLexiconFile(folder.File("lexicon.bin"),
                         testing_support::PaddedTo(
                             {Word(themeke, "thimke", 20), Word(tomake, "tomake", 900000)}, 1001)));
    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    const std::string lexicon = folder.File("lexicon.bin");
    const std::string dict = folder.File("user_dict.txt");
    config.lexiconPath = lexicon.c_str();
    config.userDictPath = dict.c_str();
    config.autoCorrect = true;
    config.autoCorrectThreshold = 0.3f;
    EnginePtr engine(BanglaEngine_Create(&config));
    const std::vector<std::string> texts = CandidatesFor(engine.get(), "thimke");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), themeke);
    EXPECT_THAT(texts, Contains(tomake));
    // With only the outline to go by, the frequent word leads but waits for the user.
    EngineCandidateList list;
    BanglaEngine_SetComposition(engine.get(), "tamik");
    BanglaEngine_GetCandidates(engine.get(), &list);
    ASSERT_GT(list.count, 0u);
    EXPECT_EQ(list.candidates[0].text, tomake);
    EXPECT_FALSE(list.candidates[0].autoSelect);
}

// Two guesses of one outline keep the order of their nearness to what was
// typed, not of their frequency.
TEST(CandidateGenerationSkeletonTest, NearerOutlineWordComesFirst) {
    const std::string onekta =
        "\xE0\xA6\x85\xE0\xA6\xA8\xE0\xA7\x87\xE0\xA6\x95\xE0\xA6\x9F\xE0\xA6\xBE";  // অনেকটা
    const std::string onektai = onekta + "\xE0\xA6\x87";  // অনেকটাই
    TempFolder folder("skeleton_order");
    ASSERT_TRUE(WriteLexiconFile(
        folder.File("lexicon.bin"),
        testing_support::PaddedTo({Word(onekta, "onekta", 50000), Word(onektai, "onektai", 5000)},
                                  1001)));
    EnginePtr engine = MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
    const std::vector<std::string> texts = CandidatesFor(engine.get(), "anektayi");
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], onektai);
    EXPECT_EQ(texts[1], onekta);
}

// Outline guesses beside the words the letters spell, with the list's slots
// the text input processor offers (3 to 5): the guesses (তোমাকে, তামাক,
// তামাকে: frequent words of the outline t-m-k) never take the place of the
// word the letters spell (থিমকে), however few the slots; when the letters
// spell no word, the parser's best spelling (তামিক, a name the lexicon
// lacks) follows the guesses and keeps a place. The typed text keeps the
// last slot.
const std::string kThimke = "\u09A5\u09BF\u09AE\u0995\u09C7";        // থিমকে
const std::string kTomake = "\u09A4\u09CB\u09AE\u09BE\u0995\u09C7";  // তোমাকে
const std::string kTamak = "\u09A4\u09BE\u09AE\u09BE\u0995";         // তামাক
const std::string kTamake = "\u09A4\u09BE\u09AE\u09BE\u0995\u09C7";  // তামাকে
const std::string kTamik = "\u09A4\u09BE\u09AE\u09BF\u0995";         // তামিক

struct OutlineGuessCase {
    const char* name;
    const char* typed;
    int32_t slots;
    std::vector<std::string> expected;
};

std::ostream& operator<<(std::ostream& os, const OutlineGuessCase& c) { return os << c.name; }

class OutlineGuessTest : public ::testing::TestWithParam<OutlineGuessCase> {};

TEST_P(OutlineGuessTest, GuessesLeaveTheirPlaceToWhatTheLettersSpell) {
    const OutlineGuessCase& c = GetParam();
    TempFolder folder("outline_guess");
    ASSERT_TRUE(WriteLexiconFile(
        folder.File("lexicon.bin"),
        testing_support::PaddedTo({Word(kThimke, "thimke", 20), Word(kTomake, "tomake", 900000),
                                   Word(kTamak, "tamak", 500000), Word(kTamake, "tamake", 400000)},
                                  1001)));
    EnginePtr engine =
        MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"), c.slots);
    EXPECT_EQ(CandidatesFor(engine.get(), c.typed), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, OutlineGuessTest,
    ::testing::Values(
        OutlineGuessCase{"word_first_in_three_slots", "thimke", 3, {kThimke, kTomake, "thimke"}},
        OutlineGuessCase{
            "word_first_in_five_slots", "thimke", 5, {kThimke, kTomake, kTamake, kTamak, "thimke"}},
        OutlineGuessCase{
            "spelling_after_the_guesses", "tamik", 5, {kTamak, kTamake, kTomake, kTamik, "tamik"}},
        OutlineGuessCase{
            "spelling_keeps_a_place_in_three_slots", "tamik", 3, {kTamak, kTamik, "tamik"}}),
    [](const ::testing::TestParamInfo<OutlineGuessCase>& info) { return info.param.name; });

// The word the letters spell, over a lexicon shaped as the lexicon pipeline
// writes it: a word stays under a key that spells it only with other
// inherent vowels when it is 12 times more frequent than the key's own words
// (করা under "kara" would; আর under "aro" does not), and spelling variants
// of one word carry the frequencies the subtitle counts ordered (করবো, করব).
const std::string kTar = "\u09A4\u09BE\u09B0";           // তার
const std::string kTara = "\u09A4\u09BE\u09B0\u09BE";    // তারা
const std::string kAr = "\u0986\u09B0";                  // আর
const std::string kAro = "\u0986\u09B0\u09CB";           // আরো
const std::string kAroO = "\u0986\u09B0\u0993";          // আরও
const std::string kMone = "\u09AE\u09A8\u09C7";          // মনে
const std::string kMane = "\u09AE\u09BE\u09A8\u09C7";    // মানে
const std::string kHol = "\u09B9\u09B2";                 // হল
const std::string kHolo = "\u09B9\u09B2\u09CB";          // হলো
const std::string kKon = "\u0995\u09CB\u09A8";           // কোন
const std::string kKono = "\u0995\u09CB\u09A8\u09CB";    // কোনো
const std::string kKora = "\u0995\u09B0\u09BE";          // করা
const std::string kKara = "\u0995\u09BE\u09B0\u09BE";    // কারা
const std::string kKorbo = "\u0995\u09B0\u09AC\u09CB";   // করবো
const std::string kKorbInherent = "\u0995\u09B0\u09AC";  // করব
const std::string kTa = "\u09A4\u09BE";                  // তা
const std::string kClassifierTa = "\u099F\u09BE";        // টা

std::vector<LexiconEntry> OwnSpellingLexicon() {
    return testing_support::PaddedTo(
        {Word(kTara, "tara", 244245), Word(kTar, "tar", 588844), Word(kAro, "aro", 79440),
         Word(kAroO, "aro", 77629), Word(kAr, "ar", 734990), Word(kMane, "mane", 68783),
         Word(kMone, "mone", 266264), Word(kHolo, "holo", 83196), Word(kHol, "hol", 91201),
         Word(kKono, "kono", 87101), Word(kKon, "kon", 317080), Word(kKara, "kara", 20000),
         Word(kKora, "kora", 490000), Word(kKorbo, "korbo", 20417),
         Word(kKorbInherent, "korbo", 16982), Word(kTa, "ta", 154882, 1),
         Word(kClassifierTa, "ta", 30042)},
        1001);
}

struct OwnSpellingCase {
    const char* typed;
    std::string first;
    std::string alsoOffered;
};

std::ostream& operator<<(std::ostream& os, const OwnSpellingCase& c) { return os << c.typed; }

class OwnSpellingTest : public ::testing::TestWithParam<OwnSpellingCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteLexiconFile(folder.File("lexicon.bin"), OwnSpellingLexicon()));
    }
    EnginePtr Engine() const {
        return MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
    }
    TempFolder folder{"own_spelling"};
};

TEST_P(OwnSpellingTest, TheWordTheLettersSpellComesFirst) {
    const OwnSpellingCase& c = GetParam();
    EnginePtr engine = Engine();
    const std::vector<std::string> texts = CandidatesFor(engine.get(), c.typed);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), c.first);
    EXPECT_THAT(texts, Contains(c.alsoOffered));
}

INSTANTIATE_TEST_SUITE_P(
    Words, OwnSpellingTest,
    ::testing::Values(OwnSpellingCase{"tara", kTara, kTar},   // a shorter word's key
                      OwnSpellingCase{"aro", kAro, kAr},      // another spelling, 9.3x as frequent
                      OwnSpellingCase{"mane", kMane, kMone},  // an inherent vowel typed a
                      OwnSpellingCase{"holo", kHolo, kHol},   // a final o that হল does not say
                      OwnSpellingCase{"kono", kKono, kKon},
                      OwnSpellingCase{"kara", kKora, kKara},  // far more frequent: it leads
                      OwnSpellingCase{"korbo", kKorbo, kKorbInherent},  // variants: conversation
                      OwnSpellingCase{"hol", kHol, kHolo}),
    [](const ::testing::TestParamInfo<OwnSpellingCase>& info) { return info.param.typed; });

// A classifier typed as a word of its own after a number or a word belongs
// to it; at the start of a phrase তা keeps its place.
TEST_F(OwnSpellingTest, ClassifierLeadsAfterANumberOrAWord) {
    EnginePtr engine = Engine();
    EXPECT_EQ(CandidatesFor(engine.get(), "ta").front(), kTa);
    BanglaEngine_CommitWord(engine.get(), "\u09EB");  // ৫
    EXPECT_EQ(CandidatesFor(engine.get(), "ta").front(), kClassifierTa);
    BanglaEngine_ResetContext(engine.get());
    BanglaEngine_CommitWord(engine.get(), kMone.c_str());
    EXPECT_EQ(CandidatesFor(engine.get(), "ta").front(), kClassifierTa);
    BanglaEngine_ResetContext(engine.get());
    EXPECT_EQ(CandidatesFor(engine.get(), "ta").front(), kTa);
}

TEST(CandidateGenerationLearningTest, EnglishCommitsNeverBecomeCandidates) {
    TempFolder folder("english");
    EnginePtr engine = MakeEngine("", folder.File("user_dict.txt"));
    EXPECT_FALSE(BanglaEngine_LearnWord(engine.get(), "hello", "hello"));
    EXPECT_FALSE(BanglaEngine_LearnWord(engine.get(), "hi", "good morning"));
    EXPECT_THAT(CandidatesFor(engine.get(), "hi"), Not(Contains("good morning")));
    EngineUserWord word;
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), "hello", &word, 1), 0);
}

}  // namespace
}  // namespace bangla
