#pragma once

#include <cstddef>
#include <string>

namespace qorva {

// Decodes the JSON string whose opening double quote is at `quote` into UTF-8 `out`, without a
// general JSON parser. On success `end` is the index just after the closing quote. Fails when
// the text ends inside the string, a backslash is the last byte, or a \u escape lacks four
// hexadecimal digits. Bytes other than escapes are copied unchanged; a \u escape is written as
// UTF-8, a surrogate pair as one code point, a lone surrogate as its own three bytes.
bool DecodeJsonString(const std::string& text, std::size_t quote, std::string& out,
                      std::size_t& end);

}  // namespace qorva
