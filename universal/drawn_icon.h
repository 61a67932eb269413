// Small icons drawn at run time: a rounded badge with a short text, for the tray.
#pragma once

#include <windows.h>

namespace qorva::universal {

struct BadgeStyle {
    int width = 16;
    int height = 16;
    int corner = 4;  // width and height of the corners' ellipse
    COLORREF fill = 0;
    COLORREF outline = 0;
    const wchar_t* text = L"";
    const wchar_t* fontFace = L"";
    int fontHeight = 12;  // character height in pixels
};

// The badge as an icon whose unpainted (black) pixels are transparent; null when drawing fails.
// The caller owns the icon.
HICON CreateBadgeIcon(const BadgeStyle& style);

}  // namespace qorva::universal
