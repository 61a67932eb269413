// Feeds arbitrary bytes to the lexicon loader as a lexicon.bin image and runs
// every lookup over whatever loads. The loader must reject or safely bound any
// image: no lookup may read outside it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/fuzzy_normalizer.h"
#include "engine/lexicon_format.h"
#include "engine/lexicon_trie.h"
#include "tools/lib/lexicon_writer.h"

namespace {

void RunLookups(const bangla::LexiconTrie& trie, const std::string& key) {
    static const bangla::FuzzyNormalizer s_normalizer;
    trie.Find(key);
    trie.SearchRoman(key, 8);
    trie.SearchRomanFuzzy(key, s_normalizer, 5);
    trie.SearchPrefix(key, 5);
    trie.SearchSkeleton(key, 2);
}

void LoadAndSearch(const uint8_t* data, size_t size) {
    bangla::LexiconTrie trie;
    trie.LoadFromBytes(data, size);
    // Keys taken from the input reach the byte comparisons with any content;
    // the texts of loaded records reach the equal runs of both indexes.
    const size_t keyLength = size < 12 ? size : 12;
    RunLookups(trie,
               std::string(reinterpret_cast<const char*>(data) + size - keyLength, keyLength));
    RunLookups(trie, "");
    RunLookups(trie, "AMI");
    for (const bangla::LexiconEntry& entry : trie.SearchPrefix("", 8)) {
        RunLookups(trie, entry.word);
        RunLookups(trie, entry.roman);
        RunLookups(trie, entry.word.substr(0, entry.word.size() / 2));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadAndSearch(data, size);
    // The same bytes behind a valid magic and version, so that mutations go
    // on to the layout checks instead of stopping at the header test.
    if (size >= 16) {
        std::vector<uint8_t> stamped(data, data + size);
        bangla::StoreU32(stamped, 0, bangla::LexiconFormat::kMagic);
        bangla::StoreU32(stamped, 4, bangla::LexiconFormat::kVersion);
        LoadAndSearch(stamped.data(), stamped.size());
    }
    return 0;
}
