#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace bangla {

// Every kSpacing-th text of a sorted index, by its first eight bytes, kept
// together in memory. A binary search of the index reads an index entry, a
// record and a text far apart for every step; the samples narrow it first
// to a window of a few positions, most of them read from one small array.
class IndexSamples {
public:
    static constexpr uint32_t kSpacing = 16;

    // The positions a text may share its order with: every text before
    // `first` is smaller than it, every text after `last` greater. Empty
    // (last < first) where no text can equal it.
    struct Window {
        uint32_t first;
        int64_t last;
    };

    // Samples of the `count` texts of a sorted index; `textAt(position)`
    // gives each. An index that is not sorted gives windows that are wrong
    // but never leave [0, count).
    template <typename TextAt>
    void Build(uint32_t count, TextAt textAt) {
        prefixes.clear();
        textCount = count;
        for (uint32_t position = 0; position < count; position += kSpacing)
            prefixes.push_back(PrefixOf(textAt(position)));
    }

    void Clear() {
        prefixes.clear();
        textCount = 0;
    }

    // The whole index when nothing is sampled.
    Window Around(std::string_view text) const;

    // The first eight bytes as a number that orders as the texts do (bytes
    // compared as unsigned, a shorter text padded with zero bytes).
    static uint64_t PrefixOf(std::string_view text);

private:
    std::vector<uint64_t> prefixes;
    uint32_t textCount = 0;
};

}  // namespace bangla
