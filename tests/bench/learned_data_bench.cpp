// What the user's learned data costs: a keystroke after a word that many
// learned pairs start, and loading and saving the learned pairs file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "tests/bench/generated_lexicon.h"
#include "tests/bench/keystroke_timing.h"
#include "tests/support/engine_fixtures.h"

namespace bangla {
namespace {

constexpr uint32_t kLexiconEntries = 300000;
const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";  // আমি

const std::vector<LexiconEntry>& Lexicon() {
    static const std::vector<LexiconEntry> s_entries = bench::GeneratedLexicon(kLexiconEntries);
    return s_entries;
}

// A pairs file in which the first `followers` lexicon words each followed
// আমি, with counts falling like real use.
std::string PairsFile(std::size_t followers) {
    std::string text;
    for (std::size_t i = 0; i < followers && i < Lexicon().size(); ++i) {
        text +=
            kAmi + "\t" + Lexicon()[i].word + "\t" + std::to_string(1 + 100000 / (i + 1)) + "\n";
    }
    return text;
}

// One keystroke after আমি, whose learned followers number state.range(0).
void BM_KeystrokeAfterWordWithManyFollowers(benchmark::State& state) {
    TempFolder folder("bench_followers");
    WriteLexiconFile(folder.File("lexicon.bin"), Lexicon());
    testing_support::WriteTextFile(folder.File("user_bigrams.tsv"),
                                   PairsFile(static_cast<std::size_t>(state.range(0))));
    testing_support::EnginePtr engine =
        testing_support::MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
    BanglaEngine_SetLearningEnabled(engine.get(), false);
    const std::vector<std::string> keystrokes = {"k", "ko", "kor", "korb", "korbo"};
    bench::KeystrokeTiming timing;
    std::size_t next = 0;
    for (auto _ : state) {
        BanglaEngine_ResetContext(engine.get());
        BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
        timing.Type(engine.get(), keystrokes[next]);
        next = (next + 1) % keystrokes.size();
    }
    timing.Report(state);
}
BENCHMARK(BM_KeystrokeAfterWordWithManyFollowers)->Arg(100)->Arg(10000)->Arg(100000);

// The predictions shown after আমি is committed.
void BM_PredictionsAfterWordWithManyFollowers(benchmark::State& state) {
    TempFolder folder("bench_predictions");
    testing_support::WriteTextFile(folder.File("user_bigrams.tsv"),
                                   PairsFile(static_cast<std::size_t>(state.range(0))));
    testing_support::EnginePtr engine =
        testing_support::MakeEngine("", folder.File("user_dict.txt"));
    BanglaEngine_SetLearningEnabled(engine.get(), true);
    BanglaEngine_CommitWord(engine.get(), kAmi.c_str());
    EngineCandidateList list;
    for (auto _ : state) {
        BanglaEngine_GetNextWordPredictions(engine.get(), &list);
        benchmark::DoNotOptimize(list.count);
    }
}
BENCHMARK(BM_PredictionsAfterWordWithManyFollowers)->Arg(100)->Arg(10000)->Arg(100000);

// Creating an engine over a pairs file of state.range(0) pairs, learning one
// pair, and saving it again when the engine goes (an engine that learned
// nothing writes nothing).
void BM_LoadAndSavePairs(benchmark::State& state) {
    TempFolder folder("bench_pairs");
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i) {
        const LexiconEntry& first = Lexicon()[static_cast<std::size_t>(i) % Lexicon().size()];
        const LexiconEntry& follower =
            Lexicon()[static_cast<std::size_t>(i * 7 + 1) % Lexicon().size()];
        if (first.word == follower.word) continue;
        text += first.word + "\t" + follower.word + "\t" + std::to_string(1 + i % 50) + "\n";
    }
    const std::string dictPath = folder.File("user_dict.txt");
    for (auto _ : state) {
        state.PauseTiming();
        testing_support::WriteTextFile(folder.File("user_bigrams.tsv"), text);
        state.ResumeTiming();
        testing_support::EnginePtr engine = testing_support::MakeEngine("", dictPath);
        BanglaEngine_CommitWord(engine.get(), Lexicon()[0].word.c_str());
        BanglaEngine_CommitWord(engine.get(), Lexicon()[1].word.c_str());
        engine.reset();
    }
}
BENCHMARK(BM_LoadAndSavePairs)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bangla
