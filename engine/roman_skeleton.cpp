#include "engine/roman_skeleton.h"

#include <algorithm>

#include "common/text.h"

namespace bangla {
namespace {

constexpr float kDoubledLetterCost = 0.2f;
constexpr float kAspirateCost = 0.4f;
constexpr float kVowelChangeCost = 0.4f;
constexpr float kVariantLetterCost = 0.3f;
constexpr float kVowelCost = 0.6f;
constexpr float kConsonantCost = 1.0f;

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

void AppendOutline(std::string& outline, const char* letters) {
    for (; *letters != '\0'; ++letters) {
        if (outline.empty() || outline.back() != *letters) outline += *letters;
    }
}

// One spelling prepared for comparison: its letters in lower case and the
// cost of inserting or dropping each of them.
struct PreparedSpelling {
    std::size_t size = 0;
    char letters[RomanSkeleton::kMaxCompared];
    bool vowels[RomanSkeleton::kMaxCompared];
    float insertionCosts[RomanSkeleton::kMaxCompared];

    explicit PreparedSpelling(std::string_view text)
        : size(std::min(text.size(), RomanSkeleton::kMaxCompared)) {
        for (std::size_t i = 0; i < size; ++i) {
            letters[i] = qorva::AsciiLower(text[i]);
            vowels[i] = IsVowelLetter(letters[i]);
            insertionCosts[i] = InsertionCost(i);
        }
    }

private:
    float InsertionCost(std::size_t at) const {
        if (at > 0 && letters[at - 1] == letters[at]) return kDoubledLetterCost;
        if (letters[at] == 'h') return kAspirateCost;
        return vowels[at] ? kVowelCost : kConsonantCost;
    }
};

// The outline letter of a consonant, itself when it has no variant.
char OutlineLetter(char consonant) {
    const char* mapped = OutlineOf(consonant);
    return mapped != nullptr ? mapped[0] : consonant;
}

float SubstitutionCost(const PreparedSpelling& a, std::size_t i, const PreparedSpelling& b,
                       std::size_t j) {
    if (a.letters[i] == b.letters[j]) return 0.0f;
    if (a.vowels[i] && b.vowels[j]) return kVowelChangeCost;
    if (!a.vowels[i] && !b.vowels[j] &&
        OutlineLetter(a.letters[i]) == OutlineLetter(b.letters[j])) {
        return kVariantLetterCost;
    }
    return kConsonantCost;
}

}  // namespace

std::string RomanSkeleton::Of(std::string_view roman) {
    std::string outline;
    for (std::size_t i = 0; i < roman.size(); ++i) {
        const char letter = qorva::AsciiLower(roman[i]);
        if (IsVowelLetter(letter)) {
            if (i == 0) outline += 'a';
            continue;
        }
        if (letter == 'h' && i > 0) continue;
        const char* mapped = OutlineOf(letter);
        const char plain[2] = {letter, '\0'};
        AppendOutline(outline, mapped != nullptr ? mapped : plain);
    }
    return outline;
}

float RomanSkeleton::Distance(std::string_view typed, std::string_view key) {
    const PreparedSpelling a(typed);
    const PreparedSpelling b(key);
    float previous[kMaxCompared + 1];
    float current[kMaxCompared + 1];
    previous[0] = 0.0f;
    for (std::size_t j = 1; j <= b.size; ++j)
        previous[j] = previous[j - 1] + b.insertionCosts[j - 1];
    for (std::size_t i = 1; i <= a.size; ++i) {
        current[0] = previous[0] + a.insertionCosts[i - 1];
        for (std::size_t j = 1; j <= b.size; ++j) {
            current[j] = std::min({previous[j] + a.insertionCosts[i - 1],
                                   current[j - 1] + b.insertionCosts[j - 1],
                                   previous[j - 1] + SubstitutionCost(a, i - 1, b, j - 1)});
        }
        std::copy(current, current + b.size + 1, previous);
    }
    return previous[b.size];
}

}  // namespace bangla
