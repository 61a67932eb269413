#include "engine/bangla_unicode.h"

#include <array>
#include <cstddef>

#include "common/text.h"

namespace bangla {

namespace {

constexpr char32_t kHasant = 0x09CD;
constexpr char32_t kNukta = 0x09BC;
constexpr char32_t kDanda = 0x0964;
constexpr char32_t kDoubleDanda = 0x0965;

constexpr char32_t kFirstVowelWithKar = 0x0986;
constexpr char32_t kFirstKar = 0x09BE;

// Indexed by vowel - U+0986; 0 where the vowel has no sign.
constexpr std::array<char32_t, 15> kVowelToKar = {
    0x09BE, 0x09BF, 0x09C0, 0x09C1, 0x09C2, 0x09C3, 0, 0, 0, 0x09C7, 0x09C8, 0, 0, 0x09CB, 0x09CC};

// Indexed by vowel sign - U+09BE; 0 where the sign has no vowel.
constexpr std::array<char32_t, 15> kKarToVowel = {
    0x0986, 0x0987, 0x0988, 0x0989, 0x098A, 0x098B, 0, 0, 0, 0x098F, 0x0990, 0, 0, 0x0993, 0x0994};

template <std::size_t N>
char32_t LookUpFrom(const std::array<char32_t, N>& table, char32_t base, char32_t cp) {
    if (cp < base || cp - base >= table.size()) {
        return 0;
    }
    return table[cp - base];
}

bool InRange(char32_t cp, char32_t first, char32_t last) { return cp >= first && cp <= last; }

// Length of the sequence a lead byte starts, its payload bits and the range
// its second byte must lie in; length 0 for a byte that cannot start a
// character. The second byte's range is narrower than 80..BF where a wider
// one would let through an overlong form (C0 80 for U+0000), a surrogate
// (ED A0 80 for U+D800) or a value above U+10FFFF.
struct LeadByte {
    std::size_t length;
    char32_t payload;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
};

LeadByte ReadLeadByte(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return {2, static_cast<char32_t>(byte & 0x1F)};
    if (byte == 0xE0) return {3, 0, 0xA0, 0xBF};
    if (byte == 0xED) return {3, 0x0D, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return {3, static_cast<char32_t>(byte & 0x0F)};
    if (byte == 0xF0) return {4, 0, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3) return {4, static_cast<char32_t>(byte & 0x07)};
    if (byte == 0xF4) return {4, 4, 0x80, 0x8F};
    return {0, 0};
}

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Calls visit with each code point of the UTF-8 text, in order; bytes that
// are no UTF-8 are left out, and a sequence cut off by the end of the text
// ends decoding.
template <typename Visit>
void ForEachCodepoint(const std::string& utf8, Visit visit) {
    const std::size_t size = utf8.size();
    std::size_t i = 0;
    while (i < size) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            visit(static_cast<char32_t>(byte));
            ++i;
            continue;
        }
        const LeadByte lead = ReadLeadByte(byte);
        if (lead.length == 0) {
            ++i;
            continue;
        }
        if (size - i < lead.length) {
            break;
        }
        char32_t cp = lead.payload;
        const auto second = static_cast<unsigned char>(utf8[i + 1]);
        bool complete = second >= lead.secondLow && second <= lead.secondHigh;
        cp = (cp << 6) | (second & 0x3F);
        for (std::size_t k = 2; k < lead.length && complete; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            complete = IsContinuationByte(next);
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!complete) {
            ++i;  // drop the lead byte alone and resynchronise on the next
            continue;
        }
        visit(cp);
        i += lead.length;
    }
}

bool IsModifierSign(char32_t cp) { return InRange(cp, 0x0981, 0x0983); }

enum class SegmentRole { kBase, kMark, kStandalone };

SegmentRole RoleInSegmentation(char32_t cp) {
    if (cp == kDanda || cp == kDoubleDanda) return SegmentRole::kStandalone;
    if (!InRange(cp, 0x0980, 0x09FF)) return SegmentRole::kBase;
    if (InRange(cp, 0x0985, 0x09B9) || cp == 0x09CE || cp == 0x09DC || cp == 0x09DD ||
        cp == 0x09DF) {
        return SegmentRole::kBase;
    }
    if (cp == kHasant || UnicodeUtils::IsKar(cp) || IsModifierSign(cp)) {
        return SegmentRole::kMark;
    }
    return SegmentRole::kStandalone;
}

void AddToCluster(GraphemeCluster& cluster, char32_t cp) {
    cluster.codepoints.push_back(cp);
    cluster.hasHasant = cluster.hasHasant || cp == kHasant;
    cluster.hasKar = cluster.hasKar || UnicodeUtils::IsKar(cp);
    cluster.hasModifier = cluster.hasModifier || IsModifierSign(cp);
}

void EmitCluster(std::vector<GraphemeCluster>& clusters, GraphemeCluster& current) {
    if (!current.codepoints.empty()) {
        clusters.push_back(current);
        current = GraphemeCluster{};
    }
}

// The composed form of a two-code-point sequence, or 0 when the pair has none.
char32_t ComposedPair(char32_t first, char32_t second) {
    if (second == kNukta) {
        if (first == 0x09A1) return 0x09DC;
        if (first == 0x09A2) return 0x09DD;
        if (first == 0x09AF) return 0x09DF;
    } else if (first == 0x09C7) {
        if (second == 0x09BE) return 0x09CB;
        if (second == 0x09D7) return 0x09CC;
    }
    return 0;
}

// Assamese ra and wa, which some keyboards produce for Bengali ra and ba.
char32_t RegionalReplacement(char32_t cp) {
    if (cp == 0x09F0) return 0x09B0;
    if (cp == 0x09F1) return 0x09AC;
    return cp;
}

}  // namespace

bool UnicodeUtils::IsBengali(char32_t cp) {
    return InRange(cp, 0x0980, 0x09FF) || cp == kDanda || cp == kDoubleDanda;
}

bool UnicodeUtils::IsVowel(char32_t cp) { return InRange(cp, 0x0985, 0x0994); }

bool UnicodeUtils::IsConsonant(char32_t cp) {
    return InRange(cp, 0x0995, 0x09B9) || cp == 0x09DC || cp == 0x09DD || cp == 0x09DF;
}

bool UnicodeUtils::IsKar(char32_t cp) { return InRange(cp, 0x09BE, 0x09CC); }

bool UnicodeUtils::IsModifier(char32_t cp) {
    return IsModifierSign(cp) || cp == kHasant || cp == 0x09CE;
}

char32_t UnicodeUtils::VowelToKar(char32_t vowel) {
    return LookUpFrom(kVowelToKar, kFirstVowelWithKar, vowel);
}

char32_t UnicodeUtils::KarToVowel(char32_t kar) { return LookUpFrom(kKarToVowel, kFirstKar, kar); }

std::u32string UnicodeUtils::Utf8ToUtf32(const std::string& utf8) {
    std::u32string result;
    ForEachCodepoint(utf8, [&](char32_t cp) { result.push_back(cp); });
    return result;
}

std::string UnicodeUtils::Utf32ToUtf8(const std::u32string& utf32) {
    std::string result;
    result.reserve(utf32.size() * 3);
    for (char32_t cp : utf32) {
        qorva::AppendUtf8(result, cp);
    }
    return result;
}

std::string UnicodeUtils::CodepointToUtf8(char32_t cp) { return qorva::CodepointToUtf8(cp); }

// Decoded on the fly: the ranker asks this of every spelling of a keystroke.
bool UnicodeUtils::IsValidBengaliSequence(const std::string& text) {
    bool valid = true;
    char32_t previous = 0;
    ForEachCodepoint(text, [&](char32_t current) {
        if ((previous == kHasant && current == kHasant) || (IsVowel(previous) && IsKar(current)))
            valid = false;
        previous = current;
    });
    return valid && previous != kHasant;
}

bool UnicodeUtils::HasDanglingHasant(const std::string& text) {
    const std::u32string cps = Utf8ToUtf32(text);
    return !cps.empty() && cps.back() == kHasant;
}

std::vector<GraphemeCluster> UnicodeUtils::SegmentGraphemes(const std::string& text) {
    std::vector<GraphemeCluster> clusters;
    GraphemeCluster current;
    for (char32_t cp : Utf8ToUtf32(text)) {
        switch (RoleInSegmentation(cp)) {
            case SegmentRole::kBase: {
                const bool joinsConjunct =
                    !current.codepoints.empty() && current.codepoints.back() == kHasant;
                if (!joinsConjunct) {
                    EmitCluster(clusters, current);
                }
                break;
            }
            case SegmentRole::kMark: break;
            case SegmentRole::kStandalone: EmitCluster(clusters, current); break;
        }
        AddToCluster(current, cp);
    }
    EmitCluster(clusters, current);
    return clusters;
}

std::string UnicodeUtils::BackspaceGrapheme(const std::string& text) {
    std::u32string cps = Utf8ToUtf32(text);
    if (cps.empty()) {
        return std::string();
    }
    const char32_t last = cps.back();
    const bool lastIsSign = IsKar(last) || IsModifierSign(last);
    const bool closesConjunct =
        cps.size() >= 2 && IsConsonant(last) && cps[cps.size() - 2] == kHasant;
    // The last consonant of a conjunct goes together with its hasant.
    const std::size_t removed = (!lastIsSign && closesConjunct) ? 2 : 1;
    cps.resize(cps.size() - removed);
    return Utf32ToUtf8(cps);
}

namespace {

// True when canonicalizing would give the text back: every byte is part of
// a well-formed character and none is composed with the next or replaced.
// Nearly every candidate is such a text, and the answer needs no copy.
bool IsCanonical(const std::string& text) {
    std::size_t decodedBytes = 0;
    char32_t previous = 0;
    bool unchanged = true;
    ForEachCodepoint(text, [&](char32_t cp) {
        char bytes[qorva::kMaxUtf8Bytes];
        decodedBytes += qorva::EncodeUtf8(cp, bytes);
        unchanged = unchanged && ComposedPair(previous, cp) == 0 && RegionalReplacement(cp) == cp;
        previous = cp;
    });
    return unchanged && decodedBytes == text.size();
}

}  // namespace

std::string UnicodeUtils::CanonicalizeBengali(const std::string& text) {
    if (text.empty() || IsCanonical(text)) {
        return text;
    }
    const std::u32string cps = Utf8ToUtf32(text);
    std::u32string canonical;
    canonical.reserve(cps.size());
    for (std::size_t i = 0; i < cps.size(); ++i) {
        const char32_t composed = i + 1 < cps.size() ? ComposedPair(cps[i], cps[i + 1]) : 0;
        if (composed != 0) {
            canonical.push_back(composed);
            ++i;
        } else {
            canonical.push_back(RegionalReplacement(cps[i]));
        }
    }
    return Utf32ToUtf8(canonical);
}

}  // namespace bangla
