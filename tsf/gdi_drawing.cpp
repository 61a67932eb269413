#include "tsf/gdi_drawing.h"

#include <algorithm>

namespace qorva_tsf {

HFONT MakeFont(int height, int weight, const wchar_t* face, BYTE pitchAndFamily) {
    // A negative height asks for the character height rather than the cell height.
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, pitchAndFamily,
                       face);
}

void DeleteFonts(std::initializer_list<HFONT*> fonts) {
    for (HFONT* font : fonts) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

RECT ToRect(const LayoutRect& r) { return {r.left, r.top, r.right, r.bottom}; }
LayoutRect ToLayout(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void DrawRoundedBox(HDC dc, const LayoutRect& r, int corner, COLORREF fill, COLORREF outline,
                    int penWidth) {
    const HPEN pen = CreatePen(PS_SOLID, penWidth, outline);
    const HBRUSH brush = fill == CLR_INVALID ? nullptr : CreateSolidBrush(fill);
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush =
        SelectObject(dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (brush) DeleteObject(brush);
    DeleteObject(pen);
}

void DrawTextIn(HDC dc, const std::wstring& text, HFONT font, COLORREF colour, const LayoutRect& r,
                UINT format) {
    const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SetTextColor(dc, colour);
    RECT box = ToRect(r);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
    if (old) SelectObject(dc, old);
}

void TrackMouseLeave(HWND window) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    TrackMouseEvent(&track);
}

HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, uint32_t** pixels) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    auto* first = static_cast<uint32_t*>(bits);
    std::fill(first, first + static_cast<size_t>(width) * height, 0u);
    if (pixels) *pixels = first;
    return bitmap;
}

void PaintDoubleBuffered(HWND window, const std::function<void(HDC, const RECT&)>& paint) {
    PAINTSTRUCT paintStruct;
    const HDC dc = BeginPaint(window, &paintStruct);
    RECT client{};
    GetClientRect(window, &client);
    const HDC memory = CreateCompatibleDC(dc);
    // A 32-bit DIB section rather than a bitmap of the display's format: GDI+ draws thin
    // anti-aliased strokes into it directly, where on a device bitmap it falls back to coarser
    // GDI shapes under some systems (wine among them).
    const HBITMAP bitmap = CreateTopDownBitmap(dc, client.right, client.bottom);
    if (memory && bitmap) {
        const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        paint(memory, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldBitmap);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    EndPaint(window, &paintStruct);
}

}  // namespace qorva_tsf
