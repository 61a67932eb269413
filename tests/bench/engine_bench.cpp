// Per-keystroke cost of the engine on a lexicon of realistic size: 300,000
// generated words whose keys share prefixes the way Banglish keys do.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "tests/engine/engine_test_support.h"

namespace bangla {
namespace {

constexpr uint32_t kLexiconEntries = 300000;

struct Syllable {
    const char* roman;
    const char* bengali;
};

const Syllable kConsonants[] = {
    {"k", "\xE0\xA6\x95"},  {"kh", "\xE0\xA6\x96"}, {"g", "\xE0\xA6\x97"},  {"gh", "\xE0\xA6\x98"},
    {"ch", "\xE0\xA6\x9A"}, {"j", "\xE0\xA6\x9C"},  {"t", "\xE0\xA6\xA4"},  {"th", "\xE0\xA6\xA5"},
    {"d", "\xE0\xA6\xA6"},  {"dh", "\xE0\xA6\xA7"}, {"n", "\xE0\xA6\xA8"},  {"p", "\xE0\xA6\xAA"},
    {"ph", "\xE0\xA6\xAB"}, {"b", "\xE0\xA6\xAC"},  {"bh", "\xE0\xA6\xAD"}, {"m", "\xE0\xA6\xAE"},
    {"r", "\xE0\xA6\xB0"},  {"l", "\xE0\xA6\xB2"},  {"sh", "\xE0\xA6\xB6"}, {"s", "\xE0\xA6\xB8"},
    {"h", "\xE0\xA6\xB9"},
};
const Syllable kVowels[] = {
    {"o", ""}, {"a", "\xE0\xA6\xBE"}, {"i", "\xE0\xA6\xBF"}, {"u", "\xE0\xA7\x81"},
    {"e", "\xE0\xA7\x87"}, {"o", "\xE0\xA7\x8B"},
};

std::vector<LexiconEntry> GeneratedLexicon() {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> consonant(0, std::size(kConsonants) - 1);
    std::uniform_int_distribution<std::size_t> vowel(0, std::size(kVowels) - 1);
    std::uniform_int_distribution<int> syllables(2, 4);
    std::vector<LexiconEntry> entries;
    entries.reserve(kLexiconEntries);
    for (uint32_t i = 0; i < kLexiconEntries; ++i) {
        LexiconEntry entry;
        for (int s = syllables(random); s > 0; --s) {
            const Syllable& c = kConsonants[consonant(random)];
            const Syllable& v = kVowels[vowel(random)];
            entry.roman += std::string(c.roman) + v.roman;
            entry.word += std::string(c.bengali) + v.bengali;
        }
        entry.frequency = 1000000 / (i + 1) + 1;  // Zipf-like
        entry.tag = i % 50 == 0 ? 1 : 0;
        entries.push_back(std::move(entry));
    }
    return entries;
}

// One engine over the generated lexicon, shared by every benchmark.
class BenchEngine {
public:
    static BanglaEngineHandle Get() {
        static BenchEngine instance;
        return instance.engine.get();
    }

private:
    BenchEngine() {
        WriteLexiconFile(folder.File("lexicon.bin"), GeneratedLexicon());
        engine = testing_support::MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
        BanglaEngine_SetLearningEnabled(engine.get(), false);
    }

    TempFolder folder{"bench"};
    testing_support::EnginePtr engine;
};

// Every prefix of these words, as typed key by key.
std::vector<std::string> Keystrokes() {
    const char* const words[] = {"ami",   "bhalo",    "kemon",      "achi",    "korbo",  "bangladesh",
                                 "poriborton", "dhonnobad", "bari-te", "shomoy", "bidyaloy", "kothay"};
    std::vector<std::string> typed;
    for (const std::string word : words) {
        for (std::size_t keys = 1; keys <= word.size(); ++keys) typed.push_back(word.substr(0, keys));
    }
    return typed;
}

double PercentileMicroseconds(std::vector<double>& samples, double fraction) {
    if (samples.empty()) return 0;
    const std::size_t index = std::min(samples.size() - 1, static_cast<std::size_t>(fraction * samples.size()));
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(index), samples.end());
    return samples[index];
}

// One iteration is one keystroke; the counters give the median and the 99th
// percentile of the single keystrokes, which the mean would hide.
void BM_GetCandidatesPerKeystroke(benchmark::State& state) {
    BanglaEngineHandle engine = BenchEngine::Get();
    const std::vector<std::string> keystrokes = Keystrokes();
    std::vector<double> samples;
    EngineCandidateList list;
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& typed = keystrokes[next];
        next = (next + 1) % keystrokes.size();
        const auto start = std::chrono::steady_clock::now();
        BanglaEngine_SetComposition(engine, typed.c_str());
        BanglaEngine_GetCandidates(engine, &list);
        samples.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        benchmark::DoNotOptimize(list.count);
    }
    state.counters["p50_us"] = PercentileMicroseconds(samples, 0.50);
    state.counters["p99_us"] = PercentileMicroseconds(samples, 0.99);
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
