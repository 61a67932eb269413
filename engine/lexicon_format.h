#pragma once

#include <cstdint>

namespace bangla {

// The layout of lexicon.bin (see lexicon_trie.h for the whole picture), one
// definition for the loader and for the tools that write the file.
struct LexiconFormat {
    static constexpr uint32_t kMagic = 0x4C474E42;  // "BNGL" read as a little-endian uint32
    static constexpr uint32_t kVersion = 2;
    static constexpr uint64_t kHeaderBytes = 16;
    static constexpr uint64_t kIndexEntryBytes = 4;

    // One record: its size and the offsets of its fields, which are not aligned.
    static constexpr uint64_t kRecordBytes = 20;
    static constexpr uint64_t kWordOffset = 0;
    static constexpr uint64_t kWordLength = 4;
    static constexpr uint64_t kRomanOffset = 6;
    static constexpr uint64_t kRomanLength = 10;
    static constexpr uint64_t kFrequency = 12;
    static constexpr uint64_t kTag = 16;

    // The optional skeleton index after the roman index.
    static constexpr uint32_t kSkeletonMagic = 0x4C454B53;  // "SKEL"
    static constexpr uint32_t kSkeletonVersion = 1;
    static constexpr uint64_t kSkeletonHeaderBytes = 12;
};

}  // namespace bangla
