#include "universal/caret_rect.h"

namespace qorva::universal {
namespace {

using qorva_tsf::LayoutPoint;
using qorva_tsf::LayoutRect;

constexpr int32_t kStripWidth = 5;
constexpr int32_t kSingleLineHeight = 40;
constexpr int32_t kLineHeight = 25;
constexpr int32_t kPointCaretWidth = 2;
constexpr int32_t kPointCaretHeight = 24;

bool AllZero(const LayoutRect& r) {
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

// Wide and tall enough to hold text, and not so large in both directions that it is the window.
bool LooksLikeTextControl(const LayoutRect& r) {
    const int32_t width = r.right - r.left;
    const int32_t height = r.bottom - r.top;
    return width > 15 && height > 10 && (width <= 400 || height <= 250);
}

LayoutRect CaretAtPoint(LayoutPoint p) {
    return {p.x, p.y, p.x + kPointCaretWidth, p.y + kPointCaretHeight};
}

}  // namespace

LayoutRect ChooseCaretRect(const CaretFacts& facts) {
    if (facts.caret && !AllZero(facts.caret->client)) return facts.caret->screen;
    if (facts.focus && LooksLikeTextControl(*facts.focus)) {
        const LayoutRect& r = *facts.focus;
        const int32_t bottom =
            r.bottom - r.top <= kSingleLineHeight ? r.bottom : r.top + kLineHeight;
        return {r.left, r.top, r.left + kStripWidth, bottom};
    }
    const bool clicked = facts.lastClick.x != 0 || facts.lastClick.y != 0;
    if (clicked && facts.foreground && facts.foreground->Contains(facts.lastClick)) {
        return CaretAtPoint(facts.lastClick);
    }
    if (facts.cursor) return CaretAtPoint(*facts.cursor);
    return {};
}

}  // namespace qorva::universal
