#pragma once

#include <string>
#include <string_view>

namespace bangla {

// The consonant outline of a Latin spelling, for finding a word whatever
// vowels, aspirate h's, doubled letters and letter variants (v/bh, z/j, c/k,
// ph/f) its writer chose: "shotti", "sotyi" and "satti" share "stt" -> "st";
// "kapsul" and "capshule" share "kpsl". Only a leading vowel is kept, as "a",
// because whether a word starts with one tells words apart.
//
// Outlines order lexicon.bin's skeleton index (lexicon_trie.h): a
// change here needs the lexicon rebuilt, or searches miss.
class RomanSkeleton {
public:
    static std::string Of(std::string_view roman);

    // How far apart two spellings of one outline are: vowel changes, an h
    // and a doubled letter cost less than a changed consonant.
    static float Distance(std::string_view typed, std::string_view key);

    // Spellings longer than this are never compared (the distance table is
    // fixed-size so that a keystroke allocates nothing for it).
    static constexpr std::size_t kMaxCompared = 48;
};

}  // namespace bangla
