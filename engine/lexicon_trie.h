#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/index_samples.h"
#include "engine/text_filter.h"

namespace bangla {

class FuzzyNormalizer;

// One lexicon word as the lookups return it; always a copy.
struct LexiconEntry {
    std::string word;   // Bengali, UTF-8
    std::string roman;  // the Latin key it is typed under, ASCII
    uint32_t frequency = 0;
    uint16_t tag = 0;  // bit 0 marks an exact word
};

// The read-only main lexicon, loaded whole from lexicon.bin:
//
//   offset             size    content
//   0                  16      "BNGL", version 2, N records, P pool bytes (LE uint32)
//   16                 P       string pool: all words and keys, UTF-8, unterminated
//   16 + P             20 * N  records: wordOffset u32, wordLength u16,
//                              romanOffset u32, romanLength u16, frequency u32,
//                              tag u16, reserved u16 (unaligned, little-endian)
//   16 + P + 20 * N    4 * N   word index: record numbers sorted by word bytes
//   16 + P + 24 * N    4 * N   roman index: record numbers sorted by roman bytes
//   16 + P + 28 * N    12+4*M  skeleton index, optional: "SKEL", version 1, M
//                              (LE uint32), then M record numbers sorted by the
//                              RomanSkeleton of their keys, most frequent first
//                              within a skeleton, one record per word and skeleton
//
// Readers that know only the first five sections ignore what follows the
// roman index, so the skeleton index travels in the same file; a file
// without it (or with a damaged one) still loads, without skeleton search.
//
// Despite the name there is no tree: lookups are binary searches over the
// two index arrays, comparing texts in place in the image.
//
// The file is found relative to the current folder of whichever application
// hosts the input method, so it is untrusted: a load checks every size,
// record range and index entry and rejects the file when one is out of
// bounds, and lookups never read outside the image.
//
// Not safe for concurrent use, not even for lookups: Find fills an internal
// entry and returns a pointer to it.
class LexiconTrie {
public:
    // Files above this size are refused before anything is allocated.
    static constexpr uint64_t kMaxFileBytes = 64ull * 1024 * 1024;

    LexiconTrie() = default;
    LexiconTrie(const LexiconTrie&) = delete;
    LexiconTrie& operator=(const LexiconTrie&) = delete;

    // False when the file cannot be opened, is shorter than the header or
    // larger than kMaxFileBytes (the lexicon loaded before stays usable), or
    // cannot be read or is not a well-formed lexicon (the lexicon is then
    // empty). Inserted entries survive every load.
    bool LoadFromFile(const std::string& utf8Path);

    // The same rules for an image already in memory; the bytes are copied.
    bool LoadFromBytes(const uint8_t* data, size_t size);

    // Tries "engine/data/lexicon.bin", then one and two folders up, relative
    // to the current folder, and stops at the first that loads.
    void LoadDefaultVocabulary();

    // Records in the loaded file; 0 when no file lexicon is available.
    uint32_t EntryCount() const { return entryCount; }

    // The word's entry, or null. A hit in the file points at an internal
    // entry that the next Find overwrites: read it at once. A hit among the
    // inserted entries stays valid until the next Insert.
    const LexiconEntry* Find(const std::string& word) const;

    // False only when Find would surely return null; far cheaper than Find,
    // for sifting many texts.
    bool MayHoldWord(std::string_view word) const;

    // Adds an in-memory entry beside the file's records; empty words are ignored.
    void Insert(const std::string& word, const std::string& roman, uint32_t frequency,
                uint16_t tag);

    // Entries whose roman key equals `roman` byte for byte, most frequent first.
    std::vector<LexiconEntry> SearchRoman(const std::string& roman, uint64_t limit) const;

    // SearchRoman, topped up with the words of the key's spelling variants.
    std::vector<LexiconEntry> SearchRomanFuzzy(const std::string& roman,
                                               const FuzzyNormalizer& normalizer,
                                               uint64_t limit) const;

    // The `limit` most frequent of the first 2 * `limit` file words, in byte
    // order, that begin with `prefix`. Inserted entries are not consulted.
    std::vector<LexiconEntry> SearchPrefix(const std::string& prefix, uint64_t limit) const;

    // Up to `limit` file words whose key has the RomanSkeleton of `roman`,
    // the nearest spelling first (RomanSkeleton::Distance, frequent words
    // forgiven a little). Empty without a skeleton index.
    std::vector<LexiconEntry> SearchSkeleton(const std::string& roman, uint64_t limit) const;

    bool HasSkeletonIndex() const { return skeletonIndex != nullptr && entryCount != 0; }

private:
    struct FileRecord {
        uint32_t wordOffset;
        uint16_t wordLength;
        uint32_t romanOffset;
        uint16_t romanLength;
        uint32_t frequency;
        uint16_t tag;
    };

    // Where recent lookups found their texts in one index, by the texts'
    // hashes (TextFilter::Hash). One keystroke looks many texts up more than
    // once (a spelling when the parser's words are sifted and again when
    // they are ranked; the typed key by each search that starts from it),
    // and a binary search reads records far apart in memory. A position is
    // used only when it holds the very text looked up, and only found texts
    // are kept, so a lookup answers as the search would.
    class FoundPositions {
    public:
        static constexpr uint32_t kNone = UINT32_MAX;
        FoundPositions() { Clear(); }
        void Clear() { slots.fill(Slot{0, kNone}); }
        uint32_t Get(uint64_t hash) const {
            const Slot& slot = slots[hash % kSlots];
            return slot.hash == hash ? slot.position : kNone;
        }
        void Put(uint64_t hash, uint32_t position) { slots[hash % kSlots] = Slot{hash, position}; }

    private:
        static constexpr std::size_t kSlots = 256;
        struct Slot {
            uint64_t hash;
            uint32_t position;
        };
        std::array<Slot, kSlots> slots;
    };

    // A skeleton search's allowance for a word's frequency, remembered by
    // frequency: a lexicon holds a few thousand distinct frequencies, and a
    // logarithm for every word compared costs more than most comparisons.
    class FrequencyAllowances {
    public:
        FrequencyAllowances();
        float Of(uint32_t frequency);

    private:
        static constexpr int kSlotBits = 10;
        static float Compute(uint32_t frequency);
        std::array<uint32_t, std::size_t{1} << kSlotBits> frequencies;
        std::array<float, std::size_t{1} << kSlotBits> allowances;
    };

    bool AdoptImage(std::vector<uint8_t>&& image);
    uint32_t RememberedPosition(const FoundPositions& found, uint64_t hash, bool byWord,
                                std::string_view text) const;
    uint32_t FindPosition(std::string_view word) const;
    uint32_t RomanPosition(std::string_view roman) const;
    void BuildTextFilters();
    void SampleIndexes();
    void ResetFileLexicon();
    bool HasFileLexicon(const uint8_t* index) const;

    FileRecord RecordAt(uint32_t recordNumber) const;
    uint32_t IndexedRecord(const uint8_t* index, uint32_t position) const;
    std::string_view WordOf(const FileRecord& record) const;
    std::string_view RomanOf(const FileRecord& record) const;
    LexiconEntry EntryOf(const FileRecord& record) const;
    uint32_t LowerBound(const uint8_t* index, bool byWord, std::string_view text) const;
    void AdoptSkeletonIndex(const uint8_t* section, uint64_t bytes);
    uint32_t SkeletonBound(const std::string& skeleton, bool upper, uint32_t low,
                           uint32_t high) const;
    uint32_t SkeletonRunEnd(const std::string& skeleton, uint32_t first) const;

    std::vector<uint8_t> fileImage;
    const uint8_t* stringPool = nullptr;
    const uint8_t* recordTable = nullptr;
    const uint8_t* wordIndex = nullptr;
    const uint8_t* romanIndex = nullptr;
    const uint8_t* skeletonIndex = nullptr;
    uint32_t skeletonCount = 0;
    uint32_t entryCount = 0;
    uint32_t stringPoolSize = 0;
    // Bloom filters over the file's words and keys: most texts a keystroke
    // looks up are spellings that are no word and keys that no word has, and
    // the filters turn them away without a binary search. Built at load.
    TextFilter wordFilter;
    TextFilter romanFilter;
    // Samples of the three indexes (the skeleton index by its outlines),
    // taken at load: a lookup narrows its binary search with them.
    IndexSamples wordSamples;
    IndexSamples romanSamples;
    IndexSamples skeletonSamples;
    std::vector<LexiconEntry> insertedEntries;
    mutable LexiconEntry lookupEntry;
    mutable FoundPositions foundWords;  // word index positions
    mutable FoundPositions foundKeys;   // roman index positions, the first of each key
    mutable FrequencyAllowances frequencyAllowances;
};

}  // namespace bangla
