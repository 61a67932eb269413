// Per-keystroke cost of the engine: ordinary words on a lexicon of realistic
// size (300,000 generated words whose keys share prefixes the way Banglish
// keys do), and hostile input on the shipped lexicon.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
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

// ---------------------------------------------------------------------------
// The slowest keystroke on hostile input, typed key by key on the shipped
// lexicon: letters that cost something in every reading, repeated; capitals;
// digits and punctuation; a pasted web address. Each is reported beside an
// ordinary keystroke's 99th percentile measured in the same run, so the ratio
// holds on any machine, and with what typing it added to the process's peak
// memory. Run on one core of an idle machine (taskset -c N), Release build.

constexpr int kOrdinaryRounds = 20;

std::string Repeat(const std::string& part, std::size_t letters) {
    std::string repeated;
    while (repeated.size() + part.size() <= letters) repeated += part;
    return repeated;
}

class ShippedLexiconEngine {
public:
    static BanglaEngineHandle Get() {
        static ShippedLexiconEngine instance;
        return instance.engine.get();
    }

private:
    ShippedLexiconEngine() {
        engine = testing_support::MakeEngine(QORVA_LEXICON_BIN, folder.File("user_dict.txt"));
        BanglaEngine_SetLearningEnabled(engine.get(), false);
    }

    TempFolder folder{"budget_bench"};
    testing_support::EnginePtr engine;
};

// Every prefix of everyday words, each typed kOrdinaryRounds times: the
// yardstick the hostile keystrokes are compared with.
double OrdinaryKeystrokeP99() {
    static const double s_p99 = [] {
        const char* const words[] = {
            "ami",        "tumi",       "bhalo",           "kemon",   "achi",     "korbo",
            "bangladesh", "poriborton", "dhonnobad",       "bari-te", "shomoy",   "bidyaloy",
            "kothay",     "ekhon",      "shuru",           "manush",  "porikkha", "bishshobiddaloy",
            "shadhinota", "bhalobashi", "ontorbortikalin", "kichu",   "jonno",    "hobe"};
        BanglaEngineHandle engine = ShippedLexiconEngine::Get();
        bench::KeystrokeTiming timing;
        for (int round = 0; round < kOrdinaryRounds; ++round) {
            for (const std::string word : words) {
                for (std::size_t keys = 1; keys <= word.size(); ++keys)
                    timing.Type(engine, word.substr(0, keys));
            }
        }
        return timing.Percentile(0.99);
    }();
    return s_p99;
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One iteration types the input key by key. The slowest keystroke is the
// slowest prefix's median over the iterations, so one preempted keystroke
// does not stand for the input.
void BM_HostileTyping(benchmark::State& state, const std::string& input) {
    BanglaEngineHandle engine = ShippedLexiconEngine::Get();
    const double ordinaryP99 = OrdinaryKeystrokeP99();
    std::vector<bench::KeystrokeTiming> byPrefix(input.size());
    const long peakBefore = PeakKilobytes();
    for (auto _ : state) {
        for (std::size_t keys = 1; keys <= input.size(); ++keys)
            byPrefix[keys - 1].Type(engine, input.substr(0, keys));
    }
    double slowest = 0;
    for (bench::KeystrokeTiming& timing : byPrefix)
        slowest = std::max(slowest, timing.Percentile(0.5));
    state.counters["slowest_us"] = slowest;
    state.counters["ordinary_p99_us"] = ordinaryP99;
    state.counters["slowest_per_ordinary_p99"] = ordinaryP99 > 0 ? slowest / ordinaryP99 : 0;
    state.counters["peak_added_mb"] = static_cast<double>(PeakKilobytes() - peakBefore) / 1024.0;
}

BENCHMARK_CAPTURE(BM_HostileTyping, kw_x32, Repeat("kw", 64));
BENCHMARK_CAPTURE(BM_HostileTyping, Kw_x32, Repeat("Kw", 64));
BENCHMARK_CAPTURE(BM_HostileTyping, thh_x21, Repeat("thh", 64));
BENCHMARK_CAPTURE(BM_HostileTyping, xa_x32, Repeat("xa", 64));
BENCHMARK_CAPTURE(BM_HostileTyping, w_x64, Repeat("w", 64));
BENCHMARK_CAPTURE(BM_HostileTyping, k_x64, Repeat("k", 64));
BENCHMARK_CAPTURE(BM_HostileTyping, upper_case,
                  std::string("AMARSONARBANGLAAMITOMAYBHALOBASHICHIRODINTOMARAKASHTOMARBATASH"));
BENCHMARK_CAPTURE(BM_HostileTyping, digits_and_punctuation,
                  std::string("k1.w2,thh3-x4!a5?kw6;7:8(9)0kw'\"kk-1x2.3thh,4w5!6a7?8k9-0xw"));
BENCHMARK_CAPTURE(BM_HostileTyping, web_address,
                  std::string("https://www.example.com/bangla/khobor?id=12345&lang=bn#shuru"));
BENCHMARK_CAPTURE(BM_HostileTyping, long_compound,
                  std::string("bishshobiddaloyerantorjatikbhabeswikritoshongothonerpotrika"));

}  // namespace
}  // namespace bangla
