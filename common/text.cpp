#include "common/text.h"

#include <cstdint>

namespace qorva {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kMaxCodepoint = 0x10FFFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length and first payload bits of the sequence that `lead` starts; 0 when it starts none.
int SequenceLength(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        bits = lead & 0x1F;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        bits = lead & 0x0F;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        bits = lead & 0x07;
        return 4;
    }
    return 0;
}

bool IsValidScalar(char32_t cp, int length) {
    static const char32_t kSmallestForLength[] = {0, 0, 0x80, 0x800, 0x10000};
    return cp >= kSmallestForLength[length] && cp <= kMaxCodepoint && (cp < 0xD800 || cp > 0xDFFF);
}

// Decodes the sequence at `pos`; on failure returns U+FFFD and consumes one byte.
char32_t DecodeOne(const std::string& utf8, std::size_t& pos) {
    char32_t cp = 0;
    const int length = SequenceLength(static_cast<unsigned char>(utf8[pos]), cp);
    if (length == 0 || pos + length > utf8.size()) {
        ++pos;
        return kReplacementCharacter;
    }
    for (int i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[pos + i]);
        if (!IsContinuation(byte)) {
            ++pos;
            return kReplacementCharacter;
        }
        cp = (cp << 6) | (byte & 0x3F);
    }
    if (!IsValidScalar(cp, length)) {
        ++pos;
        return kReplacementCharacter;
    }
    pos += length;
    return cp;
}

void AppendUtf16(char32_t cp, std::wstring& out) {
    if (cp < 0x10000) {
        out.push_back(static_cast<wchar_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool IsBengali(char32_t cp) { return cp >= 0x0980 && cp <= 0x09FF; }

}  // namespace

std::wstring Utf8ToUtf16(const std::string& utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        AppendUtf16(DecodeOne(utf8, pos), out);
    }
    return out;
}

std::string Utf16ToUtf8(const std::wstring& utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const auto unit = static_cast<char32_t>(static_cast<uint32_t>(utf16[i]));
        if (IsHighSurrogate(unit) && i + 1 < utf16.size() &&
            IsLowSurrogate(static_cast<char32_t>(utf16[i + 1]))) {
            const auto low = static_cast<char32_t>(utf16[++i]);
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || unit > kMaxCodepoint) {
            AppendUtf8(out, kReplacementCharacter);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

// A failed sequence gives U+FFFD for one byte; the character itself takes three.
bool IsValidUtf8(const std::string& utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        if (DecodeOne(utf8, pos) == kReplacementCharacter && pos - start == 1) return false;
    }
    return true;
}

std::wstring CutUtf16(const std::wstring& utf16, std::size_t limit) {
    if (utf16.size() <= limit) return utf16;
    std::size_t length = limit;
    if (length > 0 && IsHighSurrogate(static_cast<char32_t>(utf16[length - 1]))) --length;
    return utf16.substr(0, length);
}

void AppendUtf8(std::string& out, char32_t cp) {
    char bytes[kMaxUtf8Bytes];
    out.append(bytes, EncodeUtf8(cp, bytes));
}

std::string CodepointToUtf8(char32_t cp) {
    std::string out;
    AppendUtf8(out, cp);
    return out;
}

std::string AsciiLower(std::string text) {
    for (char& c : text) c = AsciiLower(c);
    return text;
}

// Runs on every candidate the engine weighs, so it decodes in place instead of copying.
bool HoldsBengaliLetter(const std::string& utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        if (IsBengali(DecodeOne(utf8, pos))) return true;
    }
    return false;
}

}  // namespace qorva
