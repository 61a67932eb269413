#include "settings/universal_settings.h"

namespace qorva {
namespace {

bool Contains(std::string_view text, std::string_view pattern) {
    return text.find(pattern) != std::string_view::npos;
}

// A key with a true and a false text: false is tested first, so true wins when both are present.
void ReadFlag(std::string_view text, std::string_view key, bool& flag) {
    const std::string quoted = "\"" + std::string(key) + "\": ";
    if (Contains(text, quoted + "false")) flag = false;
    if (Contains(text, quoted + "true")) flag = true;
}

// "next_word_prediction" is the program's own key; the dashboard's "word_prediction" stands in for
// each of its values that the file does not give.
void ReadPrediction(std::string_view text, bool& flag) {
    for (const char* value : {"false", "true"}) {
        const std::string own = std::string("\"next_word_prediction\": ") + value;
        const std::string dashboard = std::string("\"word_prediction\": ") + value;
        if (Contains(text, own) || Contains(text, dashboard)) flag = value[0] == 't';
    }
}

}  // namespace

UniversalSettings ParseUniversalSettings(std::string_view text, UniversalSettings s) {
    if (Contains(text, "\"input_mode\": \"tsf_only\"")) {
        s.inputMode = InputMode::TsfOnly;
    } else if (Contains(text, "\"input_mode\": \"universal\"")) {
        s.inputMode = InputMode::Universal;
    } else {
        s.inputMode = InputMode::Automatic;
    }
    ReadFlag(text, "universal_mode", s.hostEnabled);
    ReadFlag(text, "personal_learning", s.personalLearning);
    ReadFlag(text, "auto_check_update", s.autoCheckUpdate);
    ReadFlag(text, "english_translation", s.englishTranslation);
    ReadPrediction(text, s.nextWordPrediction);
    ReadFlag(text, "launch_startup", s.launchStartup);
    if (Contains(text, "\"topbar_autohide\": true")) s.topbarAutohide = true;
    if (Contains(text, "\"topbar_autohide\": false")) s.topbarAutohide = false;
    return s;
}

std::optional<UniversalSettings> SettingsToApply(const std::optional<std::string>& text,
                                                 const UniversalSettings& current, bool firstRead) {
    if (text) return ParseUniversalSettings(*text, current);
    if (firstRead) return current;
    return std::nullopt;
}

}  // namespace qorva
