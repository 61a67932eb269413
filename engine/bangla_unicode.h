#pragma once

#include <string>
#include <vector>

namespace bangla {

// One user-perceived unit of Bengali text: a base letter with the marks that
// follow it, or a hasant-joined chain of letters (a conjunct).
struct GraphemeCluster {
    std::u32string codepoints;  // never empty
    bool hasHasant = false;     // holds U+09CD
    bool hasKar = false;        // holds a vowel sign U+09BE..U+09CC
    bool hasModifier = false;   // holds U+0981, U+0982 or U+0983
};

// Stateless helpers for Bengali text. Text is UTF-8 in byte strings;
// single characters are handled as UTF-32 code points. Malformed UTF-8 is
// never an error: every function works on what Utf8ToUtf32 keeps.
class UnicodeUtils {
public:
    UnicodeUtils() = delete;

    static bool IsBengali(char32_t cp);
    static bool IsVowel(char32_t cp);
    static bool IsConsonant(char32_t cp);
    static bool IsKar(char32_t cp);
    static bool IsModifier(char32_t cp);

    // Independent vowel <-> vowel sign; 0 when there is none.
    static char32_t VowelToKar(char32_t vowel);
    static char32_t KarToVowel(char32_t kar);

    static std::u32string Utf8ToUtf32(const std::string& utf8);
    static std::string Utf32ToUtf8(const std::u32string& utf32);
    // Empty when the code point is above U+10FFFF.
    static std::string CodepointToUtf8(char32_t cp);

    static bool IsValidBengaliSequence(const std::string& text);
    static bool HasDanglingHasant(const std::string& text);
    static std::vector<GraphemeCluster> SegmentGraphemes(const std::string& text);
    static std::string BackspaceGrapheme(const std::string& text);
    // Rewrites nukta, split-vowel and Assamese forms into the forms the
    // lexicon stores, so two encodings of one word compare equal.
    static std::string CanonicalizeBengali(const std::string& text);
};

}  // namespace bangla
