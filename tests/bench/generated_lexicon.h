#pragma once

// A lexicon of realistic size for benchmarks: generated Banglish-like words
// whose keys share prefixes the way real keys do.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/lexicon_trie.h"

namespace bangla::bench {

struct Syllable {
    const char* roman;
    const char* bengali;
};

inline const Syllable kConsonants[] = {
    {"k", "\xE0\xA6\x95"},  {"kh", "\xE0\xA6\x96"}, {"g", "\xE0\xA6\x97"},  {"gh", "\xE0\xA6\x98"},
    {"ch", "\xE0\xA6\x9A"}, {"j", "\xE0\xA6\x9C"},  {"t", "\xE0\xA6\xA4"},  {"th", "\xE0\xA6\xA5"},
    {"d", "\xE0\xA6\xA6"},  {"dh", "\xE0\xA6\xA7"}, {"n", "\xE0\xA6\xA8"},  {"p", "\xE0\xA6\xAA"},
    {"ph", "\xE0\xA6\xAB"}, {"b", "\xE0\xA6\xAC"},  {"bh", "\xE0\xA6\xAD"}, {"m", "\xE0\xA6\xAE"},
    {"r", "\xE0\xA6\xB0"},  {"l", "\xE0\xA6\xB2"},  {"sh", "\xE0\xA6\xB6"}, {"s", "\xE0\xA6\xB8"},
    {"h", "\xE0\xA6\xB9"},
};
inline const Syllable kVowels[] = {
    {"o", ""},
    {"a", "\xE0\xA6\xBE"},
    {"i", "\xE0\xA6\xBF"},
    {"u", "\xE0\xA7\x81"},
    {"e", "\xE0\xA7\x87"},
    {"o", "\xE0\xA7\x8B"},
};

// `entries` followed by generated words of two to four syllables up to
// `records` in all, with Zipf-like frequencies; every fiftieth is an exact
// word, and about one key in three also holds a second word.
inline std::vector<LexiconEntry> GeneratedLexicon(std::size_t records,
                                                  std::vector<LexiconEntry> entries = {}) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> consonant(0, std::size(kConsonants) - 1);
    std::uniform_int_distribution<std::size_t> vowel(0, std::size(kVowels) - 1);
    std::uniform_int_distribution<int> syllables(2, 4);
    std::uniform_int_distribution<int> oneInThree(0, 2);
    entries.reserve(records);
    for (uint32_t i = 0; entries.size() < records; ++i) {
        LexiconEntry entry;
        for (int s = syllables(random); s > 0; --s) {
            const Syllable& c = kConsonants[consonant(random)];
            const Syllable& v = kVowels[vowel(random)];
            entry.roman += std::string(c.roman) + v.roman;
            entry.word += std::string(c.bengali) + v.bengali;
        }
        entry.frequency = 1000000 / (i + 1) + 1;
        entry.tag = i % 50 == 0 ? 1 : 0;
        entries.push_back(entry);
        if (oneInThree(random) == 0 && entries.size() < records) {
            entries.push_back(
                {entry.word + "\xE0\xA7\x8D", entry.roman, entry.frequency / 2 + 1, 0});
        }
    }
    return entries;
}

}  // namespace bangla::bench
