// Single keys of settings.json read and rewritten in place, for the top bar and the dashboard,
// which must leave every other byte of the file as it is. Texts are the file's own bytes, with
// whatever line ends it has.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Sets `"key": value` in the text. Each place the key is present has everything from its opening
// quote up to the next comma, "}" or line end after its value replaced (a quoted value is skipped
// whole, commas in it included), so that no reader finds an older value further on. A missing key
// is added on a line of its own after the last value before the last "}", indented by two spaces,
// with the text's line end (that of its first line; CR LF for a single line) and a comma after
// the value before it. An empty text, or one without "}" that lacks the key, is left unchanged.
void PatchSettingsKey(std::string& text, std::string_view key, std::string_view value);

// A key of settings.json and the text of its value as the file holds it ("true", "5", "\"top\"").
struct SettingsKeyValue {
    std::string key;
    std::string value;
};

// PatchSettingsKey for each pair in order.
void PatchSettingsKeys(std::string& text, const std::vector<SettingsKeyValue>& values);

// Whether the bytes are a settings file that a writer may patch: valid UTF-8 without control
// characters but tab, CR and LF, whose first character after an optional byte-order mark and
// white space is "{" and whose last one before trailing white space is "}". Anything else (random
// bytes, another program's file, a file cut short) is not understood and never written over.
bool IsSettingsText(const std::string& bytes);

}  // namespace qorva
