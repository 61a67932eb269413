#pragma once

#include <cstdint>
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
    // Spellings longer than this are never compared (the distance table is
    // fixed-size so that a keystroke allocates nothing for it).
    static constexpr std::size_t kMaxCompared = 48;
    // The outline letter recorded for a vowel, apart from every byte.
    static constexpr short kVowelOutline = 256;

    // One spelling prepared for comparison: its letters in lower case and the
    // cost of inserting or dropping each of them. A search prepares the typed
    // spelling once for all the keys it compares it with.
    class Spelling {
    public:
        explicit Spelling(std::string_view text);

    private:
        friend class RomanSkeleton;

        std::size_t size = 0;
        char letters[kMaxCompared];
        // A consonant's outline letter as an unsigned byte; kVowelOutline for a vowel.
        short outlineLetters[kMaxCompared];
        bool vowels[kMaxCompared];
        float insertionCosts[kMaxCompared];
        // How often each letter occurs, letters that share the low five
        // bits of their byte counted together.
        uint8_t letterCounts[32] = {};
    };

    static std::string Of(std::string_view roman);

    // The order of Of(roman) against an outline (negative, 0, positive, as
    // string comparison), without building the outline.
    static int CompareOutline(std::string_view roman, std::string_view outline);

    // How far apart two spellings of one outline are: vowel changes, an h
    // and a doubled letter cost less than a changed consonant.
    static float Distance(std::string_view typed, std::string_view key);

    // A bound from below on the distance of two spellings of these lengths.
    static float LeastDistance(std::size_t typedLength, std::size_t keyLength);
    // A tighter bound from the letters the two spellings do not share.
    static float LeastDistance(const Spelling& typed, const Spelling& key);

    // The distance when it is at most `ceiling`; otherwise some value above
    // `ceiling`, found as soon as the comparison shows it will be.
    static float DistanceWithin(const Spelling& typed, const Spelling& key, float ceiling);
};

}  // namespace bangla
