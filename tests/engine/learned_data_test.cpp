// The user's learned data across hostile data folders: files that cannot be
// read, folders where files should be, absurd lines and counts, a repair
// marker that cannot be written, a writers' lock that cannot be had. Whatever
// the folder holds, no word or count the user had is lost across a load and a
// save, and what an engine learned meanwhile reaches the files once the
// folder is sound again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine/bangla_engine.h"
#include "engine/bangla_engine_impl.h"
#include "engine/learned_word_pairs.h"
#include "engine/pending_changes.h"
#include "tests/support/engine_fixtures.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace bangla {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;
using testing_support::CandidatesFor;
using testing_support::EnginePtr;
using testing_support::MakeEngine;
using testing_support::ReadFileBytes;
using testing_support::ReadLines;
using testing_support::Word;
using testing_support::WriteTextFile;

const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";                // আমি
const std::string kTumi = "\xE0\xA6\xA4\xE0\xA7\x81\xE0\xA6\xAE\xE0\xA6\xBF";   // তুমি
const std::string kBhalo = "\xE0\xA6\xAD\xE0\xA6\xBE\xE0\xA6\xB2\xE0\xA7\x8B";  // ভালো
const std::string kKi = "\xE0\xA6\x95\xE0\xA6\xBF";                             // কি
const std::string kKii = "\xE0\xA6\x95\xE0\xA7\x80";                            // কী
const std::string kGhor = "\xE0\xA6\x98\xE0\xA6\xB0";                           // ঘর
const std::string kNotun = "\xE0\xA6\xA8\xE0\xA6\xA4\xE0\xA7\x81\xE0\xA6\xA8";  // নতুন

constexpr const char* kMarkerName = "learned_repaired_v2.flag";

// A data folder as a user of some months has it: a big lexicon (so the
// one-time repair is armed), its marker already written, words and pairs.
class LearnedDataFolder {
public:
    LearnedDataFolder() {
        WriteLexiconFile(LexiconPath(), testing_support::PaddedTo(
                                            {Word(kAmi, "ami", 5000), Word(kTumi, "tumi", 4000),
                                             Word(kKi, "ki", 9000), Word(kKii, "ki", 6000),
                                             Word(kBhalo, "bhalo", 3000)},
                                            1001));
        WriteTextFile(DictPath(), "ami\t" + kAmi + "\t3\t100\t1\n" +        // learned
                                      "tumi\t" + kTumi + "\t2\t100\t0\n" +  // explicit
                                      "ki\t" + kKii +
                                      "\t4\t100\t1\n" +  // learned, not the top word
                                      "ami\t" + kGhor + "\t2\t100\t1\n");  // learned, contradicted
        WriteTextFile(PairsPath(), kAmi + "\t" + kBhalo + "\t7\n" + kTumi + "\t" + kKii + "\t4\n");
        WriteTextFile(MarkerPath(), "learned entries repaired against the fixed lexicon\n");
    }

    std::string DictPath() const { return folder.File("user_dict.txt"); }
    std::string PairsPath() const { return folder.File("user_bigrams.tsv"); }
    std::string LexiconPath() const { return folder.File("lexicon.bin"); }
    std::string MarkerPath() const { return folder.File(kMarkerName); }
    std::string File(const std::string& name) const { return folder.File(name); }

    EnginePtr Engine() const { return MakeEngine(LexiconPath(), DictPath()); }

    // What the user had, plus one session's learning (LearnSomething).
    static std::vector<std::string> ExpectedWordLines() {
        return {"ami\t" + kAmi + "\t4\t1", "tumi\t" + kTumi + "\t2\t0", "ki\t" + kKii + "\t4\t1",
                "ami\t" + kGhor + "\t2\t1", "notun\t" + kNotun + "\t1\t1"};
    }
    static std::vector<std::string> ExpectedPairLines() {
        return {kAmi + "\t" + kBhalo + "\t8", kTumi + "\t" + kKii + "\t4",
                kBhalo + "\t" + kNotun + "\t1"};
    }

    // The word lines without their time column, which holds the clock.
    std::vector<std::string> WordLines() const {
        std::vector<std::string> lines;
        for (const std::string& line : ReadLines(DictPath())) {
            const std::size_t time = line.find('\t', line.find('\t', line.find('\t') + 1) + 1);
            const std::size_t flag = line.rfind('\t');
            lines.push_back(line.substr(0, time) + line.substr(flag));
        }
        return lines;
    }

private:
    TempFolder folder{"learned_data"};
};

// আমি used once more, the pair আমি → ভালো counted, নতুন learned after ভালো.
void LearnSomething(BanglaEngineHandle engine) {
    BanglaEngine_CommitWord(engine, kAmi.c_str());
    BanglaEngine_CommitWord(engine, kBhalo.c_str());
    BanglaEngine_LearnWord(engine, "notun", kNotun.c_str());
}

bool RunningAsRoot() {
#ifdef _WIN32
    return false;
#else
    return geteuid() == 0;
#endif
}

// --- Ways a data folder goes wrong ----------------------------------------------
// Each spoils the folder and returns what heals it again.

using Heal = std::function<void()>;

// A file the engine cannot read: without read permission natively; on
// Windows held open without sharing, as a backup tool or a virus scanner
// sometimes holds it.
Heal MakeUnreadable(const std::string& path) {
#ifdef _WIN32
    const std::wstring widePath = fs::u8path(path).wstring();
    HANDLE held = CreateFileW(widePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    return [held] { CloseHandle(held); };
#else
    chmod(path.c_str(), 0);
    return [path] { chmod(path.c_str(), 0644); };
#endif
}

// A folder where the file should be; the file comes back when healed.
Heal PutFolderInPlaceOf(const std::string& path) {
    const fs::path file = fs::u8path(path);
    const fs::path aside = fs::u8path(path + ".aside");
    fs::rename(file, aside);
    fs::create_directory(file);
    return [file, aside] {
        fs::remove(file);
        fs::rename(aside, file);
    };
}

// A line of 100 MB amid the good lines, as a damaged disk or a hostile
// program might leave.
Heal InsertHugeLine(const std::string& path, const std::string& hugeLine) {
    const std::string bytes = ReadFileBytes(path);
    const std::size_t firstLineEnd = bytes.find('\n') + 1;
    std::FILE* file = qorva::OpenFile(path, "wb");
    EXPECT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, firstLineEnd, file);
    std::fwrite(hugeLine.data(), 1, hugeLine.size(), file);
    std::fwrite(bytes.data() + firstLineEnd - 1, 1, bytes.size() - firstLineEnd + 1, file);
    std::fclose(file);
    return [] {};
}

// The writers' lock that every save takes: natively a lock file, taken here
// by a folder; on Windows a named mutex, held here by another thread, which
// an engine waits for 5 seconds before it goes on without.
Heal TakeTheLock(const LearnedDataFolder& data) {
#ifdef _WIN32
    (void)data;
    auto release = std::make_shared<HANDLE>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto taken = std::make_shared<HANDLE>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto holder = std::make_shared<std::thread>([release, taken] {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\QorvaEngineDataMutex");
        WaitForSingleObject(mutex, INFINITE);
        SetEvent(*taken);
        WaitForSingleObject(*release, INFINITE);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    });
    WaitForSingleObject(*taken, INFINITE);
    return [release, taken, holder] {
        SetEvent(*release);
        holder->join();
        CloseHandle(*release);
        CloseHandle(*taken);
    };
#else
    const fs::path lock = fs::u8path(data.File(".qorva_data.lock"));
    fs::remove(lock);
    fs::create_directory(lock);
    return [lock] { fs::remove(lock); };
#endif
}

struct HostileCase {
    const char* name;
    std::function<Heal(const LearnedDataFolder&)> spoil;
    bool needsReadPermissions;  // meaningless as root, who reads any file
};

std::ostream& operator<<(std::ostream& os, const HostileCase& c) { return os << c.name; }

class HostileDataFolderTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileDataFolderTest, NothingTheUserHadOrLearnedIsLost) {
    const HostileCase& c = GetParam();
    if (c.needsReadPermissions && RunningAsRoot())
        GTEST_SKIP() << "running as root, which reads a file without read permission";
    LearnedDataFolder data;
    {
        Heal heal = c.spoil(data);
        EnginePtr engine = data.Engine();
        ASSERT_NE(engine, nullptr);
        LearnSomething(engine.get());
        engine.reset();  // saves, or keeps what it learned aside
        heal();
    }
    // The next engine that finds the folder sound sees everything and writes it all.
    EnginePtr next = data.Engine();
    next.reset();

    EXPECT_THAT(data.WordLines(),
                UnorderedElementsAreArray(LearnedDataFolder::ExpectedWordLines()));
    EXPECT_THAT(ReadLines(data.PairsPath()),
                UnorderedElementsAreArray(LearnedDataFolder::ExpectedPairLines()));
    EXPECT_THAT(PendingChangesPaths(data.DictPath()), IsEmpty());
    EXPECT_THAT(PendingChangesPaths(data.PairsPath()), IsEmpty());
}

const std::string& HundredMegabyteLine() {
    static const std::string s_line = kAmi + "\t" + std::string(100 * 1024 * 1024, 'x') + "\t1";
    return s_line;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HostileDataFolderTest,
    ::testing::Values(
        HostileCase{"nothing_wrong", [](const LearnedDataFolder&) { return Heal([] {}); }, false},
        HostileCase{"unreadable_pairs_file",
                    [](const LearnedDataFolder& d) { return MakeUnreadable(d.PairsPath()); }, true},
        HostileCase{"unreadable_word_file",
                    [](const LearnedDataFolder& d) { return MakeUnreadable(d.DictPath()); }, true},
        HostileCase{"folder_in_place_of_the_pairs_file",
                    [](const LearnedDataFolder& d) { return PutFolderInPlaceOf(d.PairsPath()); },
                    false},
        HostileCase{"folder_in_place_of_the_word_file",
                    [](const LearnedDataFolder& d) { return PutFolderInPlaceOf(d.DictPath()); },
                    false},
        HostileCase{"hundred_megabyte_lines",
                    [](const LearnedDataFolder& d) {
                        InsertHugeLine(d.DictPath(), "ami\t" + HundredMegabyteLine());
                        return InsertHugeLine(d.PairsPath(), HundredMegabyteLine());
                    },
                    false},
        HostileCase{"folder_in_place_of_the_repair_marker",
                    [](const LearnedDataFolder& d) {
                        const fs::path marker = fs::u8path(d.MarkerPath());
                        fs::remove(marker);
                        fs::create_directory(marker);
                        return Heal([marker] {
                            fs::remove(marker);
                            WriteTextFile(marker.u8string(), "done\n");
                        });
                    },
                    false},
        HostileCase{"writers_lock_unavailable",
                    [](const LearnedDataFolder& d) { return TakeTheLock(d); }, false}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// --- Counts at their largest ------------------------------------------------------

// The add-word dialog's way into user_dict.txt: a line appended for the engines made later, and
// the same word handed to the running engine, which offers it at once and whose save keeps one line
// of it, counted once more, instead of writing the file back without it.
TEST(AppendedUserWordTest, ReachesTheRunningAndLaterEnginesAndOneLineSurvivesTheSave) {
    LearnedDataFolder data;
    EnginePtr running = data.Engine();
    ASSERT_TRUE(
        BanglaEngine_AppendUserWordToFile(data.DictPath().c_str(), "notun", kNotun.c_str(), 100));
    EXPECT_EQ(ReadLines(data.DictPath()).back(), "notun\t" + kNotun + "\t100");
    ASSERT_TRUE(BanglaEngine_AddUserWord(running.get(), "notun", kNotun.c_str()));
    EXPECT_THAT(CandidatesFor(running.get(), "notun"), Contains(kNotun));

    running.reset();
    const std::vector<std::string> lines = data.WordLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "notun\t" + kNotun + "\t101\t0"), 1)
        << ::testing::PrintToString(lines);
    EXPECT_THAT(CandidatesFor(data.Engine().get(), "notun"), Contains(kNotun));
}

// A field with a tab or a line break would shift the line's columns or split it: refused, and the
// file keeps its bytes. A file whose last line has no line end gets the word on a line of its own.
TEST(AppendedUserWordTest, RefusesFieldsTheLineCannotCarryAndNeverJoinsTheLastLine) {
    LearnedDataFolder data;
    WriteTextFile(data.DictPath(), "tumi\t" + kTumi + "\t2");
    const struct {
        const char* roman;
        std::string text;
    } refused[] = {{"", kNotun},
                   {"notun", ""},
                   {"no\ttun", kNotun},
                   {"notun", kNotun + "\t5"},
                   {"notun", kNotun + "\n"},
                   {"no\rtun", kNotun}};
    for (const auto& c : refused) {
        EXPECT_FALSE(BanglaEngine_AppendUserWordToFile(data.DictPath().c_str(), c.roman,
                                                       c.text.c_str(), 100))
            << ::testing::PrintToString(std::string(c.roman) + "|" + c.text);
    }
    EXPECT_FALSE(BanglaEngine_AppendUserWordToFile("", "notun", kNotun.c_str(), 100));
    EXPECT_EQ(ReadFileBytes(data.DictPath()), "tumi\t" + kTumi + "\t2");

    ASSERT_TRUE(
        BanglaEngine_AppendUserWordToFile(data.DictPath().c_str(), "notun", kNotun.c_str(), 100));
    EXPECT_EQ(ReadLines(data.DictPath()),
              (std::vector<std::string>{"tumi\t" + kTumi + "\t2", "notun\t" + kNotun + "\t100"}));
}

TEST(LearnedDataCountsTest, CountsAtTheirLargestStayThereAndKeepTheirWords) {
    LearnedDataFolder data;
    WriteTextFile(data.DictPath(), "ami\t" + kAmi + "\t4294967295\t18446744073709551615\t1\n" +
                                       "tumi\t" + kTumi + "\t99999999999999999999\t5\t0\n");
    WriteTextFile(data.PairsPath(),
                  kAmi + "\t" + kBhalo + "\t4294967295\n" + kTumi + "\t" + kKii + "\t4294967296\n");
    for (int session = 0; session < 2; ++session) {
        EnginePtr engine = data.Engine();
        BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
        BanglaEngine_CommitWord(engine.get(), kBhalo.c_str());
        BanglaEngine_CommitWord(engine.get(), kTumi.c_str());
    }
    EXPECT_THAT(data.WordLines(), UnorderedElementsAre("ami\t" + kAmi + "\t4294967295\t1",
                                                       "tumi\t" + kTumi + "\t4294967295\t0"));
    EXPECT_THAT(ReadLines(data.PairsPath()),
                UnorderedElementsAre(
                    kAmi + "\t" + kBhalo + "\t4294967295", kTumi + "\t" + kKii + "\t4294967295",
                    kBhalo + "\t" + kTumi + "\t2", kAmi + " " + kBhalo + "\t" + kTumi + "\t2"));
}

// Windows' text mode takes the byte 0x1A for the end of a file; the files are
// read in binary mode, so a stray one hides nothing after it.
TEST(LearnedDataCountsTest, StrayEndOfFileByteHidesNothingAfterIt) {
    LearnedDataFolder data;
    WriteTextFile(data.DictPath(),
                  "tumi\t" + kTumi + "\t2\t100\t0\n\x1a\nami\t" + kAmi + "\t3\t100\t1\n", "wb");
    WriteTextFile(data.PairsPath(),
                  kTumi + "\t" + kKii + "\t4\n\x1a\n" + kAmi + "\t" + kBhalo + "\t7\n", "wb");
    EnginePtr engine = data.Engine();
    BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
    BanglaEngine_CommitWord(engine.get(), kBhalo.c_str());
    engine.reset();
    const std::vector<std::string> words = ReadLines(data.DictPath());
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0], "tumi\t" + kTumi + "\t2\t100\t0");
    EXPECT_EQ(words[1], "\x1a") << "kept as it was";
    EXPECT_EQ(words[2].rfind("ami\t" + kAmi + "\t4\t", 0), 0u) << words[2];
    EXPECT_THAT(ReadLines(data.PairsPath()),
                UnorderedElementsAre(kTumi + "\t" + kKii + "\t4", kAmi + "\t" + kBhalo + "\t8"));
}

// --- Side files -------------------------------------------------------------------

// While a file stays unreadable, every engine that ends under the lock folds
// the side files into one, so they never pile up.
TEST(LearnedDataSideFileTest, SideFilesDoNotPileUpWhileAFileCannotBeWritten) {
    LearnedDataFolder data;
    Heal heal = PutFolderInPlaceOf(data.PairsPath());
    for (int session = 0; session < 4; ++session) {
        EnginePtr engine = data.Engine();
        BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
        BanglaEngine_CommitWord(engine.get(), kBhalo.c_str());
    }
    EXPECT_EQ(PendingChangesPaths(data.PairsPath()).size(), 1u);
    const std::vector<std::string> log = ReadLines(data.File("learned_data.log"));
    ASSERT_EQ(log.size(), 4u) << "every save that could not write the file says so";
    EXPECT_NE(log[0].find("user_bigrams.tsv not written"), std::string::npos) << log[0];
    heal();
    data.Engine().reset();
    EXPECT_THAT(ReadLines(data.PairsPath()),
                UnorderedElementsAre(kAmi + "\t" + kBhalo + "\t11", kTumi + "\t" + kKii + "\t4"));
}

// Clearing the learned data while the lock is away clears what was there
// before, not what is counted after.
TEST(LearnedDataSideFileTest, ClearingWaitsInTheSideFileTooInItsOrder) {
    LearnedDataFolder data;
    {
        Heal heal = TakeTheLock(data);
        EnginePtr engine = data.Engine();
        BanglaEngine_ClearLearnedData(engine.get());
        BanglaEngine_CommitWord(engine.get(), kTumi.c_str());
        BanglaEngine_CommitWord(engine.get(), kKii.c_str());
        engine.reset();
        EXPECT_THAT(ReadLines(data.PairsPath()),
                    UnorderedElementsAre(kAmi + "\t" + kBhalo + "\t7", kTumi + "\t" + kKii + "\t4"))
            << "nothing is rewritten without the lock";
        heal();
    }
    data.Engine().reset();
    EXPECT_THAT(ReadLines(data.PairsPath()), UnorderedElementsAre(kTumi + "\t" + kKii + "\t1"));
    EXPECT_THAT(data.WordLines(), UnorderedElementsAre("tumi\t" + kTumi + "\t3\t0"))
        << "explicit words survive clearing the learned ones";
}

// --- The one-time repair ------------------------------------------------------------

// The repair removes only what candidate generation would hide anyway: a
// learned word that the lexicon does not know under its key. A word the
// lexicon knows often enough (কী for "ki", beside the commoner কি) stays.
TEST(LearnedDataRepairTest, KeepsEveryWordTheLexiconAgreesWith) {
    LearnedDataFolder data;
    fs::remove(fs::u8path(data.MarkerPath()));
    const std::string before = ReadFileBytes(data.DictPath());
    data.Engine().reset();
    EXPECT_THAT(data.WordLines(),
                UnorderedElementsAre("ami\t" + kAmi + "\t3\t1", "tumi\t" + kTumi + "\t2\t0",
                                     "ki\t" + kKii + "\t4\t1"));
    EXPECT_EQ(ReadFileBytes(data.DictPath() + ".pre-lexicon-fix.bak"), before);
}

// Without its marker the repair would run at every start; it waits instead
// until it can record itself, and then runs once.
TEST(LearnedDataRepairTest, RunsOnlyOnceItCanRecordItself) {
    LearnedDataFolder data;
    const fs::path marker = fs::u8path(data.MarkerPath());
    fs::remove(marker);
    fs::create_directory(marker);
    data.Engine().reset();
    data.Engine().reset();
    EXPECT_EQ(data.WordLines().size(), 4u) << "nothing removed while the marker cannot be written";
    EXPECT_FALSE(qorva::FileExists(data.DictPath() + ".pre-lexicon-fix.bak"));

    fs::remove(marker);
    data.Engine().reset();
    EXPECT_EQ(data.WordLines().size(), 3u);
    EXPECT_TRUE(qorva::FileExists(data.MarkerPath()));
}

// --- Bounds ---------------------------------------------------------------------------

// A pairs file of more followers of one word than are kept, each used once
// more than the last: the least used go.
TEST(LearnedPairBoundsTest, KeepsTheMostUsedFollowersOfAWord) {
    TempFolder folder("pair_bounds_key");
    const std::size_t extra = 40;
    std::string text;
    const std::size_t followers = LearnedWordPairs::kMaxFollowersPerKey + extra;
    // The least used are also the longest unused: the lowest lines of the file.
    for (std::size_t i = 0; i < followers; ++i) {
        text += kAmi + "\t" + testing_support::FillerWord(static_cast<uint32_t>(i)).word + "\t" +
                std::to_string(followers - i) + "\n";
    }
    WriteTextFile(folder.File("user_bigrams.tsv"), text);
    LearnedWordPairs pairs;
    ASSERT_EQ(pairs.LoadFromFile(folder.File("user_bigrams.tsv")), FileReadResult::kRead);
    const std::vector<LearnedWordPairs::FollowerUse>& byUse = pairs.FollowersByUse(kAmi);
    ASSERT_EQ(byUse.size(), LearnedWordPairs::kMaxFollowersPerKey);
    EXPECT_EQ(byUse.front().count, LearnedWordPairs::kMaxFollowersPerKey + extra);
    EXPECT_EQ(byUse.back().count, extra + 1);
    EXPECT_TRUE(std::is_sorted(byUse.begin(), byUse.end(),
                               [](const auto& a, const auto& b) { return a.count > b.count; }));
}

// Pairs beyond the total bound, counted 1, 2 or 3 times, the most used
// higher up the file: the ones counted once go first, and the file is
// written back within the bound.
TEST(LearnedPairBoundsTest, KeepsTheMostUsedPairsInAll) {
    TempFolder folder("pair_bounds_total");
    const std::string path = folder.File("user_bigrams.tsv");
    const std::size_t pairs = LearnedWordPairs::kMaxPairs + LearnedWordPairs::kMaxPairs / 4;
    std::size_t countedMore = 0;
    std::string byCount[3];
    for (std::size_t i = 0; i < pairs; ++i) {
        const uint32_t key = static_cast<uint32_t>(i / 100);
        const std::size_t count = 1 + i % 3;
        countedMore += count > 1 ? 1 : 0;
        byCount[count - 1] += testing_support::FillerWord(key).word + "\t" +
                              testing_support::FillerWord(100000 + static_cast<uint32_t>(i)).word +
                              "\t" + std::to_string(count) + "\n";
    }
    const std::string text = byCount[2] + byCount[1] + byCount[0];
    WriteTextFile(path, text);
    LearnedWordPairs learned;
    learned.LoadFromFile(path);
    ASSERT_TRUE(learned.SaveMergedToFile(path));
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), LearnedWordPairs::kMaxPairs);
    std::size_t countedOnce = 0;
    for (const std::string& line : lines) countedOnce += line.back() == '1' ? 1 : 0;
    // Every pair counted twice or more stays; pairs counted once fill the rest.
    EXPECT_EQ(countedOnce, LearnedWordPairs::kMaxPairs - countedMore);
}

// A file full to the bound of pairs each used a few times, and a user who
// goes on typing: the pairs of each session survive its save and the next
// session's, so that a full file still learns, and the file stays within
// the bound.
TEST(LearnedPairBoundsTest, AFullFileStillLearnsTheNewPairs) {
    LearnedDataFolder data;
    std::string text;
    for (uint32_t i = 0; i < LearnedWordPairs::kMaxPairs; ++i) {
        text += testing_support::FillerWord(i / 100).word + "\t" +
                testing_support::FillerWord(100000 + i).word + "\t" + std::to_string(2 + i % 5) +
                "\n";
    }
    WriteTextFile(data.PairsPath(), text);
    const auto session = [&data](const std::vector<std::string>& words) {
        EnginePtr engine = data.Engine();
        for (const std::string& word : words) BanglaEngine_CommitWord(engine.get(), word.c_str());
    };
    session({kAmi, kBhalo, kNotun});
    session({kTumi, kGhor});
    const std::vector<std::string> lines = ReadLines(data.PairsPath());
    EXPECT_EQ(lines.size(), LearnedWordPairs::kMaxPairs);
    EXPECT_THAT(lines, Contains(kAmi + "\t" + kBhalo + "\t1"));
    EXPECT_THAT(lines, Contains(kBhalo + "\t" + kNotun + "\t1"));
    EXPECT_THAT(lines, Contains(kAmi + " " + kBhalo + "\t" + kNotun + "\t1"));
    EXPECT_THAT(lines, Contains(kTumi + "\t" + kGhor + "\t1"));
    LearnedWordPairs reloaded;
    ASSERT_EQ(reloaded.LoadFromFile(data.PairsPath()), FileReadResult::kRead);
    ASSERT_NE(reloaded.FollowersOf(kAmi), nullptr);
    EXPECT_EQ(reloaded.FollowersOf(kAmi)->count(kBhalo), 1u);
}

// A word with its full thousand followers, each used more than once: one
// just typed after it survives the save, and the word keeps its bound.
TEST(LearnedPairBoundsTest, AWordWithAllItsFollowersStillLearnsANewOne) {
    LearnedDataFolder data;
    std::string text;
    for (uint32_t i = 0; i < LearnedWordPairs::kMaxFollowersPerKey; ++i) {
        text +=
            kAmi + "\t" + testing_support::FillerWord(i).word + "\t" + std::to_string(3 + i) + "\n";
    }
    WriteTextFile(data.PairsPath(), text);
    {
        EnginePtr engine = data.Engine();
        BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
        BanglaEngine_CommitWord(engine.get(), kGhor.c_str());
    }
    LearnedWordPairs reloaded;
    ASSERT_EQ(reloaded.LoadFromFile(data.PairsPath()), FileReadResult::kRead);
    const LearnedWordPairs::FollowerCounts* followers = reloaded.FollowersOf(kAmi);
    ASSERT_NE(followers, nullptr);
    EXPECT_EQ(followers->size(), LearnedWordPairs::kMaxFollowersPerKey);
    EXPECT_EQ(followers->count(kGhor), 1u);
}

// --- Files left as the user had them ---------------------------------------------------

// What a user may have in user_dict.txt besides the engine's own lines:
// two spellings of one word, a comment, a CR inside a field, bytes that
// are no UTF-8, columns the engine does not know.
std::vector<std::string> UsersOwnLines() {
    return {"ami\t" + kAmi,
            "# words I taught myself",
            "aami\t" + kAmi + "\t3",
            "tumi\r\t" + kTumi + "\t2",
            "bh\xFF"
            "alo\t" +
                kBhalo,
            "ki\t" + kKii + "\t4\t100\t0\tfrom my phone\t2019"};
}

std::string JoinLines(const std::vector<std::string>& lines, const std::string& end = "\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// An engine that learned nothing (a --check run, a second copy that steps
// aside) leaves both files byte for byte as they were, and even with the
// writers' lock away it leaves no side file and no log line.
TEST(LearnedDataUntouchedTest, AnEngineThatLearnedNothingWritesNothing) {
    LearnedDataFolder data;
    WriteTextFile(data.DictPath(), JoinLines(UsersOwnLines()), "wb");
    const std::string words = ReadFileBytes(data.DictPath());
    const std::string pairs = ReadFileBytes(data.PairsPath());
    for (const bool lockAway : {false, true}) {
        Heal heal = lockAway ? TakeTheLock(data) : Heal([] {});
        EnginePtr engine = data.Engine();
        EngineCandidateList list{};
        BanglaEngine_SetComposition(engine.get(), "ami");
        BanglaEngine_GetCandidates(engine.get(), &list);
        engine.reset();
        heal();
        EXPECT_EQ(ReadFileBytes(data.DictPath()), words);
        EXPECT_EQ(ReadFileBytes(data.PairsPath()), pairs);
        EXPECT_THAT(PendingChangesPaths(data.DictPath()), IsEmpty());
        EXPECT_THAT(PendingChangesPaths(data.PairsPath()), IsEmpty());
        EXPECT_FALSE(qorva::FileExists(data.File("learned_data.log")));
    }
}

// A save after learning keeps every line the user had, in its place, and
// both spellings of আমি are offered.
TEST(LearnedDataUntouchedTest, ASaveKeepsEveryLineTheUserHad) {
    LearnedDataFolder data;
    WriteTextFile(data.DictPath(), JoinLines(UsersOwnLines()), "wb");
    EnginePtr engine = data.Engine();
    for (const char* spelling : {"ami", "aami"}) {
        EngineUserWord found[4]{};
        ASSERT_EQ(BanglaEngine_GetUserWords(engine.get(), spelling, found, 4), 1) << spelling;
        EXPECT_EQ(found[0].text, kAmi) << spelling;
    }
    BanglaEngine_LearnWord(engine.get(), "notun", kNotun.c_str());
    engine.reset();
    const std::string kept = JoinLines(UsersOwnLines(), kLineEnd);
    const std::string bytes = ReadFileBytes(data.DictPath());
    ASSERT_GT(bytes.size(), kept.size());
    EXPECT_EQ(bytes.substr(0, kept.size()), kept);
    EXPECT_EQ(bytes.compare(kept.size(), 6 + kNotun.size(), "notun\t" + kNotun), 0) << bytes;
}

// The one line too long to hold is the only one that leaves the file: it
// goes whole to a side file that learned_data.log names.
TEST(LearnedDataUntouchedTest, ALineTooLongToHoldIsSetAsideAndLogged) {
    LearnedDataFolder data;
    const std::string huge = "ami\t" + std::string(PersonalDictionary::kMaxLineBytes * 4, 'x');
    WriteTextFile(data.DictPath(), JoinLines({"tumi\t" + kTumi, huge, "ki\t" + kKii}), "wb");
    EnginePtr engine = data.Engine();
    BanglaEngine_LearnWord(engine.get(), "notun", kNotun.c_str());
    engine.reset();
    const std::vector<std::string> lines = ReadLines(data.DictPath());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "tumi\t" + kTumi);
    EXPECT_EQ(lines[1], "ki\t" + kKii);
    std::vector<std::string> setAside;
    for (const auto& entry : fs::directory_iterator(fs::u8path(FolderOf(data.DictPath())))) {
        const std::string name = entry.path().filename().u8string();
        if (name.rfind("user_dict.txt.overlong-", 0) == 0) setAside.push_back(name);
    }
    ASSERT_EQ(setAside.size(), 1u);
    EXPECT_EQ(ReadFileBytes(data.File(setAside[0])), huge + "\n");
    const std::string log = ReadFileBytes(data.File("learned_data.log"));
    EXPECT_NE(log.find(setAside[0]), std::string::npos) << log;
}

// --- Saving while the engine is in use ---------------------------------------------------

// A saver thread writes what was learned while the typing thread goes on; the
// engine's last save adds what came after, and nothing is counted twice.
TEST(LearnedDataSaverTest, SavesWhileTheEngineIsInUseAndCountsEachUseOnce) {
    LearnedDataFolder data;
    EnginePtr engine = data.Engine();
    const uint64_t before = BanglaEngine_GetLearnedDataChangeCount(engine.get());
    BanglaEngine_LearnWord(engine.get(), "notun", kNotun.c_str());
    BanglaEngine_CommitWord(engine.get(), kBhalo.c_str());
    EXPECT_GT(BanglaEngine_GetLearnedDataChangeCount(engine.get()), before);
    ASSERT_TRUE(BanglaEngine_SaveLearnedChanges(engine.get()));
    EXPECT_THAT(ReadLines(data.PairsPath()), Contains(kNotun + "\t" + kBhalo + "\t1"));
    EXPECT_THAT(data.WordLines(), Contains("notun\t" + kNotun + "\t1\t1"));

    const int rounds = 200;
    std::thread saver([&engine] {
        for (int i = 0; i < 20; ++i) BanglaEngine_SaveLearnedChanges(engine.get());
    });
    for (int i = 0; i < rounds; ++i) {
        BanglaEngine_CommitWord(engine.get(), kNotun.c_str());
        BanglaEngine_CommitWord(engine.get(), kBhalo.c_str());
    }
    saver.join();
    engine.reset();
    EXPECT_THAT(ReadLines(data.PairsPath()),
                Contains(kNotun + "\t" + kBhalo + "\t" + std::to_string(rounds + 1)));
    EXPECT_THAT(data.WordLines(),
                Contains("notun\t" + kNotun + "\t" + std::to_string(rounds + 1) + "\t1"));
}

}  // namespace
}  // namespace bangla
