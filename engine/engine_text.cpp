#include "engine/engine_text.h"

#include <algorithm>
#include <cstring>

#include "engine/bangla_unicode.h"

namespace bangla {

namespace {

bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLower(std::string text) {
    for (char& c : text) c = AsciiLower(c);
    return text;
}

std::size_t Utf8PrefixLength(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t length = maxBytes;
    while (length > 0 && IsContinuationByte(text[length])) --length;
    return length;
}

void CopyTextField(const std::string& text, char* field, std::size_t fieldSize) {
    if (field == nullptr || fieldSize == 0) return;
    const std::size_t length = Utf8PrefixLength(text, fieldSize - 1);
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, fieldSize - length);
}

bool HoldsBengaliLetter(const std::string& text) {
    const std::u32string codepoints = UnicodeUtils::Utf8ToUtf32(text);
    return std::any_of(codepoints.begin(), codepoints.end(),
                       [](char32_t cp) { return cp >= 0x0980 && cp <= 0x09FF; });
}

}  // namespace bangla
