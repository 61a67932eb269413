#include "engine/lexicon_trie.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

#include "common/file_path.h"
#include "engine/fuzzy_normalizer.h"
#include "engine/lexicon_format.h"
#include "engine/roman_skeleton.h"

namespace bangla {
namespace {

using Format = LexiconFormat;

// A skeleton search reads at most this many words of one skeleton, the most
// frequent ones: short outlines are shared by thousands of words, and each
// read word costs a spelling comparison.
const uint32_t kSkeletonRunLimit = 128;
// How much a tenfold frequency makes up for spelling distance.
const float kSkeletonFrequencyWeight = 0.2f;
// Slack in the cut-offs of a skeleton search, far above the rounding of its
// float arithmetic, so that a cut never drops a word that would have entered.
const float kSkeletonCostMargin = 0.001f;

const char* const kDefaultLexiconPaths[] = {
    "engine/data/lexicon.bin",
    "../engine/data/lexicon.bin",
    "../../engine/data/lexicon.bin",
};

uint16_t ReadU16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

uint32_t ReadU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

bool RangeInPool(uint32_t offset, uint16_t length, uint32_t poolSize) {
    return static_cast<uint64_t>(offset) + length <= poolSize;
}

bool IndexEntriesBelow(const uint8_t* index, uint32_t count) {
    for (uint32_t position = 0; position < count; ++position) {
        if (ReadU32(index + Format::kIndexEntryBytes * position) >= count) return false;
    }
    return true;
}

// Every range a lookup can follow must lie inside the image, so that no file
// content, however damaged or hostile, can make a lookup read past it.
bool IsWellFormedLayout(const std::vector<uint8_t>& image, uint32_t count, uint32_t poolSize) {
    const uint64_t required = Format::kHeaderBytes + poolSize +
                              (Format::kRecordBytes + 2 * Format::kIndexEntryBytes) * count;
    if (required > image.size()) return false;
    const uint8_t* records = image.data() + Format::kHeaderBytes + poolSize;
    for (uint32_t number = 0; number < count; ++number) {
        const uint8_t* record = records + Format::kRecordBytes * number;
        if (!RangeInPool(ReadU32(record + Format::kWordOffset),
                         ReadU16(record + Format::kWordLength), poolSize) ||
            !RangeInPool(ReadU32(record + Format::kRomanOffset),
                         ReadU16(record + Format::kRomanLength), poolSize)) {
            return false;
        }
    }
    const uint8_t* wordIndex = records + Format::kRecordBytes * count;
    const uint8_t* romanIndex = wordIndex + Format::kIndexEntryBytes * count;
    return IndexEntriesBelow(wordIndex, count) && IndexEntriesBelow(romanIndex, count);
}

bool IsAcceptableFileSize(uint64_t size) {
    return size >= Format::kHeaderBytes && size <= LexiconTrie::kMaxFileBytes;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// A key's records come most frequent first, so the list is most often in
// order already; a stable sort leaves such a list as it is, and the check
// spares its buffer.
void SortByFrequencyDescending(std::vector<LexiconEntry>& entries) {
    const auto moreFrequent = [](const LexiconEntry& a, const LexiconEntry& b) {
        return a.frequency > b.frequency;
    };
    if (!std::is_sorted(entries.begin(), entries.end(), moreFrequent))
        std::stable_sort(entries.begin(), entries.end(), moreFrequent);
}

void KeepFirst(std::vector<LexiconEntry>& entries, uint64_t limit) {
    if (entries.size() > limit) entries.resize(static_cast<size_t>(limit));
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool LexiconTrie::LoadFromFile(const std::string& utf8Path) {
    std::unique_ptr<std::FILE, FileCloser> file(qorva::OpenFile(utf8Path, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file.get());
    if (size < 0 || !IsAcceptableFileSize(static_cast<uint64_t>(size)) ||
        std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return false;
    }
    ResetFileLexicon();
    std::vector<uint8_t> image;
    try {
        image.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (std::fread(image.data(), 1, image.size(), file.get()) != image.size()) return false;
    return AdoptImage(std::move(image));
}

bool LexiconTrie::LoadFromBytes(const uint8_t* data, size_t size) {
    if (data == nullptr || !IsAcceptableFileSize(size)) return false;
    ResetFileLexicon();
    try {
        return AdoptImage(std::vector<uint8_t>(data, data + size));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void LexiconTrie::LoadDefaultVocabulary() {
    for (const char* path : kDefaultLexiconPaths) {
        if (LoadFromFile(path)) return;
    }
}

bool LexiconTrie::AdoptImage(std::vector<uint8_t>&& image) {
    ResetFileLexicon();
    const uint32_t magic = ReadU32(image.data());
    const uint32_t version = ReadU32(image.data() + 4);
    const uint32_t count = ReadU32(image.data() + 8);
    const uint32_t poolSize = ReadU32(image.data() + 12);
    if (magic != Format::kMagic || version != Format::kVersion ||
        !IsWellFormedLayout(image, count, poolSize)) {
        return false;
    }
    fileImage = std::move(image);
    entryCount = count;
    stringPoolSize = poolSize;
    stringPool = fileImage.data() + Format::kHeaderBytes;
    recordTable = stringPool + poolSize;
    wordIndex = recordTable + Format::kRecordBytes * count;
    romanIndex = wordIndex + Format::kIndexEntryBytes * count;
    const uint8_t* indexesEnd = romanIndex + Format::kIndexEntryBytes * count;
    AdoptSkeletonIndex(indexesEnd,
                       static_cast<uint64_t>(fileImage.data() + fileImage.size() - indexesEnd));
    BuildTextFilters();
    SampleIndexes();
    return true;
}

void LexiconTrie::BuildTextFilters() {
    wordFilter.Reset(entryCount);
    romanFilter.Reset(entryCount);
    for (uint32_t number = 0; number < entryCount; ++number) {
        const FileRecord record = RecordAt(number);
        wordFilter.Add(WordOf(record));
        romanFilter.Add(RomanOf(record));
    }
}

void LexiconTrie::SampleIndexes() {
    wordSamples.Build(entryCount, [&](uint32_t position) {
        return WordOf(RecordAt(IndexedRecord(wordIndex, position)));
    });
    romanSamples.Build(entryCount, [&](uint32_t position) {
        return RomanOf(RecordAt(IndexedRecord(romanIndex, position)));
    });
    if (!HasSkeletonIndex()) return;
    std::string outline;
    skeletonSamples.Build(skeletonCount, [&](uint32_t position) {
        outline = RomanSkeleton::Of(RomanOf(RecordAt(IndexedRecord(skeletonIndex, position))));
        return std::string_view(outline);
    });
}

void LexiconTrie::AdoptSkeletonIndex(const uint8_t* section, uint64_t bytes) {
    if (bytes < Format::kSkeletonHeaderBytes || ReadU32(section) != Format::kSkeletonMagic ||
        ReadU32(section + 4) != Format::kSkeletonVersion) {
        return;
    }
    const uint32_t count = ReadU32(section + 8);
    if ((bytes - Format::kSkeletonHeaderBytes) / Format::kIndexEntryBytes < count) return;
    const uint8_t* index = section + Format::kSkeletonHeaderBytes;
    for (uint32_t position = 0; position < count; ++position) {
        if (ReadU32(index + Format::kIndexEntryBytes * position) >= entryCount) return;
    }
    skeletonIndex = index;
    skeletonCount = count;
}

// Views must never outlive the image they point into, so they are cleared
// together with it on every path that gives the image up.
void LexiconTrie::ResetFileLexicon() {
    std::vector<uint8_t>().swap(fileImage);
    stringPool = nullptr;
    recordTable = nullptr;
    wordIndex = nullptr;
    romanIndex = nullptr;
    skeletonIndex = nullptr;
    skeletonCount = 0;
    entryCount = 0;
    stringPoolSize = 0;
    wordFilter = TextFilter();
    romanFilter = TextFilter();
    wordSamples.Clear();
    romanSamples.Clear();
    skeletonSamples.Clear();
    foundWords.Clear();
    foundKeys.Clear();
}

bool LexiconTrie::HasFileLexicon(const uint8_t* index) const {
    return index != nullptr && stringPool != nullptr && recordTable != nullptr && entryCount != 0;
}

LexiconTrie::FileRecord LexiconTrie::RecordAt(uint32_t recordNumber) const {
    const uint8_t* record = recordTable + Format::kRecordBytes * recordNumber;
    return FileRecord{
        ReadU32(record + Format::kWordOffset),  ReadU16(record + Format::kWordLength),
        ReadU32(record + Format::kRomanOffset), ReadU16(record + Format::kRomanLength),
        ReadU32(record + Format::kFrequency),   ReadU16(record + Format::kTag)};
}

uint32_t LexiconTrie::IndexedRecord(const uint8_t* index, uint32_t position) const {
    return ReadU32(index + Format::kIndexEntryBytes * position);
}

std::string_view LexiconTrie::WordOf(const FileRecord& record) const {
    return std::string_view(reinterpret_cast<const char*>(stringPool) + record.wordOffset,
                            record.wordLength);
}

std::string_view LexiconTrie::RomanOf(const FileRecord& record) const {
    return std::string_view(reinterpret_cast<const char*>(stringPool) + record.romanOffset,
                            record.romanLength);
}

LexiconEntry LexiconTrie::EntryOf(const FileRecord& record) const {
    return LexiconEntry{std::string(WordOf(record)), std::string(RomanOf(record)), record.frequency,
                        record.tag};
}

// First index position whose text is not smaller than `text`. std::string_view
// compares through char_traits<char>, which orders bytes as unsigned, the
// order both indexes are sorted in.
uint32_t LexiconTrie::LowerBound(const uint8_t* index, bool byWord, std::string_view text) const {
    const IndexSamples::Window window = (byWord ? wordSamples : romanSamples).Around(text);
    uint32_t low = window.first;
    uint32_t high = static_cast<uint32_t>(window.last + 1);
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        const FileRecord record = RecordAt(IndexedRecord(index, middle));
        const std::string_view probe = byWord ? WordOf(record) : RomanOf(record);
        if (probe < text) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// Where `found` remembers the text of this hash in the word index
// (`byWord`) or the roman index, when that position still holds the text;
// otherwise FoundPositions::kNone.
uint32_t LexiconTrie::RememberedPosition(const FoundPositions& found, uint64_t hash, bool byWord,
                                         std::string_view text) const {
    const uint32_t position = found.Get(hash);
    if (position == FoundPositions::kNone) return position;
    const FileRecord record = RecordAt(IndexedRecord(byWord ? wordIndex : romanIndex, position));
    return (byWord ? WordOf(record) : RomanOf(record)) == text ? position : FoundPositions::kNone;
}

// The word index position a binary search finds the word at, or
// FoundPositions::kNone.
uint32_t LexiconTrie::FindPosition(std::string_view word) const {
    const uint64_t hash = TextFilter::Hash(word);
    const uint32_t remembered = RememberedPosition(foundWords, hash, true, word);
    if (remembered != FoundPositions::kNone) return remembered;
    if (!wordFilter.MayHoldHashed(hash)) return FoundPositions::kNone;
    // A word has several records, one per key, next to each other in the
    // index, and Find answers with the one this search meets first. The
    // samples only answer the steps outside their window, so the search
    // takes the same steps and meets the same record.
    const IndexSamples::Window window = wordSamples.Around(word);
    int64_t low = 0;
    int64_t high = static_cast<int64_t>(entryCount) - 1;
    while (low <= high) {
        const int64_t middle = low + (high - low) / 2;
        const int order = middle < window.first  ? 1
                          : middle > window.last ? -1
                                                 : word.compare(WordOf(RecordAt(IndexedRecord(
                                                       wordIndex, static_cast<uint32_t>(middle)))));
        if (order == 0) {
            foundWords.Put(hash, static_cast<uint32_t>(middle));
            return static_cast<uint32_t>(middle);
        }
        if (order < 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return FoundPositions::kNone;
}

const LexiconEntry* LexiconTrie::Find(const std::string& word) const {
    const uint32_t position =
        HasFileLexicon(wordIndex) ? FindPosition(word) : FoundPositions::kNone;
    if (position != FoundPositions::kNone) {
        const FileRecord record = RecordAt(IndexedRecord(wordIndex, position));
        lookupEntry.word.assign(WordOf(record));
        lookupEntry.roman.assign(RomanOf(record));
        lookupEntry.frequency = record.frequency;
        lookupEntry.tag = record.tag;
        return &lookupEntry;
    }
    for (const LexiconEntry& entry : insertedEntries) {
        if (entry.word == word) return &entry;
    }
    return nullptr;
}

bool LexiconTrie::MayHoldWord(std::string_view word) const {
    if (!insertedEntries.empty()) return true;
    return HasFileLexicon(wordIndex) && wordFilter.MayHold(word);
}

void LexiconTrie::Insert(const std::string& word, const std::string& roman, uint32_t frequency,
                         uint16_t tag) {
    if (word.empty()) return;
    insertedEntries.push_back(LexiconEntry{word, roman, frequency, tag});
}

// The first roman index position of the key, or FoundPositions::kNone
// (beyond every position) when the filter turns the key away; otherwise the
// position where the key would be.
uint32_t LexiconTrie::RomanPosition(std::string_view roman) const {
    const uint64_t hash = TextFilter::Hash(roman);
    const uint32_t remembered = RememberedPosition(foundKeys, hash, false, roman);
    if (remembered != FoundPositions::kNone) return remembered;
    if (!romanFilter.MayHoldHashed(hash)) return FoundPositions::kNone;
    const uint32_t position = LowerBound(romanIndex, false, roman);
    if (position < entryCount && RomanOf(RecordAt(IndexedRecord(romanIndex, position))) == roman)
        foundKeys.Put(hash, position);
    return position;
}

std::vector<LexiconEntry> LexiconTrie::SearchRoman(const std::string& roman, uint64_t limit) const {
    std::vector<LexiconEntry> result;
    if (HasFileLexicon(romanIndex)) {
        for (uint32_t position = RomanPosition(roman);
             position < entryCount && result.size() < limit; ++position) {
            const FileRecord record = RecordAt(IndexedRecord(romanIndex, position));
            if (RomanOf(record) != roman) break;
            result.push_back(EntryOf(record));
        }
    }
    // Appending before testing the limit lets one inserted entry compete with
    // a full list of file records; the sort and cut below decide between them.
    for (const LexiconEntry& entry : insertedEntries) {
        if (entry.roman != roman) continue;
        result.push_back(entry);
        if (result.size() >= limit) break;
    }
    SortByFrequencyDescending(result);
    KeepFirst(result, limit);
    return result;
}

std::vector<LexiconEntry> LexiconTrie::SearchRomanFuzzy(const std::string& roman,
                                                        const FuzzyNormalizer& normalizer,
                                                        uint64_t limit) const {
    std::vector<LexiconEntry> result = SearchRoman(roman, limit);
    if (result.size() >= limit) return result;
    const auto found = [&](const std::string& word) {
        return std::any_of(result.begin(), result.end(),
                           [&](const LexiconEntry& entry) { return entry.word == word; });
    };
    // The first variant is the lower-cased key. It is searched too, so that a
    // key typed with Caps Lock on ("AMI") still finds the words of "ami".
    for (const std::string& variant : normalizer.Normalize(roman)) {
        if (result.size() >= limit) break;
        if (variant == roman) continue;
        for (LexiconEntry& entry : SearchRoman(variant, limit)) {
            if (result.size() >= limit) break;
            if (found(entry.word)) continue;
            result.push_back(std::move(entry));
        }
    }
    SortByFrequencyDescending(result);
    KeepFirst(result, limit);
    return result;
}

LexiconTrie::FrequencyAllowances::FrequencyAllowances() {
    frequencies.fill(0);
    allowances.fill(Compute(0));
}

float LexiconTrie::FrequencyAllowances::Of(uint32_t frequency) {
    // Fibonacci hashing: frequencies that differ in any bits spread apart.
    const std::size_t slot = (frequency * 2654435761u) >> (32 - kSlotBits);
    if (frequencies[slot] != frequency) {
        frequencies[slot] = frequency;
        allowances[slot] = Compute(frequency);
    }
    return allowances[slot];
}

float LexiconTrie::FrequencyAllowances::Compute(uint32_t frequency) {
    return kSkeletonFrequencyWeight * std::log10(static_cast<float>(frequency) + 1.0f);
}

// The first position of the skeleton index whose skeleton is not smaller
// (`upper`: is greater) than `skeleton`, searched in [low, high).
uint32_t LexiconTrie::SkeletonBound(const std::string& skeleton, bool upper, uint32_t low,
                                    uint32_t high) const {
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        const int order = RomanSkeleton::CompareOutline(
            RomanOf(RecordAt(IndexedRecord(skeletonIndex, middle))), skeleton);
        if (upper ? order <= 0 : order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// Where the run of `skeleton` that starts at `first` ends, or where a search
// stops reading it (kSkeletonRunLimit words on). Runs are short next to the
// index, so the end is sought in steps that double from the start.
uint32_t LexiconTrie::SkeletonRunEnd(const std::string& skeleton, uint32_t first) const {
    const uint32_t limit = first + std::min(kSkeletonRunLimit, skeletonCount - first);
    uint32_t inside = first;  // the last position known to hold the skeleton, or first
    for (uint32_t step = 1;; step *= 2) {
        const uint32_t probe = std::min(first + step, limit);
        if (probe == limit) return SkeletonBound(skeleton, true, inside, limit);
        if (RomanSkeleton::CompareOutline(RomanOf(RecordAt(IndexedRecord(skeletonIndex, probe))),
                                          skeleton) != 0)
            return SkeletonBound(skeleton, true, inside, probe);
        inside = probe;
    }
}

// Words of one outline are stored most frequent first, so the frequency
// allowance only shrinks along the run: once the best words found so far
// cost less than any later word could (its distance being at least 0), the
// rest of the run is not read, and a word is compared only as far as it
// could still enter the list.
std::vector<LexiconEntry> LexiconTrie::SearchSkeleton(const std::string& roman,
                                                      uint64_t limit) const {
    std::vector<LexiconEntry> result;
    if (!HasSkeletonIndex() || limit == 0 || roman.size() > RomanSkeleton::kMaxCompared)
        return result;
    const std::string skeleton = RomanSkeleton::Of(roman);
    if (skeleton.empty()) return result;
    const IndexSamples::Window window = skeletonSamples.Around(skeleton);
    const uint32_t first =
        SkeletonBound(skeleton, false, window.first, static_cast<uint32_t>(window.last + 1));
    const uint32_t end = SkeletonRunEnd(skeleton, first);
    const RomanSkeleton::Spelling typed(roman);
    const size_t kept = static_cast<size_t>(std::min<uint64_t>(limit, end - first));
    // The best `kept` (cost, record) pairs so far, the worst on top.
    std::vector<std::pair<float, uint32_t>> best;
    best.reserve(kept);
    for (uint32_t position = first; position < end; ++position) {
        const uint32_t number = IndexedRecord(skeletonIndex, position);
        const FileRecord record = RecordAt(number);
        const float allowance = frequencyAllowances.Of(record.frequency);
        const bool full = best.size() == kept;
        if (full && best.front().first < -allowance - kSkeletonCostMargin) break;
        const float ceiling = full ? best.front().first + allowance + kSkeletonCostMargin
                                   : std::numeric_limits<float>::max();
        const std::string_view key = RomanOf(record);
        if (RomanSkeleton::LeastDistance(roman.size(), key.size()) > ceiling) continue;
        const RomanSkeleton::Spelling keySpelling(key);
        if (RomanSkeleton::LeastDistance(typed, keySpelling) > ceiling) continue;
        const float distance = RomanSkeleton::DistanceWithin(typed, keySpelling, ceiling);
        if (distance > ceiling) continue;
        const std::pair<float, uint32_t> entry(distance - allowance, number);
        if (full) {
            if (!(entry < best.front())) continue;
            std::pop_heap(best.begin(), best.end());
            best.back() = entry;
        } else {
            best.push_back(entry);
        }
        std::push_heap(best.begin(), best.end());
    }
    std::sort_heap(best.begin(), best.end());
    result.reserve(best.size());
    for (const auto& [cost, number] : best) result.push_back(EntryOf(RecordAt(number)));
    return result;
}

std::vector<LexiconEntry> LexiconTrie::SearchPrefix(const std::string& prefix,
                                                    uint64_t limit) const {
    std::vector<LexiconEntry> result;
    if (!HasFileLexicon(wordIndex)) return result;
    // Collecting twice the limit gives frequent words a chance against the
    // byte order of the index without walking every word of a short prefix.
    const uint64_t collectLimit = limit > std::numeric_limits<uint64_t>::max() / 2
                                      ? std::numeric_limits<uint64_t>::max()
                                      : 2 * limit;
    for (uint32_t position = LowerBound(wordIndex, true, prefix);
         position < entryCount && result.size() < collectLimit; ++position) {
        const FileRecord record = RecordAt(IndexedRecord(wordIndex, position));
        if (!StartsWith(WordOf(record), prefix)) break;
        result.push_back(EntryOf(record));
    }
    SortByFrequencyDescending(result);
    KeepFirst(result, limit);
    return result;
}

}  // namespace bangla
