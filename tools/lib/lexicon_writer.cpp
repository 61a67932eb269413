#include "tools/lib/lexicon_writer.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "common/file_path.h"
#include "engine/roman_skeleton.h"

namespace bangla {
namespace {

using Format = LexiconFormat;

// The string pool. A text that is the start or the end of another text is
// stored inside that text (a record names any offset and length), which
// saves about a quarter of the pool: keys are often the start of longer keys
// (ami, amike) and words the start or end of their inflected forms. Texts
// that lie inside no other text ("roots") follow each other in order of
// first use.
class StringPool {
public:
    void Add(std::string_view text) {
        if (indexOf.emplace(text, static_cast<uint32_t>(texts.size())).second)
            texts.push_back(text);
    }

    // False once the pool would pass 32-bit offsets.
    bool Lay() {
        const uint32_t count = static_cast<uint32_t>(texts.size());
        host.assign(count, {0, 0});
        for (uint32_t i = 0; i < count; ++i) host[i] = {i, 0};
        ShareStartsOfTexts();
        ShareEndsOfTexts();
        offsets.assign(count, 0);
        for (uint32_t i = 0; i < count; ++i) {
            if (host[i].text != i) continue;
            if (bytes.size() + texts[i].size() > std::numeric_limits<uint32_t>::max()) return false;
            offsets[i] = static_cast<uint32_t>(bytes.size());
            bytes += texts[i];
        }
        for (uint32_t i = 0; i < count; ++i) offsets[i] = OffsetInRoot(i);
        return true;
    }

    uint32_t OffsetOf(std::string_view text) const { return offsets[indexOf.at(text)]; }

    std::string bytes;

private:
    struct Host {
        uint32_t text;    // the text this one lies in (itself for a root)
        uint32_t offset;  // where it starts there
    };

    // In byte order a text that starts another text is followed by texts
    // that start with it; the last of that chain holds them all.
    void ShareStartsOfTexts() {
        std::vector<uint32_t> order = AllTexts();
        std::sort(order.begin(), order.end(),
                  [&](uint32_t a, uint32_t b) { return texts[a] < texts[b]; });
        for (size_t k = order.size(); k-- > 1;) {
            const uint32_t shorter = order[k - 1], longer = order[k];
            if (texts[longer].substr(0, texts[shorter].size()) == texts[shorter])
                host[shorter] = host[longer];
        }
    }

    // The same over reversed texts, for texts that are not yet inside another.
    void ShareEndsOfTexts() {
        std::vector<uint32_t> order;
        for (uint32_t i : AllTexts()) {
            if (host[i].text == i) order.push_back(i);
        }
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return std::lexicographical_compare(
                texts[a].rbegin(), texts[a].rend(), texts[b].rbegin(), texts[b].rend(),
                [](char x, char y) {
                    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                });
        });
        for (size_t k = order.size(); k-- > 1;) {
            const uint32_t shorter = order[k - 1], longer = order[k];
            const std::string_view end = texts[longer].substr(
                texts[longer].size() - std::min(texts[longer].size(), texts[shorter].size()));
            if (end != texts[shorter]) continue;
            const uint32_t lead =
                static_cast<uint32_t>(texts[longer].size() - texts[shorter].size());
            host[shorter] = {host[longer].text, host[longer].offset + lead};
        }
    }

    // A text lies in the text it was shared into, which may itself lie in
    // the end of a root.
    uint32_t OffsetInRoot(uint32_t i) const {
        uint32_t offset = 0;
        while (host[i].text != i) {
            offset += host[i].offset;
            i = host[i].text;
        }
        return offset + offsets[i];
    }

    std::vector<uint32_t> AllTexts() const {
        std::vector<uint32_t> all(texts.size());
        std::iota(all.begin(), all.end(), 0u);
        return all;
    }

    std::vector<std::string_view> texts;  // distinct texts in order of first use
    std::unordered_map<std::string_view, uint32_t> indexOf;
    std::vector<Host> host;
    std::vector<uint32_t> offsets;
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

void StoreIndex(std::vector<uint8_t>& image, uint64_t offset,
                const std::vector<uint32_t>& numbers) {
    for (size_t position = 0; position < numbers.size(); ++position) {
        StoreU32(image, offset + Format::kIndexEntryBytes * position, numbers[position]);
    }
}

// Record numbers by the skeleton of their keys, the most frequent word first
// within a skeleton, and one record for each word of a skeleton: the search
// ranks words, and a word's other keys of the same outline add nothing.
std::vector<uint32_t> SkeletonOrder(const std::vector<LexiconEntry>& entries) {
    std::vector<std::string> skeletons;
    skeletons.reserve(entries.size());
    for (const LexiconEntry& entry : entries) skeletons.push_back(RomanSkeleton::Of(entry.roman));
    std::vector<uint32_t> numbers;
    for (uint32_t number = 0; number < entries.size(); ++number) {
        if (!skeletons[number].empty()) numbers.push_back(number);
    }
    std::stable_sort(numbers.begin(), numbers.end(), [&](uint32_t a, uint32_t b) {
        if (skeletons[a] != skeletons[b]) return skeletons[a] < skeletons[b];
        if (entries[a].frequency != entries[b].frequency)
            return entries[a].frequency > entries[b].frequency;
        return entries[a].word < entries[b].word;
    });
    const auto sameWordAndSkeleton = [&](uint32_t a, uint32_t b) {
        return skeletons[a] == skeletons[b] && entries[a].word == entries[b].word;
    };
    numbers.erase(std::unique(numbers.begin(), numbers.end(), sameWordAndSkeleton), numbers.end());
    return numbers;
}

void StoreSkeletonIndex(std::vector<uint8_t>& image, uint64_t offset,
                        const std::vector<uint32_t>& numbers) {
    StoreU32(image, offset, Format::kSkeletonMagic);
    StoreU32(image, offset + 4, Format::kSkeletonVersion);
    StoreU32(image, offset + 8, static_cast<uint32_t>(numbers.size()));
    StoreIndex(image, offset + Format::kSkeletonHeaderBytes, numbers);
}

}  // namespace

LexiconImageLayout LexiconLayoutOf(uint32_t entryCount, uint32_t poolSize) {
    LexiconImageLayout layout;
    layout.stringPool = Format::kHeaderBytes;
    layout.recordTable = layout.stringPool + poolSize;
    layout.wordIndex = layout.recordTable + Format::kRecordBytes * entryCount;
    layout.romanIndex = layout.wordIndex + Format::kIndexEntryBytes * entryCount;
    layout.skeletonIndex = layout.romanIndex + Format::kIndexEntryBytes * entryCount;
    return layout;
}

uint64_t SkeletonIndexBytes(uint32_t count) {
    return Format::kSkeletonHeaderBytes + Format::kIndexEntryBytes * count;
}

void StoreU16(std::vector<uint8_t>& image, uint64_t offset, uint16_t value) {
    if (offset > image.size() || image.size() - offset < 2) return;
    image[offset] = static_cast<uint8_t>(value);
    image[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void StoreU32(std::vector<uint8_t>& image, uint64_t offset, uint32_t value) {
    if (offset > image.size() || image.size() - offset < 4) return;
    for (int byte = 0; byte < 4; ++byte)
        image[offset + byte] = static_cast<uint8_t>(value >> (8 * byte));
}

namespace {

bool BuildImage(const std::vector<LexiconEntry>& entries, std::vector<uint8_t>& image) {
    if (entries.size() > std::numeric_limits<uint32_t>::max()) return false;
    StringPool pool;
    for (const LexiconEntry& entry : entries) {
        if (!FitsRecordLength(entry.word) || !FitsRecordLength(entry.roman)) return false;
        pool.Add(entry.word);
        pool.Add(entry.roman);
    }
    if (!pool.Lay()) return false;
    const uint32_t count = static_cast<uint32_t>(entries.size());
    const LexiconImageLayout layout =
        LexiconLayoutOf(count, static_cast<uint32_t>(pool.bytes.size()));
    const std::vector<uint32_t> skeletonOrder = SkeletonOrder(entries);
    // A lexicon without keys has no skeleton index: a bare header stays 16 bytes.
    const uint64_t skeletonBytes =
        skeletonOrder.empty() ? 0 : SkeletonIndexBytes(static_cast<uint32_t>(skeletonOrder.size()));
    image.assign(static_cast<size_t>(layout.skeletonIndex + skeletonBytes), 0);
    StoreU32(image, 0, Format::kMagic);
    StoreU32(image, 4, Format::kVersion);
    StoreU32(image, 8, count);
    StoreU32(image, 12, static_cast<uint32_t>(pool.bytes.size()));
    std::copy(pool.bytes.begin(), pool.bytes.end(),
              image.begin() + static_cast<ptrdiff_t>(layout.stringPool));
    for (uint32_t number = 0; number < count; ++number) {
        const uint64_t record = layout.recordTable + Format::kRecordBytes * number;
        const LexiconEntry& entry = entries[number];
        StoreU32(image, record + Format::kWordOffset, pool.OffsetOf(entry.word));
        StoreU16(image, record + Format::kWordLength, static_cast<uint16_t>(entry.word.size()));
        StoreU32(image, record + Format::kRomanOffset, pool.OffsetOf(entry.roman));
        StoreU16(image, record + Format::kRomanLength, static_cast<uint16_t>(entry.roman.size()));
        StoreU32(image, record + Format::kFrequency, entry.frequency);
        StoreU16(image, record + Format::kTag, entry.tag);
    }
    StoreIndex(image, layout.wordIndex,
               SortedRecordNumbers(
                   entries, [](const LexiconEntry& e) -> const std::string& { return e.word; }));
    StoreIndex(image, layout.romanIndex,
               SortedRecordNumbers(
                   entries, [](const LexiconEntry& e) -> const std::string& { return e.roman; }));
    if (!skeletonOrder.empty()) StoreSkeletonIndex(image, layout.skeletonIndex, skeletonOrder);
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
    std::FILE* file = qorva::OpenFile(temporaryPath, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || !qorva::MoveFileReplacing(temporaryPath, utf8Path)) {
        qorva::RemoveFile(temporaryPath);
        return false;
    }
    return true;
}

}  // namespace bangla
