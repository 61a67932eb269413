// Single keys of settings.json read and rewritten in place, for the top bar, which keeps its
// placement there and must leave every other line of the file as it is. Texts have LF line ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qorva {

// The integer at the start of `text`: an optional sign, then at least one digit. None when there is
// no digit or the number does not fit 32 bits.
std::optional<int32_t> ReadLeadingInt32(std::string_view text);

// What ReadSettingsNumber gives for a key that is missing or has no usable number.
constexpr int32_t kAbsentSettingsNumber = -9999;

// The integer after the first `"key":` (no space before the colon): the first "-" or digit after
// that colon starts it, whatever lies between. Missing, a lone "-", or a number outside 32 bits:
// kAbsentSettingsNumber.
int32_t ReadSettingsNumber(std::string_view text, std::string_view key);

// Sets `"key": value` in the text. A present key has everything from its opening quote up to the
// next comma, "}" or line end replaced; a missing key is added as a new line before the last "}".
// An empty text, or one without "}" that lacks the key, is left unchanged.
void PatchSettingsKey(std::string& text, std::string_view key, std::string_view value);

}  // namespace qorva
