#include "engine/text_filter.h"

#include <cstring>

namespace bangla {
namespace {

// Bits of a text filter per text, and bits set per text. All bits of one
// text lie in one 64-bit word, so a lookup reads one word of memory.
const uint64_t kFilterBitsPerText = 8;
const int kFilterProbes = 4;

uint64_t Mix(uint64_t value) {
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDull;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53ull;
    value ^= value >> 33;
    return value;
}

// Eight bytes at a time, one multiplication each and one full mix at the
// end; a good spread matters here, not resistance to crafted input (a
// crafted lexicon only makes its own lookups slower).
uint64_t HashText(std::string_view text) {
    uint64_t hash = text.size() * 0x9E3779B97F4A7C15ull;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        uint64_t chunk;
        std::memcpy(&chunk, text.data() + at, 8);
        hash = (hash ^ chunk) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, text.data() + at, text.size() - at);
    return Mix(hash ^ tail);
}

// The word of the text and the bits set in it.
struct FilterSlot {
    uint64_t word;
    uint64_t bits;
};

FilterSlot SlotOf(uint64_t hash, uint64_t wordCount) {
    uint64_t bits = 0;
    for (int probe = 0; probe < kFilterProbes; ++probe)
        bits |= uint64_t{1} << ((hash >> (6 * probe)) & 63);
    return FilterSlot{(hash >> 32) & (wordCount - 1), bits};
}

}  // namespace

void TextFilter::Reset(uint64_t count) {
    uint64_t wordCount = 1;
    while (wordCount * 64 < kFilterBitsPerText * count) wordCount *= 2;
    words.assign(static_cast<size_t>(wordCount), 0);
}

uint64_t TextFilter::Hash(std::string_view text) { return HashText(text); }

void TextFilter::Add(std::string_view text) {
    const FilterSlot slot = SlotOf(HashText(text), words.size());
    words[slot.word] |= slot.bits;
}

bool TextFilter::MayHold(std::string_view text) const { return MayHoldHashed(HashText(text)); }

bool TextFilter::MayHoldHashed(uint64_t hash) const {
    if (words.empty()) return true;
    const FilterSlot slot = SlotOf(hash, words.size());
    return (words[slot.word] & slot.bits) == slot.bits;
}

}  // namespace bangla
