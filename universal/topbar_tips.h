// What the top bar says about its buttons, without the window system: the standard tooltip's
// two-line Bangla tip per button, and the hover card's English title and text with the card's
// place below the button under the pointer (above it when the screen ends below). Buttons are
// numbered 1 to 9 as the bar numbers them. Portable.
#pragma once

#include <cstdint>
#include <optional>

#include "universal/topbar_model.h"

namespace qorva::universal {

inline constexpr int kFirstTipButton = 1;
inline constexpr int kLastTipButton = 9;

// The tooltip of a button; null outside 1 to 9.
const wchar_t* TopBarTooltipText(int button);

struct HoverCard {
    const wchar_t* title = L"";
    const wchar_t* text = L"";
    int32_t textWidth = 230;  // the text wraps at this width; the card is 20 wider
    int32_t offsetX = -125;   // of the card's left edge from the button's centre
};

// The card of a button: button 4's follows the pause, button 9's the bar's width; none outside 1
// to 9.
std::optional<HoverCard> HoverCardFor(int button, bool suggestionsPaused, int32_t barWidth);

// The card's width for its text; its height is the wrapped text's height plus this.
inline int32_t HoverCardWidth(const HoverCard& card) { return card.textWidth + 20; }
inline constexpr int32_t kHoverCardExtraHeight = 42;

// The card's top-left corner on the screen: 6 pixels below the button, kept 10 pixels inside the
// screen's left and right edges, and 6 pixels above the button when it would reach the bottom.
// `button` is in the bar's client coordinates, `barOrigin` the screen point of their (0, 0).
LayoutPoint HoverCardPosition(const LayoutRect& button, LayoutPoint barOrigin,
                              const HoverCard& card, int32_t cardHeight, int32_t screenWidth,
                              int32_t screenHeight);

// What the hover card does when the pointer moves over the bar, from the button it was over
// before the move and the one it is over now (0 between buttons).
enum class HoverCardStep { Keep, Hide, Show };

// A new button shows its card; leaving the buttons hides it; staying on a button shows its card
// again only when a click hid it. Nothing shows while the bar is dragged.
HoverCardStep NextHoverCardStep(int before, int now, bool cardVisible, bool dragging);

}  // namespace qorva::universal
