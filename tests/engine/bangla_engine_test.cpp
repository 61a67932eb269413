#include "engine/bangla_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/bangla_engine_impl.h"
#include "engine/learned_word_pairs.h"
#include "tests/support/engine_fixtures.h"

#include "tests/support/file_size_limit.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace bangla {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using testing_support::EnginePtr;
using testing_support::MakeEngine;
using testing_support::PaddedTo;
using testing_support::ReadFileBytes;
using testing_support::ReadLines;
using testing_support::Word;
using testing_support::WriteTextFile;

const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";                // আমি
const std::string kTumi = "\xE0\xA6\xA4\xE0\xA7\x81\xE0\xA6\xAE\xE0\xA6\xBF";   // তুমি
const std::string kBhalo = "\xE0\xA6\xAD\xE0\xA6\xBE\xE0\xA6\xB2\xE0\xA7\x8B";  // ভালো
const std::string kKa = "\xE0\xA6\x95";                                         // ক

bool IsAllZero(const void* data, std::size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The rules every function follows for a null handle or null arguments.

TEST(EngineInterfaceNullTest, NullHandleDoesNothingAndReturnsNeutralValues) {
    BanglaEngineHandle none = nullptr;
    EngineCandidateList list;
    std::memset(&list, 0x5A, sizeof list);
    EngineUserWord words[2];
    std::memset(words, 0x5A, sizeof words);
    char buffer[8] = "keep";

    BanglaEngine_Destroy(none);
    BanglaEngine_ResetComposition(none);
    BanglaEngine_AppendChar(none, 'a');
    BanglaEngine_DeleteChar(none);
    BanglaEngine_SetComposition(none, "ami");
    BanglaEngine_ResetContext(none);
    BanglaEngine_SetLearningEnabled(none, true);
    BanglaEngine_ClearAllPersonalData(none);
    BanglaEngine_CommitWord(none, kAmi.c_str());
    BanglaEngine_GetCandidates(none, &list);
    BanglaEngine_GetNextWordPredictions(none, &list);

    ASSERT_NE(BanglaEngine_GetComposition(none), nullptr);
    EXPECT_STREQ(BanglaEngine_GetComposition(none), "");
    EXPECT_FALSE(BanglaEngine_IsLearningEnabled(none));
    EXPECT_EQ(BanglaEngine_LexiconEntryCount(none), 0u);
    EXPECT_FALSE(BanglaEngine_AddUserWord(none, "ami", kAmi.c_str()));
    EXPECT_FALSE(BanglaEngine_RemoveUserWord(none, "ami", kAmi.c_str()));
    EXPECT_EQ(BanglaEngine_ClearUserWords(none), 0u);
    EXPECT_EQ(BanglaEngine_ClearLearnedData(none), 0u);
    EXPECT_EQ(BanglaEngine_GetUserWords(none, "ami", words, 2), 0);
    EXPECT_FALSE(BanglaEngine_LearnWord(none, "ami", kAmi.c_str()));
    EXPECT_FALSE(BanglaEngine_TransliterateSentence(none, "ami", buffer, sizeof buffer));

    EXPECT_EQ(list.count, 0x5A5A5A5Au) << "a null handle must leave the caller's list untouched";
    EXPECT_STREQ(buffer, "keep");
}

TEST(EngineInterfaceNullTest, NullArgumentsAreIgnored) {
    EnginePtr engine = MakeEngine("", "");
    ASSERT_NE(engine, nullptr);
    BanglaEngine_GetDefaultConfig(nullptr);
    BanglaEngine_GetCandidates(engine.get(), nullptr);
    BanglaEngine_GetNextWordPredictions(engine.get(), nullptr);
    BanglaEngine_CommitWord(engine.get(), nullptr);
    EXPECT_FALSE(BanglaEngine_AddUserWord(engine.get(), nullptr, kAmi.c_str()));
    EXPECT_FALSE(BanglaEngine_AddUserWord(engine.get(), "ami", nullptr));
    EXPECT_FALSE(BanglaEngine_LearnWord(engine.get(), nullptr, kAmi.c_str()));
    EXPECT_FALSE(BanglaEngine_LearnWord(engine.get(), "ami", nullptr));
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), nullptr, nullptr, 4), 0);
    char buffer[4] = "abc";
    EXPECT_FALSE(BanglaEngine_TransliterateSentence(engine.get(), nullptr, buffer, sizeof buffer));
    EXPECT_FALSE(BanglaEngine_TransliterateSentence(engine.get(), "ami", nullptr, 16));
    EXPECT_FALSE(BanglaEngine_TransliterateSentence(engine.get(), "ami", buffer, 0));
    EXPECT_STREQ(buffer, "abc");
}

TEST(EngineInterfaceConfigTest, DefaultsAreFilledIn) {
    EngineConfig config;
    std::memset(&config, 0x5A, sizeof config);
    BanglaEngine_GetDefaultConfig(&config);
    EXPECT_FALSE(config.autoCorrect);
    EXPECT_FLOAT_EQ(config.autoCorrectThreshold, 0.85f);
    EXPECT_EQ(config.maxCandidates, 5);
    EXPECT_EQ(config.lexiconPath, nullptr);
    EXPECT_EQ(config.userDictPath, nullptr);
}

TEST(EngineInterfaceConfigTest, NullConfigGivesDefaultsAndLearningOn) {
    BanglaEngineHandle engine = BanglaEngine_Create(nullptr);
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(BanglaEngine_IsLearningEnabled(engine));
    BanglaEngine_SetLearningEnabled(engine, false);
    EXPECT_FALSE(BanglaEngine_IsLearningEnabled(engine));
    BanglaEngine_Destroy(engine);
}

TEST(EngineInterfaceConfigTest, ConfigStringsAreCopied) {
    TempFolder folder("engine_config");
    const std::string path = folder.File("user_dict.txt");
    std::vector<char> dictPath(path.c_str(), path.c_str() + path.size() + 1);
    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    config.userDictPath = dictPath.data();
    config.lexiconPath = testing_support::EmptyLexiconPath().c_str();
    BanglaEngineHandle engine = BanglaEngine_Create(&config);
    std::fill(dictPath.begin(), dictPath.end() - 1, 'x');
    BanglaEngine_AddUserWord(engine, "ami", kAmi.c_str());
    BanglaEngine_Destroy(engine);
    EXPECT_THAT(ReadLines(folder.File("user_dict.txt")), ::testing::SizeIs(1));
}

// What a host reports as the lexicon in use: a file that is damaged or holds
// no words leaves the engine with phonetic spellings alone.
TEST(EngineInterfaceConfigTest, LexiconEntryCountSaysWhetherTheLexiconLoaded) {
    TempFolder folder("engine_lexicon_count");
    const std::string words = folder.File("words.bin");
    ASSERT_TRUE(WriteLexiconFile(words, {Word(kAmi, "ami", 900), Word(kTumi, "tumi", 800)}));
    const std::string damaged = folder.File("damaged.bin");
    WriteTextFile(damaged, std::string(4096, 'x'));
    const struct {
        std::string path;
        uint32_t entries;
    } cases[] = {{words, 2}, {damaged, 0}, {testing_support::EmptyLexiconPath(), 0}};
    for (const auto& c : cases) {
        EnginePtr engine = MakeEngine(c.path, "");
        EXPECT_EQ(BanglaEngine_LexiconEntryCount(engine.get()), c.entries) << c.path;
    }
}

// ---------------------------------------------------------------------------
// The composition buffer.

TEST(EngineCompositionTest, EditsTheBuffer) {
    EnginePtr engine = MakeEngine("", "");
    BanglaEngineHandle e = engine.get();
    BanglaEngine_DeleteChar(e);
    EXPECT_STREQ(BanglaEngine_GetComposition(e), "");
    BanglaEngine_AppendChar(e, 'a');
    BanglaEngine_AppendChar(e, 'm');
    EXPECT_STREQ(BanglaEngine_GetComposition(e), "am");
    BanglaEngine_DeleteChar(e);
    EXPECT_STREQ(BanglaEngine_GetComposition(e), "a");
    BanglaEngine_SetComposition(e, "bhalo");
    EXPECT_STREQ(BanglaEngine_GetComposition(e), "bhalo");
    BanglaEngine_SetComposition(e, nullptr);
    EXPECT_STREQ(BanglaEngine_GetComposition(e), "");
    BanglaEngine_SetComposition(e, "ami");
    BanglaEngine_ResetComposition(e);
    EXPECT_STREQ(BanglaEngine_GetComposition(e), "");
}

TEST(EngineCompositionTest, DeleteCharRemovesOneByteOfABengaliCharacter) {
    EnginePtr engine = MakeEngine("", "");
    BanglaEngine_SetComposition(engine.get(), kKa.c_str());
    BanglaEngine_DeleteChar(engine.get());
    EXPECT_EQ(std::string(BanglaEngine_GetComposition(engine.get())), kKa.substr(0, 2));
}

TEST(EngineCompositionTest, ResetContextEmptiesTheComposition) {
    EnginePtr engine = MakeEngine("", "");
    BanglaEngine_SetComposition(engine.get(), "ami");
    BanglaEngine_ResetContext(engine.get());
    EXPECT_STREQ(BanglaEngine_GetComposition(engine.get()), "");
}

// ---------------------------------------------------------------------------
// Personal words through the interface.

class EngineUserWordsTest : public ::testing::Test {
protected:
    TempFolder folder{"engine_user_words"};
    EnginePtr engine = MakeEngine("", folder.File("user_dict.txt"));
};

TEST_F(EngineUserWordsTest, AddRefusesEmptyKeyOrText) {
    EXPECT_FALSE(BanglaEngine_AddUserWord(engine.get(), "", kAmi.c_str()));
    EXPECT_FALSE(BanglaEngine_AddUserWord(engine.get(), "ami", ""));
    EXPECT_TRUE(BanglaEngine_AddUserWord(engine.get(), "ami", kAmi.c_str()));
}

TEST_F(EngineUserWordsTest, GetUserWordsSortsByFrequencyAndHonoursCapacity) {
    BanglaEngine_AddUserWord(engine.get(), "x", kAmi.c_str());
    BanglaEngine_AddUserWord(engine.get(), "x", kTumi.c_str());
    BanglaEngine_AddUserWord(engine.get(), "x", kTumi.c_str());
    BanglaEngine_AddUserWord(engine.get(), "x", kBhalo.c_str());
    BanglaEngine_AddUserWord(engine.get(), "x", kBhalo.c_str());
    BanglaEngine_AddUserWord(engine.get(), "x", kBhalo.c_str());

    EngineUserWord words[4];
    std::memset(words, 0x5A, sizeof words);
    ASSERT_EQ(BanglaEngine_GetUserWords(engine.get(), "x", words, 1), 1);
    EXPECT_EQ(words[0].text, kBhalo);
    EXPECT_EQ(words[0].frequency, 3u);
    EXPECT_EQ(words[1].frequency, 0x5A5A5A5Au) << "records past the result stay untouched";

    ASSERT_EQ(BanglaEngine_GetUserWords(engine.get(), "x", words, 4), 3);
    EXPECT_EQ(words[1].text, kTumi);
    EXPECT_EQ(words[2].text, kAmi);
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), "x", words, 0), 0);
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), "x", words, -3), 0);
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), "unknown", words, 4), 0);
}

TEST_F(EngineUserWordsTest, LongWordIsCutAtACharacterBoundary) {
    std::string longWord;
    for (int i = 0; i < 50; ++i) longWord += kKa;  // 150 bytes
    ASSERT_TRUE(BanglaEngine_AddUserWord(engine.get(), "long", longWord.c_str()));
    EngineUserWord word;
    ASSERT_EQ(BanglaEngine_GetUserWords(engine.get(), "long", &word, 1), 1);
    EXPECT_EQ(std::string(word.text), longWord.substr(0, 126));
    EXPECT_TRUE(IsAllZero(word.text + 126, 2));
}

TEST_F(EngineUserWordsTest, ClearLearnedDataKeepsExplicitWordsAndDropsPairs) {
    BanglaEngine_AddUserWord(engine.get(), "ami", kAmi.c_str());
    BanglaEngine_LearnWord(engine.get(), "tumi", kTumi.c_str());
    BanglaEngine_LearnWord(engine.get(), "bhalo", kBhalo.c_str());

    EXPECT_EQ(BanglaEngine_ClearLearnedData(engine.get()), 2u);
    EngineUserWord word;
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), "ami", &word, 1), 1);
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), "tumi", &word, 1), 0);
    EXPECT_TRUE(reinterpret_cast<BanglaEngine*>(engine.get())->userBigrams.Empty());
}

TEST_F(EngineUserWordsTest, ClearUserWordsKeepsLearnedWordsAndPairs) {
    BanglaEngine_AddUserWord(engine.get(), "ami", kAmi.c_str());
    BanglaEngine_LearnWord(engine.get(), "tumi", kTumi.c_str());
    BanglaEngine_LearnWord(engine.get(), "bhalo", kBhalo.c_str());

    EXPECT_EQ(BanglaEngine_ClearUserWords(engine.get()), 1u);
    EngineUserWord word;
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), "ami", &word, 1), 0);
    EXPECT_EQ(BanglaEngine_GetUserWords(engine.get(), "tumi", &word, 1), 1);
    EXPECT_NE(reinterpret_cast<BanglaEngine*>(engine.get())->userBigrams.FollowersOf(kTumi),
              nullptr);
}

TEST_F(EngineUserWordsTest, ClearAllPersonalDataEmptiesEverything) {
    BanglaEngine_AddUserWord(engine.get(), "ami", kAmi.c_str());
    BanglaEngine_LearnWord(engine.get(), "tumi", kTumi.c_str());
    BanglaEngine_LearnWord(engine.get(), "bhalo", kBhalo.c_str());
    BanglaEngine_ClearAllPersonalData(engine.get());
    engine.reset();
    EXPECT_THAT(ReadLines(folder.File("user_dict.txt")), IsEmpty());
    EXPECT_THAT(ReadLines(folder.File("user_bigrams.tsv")), IsEmpty());
}

// ---------------------------------------------------------------------------
// Where the learned-data files live.

struct FolderCase {
    const char* path;
    const char* folder;
};

class EngineFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(EngineFolderTest, FolderEndsAtTheLastSeparator) {
    EXPECT_EQ(FolderOf(GetParam().path), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, EngineFolderTest,
    ::testing::Values(FolderCase{"C:\\Users\\a\\AppData\\Roaming\\Pelorin\\user_dict.txt",
                                 "C:\\Users\\a\\AppData\\Roaming\\Pelorin\\"},
                      FolderCase{"/home/a/data/user_dict.txt", "/home/a/data/"},
                      FolderCase{"C:\\mixed/dir\\user_dict.txt", "C:\\mixed/dir\\"},
                      FolderCase{"user_dict.txt", ""}));

// An engine that learned nothing writes nothing: not even an empty file appears.
TEST(EngineFilesTest, NothingLearnedWritesNoFile) {
    TempFolder folder("engine_empty_pairs");
    MakeEngine("", folder.File("user_dict.txt")).reset();
    EXPECT_FALSE(qorva::FileExists(folder.File("user_bigrams.tsv")));
    EXPECT_FALSE(qorva::FileExists(folder.File("user_dict.txt")));
}

// ---------------------------------------------------------------------------
// Lines of user_bigrams.tsv.

struct PairLineCase {
    const char* name;
    std::vector<std::string> lines;
    std::string first;
    std::string follower;
    uint32_t count;  // 0: the pair must be absent
};

std::ostream& operator<<(std::ostream& os, const PairLineCase& c) { return os << c.name; }

class LearnedPairLineTest : public ::testing::TestWithParam<PairLineCase> {};

TEST_P(LearnedPairLineTest, ReadsOrSkipsTheLine) {
    const PairLineCase& c = GetParam();
    LearnedWordPairs::PairCounts counts;
    for (const std::string& line : c.lines) LearnedWordPairs::ParseLine(line, counts);
    const auto first = counts.find(c.first);
    const bool present = first != counts.end() && first->second.count(c.follower) != 0;
    if (c.count == 0) {
        EXPECT_FALSE(present);
    } else {
        ASSERT_TRUE(present);
        EXPECT_EQ(first->second.at(c.follower), c.count);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LearnedPairLineTest,
    ::testing::Values(
        PairLineCase{"plain", {kAmi + "\t" + kTumi + "\t4"}, kAmi, kTumi, 4},
        PairLineCase{"repeated lines add up",
                     {kAmi + "\t" + kTumi + "\t2", kAmi + "\t" + kTumi + "\t3"},
                     kAmi,
                     kTumi,
                     5},
        PairLineCase{
            "blanks before the count", {kAmi + "\t" + kTumi + "\t \t7 trailing"}, kAmi, kTumi, 7},
        PairLineCase{"two-word key kept whole",
                     {kAmi + " " + kBhalo + "\t" + kTumi + "\t1"},
                     kAmi + " " + kBhalo,
                     kTumi,
                     1},
        PairLineCase{"equal words dropped", {kAmi + "\t" + kAmi + "\t3"}, kAmi, kAmi, 0},
        PairLineCase{"zero count dropped", {kAmi + "\t" + kTumi + "\t0"}, kAmi, kTumi, 0},
        PairLineCase{"two fields dropped", {kAmi + "\t" + kTumi}, kAmi, kTumi, 0},
        PairLineCase{"no number dropped", {kAmi + "\t" + kTumi + "\tmany"}, kAmi, kTumi, 0},
        PairLineCase{"count beyond 32 bits held at the largest",
                     {kAmi + "\t" + kTumi + "\t99999999999999999999999"},
                     kAmi,
                     kTumi,
                     4294967295u},
        PairLineCase{"repeated lines stop at the largest count",
                     {kAmi + "\t" + kTumi + "\t4294967295", kAmi + "\t" + kTumi + "\t7"},
                     kAmi,
                     kTumi,
                     4294967295u},
        PairLineCase{"over-long follower dropped",
                     {kAmi + "\t" + std::string(LearnedWordPairs::kMaxWordBytes + 1, 'x') + "\t1"},
                     kAmi,
                     std::string(LearnedWordPairs::kMaxWordBytes + 1, 'x'),
                     0},
        PairLineCase{"negative count dropped", {kAmi + "\t" + kTumi + "\t-1"}, kAmi, kTumi, 0},
        PairLineCase{"tab as last character dropped", {kAmi + "\t"}, kAmi, "", 0},
        PairLineCase{"empty first word dropped", {"\t" + kTumi + "\t3"}, "", kTumi, 0}));

// ---------------------------------------------------------------------------
// The one-time repair of learned words against a big lexicon.

class EngineRepairTest : public ::testing::Test {
protected:
    // "ami" knows আমি as its most frequent word; "tumi" only তুমি.
    std::vector<LexiconEntry> Entries(uint32_t total) const {
        return testing_support::PaddedTo({Word(kAmi, "ami", 5000), Word(kTumi, "tumi", 4000)},
                                         total);
    }

    void WriteDictionary() const {
        WriteTextFile(DictPath(), "ami\t" + kBhalo + "\t3\t100\t1\n" +    // learned misspelling
                                      "tumi\t" + kKa + "\t2\t100\t0\n" +  // explicit choice
                                      "zzz\t" + kTumi +
                                      "\t2\t100\t1\n");  // key unknown to the lexicon
    }

    std::string DictPath() const { return folder.File("user_dict.txt"); }
    std::string LexiconPath() const { return folder.File("lexicon.bin"); }

    std::vector<std::string> StoredTexts() const {
        std::vector<std::string> texts;
        for (const std::string& line : ReadLines(DictPath())) {
            const std::size_t tab = line.find('\t');
            texts.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
        }
        return texts;
    }

    TempFolder folder{"engine_repair"};
};

TEST_F(EngineRepairTest, SmallLexiconRunsNoRepair) {
    ASSERT_TRUE(WriteLexiconFile(LexiconPath(), Entries(1000)));
    WriteDictionary();
    MakeEngine(LexiconPath(), DictPath()).reset();
    EXPECT_FALSE(qorva::FileExists(folder.File("learned_repaired_v2.flag")));
    EXPECT_THAT(StoredTexts(), UnorderedElementsAre(kBhalo, kKa, kTumi));
}

TEST_F(EngineRepairTest, BigLexiconRemovesLearnedMisspellingsOnceWithBackup) {
    ASSERT_TRUE(WriteLexiconFile(LexiconPath(), Entries(1001)));
    WriteDictionary();
    const std::string before = ReadFileBytes(DictPath());

    MakeEngine(LexiconPath(), DictPath()).reset();
    EXPECT_THAT(ReadLines(folder.File("learned_repaired_v2.flag")),
                ElementsAre("learned entries repaired against the fixed lexicon"));
    EXPECT_EQ(ReadFileBytes(DictPath() + ".pre-lexicon-fix.bak"), before);
    EXPECT_THAT(StoredTexts(), UnorderedElementsAre(kKa, kTumi))
        << "the explicit word and the word of an unknown key stay";

    // With the marker present nothing is removed again.
    WriteTextFile(DictPath(), "ami\t" + kBhalo + "\t3\t100\t1\n", "a");
    MakeEngine(LexiconPath(), DictPath()).reset();
    EXPECT_THAT(StoredTexts(), UnorderedElementsAre(kKa, kTumi, kBhalo));
}

TEST_F(EngineRepairTest, NothingToRemoveWritesMarkerButNoBackup) {
    ASSERT_TRUE(WriteLexiconFile(LexiconPath(), Entries(1001)));
    WriteTextFile(DictPath(), "ami\t" + kAmi + "\t3\t100\t1\n");
    MakeEngine(LexiconPath(), DictPath()).reset();
    EXPECT_TRUE(qorva::FileExists(folder.File("learned_repaired_v2.flag")));
    EXPECT_FALSE(qorva::FileExists(DictPath() + ".pre-lexicon-fix.bak"));
    EXPECT_THAT(StoredTexts(), ElementsAre(kAmi));
}

// ---------------------------------------------------------------------------
// Several writers of one data folder.

TEST(EngineSharedFilesTest, TwoEnginesAndAnAppendingWriterKeepEveryWordAndPair) {
    TempFolder folder("engine_shared");
    const std::string dictPath = folder.File("user_dict.txt");
    const std::string pairsPath = folder.File("user_bigrams.tsv");
    WriteTextFile(pairsPath, kKa + "\t" + kAmi + "\t2\n");

    EnginePtr first = MakeEngine("", dictPath);
    EnginePtr second = MakeEngine("", dictPath);
    BanglaEngine_LearnWord(first.get(), "ami", kAmi.c_str());
    BanglaEngine_LearnWord(first.get(), "tumi", kTumi.c_str());  // pair আমি → তুমি
    BanglaEngine_LearnWord(second.get(), "ka", kKa.c_str());
    BanglaEngine_LearnWord(second.get(), "ami",
                           kAmi.c_str());  // pair ক → আমি, on top of the file's 2
    WriteTextFile(dictPath, "bhalo\t" + kBhalo + "\t100\n", "a");  // the add-word dialog appends

    first.reset();
    second.reset();

    std::vector<std::string> words;
    for (const std::string& line : ReadLines(dictPath))
        words.push_back(line.substr(0, line.find('\t')));
    EXPECT_THAT(words, UnorderedElementsAre("ami", "tumi", "ka", "bhalo"));
    EXPECT_THAT(ReadLines(pairsPath),
                UnorderedElementsAre(kAmi + "\t" + kTumi + "\t1", kKa + "\t" + kAmi + "\t3"));
}

// Engines of several applications save at the same moment; the saves take
// turns, so none overwrites what another just merged.
TEST(EngineSharedFilesTest, ConcurrentSavesKeepEveryEnginesWords) {
    TempFolder folder("engine_concurrent");
    const std::string dictPath = folder.File("user_dict.txt");
    constexpr int kEngines = 6;
    std::vector<EnginePtr> engines;
    for (int i = 0; i < kEngines; ++i) {
        engines.push_back(MakeEngine("", dictPath));
        const std::string first = testing_support::FillerWord(2 * i).word;
        const std::string second = testing_support::FillerWord(2 * i + 1).word;
        BanglaEngine_LearnWord(engines.back().get(), ("a" + std::to_string(i)).c_str(),
                               first.c_str());
        BanglaEngine_LearnWord(engines.back().get(), ("b" + std::to_string(i)).c_str(),
                               second.c_str());
    }
    std::vector<std::thread> savers;
    for (EnginePtr& engine : engines) savers.emplace_back([&engine] { engine.reset(); });
    for (std::thread& saver : savers) saver.join();

    EXPECT_EQ(ReadLines(dictPath).size(), 2u * kEngines);
    EXPECT_EQ(ReadLines(folder.File("user_bigrams.tsv")).size(),
              static_cast<std::size_t>(kEngines));
}

TEST(EngineSharedFilesTest, ClearedPairsStayClearedButLaterOnesAreKept) {
    TempFolder folder("engine_shared_clear");
    const std::string pairsPath = folder.File("user_bigrams.tsv");
    WriteTextFile(pairsPath, kKa + "\t" + kAmi + "\t2\n");
    EnginePtr engine = MakeEngine("", folder.File("user_dict.txt"));
    BanglaEngine_ClearLearnedData(engine.get());
    BanglaEngine_LearnWord(engine.get(), "ami", kAmi.c_str());
    BanglaEngine_LearnWord(engine.get(), "tumi", kTumi.c_str());
    engine.reset();
    EXPECT_THAT(ReadLines(pairsPath), ElementsAre(kAmi + "\t" + kTumi + "\t1"));
}

// A write that fails (a full disk natively; on Windows a file that another
// program holds open without letting it be replaced) leaves the previous file
// as it was, and what the engine learned reaches it at the next save.
TEST(EngineSharedFilesTest, FailedWriteLeavesThePreviousFileIntact) {
    TempFolder folder("engine_failed_write");
    const std::string pairsPath = folder.File("user_bigrams.tsv");
    const std::string previous = kKa + "\t" + kAmi + "\t2\n";
    WriteTextFile(pairsPath, previous);
    const std::string previousBytes = ReadFileBytes(pairsPath);

    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    const std::string dictPath = folder.File("user_dict.txt");
    config.userDictPath = dictPath.c_str();
    config.lexiconPath = testing_support::EmptyLexiconPath().c_str();
    BanglaEngineHandle handle = BanglaEngine_Create(&config);
    BanglaEngine_LearnWord(handle, "ami", kAmi.c_str());
    BanglaEngine_LearnWord(handle, "tumi", kTumi.c_str());

#ifdef _WIN32
    HANDLE held = CreateFileW(std::filesystem::u8path(pairsPath).wstring().c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(reinterpret_cast<BanglaEngine*>(handle)->SaveLearnedData());
    CloseHandle(held);
#else
    {
        const qorva_test::FileSizeLimit fullDisk(previousBytes.size() + 4);  // less than needed
        EXPECT_FALSE(reinterpret_cast<BanglaEngine*>(handle)->SaveLearnedData());
    }
#endif
    EXPECT_EQ(ReadFileBytes(pairsPath), previousBytes);

    BanglaEngine_Destroy(handle);
    EXPECT_THAT(ReadLines(pairsPath),
                UnorderedElementsAre(kKa + "\t" + kAmi + "\t2", kAmi + "\t" + kTumi + "\t1"));
    EXPECT_EQ(ReadLines(dictPath).size(), 2u);
}

// ---------------------------------------------------------------------------
// maxCandidates outside the record's 16 slots.

struct MaxCandidatesCase {
    int32_t configured;
    uint32_t expectedCount;
};

class EngineMaxCandidatesTest : public ::testing::TestWithParam<MaxCandidatesCase> {};

// Twenty personal words under one key give more candidates than slots.
TEST_P(EngineMaxCandidatesTest, NeverWritesPastTheSlots) {
    EnginePtr engine = MakeEngine("", "", GetParam().configured);
    for (uint32_t i = 0; i < 20; ++i) {
        BanglaEngine_AddUserWord(engine.get(), "many", testing_support::FillerWord(i).word.c_str());
    }
    BanglaEngine_SetComposition(engine.get(), "many");
    EngineCandidateList list;
    BanglaEngine_GetCandidates(engine.get(), &list);
    EXPECT_EQ(list.count, GetParam().expectedCount);
    EXPECT_STREQ(list.input, "many");

    BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
    BanglaEngine_GetNextWordPredictions(engine.get(), &list);
    EXPECT_LE(list.count, GetParam().expectedCount);
    EXPECT_STREQ(list.input, "");
}

INSTANTIATE_TEST_SUITE_P(Settings, EngineMaxCandidatesTest,
                         ::testing::Values(MaxCandidatesCase{-1, 0}, MaxCandidatesCase{0, 0},
                                           MaxCandidatesCase{3, 3}, MaxCandidatesCase{16, 16},
                                           MaxCandidatesCase{17, 16}, MaxCandidatesCase{1000, 16}));

}  // namespace
}  // namespace bangla
