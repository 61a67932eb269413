#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace bangla {

// A Bloom filter over a set of texts: "no" is certain, "maybe" is wrong for
// a few texts in a thousand. An empty filter answers "maybe".
class TextFilter {
public:
    // Room for `count` texts; forgets what it held.
    void Reset(uint64_t count);
    void Add(std::string_view text);
    bool MayHold(std::string_view text) const;

    // The text's hash, and MayHold for a text of that hash: for a caller that
    // keys more than the filter by it.
    static uint64_t Hash(std::string_view text);
    bool MayHoldHashed(uint64_t hash) const;

private:
    std::vector<uint64_t> words;  // a power of two of them
};

}  // namespace bangla
