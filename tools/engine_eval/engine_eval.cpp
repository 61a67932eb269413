// Measures how often the engine offers the right Bengali word for a Banglish
// spelling, and how long each keystroke takes, over a file of word pairs.
//
//   engine_eval [--lexicon PATH] [--limit N] [--misses OUT.tsv] PAIRS.tsv
//
// PAIRS.tsv lines are "Bengali TAB Banglish" with an optional third column,
// the number of times the pair was attested, which then weights the pair
// (the Dakshina transliteration lexicons); lines whose first column holds no
// Bengali letter (sentence marks, punctuation) are skipped. Each Banglish
// word is typed key by key as a user would, with a fresh context and
// learning off; the list after its last key is scored: top-1 when the first
// candidate is the Bengali word, top-5 when any of the first five is.
// --misses writes every pair whose word was not first, with its place in the
// list ("-" when it was not among the first five) and the list shown, for
// studying what the lexicon or the ranking lacks.
//
// Beside each keystroke's time it times a bare binary search of the same
// typed key in lexicon.bin's roman index, in the same run, so that the
// ratio of the two holds on any machine.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_path.h"
#include "common/text.h"
#include "engine/bangla_engine.h"
#include "engine/bangla_unicode.h"
#include "engine/learned_word_pairs.h"
#include "engine/lexicon_format.h"
#include "tools/lib/temp_folder.h"

namespace {

struct EvalOptions {
    std::string lexiconPath;
    std::string pairsPath;
    std::string missesPath;
    std::size_t limit = 0;  // 0: every pair
};

struct WordPair {
    std::string bengali;
    std::string roman;
    double weight = 1.0;
};

// lexicon.bin's roman index, searched with nothing around it: the yardstick
// of a keystroke's cost.
class BareRomanIndex {
public:
    bool Load(const std::string& path) {
        using Format = bangla::LexiconFormat;
        std::FILE* file = qorva::OpenFile(path, "rb");
        if (file == nullptr) return false;
        char buffer[1 << 16];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            image.insert(image.end(), buffer, buffer + read);
        std::fclose(file);
        if (image.size() < Format::kHeaderBytes) return false;
        count = U32(Format::kHeaderBytes - 8);
        const uint64_t pool = U32(Format::kHeaderBytes - 4);
        records = Format::kHeaderBytes + pool;
        romanIndex = records + (Format::kRecordBytes + Format::kIndexEntryBytes) * count;
        return romanIndex + Format::kIndexEntryBytes * count <= image.size();
    }

    // The first index position whose key is not smaller than `key`.
    uint32_t LowerBound(const std::string& key) const {
        using Format = bangla::LexiconFormat;
        uint32_t low = 0;
        uint32_t high = count;
        while (low < high) {
            const uint32_t middle = low + (high - low) / 2;
            const uint64_t record =
                records +
                Format::kRecordBytes * U32(romanIndex + Format::kIndexEntryBytes * middle);
            const uint64_t offset = Format::kHeaderBytes + U32(record + Format::kRomanOffset);
            const uint16_t length = static_cast<uint16_t>(U16(record + Format::kRomanLength));
            const std::string_view roman(reinterpret_cast<const char*>(image.data() + offset),
                                         length);
            if (roman < key)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

private:
    uint32_t U16(uint64_t at) const { return image[at] | (image[at + 1] << 8); }
    uint32_t U32(uint64_t at) const { return U16(at) | (U16(at + 2) << 16); }

    std::vector<unsigned char> image;
    uint32_t count = 0;
    uint64_t records = 0;
    uint64_t romanIndex = 0;
};

struct EvalTotals {
    double weight = 0;
    double top1 = 0;
    double top5 = 0;
    std::size_t pairs = 0;
    std::vector<double> keystrokeMicroseconds;
    std::vector<double> bareLookupMicroseconds;
    double slowestMicroseconds = 0;
    std::string slowestTyped;
};

bool ParseOptions(int argc, char** argv, EvalOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--lexicon" && hasValue) {
            options.lexiconPath = argv[++i];
        } else if (argument == "--misses" && hasValue) {
            options.missesPath = argv[++i];
        } else if (argument == "--limit" && hasValue) {
            options.limit = static_cast<std::size_t>(std::strtoull(argv[++i], nullptr, 10));
        } else if (argument.rfind("--", 0) == 0 || !options.pairsPath.empty()) {
            return false;
        } else {
            options.pairsPath = argument;
        }
    }
    return !options.pairsPath.empty();
}

bool ParsePair(const std::string& line, WordPair& pair) {
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string::npos) return false;
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    pair.bengali = line.substr(0, firstTab);
    pair.roman =
        line.substr(firstTab + 1,
                    secondTab == std::string::npos ? std::string::npos : secondTab - firstTab - 1);
    pair.weight =
        secondTab == std::string::npos ? 1.0 : std::strtod(line.c_str() + secondTab + 1, nullptr);
    if (pair.weight <= 0) pair.weight = 1.0;
    return !pair.roman.empty() && qorva::HoldsBengaliLetter(pair.bengali);
}

bool ReadPairs(const EvalOptions& options, std::vector<WordPair>& pairs) {
    std::FILE* file = qorva::OpenFile(options.pairsPath, "r");
    if (file == nullptr) return false;
    std::string line;
    WordPair pair;
    while (bangla::ReadTextLine(file, line) &&
           (options.limit == 0 || pairs.size() < options.limit)) {
        if (ParsePair(line, pair)) pairs.push_back(pair);
    }
    std::fclose(file);
    return true;
}

// Types the word key by key and returns the list after the last key.
EngineCandidateList TypeWord(BanglaEngineHandle engine, const BareRomanIndex* index,
                             const std::string& roman, EvalTotals& totals) {
    EngineCandidateList list;
    BanglaEngine_ResetContext(engine);
    for (std::size_t keys = 1; keys <= roman.size(); ++keys) {
        const std::string typed = roman.substr(0, keys);
        const auto start = std::chrono::steady_clock::now();
        BanglaEngine_SetComposition(engine, typed.c_str());
        BanglaEngine_GetCandidates(engine, &list);
        const double microseconds =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count();
        totals.keystrokeMicroseconds.push_back(microseconds);
        if (index != nullptr) {
            const auto bareStart = std::chrono::steady_clock::now();
            const uint32_t position = index->LowerBound(typed);
            const auto bareEnd = std::chrono::steady_clock::now();
            volatile uint32_t sink = position;
            (void)sink;
            totals.bareLookupMicroseconds.push_back(
                std::chrono::duration<double, std::micro>(bareEnd - bareStart).count());
        }
        if (microseconds > totals.slowestMicroseconds) {
            totals.slowestMicroseconds = microseconds;
            totals.slowestTyped = typed;
        }
    }
    return list;
}

constexpr uint32_t kNotListed = 5;

// Returns the word's place in the first five, or kNotListed.
uint32_t Score(const WordPair& pair, const EngineCandidateList& list, EvalTotals& totals) {
    const std::string expected = bangla::UnicodeUtils::CanonicalizeBengali(pair.bengali);
    totals.weight += pair.weight;
    ++totals.pairs;
    for (uint32_t i = 0; i < list.count && i < kNotListed; ++i) {
        if (expected != list.candidates[i].text) continue;
        if (i == 0) totals.top1 += pair.weight;
        totals.top5 += pair.weight;
        return i;
    }
    return kNotListed;
}

void WriteMiss(std::FILE* misses, const WordPair& pair, uint32_t place,
               const EngineCandidateList& list) {
    std::fprintf(misses, "%s\t%s\t%g\t", pair.bengali.c_str(), pair.roman.c_str(), pair.weight);
    if (place == kNotListed)
        std::fputs("-\t", misses);
    else
        std::fprintf(misses, "%u\t", place + 1);
    for (uint32_t i = 0; i < list.count; ++i)
        std::fprintf(misses, "%s%s", i ? " " : "", list.candidates[i].text);
    std::fputc('\n', misses);
}

double Percentile(std::vector<double>& values, double fraction) {
    if (values.empty()) return 0;
    const std::size_t index =
        std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index),
                     values.end());
    return values[index];
}

void PrintReport(EvalTotals& totals) {
    const double weight = totals.weight > 0 ? totals.weight : 1;
    std::printf("pairs            %zu (total weight %.0f)\n", totals.pairs, totals.weight);
    std::printf("top-1 accuracy   %.2f%%\n", 100.0 * totals.top1 / weight);
    std::printf("top-5 accuracy   %.2f%%\n", 100.0 * totals.top5 / weight);
    std::vector<double>& latency = totals.keystrokeMicroseconds;
    std::printf("keystrokes       %zu\n", latency.size());
    std::printf("latency p50      %.1f us\n", Percentile(latency, 0.50));
    std::printf("latency p90      %.1f us\n", Percentile(latency, 0.90));
    std::printf("latency p99      %.1f us\n", Percentile(latency, 0.99));
    std::printf("latency max      %.1f us (\"%s\")\n", totals.slowestMicroseconds,
                totals.slowestTyped.c_str());
    std::vector<double>& bare = totals.bareLookupMicroseconds;
    if (bare.empty()) return;
    const double bareP50 = Percentile(bare, 0.50);
    const double bareP99 = Percentile(bare, 0.99);
    std::printf("bare lookup p50  %.2f us (binary search of the typed key in the roman index)\n",
                bareP50);
    std::printf("bare lookup p99  %.2f us\n", bareP99);
    if (bareP50 > 0) {
        std::printf("keystroke / bare lookup: p50 %.0fx, p99 %.0fx (each over the bare p50)\n",
                    Percentile(latency, 0.50) / bareP50, Percentile(latency, 0.99) / bareP50);
    }
}

}  // namespace

int main(int argc, char** argv) {
    EvalOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(
            stderr,
            "usage: engine_eval [--lexicon PATH] [--limit N] [--misses OUT.tsv] PAIRS.tsv\n");
        return 2;
    }
    std::vector<WordPair> pairs;
    if (!ReadPairs(options, pairs)) {
        std::fprintf(stderr, "engine_eval: cannot read %s\n", options.pairsPath.c_str());
        return 1;
    }

    bangla::TempFolder scratch("eval");
    const std::string userDictPath = scratch.File("user_dict.txt");
    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    config.maxCandidates = 5;
    config.lexiconPath = options.lexiconPath.c_str();
    config.userDictPath = scratch.Path().empty() ? nullptr : userDictPath.c_str();
    BanglaEngineHandle engine = BanglaEngine_Create(&config);
    if (engine == nullptr) {
        std::fprintf(stderr, "engine_eval: the engine could not be created\n");
        return 1;
    }
    BanglaEngine_SetLearningEnabled(engine, false);

    std::FILE* misses =
        options.missesPath.empty() ? nullptr : qorva::OpenFile(options.missesPath, "w");
    if (!options.missesPath.empty() && misses == nullptr) {
        std::fprintf(stderr, "engine_eval: cannot write %s\n", options.missesPath.c_str());
        BanglaEngine_Destroy(engine);
        return 1;
    }
    BareRomanIndex bareIndex;
    const bool bareLoaded = !options.lexiconPath.empty() && bareIndex.Load(options.lexiconPath);
    EvalTotals totals;
    for (const WordPair& pair : pairs) {
        const EngineCandidateList list =
            TypeWord(engine, bareLoaded ? &bareIndex : nullptr, pair.roman, totals);
        const uint32_t place = Score(pair, list, totals);
        if (place != 0 && misses != nullptr) WriteMiss(misses, pair, place, list);
    }
    if (misses != nullptr) std::fclose(misses);
    BanglaEngine_Destroy(engine);
    PrintReport(totals);
    return 0;
}
