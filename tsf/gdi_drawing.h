// Small GDI drawing and mouse steps shared by the windows that paint themselves: the candidate
// popup and the universal program's on-screen keyboard, top bar and update dialogs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "tsf/candidate_layout.h"

namespace qorva_tsf {

// A font of the given character height in pixels (positive), drawn with ClearType; the pitch and
// family guide Windows' choice when the face is missing.
HFONT MakeFont(int height, int weight, const wchar_t* face,
               BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE);

// Deletes the fonts that are set and clears them.
void DeleteFonts(std::initializer_list<HFONT*> fonts);

RECT ToRect(const LayoutRect& r);
LayoutRect ToLayout(const RECT& r);

// A pen and brush of their own for one shape; a fill of CLR_INVALID leaves the inside alone.
void DrawRoundedBox(HDC dc, const LayoutRect& r, int corner, COLORREF fill, COLORREF outline,
                    int penWidth = 1);

void DrawTextIn(HDC dc, const std::wstring& text, HFONT font, COLORREF colour, const LayoutRect& r,
                UINT format);

// A 32-bit top-down DIB section of this size with every pixel zero (transparent black); its pixels
// are handed out through `pixels` when given. Null when it cannot be made; the caller owns it.
HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, uint32_t** pixels = nullptr);

// Asks for WM_MOUSELEAVE once the pointer leaves the window; a window that shows hover calls it
// with every WM_MOUSEMOVE.
void TrackMouseLeave(HWND window);

// Handles WM_PAINT by composing the whole client area off screen and copying it in one go, so the
// window never flickers. `paint` gets the memory device context and the client rectangle.
void PaintDoubleBuffered(HWND window, const std::function<void(HDC, const RECT&)>& paint);

}  // namespace qorva_tsf
