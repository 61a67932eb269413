#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/lexicon_format.h"
#include "engine/lexicon_trie.h"

namespace bangla {

// Writes lexicon.bin images in the format that LexiconTrie reads: header,
// string pool, record table, then the word and roman indexes sorted by plain
// byte order, and the skeleton index. Record numbers follow the order of the given entries, and
// each index keeps that order among equal texts, so a caller decides the order of an equal run (the
// words of one key) by the order of its list. The string pool stores each text once, and a text
// that starts or ends another text inside that text.

// Where the sections of an image begin, for `entryCount` records and a string
// pool of `poolSize` bytes; `skeletonIndex` is where the optional skeleton
// index starts, and the size of an image without it.
struct LexiconImageLayout {
    uint64_t stringPool;
    uint64_t recordTable;
    uint64_t wordIndex;
    uint64_t romanIndex;
    uint64_t skeletonIndex;
};
LexiconImageLayout LexiconLayoutOf(uint32_t entryCount, uint32_t poolSize);

// Bytes of a skeleton index of `count` record numbers, its header included.
uint64_t SkeletonIndexBytes(uint32_t count);

// False when the entries do not fit the format: a text longer than 65535
// bytes, or a string pool or record count beyond 32 bits. `image` is then
// left empty.
bool BuildLexiconImage(const std::vector<LexiconEntry>& entries, std::vector<uint8_t>& image);

// Builds the image and writes it through a temporary file beside `utf8Path`
// that replaces the destination only once it is complete.
bool WriteLexiconFile(const std::string& utf8Path, const std::vector<LexiconEntry>& entries);

// Little-endian stores into an image, for callers that damage one on purpose
// (tests of the loader) or patch a header. Out-of-range offsets are ignored.
void StoreU16(std::vector<uint8_t>& image, uint64_t offset, uint16_t value);
void StoreU32(std::vector<uint8_t>& image, uint64_t offset, uint32_t value);

}  // namespace bangla
