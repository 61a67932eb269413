#include "tools/lib/lexicon_writer.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "engine/file_path.h"

namespace bangla {
namespace {

const uint32_t kMagic = 0x4C474E42;  // "BNGL"
const uint32_t kVersion = 2;
const uint64_t kHeaderBytes = 16;
const uint64_t kIndexEntryBytes = 4;

struct PooledRecord {
    uint32_t wordOffset;
    uint32_t romanOffset;
};

class StringPool {
public:
    // False once the pool would pass 32-bit offsets.
    bool Add(const std::string& text, uint32_t& offset) {
        const auto found = offsets.find(text);
        if (found != offsets.end()) {
            offset = found->second;
            return true;
        }
        if (bytes.size() + text.size() > std::numeric_limits<uint32_t>::max()) return false;
        offset = static_cast<uint32_t>(bytes.size());
        bytes += text;
        offsets.emplace(text, offset);
        return true;
    }

    std::string bytes;

private:
    std::unordered_map<std::string, uint32_t> offsets;
};

bool FitsRecordLength(const std::string& text) {
    return text.size() <= std::numeric_limits<uint16_t>::max();
}

// Record numbers ordered by the text that `textOf` picks; equal texts keep
// record order.
template <typename TextOf>
std::vector<uint32_t> SortedRecordNumbers(const std::vector<LexiconEntry>& entries, TextOf textOf) {
    std::vector<uint32_t> numbers(entries.size());
    std::iota(numbers.begin(), numbers.end(), 0u);
    std::stable_sort(numbers.begin(), numbers.end(), [&](uint32_t a, uint32_t b) {
        return std::string_view(textOf(entries[a])) < std::string_view(textOf(entries[b]));
    });
    return numbers;
}

void StoreIndex(std::vector<uint8_t>& image, uint64_t offset, const std::vector<uint32_t>& numbers) {
    for (size_t position = 0; position < numbers.size(); ++position) {
        StoreU32(image, offset + kIndexEntryBytes * position, numbers[position]);
    }
}

}  // namespace

LexiconImageLayout LexiconLayoutOf(uint32_t entryCount, uint32_t poolSize) {
    LexiconImageLayout layout;
    layout.stringPool = kHeaderBytes;
    layout.recordTable = layout.stringPool + poolSize;
    layout.wordIndex = layout.recordTable + LexiconRecordField::kRecordBytes * entryCount;
    layout.romanIndex = layout.wordIndex + kIndexEntryBytes * entryCount;
    layout.end = layout.romanIndex + kIndexEntryBytes * entryCount;
    return layout;
}

void StoreU16(std::vector<uint8_t>& image, uint64_t offset, uint16_t value) {
    if (offset > image.size() || image.size() - offset < 2) return;
    image[offset] = static_cast<uint8_t>(value);
    image[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void StoreU32(std::vector<uint8_t>& image, uint64_t offset, uint32_t value) {
    if (offset > image.size() || image.size() - offset < 4) return;
    for (int byte = 0; byte < 4; ++byte) image[offset + byte] = static_cast<uint8_t>(value >> (8 * byte));
}

namespace {

bool BuildImage(const std::vector<LexiconEntry>& entries, std::vector<uint8_t>& image) {
    if (entries.size() > std::numeric_limits<uint32_t>::max()) return false;
    StringPool pool;
    std::vector<PooledRecord> pooled(entries.size());
    for (size_t number = 0; number < entries.size(); ++number) {
        const LexiconEntry& entry = entries[number];
        if (!FitsRecordLength(entry.word) || !FitsRecordLength(entry.roman) ||
            !pool.Add(entry.word, pooled[number].wordOffset) || !pool.Add(entry.roman, pooled[number].romanOffset)) {
            return false;
        }
    }
    const uint32_t count = static_cast<uint32_t>(entries.size());
    const LexiconImageLayout layout = LexiconLayoutOf(count, static_cast<uint32_t>(pool.bytes.size()));
    image.assign(static_cast<size_t>(layout.end), 0);
    StoreU32(image, 0, kMagic);
    StoreU32(image, 4, kVersion);
    StoreU32(image, 8, count);
    StoreU32(image, 12, static_cast<uint32_t>(pool.bytes.size()));
    std::copy(pool.bytes.begin(), pool.bytes.end(), image.begin() + static_cast<ptrdiff_t>(layout.stringPool));
    for (uint32_t number = 0; number < count; ++number) {
        const uint64_t record = layout.recordTable + LexiconRecordField::kRecordBytes * number;
        const LexiconEntry& entry = entries[number];
        StoreU32(image, record + LexiconRecordField::kWordOffset, pooled[number].wordOffset);
        StoreU16(image, record + LexiconRecordField::kWordLength, static_cast<uint16_t>(entry.word.size()));
        StoreU32(image, record + LexiconRecordField::kRomanOffset, pooled[number].romanOffset);
        StoreU16(image, record + LexiconRecordField::kRomanLength, static_cast<uint16_t>(entry.roman.size()));
        StoreU32(image, record + LexiconRecordField::kFrequency, entry.frequency);
        StoreU16(image, record + LexiconRecordField::kTag, entry.tag);
    }
    StoreIndex(image, layout.wordIndex,
               SortedRecordNumbers(entries, [](const LexiconEntry& e) -> const std::string& { return e.word; }));
    StoreIndex(image, layout.romanIndex,
               SortedRecordNumbers(entries, [](const LexiconEntry& e) -> const std::string& { return e.roman; }));
    return true;
}

}  // namespace

bool BuildLexiconImage(const std::vector<LexiconEntry>& entries, std::vector<uint8_t>& image) {
    image.clear();
    try {
        if (BuildImage(entries, image)) return true;
    } catch (const std::bad_alloc&) {
    }
    image.clear();
    return false;
}

bool WriteLexiconFile(const std::string& utf8Path, const std::vector<LexiconEntry>& entries) {
    std::vector<uint8_t> image;
    if (!BuildLexiconImage(entries, image)) return false;
    const std::string temporaryPath = utf8Path + ".tmp";
    std::FILE* file = OpenFile(temporaryPath, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || !MoveFileReplacing(temporaryPath, utf8Path)) {
        RemoveFile(temporaryPath);
        return false;
    }
    return true;
}

}  // namespace bangla
