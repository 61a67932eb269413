// The on-screen keyboard's four key layouts and the places of its header, in client pixels of the
// 628 x 292 window. No window system here, so the layouts are tested natively; the window draws
// them and hit-tests clicks against them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tsf/candidate_layout.h"

namespace qorva::universal {

using qorva_tsf::LayoutPoint;
using qorva_tsf::LayoutRect;

enum class OskTab : int32_t { English = 0, Bangla = 1, Characters = 2, Emoji = 3 };
inline constexpr size_t kOskTabCount = 4;

inline constexpr int32_t kOskWidth = 628;
inline constexpr int32_t kOskHeight = 292;

// One key. Strings are UTF-16, one unit per element, on every platform.
struct OskKey {
    LayoutRect rect;
    std::wstring label;
    // Drawn and typed instead of the label and text while the on-screen Shift is latched; empty
    // on keys that look and type the same either way.
    std::wstring shiftedLabel;
    std::wstring text;     // typed when `vk` is 0
    uint16_t vk = 0;       // sent as that key when not 0
    bool special = false;  // named or function key, drawn in a softer colour
};

using OskKeys = std::vector<OskKey>;

// The title strip: four tabs, the "—", "□" and "✕" buttons, and the rest to drag the window by.
inline constexpr LayoutRect kOskHeaderRect{0, 0, kOskWidth, 36};
inline constexpr std::array<LayoutRect, kOskTabCount> kOskTabRects{
    {{8, 6, 80, 30}, {84, 6, 154, 30}, {158, 6, 244, 30}, {248, 6, 314, 30}}};
inline constexpr LayoutRect kOskMinimizeRect{550, 6, 574, 30};
inline constexpr LayoutRect kOskMoveRect{576, 6, 600, 30};
inline constexpr LayoutRect kOskCloseRect{602, 6, 624, 30};
// The Emoji tab's search bar and its button: drawn only, they do nothing.
inline constexpr LayoutRect kOskSearchRect{16, 42, 518, 68};
inline constexpr LayoutRect kOskSearchButtonRect{526, 42, 612, 68};

// Each builder lays out its tab for a window of the given size.
OskKeys BuildEnglishLayout(int32_t width);
OskKeys BuildBanglaLayout(int32_t width);
// Keys whose right edge would reach the window's last 7 pixels are left out.
OskKeys BuildCharactersLayout(int32_t width);
// Keys whose bottom edge would reach the window's last 3 pixels are left out; the last column
// runs past the right edge and is cut by the window's rounded corners.
OskKeys BuildEmojiLayout(int32_t height);

// The four tabs in `OskTab` order.
std::array<OskKeys, kOskTabCount> BuildOskLayouts(int32_t width, int32_t height);

}  // namespace qorva::universal
