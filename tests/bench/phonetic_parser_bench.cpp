#include <benchmark/benchmark.h>

#include <string>

#include "engine/phonetic_parser.h"

namespace {

std::string Repeat(const std::string& part, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += part;
    return repeated;
}

// One call per keystroke: the typed word with the candidate limit of the engine.
void ParseWord(benchmark::State& state, const std::string& word) {
    const bangla::PhoneticParser parser;
    for (auto _ : state) {
        benchmark::DoNotOptimize(parser.Parse(word, 8));
    }
}

BENCHMARK_CAPTURE(ParseWord, short_ami, std::string("ami"));
BENCHMARK_CAPTURE(ParseWord, common_bangladesh, std::string("bangladesh"));
BENCHMARK_CAPTURE(ParseWord, long_poriborton, std::string("poriborton"));
BENCHMARK_CAPTURE(ParseWord, long_bishshobiddaloy, std::string("bishshobiddaloy"));
BENCHMARK_CAPTURE(ParseWord, long_ontorbortikalin, std::string("ontorbortikalin"));
BENCHMARK_CAPTURE(ParseWord, costly_w_bishwobiddaloyer, std::string("bishwobiddaloyer"));
BENCHMARK_CAPTURE(ParseWord, compound_antorjatikbhabeswikrito,
                  std::string("antorjatikbhabeswikrito"));
// Inputs that end the search on its bound of expanded states.
BENCHMARK_CAPTURE(ParseWord, pathological_kw_x10, Repeat("kw", 10));
BENCHMARK_CAPTURE(ParseWord, pathological_kw_x16, Repeat("kw", 16));
BENCHMARK_CAPTURE(ParseWord, pathological_xa_x60, Repeat("xa", 60));
BENCHMARK_CAPTURE(ParseWord, pathological_k_x200, Repeat("k", 200));
BENCHMARK_CAPTURE(ParseWord, pathological_thh_x30, Repeat("thh", 30));

}  // namespace
