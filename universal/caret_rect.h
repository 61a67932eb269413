// Where the universal program shows its candidate window: at the text caret of the foreground
// application when it has one, else by its focused control, the last click or the mouse cursor.
// The host gathers what the system says; the choice is made here, without the window system.
#pragma once

#include <optional>

#include "tsf/candidate_layout.h"

namespace qorva::universal {

struct CaretFacts {
    // The caret of the foreground thread: its rectangle in its window's client coordinates and the
    // same rectangle on the screen.
    struct Caret {
        qorva_tsf::LayoutRect client;
        qorva_tsf::LayoutRect screen;
    };
    std::optional<Caret> caret;
    // The screen rectangle of the focused control, when the thread has one.
    std::optional<qorva_tsf::LayoutRect> focus;
    // The last left-button press anywhere, (0, 0) before the first.
    qorva_tsf::LayoutPoint lastClick;
    std::optional<qorva_tsf::LayoutRect> foreground;
    std::optional<qorva_tsf::LayoutPoint> cursor;
};

// The caret rectangle in screen coordinates; empty when nothing is known. A control without a
// caret (a browser's page, a game's text box) gets a narrow strip at its left edge, as tall as
// the control when it is a single line, else one line at its top; a large control (a whole
// window) is not a place to show the list.
qorva_tsf::LayoutRect ChooseCaretRect(const CaretFacts& facts);

}  // namespace qorva::universal
