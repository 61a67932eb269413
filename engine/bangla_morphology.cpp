#include "engine/bangla_morphology.h"

#include <cstddef>

#include "common/text.h"

namespace bangla {

namespace {

// The roman suffixes that the decomposers accept, ended by a null entry.
const char* const kKnownSuffixes[] = {
    "er",   "r",    "o",     "ke",    "re",   "e",   "te",   "ta",    "ti",    "ra",    "der",
    "gulo", "guli", "khana", "khani", "tuku", "tai", "moto", "moton", "bhabe", nullptr,
};

// Bengali form of each roman suffix by the way the stem ends. Only "er", "r"
// and "e" change with the stem: after a vowel the linking y-sound is written
// with the precomposed U+09DF, never as U+09AF plus nukta. A stem that ends
// in what cannot carry a vowel sign (a digit, ং, a hasant, Latin letters)
// takes the vowel on its own behind a hyphen, as in ১৯৭০-এর.
struct SuffixForms {
    const char* roman;
    const char* afterVowelSign;
    const char* afterVowel;
    const char* afterConsonant;
    const char* afterNoSignBearer;
};

const SuffixForms kSuffixForms[] = {
    {"er", "র", "য়ের", "ের", "-এর"},
    {"r", "র", "র", "ের", "-এর"},
    {"e", "য়", "য়", "ে", "-এ"},
    {"o", "ও", "ও", "ও", "ও"},
    {"ke", "কে", "কে", "কে", "কে"},
    {"re", "রে", "রে", "রে", "রে"},
    {"te", "তে", "তে", "তে", "তে"},
    {"ta", "টা", "টা", "টা", "টা"},
    {"ti", "টি", "টি", "টি", "টি"},
    {"ra", "রা", "রা", "রা", "রা"},
    {"der", "দের", "দের", "দের", "দের"},
    {"gulo", "গুলো", "গুলো", "গুলো", "গুলো"},
    {"guli", "গুলি", "গুলি", "গুলি", "গুলি"},
    {"khana", "খানা", "খানা", "খানা", "খানা"},
    {"khani", "খানি", "খানি", "খানি", "খানি"},
    {"tuku", "টুকু", "টুকু", "টুকু", "টুকু"},
    {"tai", "টাই", "টাই", "টাই", "টাই"},
    {"moto", "মতো", "মতো", "মতো", "মতো"},
    {"moton", "মতন", "মতন", "মতন", "মতন"},
    {"bhabe", "ভাবে", "ভাবে", "ভাবে", "ভাবে"},
};

enum class StemClass { VowelSign, Vowel, Consonant, NoSignBearer };

const char kKhandaTa[] = "\u09CE";
const char kTa[] = "\u09A4";
const char kChandrabindu[] = "\u0981";

bool EndsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// The last three bytes of a UTF-8 text, as unsigned values; false when the
// text is shorter.
bool LastThreeBytes(const std::string& text, unsigned char& b0, unsigned char& b1,
                    unsigned char& b2) {
    if (text.size() < 3) return false;
    const std::size_t n = text.size();
    b0 = static_cast<unsigned char>(text[n - 3]);
    b1 = static_cast<unsigned char>(text[n - 2]);
    b2 = static_cast<unsigned char>(text[n - 1]);
    return true;
}

// U+0995..U+09B9 and the precomposed U+09DC, U+09DD, U+09DF.
bool EndsInConsonant(const std::string& text) {
    unsigned char b0, b1, b2;
    if (!LastThreeBytes(text, b0, b1, b2) || b0 != 0xE0) return false;
    if (b1 == 0xA6) return b2 >= 0x95 && b2 <= 0xB9;
    return b1 == 0xA7 && (b2 == 0x9C || b2 == 0x9D || b2 == 0x9F);
}

// The text without its last character, which `ending` is.
std::string WithoutEnding(const std::string& text, const char* ending) {
    return text.substr(0, text.size() - std::char_traits<char>::length(ending));
}

StemClass ClassifyStem(const std::string& stem) {
    // A chandrabindu sits on the vowel before it (গাঁ), which decides; on
    // a consonant it leaves no place for a vowel sign.
    if (EndsWith(stem, kChandrabindu)) {
        const StemClass bearer = ClassifyStem(WithoutEnding(stem, kChandrabindu));
        return bearer == StemClass::Consonant ? StemClass::NoSignBearer : bearer;
    }
    if (BanglaMorphology::EndsInKar(stem)) return StemClass::VowelSign;
    if (BanglaMorphology::EndsInIndependentVowel(stem)) return StemClass::Vowel;
    if (EndsInConsonant(stem)) return StemClass::Consonant;
    return StemClass::NoSignBearer;
}

const SuffixForms* FindSuffixForms(const std::string& lowerSuffix) {
    for (const SuffixForms& forms : kSuffixForms) {
        if (lowerSuffix == forms.roman) return &forms;
    }
    return nullptr;
}

const char* FormForStem(const SuffixForms& forms, StemClass stemClass) {
    switch (stemClass) {
        case StemClass::VowelSign: return forms.afterVowelSign;
        case StemClass::Vowel: return forms.afterVowel;
        case StemClass::NoSignBearer: return forms.afterNoSignBearer;
        case StemClass::Consonant: break;
    }
    return forms.afterConsonant;
}

bool SplitAt(const std::string& token, std::size_t stemLength, const std::string& suffix,
             std::string& stem, std::string& suffixOut) {
    stem = token.substr(0, stemLength);
    suffixOut = suffix;
    return true;
}

}  // namespace

bool BanglaMorphology::IsRecognizedSuffix(const std::string& suffix) {
    if (suffix.empty()) return false;
    const std::string lower = qorva::AsciiLower(suffix);
    for (const char* const* known = kKnownSuffixes; *known != nullptr; ++known) {
        if (lower == *known) return true;
    }
    return false;
}

bool BanglaMorphology::EndsInKar(const std::string& text) {
    // U+09BE..U+09BF are E0 A6 BE..BF, U+09C0..U+09CC are E0 A7 80..8C.
    unsigned char b0, b1, b2;
    if (!LastThreeBytes(text, b0, b1, b2) || b0 != 0xE0) return false;
    return (b1 == 0xA6 && (b2 == 0xBE || b2 == 0xBF)) || (b1 == 0xA7 && b2 >= 0x80 && b2 <= 0x8C);
}

bool BanglaMorphology::EndsInIndependentVowel(const std::string& text) {
    // U+0985..U+0994 are E0 A6 85..94.
    unsigned char b0, b1, b2;
    if (!LastThreeBytes(text, b0, b1, b2)) return false;
    return b0 == 0xE0 && b1 == 0xA6 && b2 >= 0x85 && b2 <= 0x94;
}

bool BanglaMorphology::DecomposeHyphenatedToken(const std::string& token, std::string& stem,
                                                std::string& suffix) {
    if (token.size() < 3) return false;
    const std::size_t hyphen = token.rfind('-');
    if (hyphen == std::string::npos || hyphen == 0 || hyphen == token.size() - 1) return false;
    const std::string candidateSuffix = token.substr(hyphen + 1);
    if (!IsRecognizedSuffix(candidateSuffix)) return false;
    return SplitAt(token, hyphen, candidateSuffix, stem, suffix);
}

bool BanglaMorphology::DecomposeCompoundToken(const std::string& token, std::string& stem,
                                              std::string& suffix) {
    // Each ending needs at least two letters of stem before it; "leo" keeps
    // its "le" in the stem, because the Bengali stem already ends in the
    // e-sign and only the "o" becomes a suffix.
    const std::size_t length = token.size();
    if (length <= 4) return false;
    const std::string lower = qorva::AsciiLower(token);
    if (EndsWith(lower, "leo"))
        return SplitAt(token, length - 1, token.substr(length - 1), stem, suffix);
    if (length == 5) return false;
    if (EndsWith(lower, "moto")) return SplitAt(token, length - 4, "moto", stem, suffix);
    if (length == 6) return false;
    if (EndsWith(lower, "moton")) return SplitAt(token, length - 5, "moton", stem, suffix);
    if (EndsWith(lower, "bhabe")) return SplitAt(token, length - 5, "bhabe", stem, suffix);
    return false;
}

bool BanglaMorphology::DecomposeNumberToken(const std::string& token, std::string& stem,
                                            std::string& suffix) {
    const std::size_t digits = token.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos) return false;
    const std::string ending = token.substr(digits);
    if (!IsRecognizedSuffix(ending)) return false;
    return SplitAt(token, digits, ending, stem, suffix);
}

std::string BanglaMorphology::AttachSuffix(const std::string& stem, const std::string& suffix) {
    if (stem.empty()) return std::string();
    const SuffixForms* forms = FindSuffixForms(qorva::AsciiLower(suffix));
    if (forms == nullptr) return stem;
    // Khanda ta is the vowelless form of ত: জগৎ + ের is জগতের, but জগৎকে.
    if (EndsWith(stem, kKhandaTa)) {
        const std::string form = FormForStem(*forms, StemClass::Consonant);
        if (!BanglaMorphology::EndsInKar(form.substr(0, 3))) return stem + form;
        return WithoutEnding(stem, kKhandaTa) + kTa + form;
    }
    return stem + FormForStem(*forms, ClassifyStem(stem));
}

}  // namespace bangla
