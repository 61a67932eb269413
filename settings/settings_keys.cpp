#include "settings/settings_keys.h"

#include <limits>

#include "common/text.h"

namespace qorva {
namespace {

constexpr char kWhiteSpace[] = " \t\r\n";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string QuotedKeyAndColon(std::string_view key) { return "\"" + std::string(key) + "\":"; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The line end of the text's first line; a file's lines share one. A text of one line gets the
// line end the programs write.
std::string_view LineEndOf(std::string_view text) {
    const size_t lineFeed = text.find('\n');
    if (lineFeed == std::string_view::npos || (lineFeed > 0 && text[lineFeed - 1] == '\r'))
        return "\r\n";
    return "\n";
}

// Where the value after a key's colon at `valueStart` ends: the next comma, "}" or line end, past
// a quoted value first so that a comma or brace inside it does not cut it.
size_t ValueEnd(const std::string& text, size_t valueStart) {
    size_t i = text.find_first_not_of(" \t", valueStart);
    if (i == std::string::npos) return i;
    if (text[i] == '"') {
        for (++i; i < text.size() && text[i] != '"' && !IsLineEnd(text[i]); ++i) {
            if (text[i] == '\\' && i + 1 < text.size() && !IsLineEnd(text[i + 1])) ++i;
        }
        if (i < text.size() && text[i] == '"') ++i;
    }
    return text.find_first_of(",}\r\n", i);
}

// A new line for the pair after the last value before the last "}", the value given its comma.
void AddBeforeLastBrace(std::string& text, const std::string& pair) {
    const size_t brace = text.rfind('}');
    if (brace == std::string::npos) return;
    const size_t last =
        brace == 0 ? std::string::npos : text.find_last_not_of(kWhiteSpace, brace - 1);
    const bool needsComma = last != std::string::npos && text[last] != '{' && text[last] != ',';
    std::string line = needsComma ? "," : "";
    line += LineEndOf(text);
    line += "  " + pair;
    text.insert(last == std::string::npos ? 0 : last + 1, line);
}

bool IsControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t' && !IsLineEnd(c)) || byte == 0x7F;
}

}  // namespace

std::optional<int32_t> ReadLeadingInt32(std::string_view text) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
    if (i >= text.size() || !IsDigit(text[i])) return std::nullopt;
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t ReadSettingsNumber(std::string_view text, std::string_view key) {
    const std::string pattern = QuotedKeyAndColon(key);
    const size_t at = text.find(pattern);
    if (at == std::string_view::npos) return kAbsentSettingsNumber;
    const size_t start = text.find_first_of("-0123456789", at + pattern.size());
    if (start == std::string_view::npos) return kAbsentSettingsNumber;
    return ReadLeadingInt32(text.substr(start)).value_or(kAbsentSettingsNumber);
}

void PatchSettingsKey(std::string& text, std::string_view key, std::string_view value) {
    const std::string keyAndColon = QuotedKeyAndColon(key);
    const std::string pair = "\"" + std::string(key) + "\": " + std::string(value);
    bool present = false;
    for (size_t at = text.find(keyAndColon); at != std::string::npos;
         at = text.find(keyAndColon, at + pair.size())) {
        const size_t end = ValueEnd(text, at + keyAndColon.size());
        text.replace(at, end == std::string::npos ? std::string::npos : end - at, pair);
        present = true;
    }
    if (!present) AddBeforeLastBrace(text, pair);
}

void PatchSettingsKeys(std::string& text, const std::vector<SettingsKeyValue>& values) {
    for (const SettingsKeyValue& pair : values) PatchSettingsKey(text, pair.key, pair.value);
}

bool IsSettingsText(const std::string& bytes) {
    if (!IsValidUtf8(bytes)) return false;
    for (char c : bytes) {
        if (IsControlCharacter(c)) return false;
    }
    std::string_view text = bytes;
    if (text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        text.remove_prefix(kUtf8ByteOrderMark.size());
    const size_t first = text.find_first_not_of(kWhiteSpace);
    return first != std::string_view::npos && text[first] == '{' &&
           text[text.find_last_not_of(kWhiteSpace)] == '}';
}

}  // namespace qorva
