#pragma once

#include <cstddef>
#include <cstdint>

namespace bangla {

// One built-in word pair: how often `follower` comes after `first`. A first
// word may be two words joined by one space, so that the two preceding words
// predict the next one.
struct BuiltinWordPair {
    const char* first;
    const char* follower;
    uint32_t count;
};

// Common Bengali phrases (and a few English ones) that rank candidates and
// predict next words before the user has taught the engine anything. The
// texts are stored as they were collected: several spell the nukta letters
// as base letter plus U+09BC, so readers canonicalise them before comparing
// them with typed or committed text. A pair listed twice adds up.
constexpr std::size_t kBuiltinWordPairCount = 196;
extern const BuiltinWordPair kBuiltinWordPairs[kBuiltinWordPairCount];

}  // namespace bangla
