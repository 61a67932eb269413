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

private:
    std::vector<uint64_t> words;  // a power of two of them
};

}  // namespace bangla
