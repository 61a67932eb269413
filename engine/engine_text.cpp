#include "engine/engine_text.h"

#include <cstring>

namespace bangla {

namespace {

bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

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

}  // namespace bangla
