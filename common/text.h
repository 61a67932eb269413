// What every program does with text: UTF-8 and UTF-16 conversion, one code point as UTF-8, ASCII
// lower-casing and the Bengali-letter test.
#pragma once

#include <cstddef>
#include <string>

namespace qorva {

// UTF-16 text travels in std::wstring, one UTF-16 code unit per element on every platform, so that
// the same code serves the Windows API and the native test build.

// Invalid UTF-8 is not rejected: each byte that starts no valid sequence becomes U+FFFD, as the
// Windows conversion without flags does.
std::wstring Utf8ToUtf16(const std::string& utf8);
// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::wstring& utf16);

// True when every byte belongs to a well-formed UTF-8 sequence (no overlong form, surrogate or
// value above U+10FFFF).
bool IsValidUtf8(const std::string& utf8);

// The first `limit` units of the UTF-16 text, one fewer when the cut would split a surrogate pair.
std::wstring CutUtf16(const std::wstring& utf16, std::size_t limit);

// Bytes of one code point in UTF-8, at most.
constexpr std::size_t kMaxUtf8Bytes = 4;
// Writes the code point's UTF-8 bytes to out (room for kMaxUtf8Bytes) and returns how many; none
// for a value above U+10FFFF. Inline: the engine encodes code points one at a time on every
// keystroke.
inline std::size_t EncodeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    if (cp <= 0x10FFFF) {
        out[0] = static_cast<char>(0xF0 | (cp >> 18));
        out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[3] = static_cast<char>(0x80 | (cp & 0x3F));
        return 4;
    }
    return 0;
}
// Appends the code point's UTF-8 bytes; nothing for a value above U+10FFFF.
void AppendUtf8(std::string& out, char32_t cp);
// Empty when the code point is above U+10FFFF.
std::string CodepointToUtf8(char32_t cp);

// ASCII capitals as small letters; every other byte, UTF-8 included, as it is.
inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string AsciiLower(std::string text);

// True when the UTF-8 text holds a character of the Bengali block (U+0980..U+09FF). Only such text
// is learned: an English word or a translation that a host commits must never come back as a
// Bangla candidate.
bool HoldsBengaliLetter(const std::string& utf8);

}  // namespace qorva
