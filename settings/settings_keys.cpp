#include "settings/settings_keys.h"

#include <limits>

namespace qorva {
namespace {

std::string QuotedKeyAndColon(std::string_view key) { return "\"" + std::string(key) + "\":"; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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
    const std::string pair = "\"" + std::string(key) + "\": " + std::string(value);
    const size_t at = text.find(QuotedKeyAndColon(key));
    if (at != std::string::npos) {
        const size_t end = text.find_first_of(",}\n", at);
        text.replace(at, end == std::string::npos ? std::string::npos : end - at, pair);
        return;
    }
    const size_t brace = text.rfind('}');
    if (brace == std::string::npos) return;
    text.insert(brace, ",\n  " + pair);
}

}  // namespace qorva
