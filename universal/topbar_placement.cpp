#include "universal/topbar_placement.h"

#include <optional>
#include <vector>

#include "settings/settings_keys.h"

namespace qorva::universal {
namespace {

const char* BoolText(bool value) { return value ? "true" : "false"; }

bool Holds(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::vector<SettingsKeyValue> TopBarValues(const TopBarModel& bar) {
    return {{"topbar_x", std::to_string(bar.x)},
            {"topbar_y", std::to_string(bar.rememberedY)},
            {"show_topbar", BoolText(bar.visible)},
            {"topbar_autohide", BoolText(bar.autoHide)},
            {"topbar_compact", BoolText(bar.compactMode)},
            {"topbar_dock", bar.dock == TopBarDock::Right ? "\"right\"" : "\"top\""}};
}

// The bar's own flags, not fixed ones: the program reads auto-hide back from this file within
// seconds, and a fixed true would undo the user's choice.
std::string NewFileText(const TopBarModel& bar) {
    return "{\n  \"topbar_x\": " + std::to_string(bar.x) +
           ",\n  \"topbar_y\": " + std::to_string(bar.rememberedY) +
           ",\n  \"show_topbar\": " + BoolText(bar.visible) +
           ",\n  \"topbar_autohide\": " + BoolText(bar.autoHide) + "\n}\n";
}

}  // namespace

void ApplySettingsPlacement(std::string_view text, int32_t screenWidth, int32_t screenHeight,
                            TopBarModel& bar) {
    if (text.empty()) return;
    // Absent numbers read as kAbsentSettingsNumber, which lies outside both ranges.
    const int32_t x = ReadSettingsNumber(text, "topbar_x");
    const int32_t y = ReadSettingsNumber(text, "topbar_y");
    if (x >= -50 && x < screenWidth - 29) bar.x = x;
    if (y >= 0 && y < screenHeight - 39) {
        bar.y = y;
        bar.rememberedY = y;
    }
    bar.autoHide = !Holds(text, "\"topbar_autohide\": false");
    if (Holds(text, "\"show_topbar\": false")) {
        bar.visible = false;
    } else if (Holds(text, "\"show_topbar\": true")) {
        bar.visible = true;
    }
}

void LoadTopBarPlacement(const std::wstring& path, int32_t screenWidth, int32_t screenHeight,
                         TopBarModel& bar) {
    if (const std::optional<std::string> text = ReadSettingsFile(path)) {
        ApplySettingsPlacement(*text, screenWidth, screenHeight, bar);
    }
}

SettingsWrite SaveTopBarPlacement(const std::wstring& path, const TopBarModel& bar) {
    return SetSettingsKeys(path, TopBarValues(bar), NewFileText(bar));
}

}  // namespace qorva::universal
