#pragma once

#include <cstddef>
#include <string>

namespace bangla {

// Copies text into a fixed-size record field of `fieldSize` bytes: at most
// fieldSize - 1 bytes, cut before a UTF-8 continuation byte so that the host
// never shows half a Bengali character, then NUL bytes up to the end.
void CopyTextField(const std::string& text, char* field, std::size_t fieldSize);

template <std::size_t N>
void CopyTextField(const std::string& text, char (&field)[N]) {
    CopyTextField(text, field, N);
}

// The longest prefix of at most maxBytes bytes that ends on a UTF-8 character
// boundary.
std::size_t Utf8PrefixLength(const std::string& text, std::size_t maxBytes);

}  // namespace bangla
