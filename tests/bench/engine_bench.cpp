// Per-keystroke cost of the engine on a lexicon of realistic size: 300,000
// generated words whose keys share prefixes the way Banglish keys do.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "tests/bench/bench_engine.h"
#include "tests/bench/keystroke_timing.h"

namespace bangla {
namespace {

using bench::BenchEngine;
using bench::Keystrokes;

// One iteration is one keystroke; the counters give the median and the 99th
// percentile of the single keystrokes, which the mean would hide.
void BM_GetCandidatesPerKeystroke(benchmark::State& state) {
    BanglaEngineHandle engine = BenchEngine::Get();
    const std::vector<std::string> keystrokes = Keystrokes();
    bench::KeystrokeTiming timing;
    std::size_t next = 0;
    for (auto _ : state) {
        timing.Type(engine, keystrokes[next]);
        next = (next + 1) % keystrokes.size();
    }
    timing.Report(state);
}
BENCHMARK(BM_GetCandidatesPerKeystroke);

// The text input processor's English target transliterates its whole buffer
// on every keystroke.
void BM_TransliterateSentencePerKeystroke(benchmark::State& state) {
    BanglaEngineHandle engine = BenchEngine::Get();
    const std::string sentence = "ami ajke bidyaloy-e jabo na karon brishti";
    char buffer[512];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            BanglaEngine_TransliterateSentence(engine, sentence.c_str(), buffer, sizeof buffer));
    }
}
BENCHMARK(BM_TransliterateSentencePerKeystroke);

}  // namespace
}  // namespace bangla
