// The small drawn icons of the universal program's popup menus (the tray's and the top bar's): a
// rounded square in the kind's colour with a white glyph or text, 16 by 16 pixels with alpha, drawn
// the first time a kind is asked for and kept for the life of the process.
#pragma once

#include <windows.h>

#include "universal/tray_menus.h"

namespace qorva::universal {

// The icon of the kind, never to be deleted by the caller; null for a kind without an icon (20,
// anything outside 0 to 30) or when the bitmap cannot be made.
HBITMAP GetMenuIconBitmap(MenuIconType kind);

// Gives the menu entry (by position or by command) the kind's icon; false when there is no icon or
// the entry cannot take it. The menu still works without.
bool SetMenuItemIcon(HMENU menu, UINT item, bool byPosition, MenuIconType kind);

}  // namespace qorva::universal
