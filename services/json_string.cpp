#include "services/json_string.h"

#include "common/text.h"

namespace qorva {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the four hexadecimal digits at `pos`.
bool ReadHex4(const std::string& text, std::size_t pos, char32_t& unit) {
    if (pos + 4 > text.size()) return false;
    unit = 0;
    for (std::size_t i = pos; i < pos + 4; ++i) {
        const int value = HexValue(text[i]);
        if (value < 0) return false;
        unit = (unit << 4) | static_cast<char32_t>(value);
    }
    return true;
}

// A low-surrogate escape "\uDC00".."\uDFFF" at `pos`.
bool ReadLowSurrogateEscape(const std::string& text, std::size_t pos, char32_t& low) {
    return pos + 1 < text.size() && text[pos] == '\\' && text[pos + 1] == 'u' &&
           ReadHex4(text, pos + 2, low) && low >= 0xDC00 && low <= 0xDFFF;
}

// Decodes the \u escape whose "u" is at `pos`; `pos` ends on the last digit consumed.
bool DecodeUnicodeEscape(const std::string& text, std::size_t& pos, std::string& out) {
    char32_t unit = 0;
    if (!ReadHex4(text, pos + 1, unit)) return false;
    pos += 4;
    char32_t low = 0;
    if (unit >= 0xD800 && unit <= 0xDBFF && ReadLowSurrogateEscape(text, pos + 1, low)) {
        out += CodepointToUtf8(0x10000 + (unit - 0xD800) * 0x400 + (low - 0xDC00));
        pos += 6;
        return true;
    }
    out += CodepointToUtf8(unit);
    return true;
}

char SimpleEscape(char c) {
    switch (c) {
        case 'b': return '\b';
        case 'f': return '\f';
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        default: return c;  // \" \\ \/ and any other character stand for themselves
    }
}

}  // namespace

bool DecodeJsonString(const std::string& text, std::size_t quote, std::string& out,
                      std::size_t& end) {
    out.clear();
    for (std::size_t pos = quote + 1; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            end = pos + 1;
            return true;
        }
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++pos >= text.size()) return false;
        if (text[pos] == 'u') {
            if (!DecodeUnicodeEscape(text, pos, out)) return false;
        } else {
            out.push_back(SimpleEscape(text[pos]));
        }
    }
    return false;
}

}  // namespace qorva
