// How the language-pin tray icon shows the shared typing mode: the badge drawn as its icon and
// the tip beside it. Portable, so that the choice per mode is tested without the window system.
#pragma once

#include <cstdint>
#include <string>

#include "universal/mode_target.h"

namespace qorva::universal {

struct ModeBadge {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    const wchar_t* text = L"";
    const wchar_t* fontFace = L"";
    int fontPercent = 0;  // the text's character height, in percent of the icon's height
};

// The badge of a mode; a value no program knows shows as Bangla, in a face that has Latin too.
ModeBadge BadgeOfMode(ModeTarget mode);

// The language-pin icon's tip for a mode: the mode's name and what a click does.
std::wstring PinTipOfMode(ModeTarget mode);

}  // namespace qorva::universal
