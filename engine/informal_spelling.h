#pragma once

#include <string>
#include <vector>

namespace bangla {

// Everyday chat spellings of Bengali words differ from the careful ones in a
// handful of regular habits: c for ch (korcen), v for bh (vai), u for o
// (kuno), a for e at the start (akono), z for j, a dropped h after a stop
// (kotha typed kota), s for sh or ch, long vowels spelled double (jeeban),
// letters stretched for emphasis (plzzz). This class undoes those habits:
// from a typed key it derives a few standard-looking keys for the lexicon to
// look up. It knows no words, only the habits, and holds no state.
class InformalSpelling {
public:
    // At most this many keys come back, so a keystroke stays cheap.
    static constexpr std::size_t kMaxAlternatives = 16;

    // Keys that differ from `typed` (lower-case ASCII expected) by undoing
    // one habit, then two, in the habits' order of how often they explain a
    // chat spelling. The typed key itself is never among them; a key with a
    // byte outside a-z gives none.
    static std::vector<std::string> AlternativeKeys(const std::string& typed);
};

}  // namespace bangla
