// Per-keystroke cost of the engine on a lexicon of realistic size: 300,000
// generated words whose keys share prefixes the way Banglish keys do.
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

// One engine over the generated lexicon, shared by every benchmark.
class BenchEngine {
public:
    static BanglaEngineHandle Get() {
        static BenchEngine instance;
        return instance.engine.get();
    }

private:
    BenchEngine() {
        WriteLexiconFile(folder.File("lexicon.bin"), bench::GeneratedLexicon(kLexiconEntries));
        engine =
            testing_support::MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
        BanglaEngine_SetLearningEnabled(engine.get(), false);
    }

    TempFolder folder{"bench"};
    testing_support::EnginePtr engine;
};

// Every prefix of these words, as typed key by key.
std::vector<std::string> Keystrokes() {
    const char* const words[] = {"ami",     "bhalo",      "kemon",      "achi",
                                 "korbo",   "bangladesh", "poriborton", "dhonnobad",
                                 "bari-te", "shomoy",     "bidyaloy",   "kothay"};
    std::vector<std::string> typed;
    for (const std::string word : words) {
        for (std::size_t keys = 1; keys <= word.size(); ++keys)
            typed.push_back(word.substr(0, keys));
    }
    return typed;
}

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
