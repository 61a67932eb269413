// What the universal typing program takes from settings.json. It reads the whole file as one text
// every few seconds and looks for exact key-and-value texts anywhere in it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

namespace qorva {

struct UniversalSettings {
    InputMode inputMode = InputMode::Automatic;
    bool hostEnabled = true;  // "universal_mode"; also flipped by the pause hot key
    bool personalLearning = true;
    bool autoCheckUpdate = true;
    bool englishTranslation = true;
    bool nextWordPrediction = true;
    // The program registers itself to start with Windows unless the file says "launch_startup":
    // false, which the dashboard writes when the user unchecked it.
    bool launchStartup = true;
    // The top bar keeps this flag itself; set only when the file says it.
    std::optional<bool> topbarAutohide;
};

// The values after reading `text` over `current`: a key whose texts are absent keeps its value,
// except input_mode, which is "automatic" unless the file names another mode. Where both texts of
// a key are present, true wins (false for topbar_autohide, "tsf_only" over "universal").
UniversalSettings ParseUniversalSettings(std::string_view text, UniversalSettings current);

// The values to put into effect after a read of settings.json that gave `text` (none when the file
// is missing or unreadable); none when nothing is to change. The first read always gives values,
// so that a missing file leaves the program typing with the defaults instead of switched off;
// later failed reads keep what is in effect.
std::optional<UniversalSettings> SettingsToApply(const std::optional<std::string>& text,
                                                 const UniversalSettings& current, bool firstRead);

// Whether the keyboard hook composes words under these settings.
inline bool TypingEnabled(const UniversalSettings& settings) {
    return settings.hostEnabled && settings.inputMode != InputMode::TsfOnly;
}

}  // namespace qorva
