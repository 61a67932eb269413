#include "engine/roman_skeleton.h"

#include <algorithm>
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

}  // namespace

RomanSkeleton::Spelling::Spelling(std::string_view text)
    : size(std::min(text.size(), RomanSkeleton::kMaxCompared)) {
    for (std::size_t i = 0; i < size; ++i) {
        letters[i] = qorva::AsciiLower(text[i]);
        vowels[i] = IsVowelLetter(letters[i]);
        outlineLetters[i] =
            vowels[i] ? kVowelOutline
                      : static_cast<short>(static_cast<unsigned char>(OutlineLetter(letters[i])));
        insertionCosts[i] = InsertionCost(i);
    }
}

float RomanSkeleton::Spelling::InsertionCost(std::size_t at) const {
    if (at > 0 && letters[at - 1] == letters[at]) return kDoubledLetterCost;
    if (letters[at] == 'h') return kAspirateCost;
    return vowels[at] ? kVowelCost : kConsonantCost;
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

// Costs are never negative, so a row's least value bounds the distance from
// below: once it passes the ceiling, the rest cannot bring it back.
float RomanSkeleton::DistanceWithin(const Spelling& a, const Spelling& b, float ceiling) {
    const auto substitutionCost = [&](std::size_t i, std::size_t j) {
        if (a.letters[i] == b.letters[j]) return 0.0f;
        if (a.outlineLetters[i] != b.outlineLetters[j]) return kConsonantCost;
        return a.vowels[i] ? kVowelChangeCost : kVariantLetterCost;
    };
    float rows[2][kMaxCompared + 1];
    float* previous = rows[0];
    float* current = rows[1];
    previous[0] = 0.0f;
    for (std::size_t j = 1; j <= b.size; ++j)
        previous[j] = previous[j - 1] + b.insertionCosts[j - 1];
    for (std::size_t i = 1; i <= a.size; ++i) {
        const float insertion = a.insertionCosts[i - 1];
        current[0] = previous[0] + insertion;
        float rowLeast = current[0];
        for (std::size_t j = 1; j <= b.size; ++j) {
            const float viaDiagonal = previous[j - 1] + substitutionCost(i - 1, j - 1);
            const float viaSides =
                std::min(previous[j] + insertion, current[j - 1] + b.insertionCosts[j - 1]);
            current[j] = std::min(viaSides, viaDiagonal);
            rowLeast = std::min(rowLeast, current[j]);
        }
        if (rowLeast > ceiling) return rowLeast;
        std::swap(previous, current);
    }
    return previous[b.size];
}

}  // namespace bangla
