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

// The first `limit` units of the UTF-16 text, one fewer when the cut would split a surrogate pair.
std::wstring CutUtf16(const std::wstring& utf16, std::size_t limit);

// Appends the code point's UTF-8 bytes; nothing for a value above U+10FFFF.
void AppendUtf8(std::string& out, char32_t cp);
// Empty when the code point is above U+10FFFF.
std::string CodepointToUtf8(char32_t cp);

// ASCII capitals as small letters; every other byte, UTF-8 included, as it is.
char AsciiLower(char c);
std::string AsciiLower(std::string text);

// True when the UTF-8 text holds a character of the Bengali block (U+0980..U+09FF). Only such text
// is learned: an English word or a translation that a host commits must never come back as a
// Bangla candidate.
bool HoldsBengaliLetter(const std::string& utf8);

}  // namespace qorva
