#pragma once

#include <string>

namespace bangla {

// Splits typed Latin words that carry a Bengali case, plural or postposition
// suffix ("boi-gulo", "korleo", "tomarmoto") into stem and roman suffix, and
// attaches the Bengali form of a roman suffix to a Bengali stem. Stateless.
class BanglaMorphology {
public:
    BanglaMorphology() = delete;

    // True when the suffix, ASCII-lower-cased, is one of the known suffixes.
    static bool IsRecognizedSuffix(const std::string& suffix);
    // The text ends in a vowel sign (U+09BE..U+09CC).
    static bool EndsInKar(const std::string& text);
    // The text ends in an independent vowel (U+0985..U+0994).
    static bool EndsInIndependentVowel(const std::string& text);

    // Splits at the last hyphen when a known suffix follows it. stem and
    // suffix are written only when the result is true, in the case typed.
    static bool DecomposeHyphenatedToken(const std::string& token, std::string& stem,
                                         std::string& suffix);
    // Splits off the endings "leo" (suffix: its last letter), "moto",
    // "moton" and "bhabe". Same contract as DecomposeHyphenatedToken.
    static bool DecomposeCompoundToken(const std::string& token, std::string& stem,
                                       std::string& suffix);
    // Splits a number from an ending typed onto it (8ti, 5ta, 1970er): the
    // ending is a classifier or a case ending of the number, never letters of
    // a word. Same contract as DecomposeHyphenatedToken.
    static bool DecomposeNumberToken(const std::string& token, std::string& stem,
                                     std::string& suffix);

    // The stem followed by the Bengali form of the suffix, chosen by how the
    // stem ends. An unknown suffix returns the stem; an empty stem returns "".
    static std::string AttachSuffix(const std::string& stem, const std::string& suffix);
};

}  // namespace bangla
