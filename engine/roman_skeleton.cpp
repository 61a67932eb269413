#include "engine/roman_skeleton.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

#include "common/text.h"

namespace bangla {
namespace {

constexpr float kDoubledLetterCost = 0.2f;
constexpr float kAspirateCost = 0.4f;
constexpr float kVowelChangeCost = 0.4f;
constexpr float kVariantLetterCost = 0.3f;
constexpr float kVowelCost = 0.6f;
constexpr float kConsonantCost = 1.0f;
// A little under the cheapest insertion (kDoubledLetterCost), so that a sum
// of them in float arithmetic never exceeds the distance it bounds.
constexpr float kLeastInsertionShare = 0.19f;
// A little under half the cheapest change (kVariantLetterCost), likewise.
constexpr float kLeastChangeShare = 0.149f;

// w and y stand for vowels in Banglish (bhalo/bhalow, kotha/kothay).
bool IsVowelLetter(char letter) {
    switch (letter) {
        case 'a':
        case 'e':
        case 'i':
        case 'o':
        case 'u':
        case 'w':
        case 'y': return true;
        default: return false;
    }
}

// The outline letter of a consonant: the letters Banglish writers swap for
// one another share one.
const char* OutlineOf(char consonant) {
    switch (consonant) {
        case 'c':
        case 'q': return "k";
        case 'f': return "p";
        case 'v': return "b";
        case 'z': return "j";
        case 'x': return "ks";
        default: return nullptr;
    }
}

// The outline letter of a consonant, itself when it has no variant.
char OutlineLetter(char consonant) {
    const char* mapped = OutlineOf(consonant);
    return mapped != nullptr ? mapped[0] : consonant;
}

// Calls emit with each letter of the outline of roman, in order, until emit
// returns false.
template <typename Emit>
void ForEachOutlineLetter(std::string_view roman, Emit emit) {
    char last = '\0';
    for (std::size_t i = 0; i < roman.size(); ++i) {
        const char letter = qorva::AsciiLower(roman[i]);
        if (IsVowelLetter(letter)) {
            if (i == 0) {
                last = 'a';
                if (!emit('a')) return;
            }
            continue;
        }
        if (letter == 'h' && i > 0) continue;
        const char* mapped = OutlineOf(letter);
        const char plain[2] = {letter, '\0'};
        for (const char* outline = mapped != nullptr ? mapped : plain; *outline != '\0';
             ++outline) {
            if (*outline == last) continue;
            last = *outline;
            if (!emit(*outline)) return;
        }
    }
}

// What a spelling comparison needs of a byte, looked up once per letter.
struct LetterClass {
    char lower;
    bool vowel;
    short outline;    // the outline letter as an unsigned byte; kVowelOutline for a vowel
    float insertion;  // inserting or dropping it, unless it doubles the letter before
};

std::array<LetterClass, 256> ClassifyLetters() {
    std::array<LetterClass, 256> classes{};
    for (int byte = 0; byte < 256; ++byte) {
        LetterClass& letter = classes[static_cast<std::size_t>(byte)];
        letter.lower = qorva::AsciiLower(static_cast<char>(byte));
        letter.vowel = IsVowelLetter(letter.lower);
        letter.outline =
            letter.vowel
                ? RomanSkeleton::kVowelOutline
                : static_cast<short>(static_cast<unsigned char>(OutlineLetter(letter.lower)));
        letter.insertion = letter.lower == 'h' ? kAspirateCost
                           : letter.vowel      ? kVowelCost
                                               : kConsonantCost;
    }
    return classes;
}

const std::array<LetterClass, 256> kLetterClasses = ClassifyLetters();

}  // namespace

RomanSkeleton::Spelling::Spelling(std::string_view text)
    : size(std::min(text.size(), RomanSkeleton::kMaxCompared)) {
    for (std::size_t i = 0; i < size; ++i) {
        const LetterClass& letter = kLetterClasses[static_cast<unsigned char>(text[i])];
        letters[i] = letter.lower;
        vowels[i] = letter.vowel;
        outlineLetters[i] = letter.outline;
        insertionCosts[i] =
            i > 0 && letters[i - 1] == letter.lower ? kDoubledLetterCost : letter.insertion;
        ++letterCounts[letter.lower & 31];
    }
}

std::string RomanSkeleton::Of(std::string_view roman) {
    std::string outline;
    ForEachOutlineLetter(roman, [&](char letter) {
        outline += letter;
        return true;
    });
    return outline;
}

int RomanSkeleton::CompareOutline(std::string_view roman, std::string_view outline) {
    std::size_t matched = 0;
    int order = 0;
    ForEachOutlineLetter(roman, [&](char letter) {
        if (matched == outline.size()) {
            order = 1;
        } else if (letter != outline[matched]) {
            order =
                static_cast<unsigned char>(letter) < static_cast<unsigned char>(outline[matched])
                    ? -1
                    : 1;
        } else {
            ++matched;
        }
        return order == 0;
    });
    if (order == 0 && matched < outline.size()) order = -1;
    return order;
}

float RomanSkeleton::Distance(std::string_view typed, std::string_view key) {
    return DistanceWithin(Spelling(typed), Spelling(key), std::numeric_limits<float>::max());
}

// Each letter one spelling has beyond the other costs at least a doubled
// letter's insertion.
float RomanSkeleton::LeastDistance(std::size_t typedLength, std::size_t keyLength) {
    const std::size_t a = std::min(typedLength, kMaxCompared);
    const std::size_t b = std::min(keyLength, kMaxCompared);
    return kLeastInsertionShare * static_cast<float>(a > b ? a - b : b - a);
}

// Each letter one spelling holds more often than the other is inserted,
// dropped or changed: an insertion or a drop costs at least a doubled
// letter's, and a change, at least a letter variant's, settles two such
// letters at most.
float RomanSkeleton::LeastDistance(const Spelling& a, const Spelling& b) {
    int unshared = 0;
    for (std::size_t bin = 0; bin < 32; ++bin)
        unshared += std::abs(int{a.letterCounts[bin]} - int{b.letterCounts[bin]});
    const int lengthDifference = std::abs(static_cast<int>(a.size) - static_cast<int>(b.size));
    return kLeastInsertionShare * static_cast<float>(lengthDifference) +
           kLeastChangeShare * static_cast<float>(unshared - lengthDifference);
}

// Costs are never negative, so every cell on the cheapest path to a
// distance within the ceiling is itself within it, and is reached from a
// cell within it. Each row is therefore computed only over the band of
// columns that a cell of the previous row within the ceiling reaches, plus
// what steps along the row itself keep within it; the cells left out would
// exceed the ceiling. A cell within the ceiling comes out of the same sums
// as in the full table, so a distance within the ceiling is exact, and once
// a row has no cell within it, no later row can.
float RomanSkeleton::DistanceWithin(const Spelling& a, const Spelling& b, float ceiling) {
    constexpr float kBeyond = std::numeric_limits<float>::infinity();
    // Row and column 0 stand for the empty prefix; one more slot holds the
    // mark past the band.
    float rows[2][kMaxCompared + 2];
    float* previous = rows[0];
    float* current = rows[1];
    // The band of the previous row: the columns within the ceiling are
    // bandFirst..bandLast; the cells just outside it hold kBeyond or a value
    // above the ceiling.
    std::size_t bandFirst = 0;
    std::size_t bandLast = 0;
    previous[0] = 0.0f;
    if (previous[0] > ceiling) return kBeyond;
    for (std::size_t j = 1; j <= b.size; ++j) {
        previous[j] = previous[j - 1] + b.insertionCosts[j - 1];
        if (previous[j] > ceiling) break;
        bandLast = j;
    }
    previous[bandLast + 1] = kBeyond;
    for (std::size_t i = 1; i <= a.size; ++i) {
        const float insertion = a.insertionCosts[i - 1];
        const char letter = a.letters[i - 1];
        const short outline = a.outlineLetters[i - 1];
        const float variantCost = a.vowels[i - 1] ? kVowelChangeCost : kVariantLetterCost;
        std::size_t first = b.size + 1;
        std::size_t last = 0;
        const auto keep = [&](std::size_t j) {
            if (current[j] > ceiling) return;
            first = std::min(first, j);
            last = j;
        };
        std::size_t j = bandFirst;
        if (j == 0) {
            current[0] = previous[0] + insertion;
            keep(0);
            j = 1;
        } else {
            current[j - 1] = kBeyond;
        }
        // Columns that a cell of the previous row's band reaches downwards
        // or diagonally.
        const std::size_t reached = std::min(bandLast + 1, b.size);
        for (; j <= reached; ++j) {
            const float substitution = letter == b.letters[j - 1]           ? 0.0f
                                       : outline != b.outlineLetters[j - 1] ? kConsonantCost
                                                                            : variantCost;
            const float viaDiagonal = previous[j - 1] + substitution;
            const float viaSides =
                std::min(previous[j] + insertion, current[j - 1] + b.insertionCosts[j - 1]);
            current[j] = std::min(viaSides, viaDiagonal);
            keep(j);
        }
        // Further along the row only steps along it stay within the ceiling.
        for (; j <= b.size && current[j - 1] <= ceiling; ++j) {
            current[j] = current[j - 1] + b.insertionCosts[j - 1];
            keep(j);
        }
        current[j] = kBeyond;
        if (first > last) return kBeyond;
        bandFirst = first;
        bandLast = last;
        std::swap(previous, current);
    }
    return bandLast == b.size ? previous[b.size] : kBeyond;
}
}  // namespace bangla
