#include "common/learned_data_saver.h"

#include <gtest/gtest.h>

#include <string>

#include "common/engine_host.h"
#include "common/file_path.h"
#include "tests/support/engine_fixtures.h"

namespace qorva {
namespace {

using Clock = SaveSchedule::Clock;
using std::chrono::milliseconds;

const std::string kNotun = "\xE0\xA6\xA8\xE0\xA6\xA4\xE0\xA7\x81\xE0\xA6\xA8";  // নতুন
const std::string kBhalo = "\xE0\xA6\xAD\xE0\xA6\xBE\xE0\xA6\xB2\xE0\xA7\x8B";  // ভালো

// When the schedule writes: each step gives the engine's change count at a time (in ms after the
// start) and whether a save is due then.
TEST(SaveScheduleTest, WritesOnceChangesRestOrHaveWaitedLongEnough) {
    struct Step {
        int atMs;
        uint64_t count;
        bool saves;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const int quiet = static_cast<int>(SaveSchedule::kQuiet.count());
    const int longest = static_cast<int>(SaveSchedule::kLongest.count());
    const Case cases[] = {
        {"nothing changed, nothing written", {{0, 5, false}, {quiet * 10, 5, false}}},
        {"a change rests for the quiet time",
         {{0, 5, false},
          {10, 6, false},
          {10 + quiet - 1, 6, false},
          {10 + quiet, 6, true},
          {10 + quiet * 3, 6, false}}},
        {"each new change starts the quiet time again",
         {{0, 6, false},
          {quiet - 1, 7, false},
          {quiet * 2 - 2, 7, false},
          {quiet * 2 - 1, 7, true}}},
        {"a long run of changes is written all the same",
         {{0, 6, false},
          {longest / 2, 7, false},
          {longest - 1, 8, false},
          {longest, 9, true},
          {longest + 1, 10, false},
          {longest + 1 + quiet, 10, true}}},
    };
    for (const Case& c : cases) {
        SaveSchedule schedule(5);
        const Clock::time_point start{};
        for (const Step& step : c.steps) {
            EXPECT_EQ(schedule.ShouldSave(step.count, start + milliseconds(step.atMs)), step.saves)
                << c.name << " at " << step.atMs << " ms";
        }
    }
}

// The saver of a real engine, ticked by hand: nothing is written while the user types, the file
// holds the word and its pair once typing rests, and an engine that learned nothing writes nothing.
TEST(LearnedDataSaverTest, WritesWhatWasLearnedOnceTypingRests) {
    bangla::TempFolder folder("learned_data_saver");
    const std::string dictPath = folder.File("user_dict.txt");
    // An engine without the host's own saver, so that only this one writes.
    EnginePtr engine = bangla::testing_support::MakeEngine("", dictPath);
    ASSERT_NE(engine, nullptr);
    LearnedDataSaver saver(engine.get());
    const Clock::time_point start{};
    EXPECT_FALSE(saver.Tick(start + SaveSchedule::kQuiet * 2));
    EXPECT_FALSE(FileExists(dictPath));

    BanglaEngine_LearnWord(engine.get(), "notun", kNotun.c_str());
    BanglaEngine_LearnWord(engine.get(), "bhalo", kBhalo.c_str());
    const Clock::time_point typed = start + SaveSchedule::kQuiet * 3;
    EXPECT_FALSE(saver.Tick(typed));
    EXPECT_FALSE(saver.Tick(typed + SaveSchedule::kQuiet / 2));
    EXPECT_FALSE(FileExists(dictPath));
    EXPECT_TRUE(saver.Tick(typed + SaveSchedule::kQuiet));
    const std::string words = bangla::testing_support::ReadFileBytes(dictPath);
    EXPECT_NE(words.find("notun\t" + kNotun + "\t1\t"), std::string::npos) << words;
    EXPECT_EQ(bangla::testing_support::ReadLines(folder.File("user_bigrams.tsv")),
              std::vector<std::string>{kNotun + "\t" + kBhalo + "\t1"});
    EXPECT_FALSE(saver.Tick(typed + SaveSchedule::kQuiet * 5));
}

}  // namespace
}  // namespace qorva
