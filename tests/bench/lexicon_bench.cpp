#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fuzzy_normalizer.h"
#include "engine/lexicon_trie.h"
#include "tests/bench/generated_lexicon.h"
#include "tools/lib/lexicon_writer.h"

namespace bangla {
namespace {

const size_t kRecordCount = 300000;

// A few real words for the searches below, among generated ones.
std::vector<LexiconEntry> GeneratedEntries() {
    return bench::GeneratedLexicon(kRecordCount, {{"আমি", "ami", 90000, 1},
                                                  {"ব্যাটারি", "battery", 500, 0},
                                                  {"ব্যাটারী", "batery", 40, 0},
                                                  {"ভালো", "bhalo", 20000, 1}});
}

const std::vector<uint8_t>& LexiconImage() {
    static const std::vector<uint8_t> s_image = [] {
        std::vector<uint8_t> image;
        BuildLexiconImage(GeneratedEntries(), image);
        return image;
    }();
    return s_image;
}

const LexiconTrie& Lexicon() {
    static LexiconTrie s_trie;
    static const bool s_loaded = s_trie.LoadFromBytes(LexiconImage().data(), LexiconImage().size());
    (void)s_loaded;
    return s_trie;
}

void CycleQueries(benchmark::State& state, const std::vector<std::string>& queries,
                  std::vector<LexiconEntry> (*search)(const std::string&)) {
    Lexicon();  // built before timing starts
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(search(queries[next]));
        next = (next + 1) % queries.size();
    }
}

// Keys as users type them: found as typed, found only through a spelling
// variant, typed in capitals, and not found at all.
void BM_SearchRomanFuzzy(benchmark::State& state) {
    static const FuzzyNormalizer s_normalizer;
    const std::vector<std::string> keys = {"ami",  "battary", "AMI",      "bhallo",
                                           "kala", "tumi",    "porikkha", "xqzt"};
    CycleQueries(state, keys, [](const std::string& key) {
        return Lexicon().SearchRomanFuzzy(key, s_normalizer, 5);
    });
}
BENCHMARK(BM_SearchRomanFuzzy);

// Spellings no key holds, of short crowded outlines and of long rare ones.
void BM_SearchSkeleton(benchmark::State& state) {
    const std::vector<std::string> spellings = {"kaal",     "bhaalo",    "shomossha",
                                                "porikkha", "khelaghor", "xqzt"};
    CycleQueries(state, spellings,
                 [](const std::string& typed) { return Lexicon().SearchSkeleton(typed, 2); });
}
BENCHMARK(BM_SearchSkeleton);

void BM_SearchPrefix(benchmark::State& state) {
    const std::vector<std::string> prefixes = {"ক", "কা", "ভালো", "মি", "শুল", "আ", "খেখে"};
    CycleQueries(state, prefixes,
                 [](const std::string& prefix) { return Lexicon().SearchPrefix(prefix, 5); });
}
BENCHMARK(BM_SearchPrefix);

void BM_Find(benchmark::State& state) {
    const std::vector<std::string> words = {"আমি", "কাল", "ভালো", "নেই"};
    Lexicon();
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Lexicon().Find(words[next]));
        next = (next + 1) % words.size();
    }
}
BENCHMARK(BM_Find);

// The load checks every record and index entry of the untrusted file.
void BM_LoadFromBytes(benchmark::State& state) {
    const std::vector<uint8_t>& image = LexiconImage();
    for (auto _ : state) {
        LexiconTrie trie;
        if (!trie.LoadFromBytes(image.data(), image.size()) || trie.EntryCount() != kRecordCount) {
            state.SkipWithError("the generated lexicon did not load");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_LoadFromBytes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bangla
