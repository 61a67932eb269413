#include "engine/index_samples.h"

#include <algorithm>

namespace bangla {

uint64_t IndexSamples::PrefixOf(std::string_view text) {
    uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const uint64_t byte = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        prefix = (prefix << 8) | byte;
    }
    return prefix;
}

// A sample whose prefix is below the text's is a smaller text, and so is
// every text before it; one whose prefix is above is a greater text, and so
// is every text after it.
IndexSamples::Window IndexSamples::Around(std::string_view text) const {
    if (prefixes.empty()) return Window{0, static_cast<int64_t>(textCount) - 1};
    const uint64_t prefix = PrefixOf(text);
    const auto smaller = std::lower_bound(prefixes.begin(), prefixes.end(), prefix);
    const auto greater = std::upper_bound(smaller, prefixes.end(), prefix);
    const uint32_t smallerSamples = static_cast<uint32_t>(smaller - prefixes.begin());
    const uint32_t firstGreater = static_cast<uint32_t>(greater - prefixes.begin());
    Window window;
    window.first = smallerSamples == 0 ? 0 : (smallerSamples - 1) * kSpacing + 1;
    window.last = firstGreater == prefixes.size()
                      ? static_cast<int64_t>(textCount) - 1
                      : static_cast<int64_t>(firstGreater) * kSpacing - 1;
    return window;
}

}  // namespace bangla
