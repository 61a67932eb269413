// settings.json, the one settings file of every program: its keys with their defaults, the fixed
// layout the dashboard writes, and the dashboard's line reader. The file is kept with CR LF line
// ends on disk and handled with LF in memory; the conversion happens here on every platform, so
// tests see the bytes Windows sees.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_keys.h"

namespace qorva {

// The "input_mode" key: which program types where.
enum class InputMode : int32_t {
    Automatic = 0,  // the text input processor where it is active, the universal program elsewhere
    TsfOnly = 1,
    Universal = 2,
};

// The settings the dashboard keeps, one field per key it writes, in the file's order; the
// initial values are the defaults of the whole system.
struct DashboardSettings {
    bool enableQorva = true;
    bool launchStartup = false;
    bool autoCheckUpdate = true;
    bool banglaTyping = true;
    bool banglishRecog = true;
    bool engToBangla = true;
    bool fuzzySpelling = true;
    bool showSuggestions = true;
    bool wordPrediction = true;
    bool showEngCandidate = true;
    bool autoCorrect = false;
    bool englishTranslation = true;
    bool onlineSuggestions = false;
    bool personalLearning = true;
    int32_t maxCandidates = 5;
    int32_t theme = 0;  // 0 system, 1 light, 2 dark
    InputMode inputMode = InputMode::Automatic;
    bool showTopbar = true;
    bool topbarAutohide = true;
    int32_t topbarX = -1;
    int32_t topbarY = 10;
};

// The word the file uses for a mode; a value outside the enum is written as "automatic".
const char* InputModeWord(InputMode mode);

// The dashboard's keys with the value texts of these settings, in the file's order.
std::vector<SettingsKeyValue> DashboardSettingsValues(const DashboardSettings& settings);

// The whole file for these settings, LF line ends (WriteSettingsFile puts CR LF on disk).
std::string FormatSettingsFile(const DashboardSettings& settings);

// What the dashboard shows for a file's text: the defaults, changed by each exact key-and-value
// text found on a line (one space after the colon, lower case); other spellings change nothing.
DashboardSettings ParseDashboardSettings(std::string_view text);

// Line ends between disk (CR LF) and memory (LF). A lone CR stays as it is both ways.
std::string ToDiskLineEnds(std::string_view text);
std::string FromDiskLineEnds(std::string_view bytes);

}  // namespace qorva
