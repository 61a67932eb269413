// GDI+ steps that the update dialogs share: rounded shapes built from four corner arcs, and text
// in "Segoe UI" sized in pixels. Every call tolerates a failing GDI+ (a family it cannot find, a
// graphics that could not be made): the element is then missing from that frame.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

namespace qorva::universal {

struct DialogRect {
    float x, y, width, height;
};

// The outline of the rectangle with quarter-circle corners of the given diameter.
void AddRoundedRect(Gdiplus::GraphicsPath& path, const DialogRect& r, float diameter);

// Fills the rounded rectangle with `fill` and outlines it with a pen of `outline`.
void FillRoundedRect(Gdiplus::Graphics& g, const DialogRect& r, float diameter,
                     const Gdiplus::Brush& fill, Gdiplus::ARGB outline, float penWidth);

// Text in "Segoe UI" of `pixels` height, its top-left corner at (x, y). Returns where the text
// ends on the right: x when nothing was drawn.
float DrawSegoeText(Gdiplus::Graphics& g, const std::wstring& text, float pixels, int style,
                    Gdiplus::ARGB colour, float x, float y);

// A GDI "Segoe UI" font of the dialogs, Swiss family.
HFONT MakeSegoeFont(int height, int weight);

}  // namespace qorva::universal
