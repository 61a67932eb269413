#include "settings/settings_file.h"

#include "settings/settings_keys.h"

namespace qorva {
namespace {

bool Contains(std::string_view line, std::string_view text) {
    return line.find(text) != std::string_view::npos;
}

void AppendRow(std::string& out, const std::string& key, const std::string& value) {
    out += "  \"";
    out += key;
    out += "\": ";
    out += value;
}

std::string Bool(bool value) { return value ? "true" : "false"; }

// The number after the line's first colon, read as atoi reads it (white space, an optional sign,
// then digits; 0 when there are none). A number that does not fit 32 bits leaves the field as it
// was instead of wrapping.
void ReadNumberAfterColon(std::string_view line, int32_t& field) {
    size_t i = line.find(':');
    if (i == std::string_view::npos) return;
    ++i;
    while (i < line.size() && (line[i] == ' ' || (line[i] >= '\t' && line[i] <= '\r'))) ++i;
    std::string_view number = line.substr(i);
    const size_t firstDigit = number.empty() || (number[0] != '-' && number[0] != '+') ? 0 : 1;
    if (firstDigit >= number.size() || number[firstDigit] < '0' || number[firstDigit] > '9') {
        field = 0;
        return;
    }
    if (const auto value = ReadLeadingInt32(number)) field = *value;
}

// One line of the file, tested in a fixed order so that, when a line holds several texts, the
// later store wins. Texts that give the default are not looked for where the dashboard only ever
// reads onto its defaults.
void ParseLine(std::string_view line, DashboardSettings& s) {
    if (Contains(line, "\"enable_qorva\": false")) s.enableQorva = false;
    if (Contains(line, "\"auto_correct\": true")) s.autoCorrect = true;
    if (Contains(line, "\"auto_correct\": false")) s.autoCorrect = false;
    if (Contains(line, "\"english_translation\": false")) s.englishTranslation = false;
    if (Contains(line, "\"english_translation\": true")) s.englishTranslation = true;
    if (Contains(line, "\"show_suggestions\": false")) s.showSuggestions = false;
    for (int32_t count = 3; count <= 5; ++count) {
        const std::string text = "\"max_candidates\": " + std::to_string(count);
        if (Contains(line, text)) s.maxCandidates = count;
    }
    if (Contains(line, "\"launch_startup\": true")) s.launchStartup = true;
    if (Contains(line, "\"auto_check_update\": true")) s.autoCheckUpdate = true;
    if (Contains(line, "\"auto_check_update\": false")) s.autoCheckUpdate = false;
    if (Contains(line, "\"eng_to_bangla\": false")) s.engToBangla = false;
    if (Contains(line, "\"word_prediction\": false")) s.wordPrediction = false;
    if (Contains(line, "\"show_eng_candidate\": false")) s.showEngCandidate = false;
    if (Contains(line, "\"fuzzy_spelling\": false")) s.fuzzySpelling = false;
    if (Contains(line, "\"online_suggestions\": true")) s.onlineSuggestions = true;
    if (Contains(line, "\"online_suggestions\": false")) s.onlineSuggestions = false;
    if (Contains(line, "\"personal_learning\": false")) s.personalLearning = false;
    if (Contains(line, "\"personal_learning\": true")) s.personalLearning = true;
    if (Contains(line, "\"theme\": 1")) s.theme = 1;
    if (Contains(line, "\"theme\": 2")) s.theme = 2;
    if (Contains(line, "\"input_mode\": \"tsf_only\"")) s.inputMode = InputMode::TsfOnly;
    if (Contains(line, "\"input_mode\": \"universal\"")) s.inputMode = InputMode::Universal;
    if (Contains(line, "\"show_topbar\": true")) s.showTopbar = true;
    if (Contains(line, "\"show_topbar\": false")) s.showTopbar = false;
    if (Contains(line, "\"topbar_autohide\": true")) s.topbarAutohide = true;
    if (Contains(line, "\"topbar_autohide\": false")) s.topbarAutohide = false;
    if (Contains(line, "\"topbar_x\":")) ReadNumberAfterColon(line, s.topbarX);
    if (Contains(line, "\"topbar_y\":")) ReadNumberAfterColon(line, s.topbarY);
}

}  // namespace

const char* InputModeWord(InputMode mode) {
    switch (mode) {
        case InputMode::TsfOnly: return "tsf_only";
        case InputMode::Universal: return "universal";
        default: return "automatic";
    }
}

std::vector<SettingsKeyValue> DashboardSettingsValues(const DashboardSettings& s) {
    return {
        {"enable_qorva", Bool(s.enableQorva)},
        {"launch_startup", Bool(s.launchStartup)},
        {"auto_check_update", Bool(s.autoCheckUpdate)},
        {"bangla_typing", Bool(s.banglaTyping)},
        {"banglish_recog", Bool(s.banglishRecog)},
        {"eng_to_bangla", Bool(s.engToBangla)},
        {"fuzzy_spelling", Bool(s.fuzzySpelling)},
        {"show_suggestions", Bool(s.showSuggestions)},
        {"word_prediction", Bool(s.wordPrediction)},
        {"show_eng_candidate", Bool(s.showEngCandidate)},
        {"auto_correct", Bool(s.autoCorrect)},
        {"english_translation", Bool(s.englishTranslation)},
        {"online_suggestions", Bool(s.onlineSuggestions)},
        {"personal_learning", Bool(s.personalLearning)},
        {"max_candidates", std::to_string(s.maxCandidates)},
        {"theme", std::to_string(s.theme)},
        {"input_mode", std::string("\"") + InputModeWord(s.inputMode) + "\""},
        {"show_topbar", Bool(s.showTopbar)},
        {"topbar_autohide", Bool(s.topbarAutohide)},
        {"topbar_x", std::to_string(s.topbarX)},
        {"topbar_y", std::to_string(s.topbarY)},
    };
}

std::string FormatSettingsFile(const DashboardSettings& s) {
    std::string out = "{\n";
    bool first = true;
    for (const SettingsKeyValue& row : DashboardSettingsValues(s)) {
        if (!first) out += ",\n";
        first = false;
        AppendRow(out, row.key, row.value);
    }
    out += "\n}\n";
    return out;
}

DashboardSettings ParseDashboardSettings(std::string_view text) {
    DashboardSettings settings;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        ParseLine(text.substr(0, end), settings);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return settings;
}

std::string ToDiskLineEnds(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

std::string FromDiskLineEnds(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += bytes[i];
    }
    return text;
}

}  // namespace qorva
