// The top bar's place and display choices in settings.json. The bar reads a few keys when it
// starts and rewrites six keys in place at every change, leaving every other byte of the file and
// its line ends as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings_store.h"
#include "universal/topbar_model.h"

namespace qorva::universal {

// Puts what the file's text says into the bar: topbar_x and topbar_y only when they lie on the
// screen (x from -50 up to screenWidth - 30, y from 0 up to screenHeight - 40), auto-hide off only
// for the exact text `"topbar_autohide": false`, and show_topbar when it says true or false. An
// empty text changes nothing.
void ApplySettingsPlacement(std::string_view text, int32_t screenWidth, int32_t screenHeight,
                            TopBarModel& bar);

// LoadCoordinates: reads settings.json at `path` into the bar; nothing when it cannot be read.
void LoadTopBarPlacement(const std::wstring& path, int32_t screenWidth, int32_t screenHeight,
                         TopBarModel& bar);

// SaveCoordinates: sets the bar's six keys in settings.json at `path` (SetSettingsKeys), in this
// order: topbar_x, topbar_y, show_topbar, topbar_autohide, topbar_compact, topbar_dock; a key the
// file lacks gets a line of its own before its last "}". A missing file is created with the place
// and both flags. One that is too large, unreadable, not understood or read-only is left alone,
// so that nothing the user set is lost.
SettingsWrite SaveTopBarPlacement(const std::wstring& path, const TopBarModel& bar);

}  // namespace qorva::universal
