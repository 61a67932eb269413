#include "universal/drawn_icon.h"

#include <cstdint>
#include <vector>

#include "tsf/gdi_drawing.h"

namespace qorva::universal {
namespace {

// A memory device context for drawing into a 32-bit top-down bitmap, released when done.
class BadgeCanvas {
public:
    BadgeCanvas(int width, int height) : width_(width), height_(height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        if (dc_) bitmap_ = qorva_tsf::CreateTopDownBitmap(dc_, width, height, &pixels_);
        if (!bitmap_) return;
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~BadgeCanvas() {
        if (previous_) SelectObject(dc_, previous_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    BadgeCanvas(const BadgeCanvas&) = delete;
    BadgeCanvas& operator=(const BadgeCanvas&) = delete;

    bool Ready() const { return pixels_ != nullptr; }
    HDC Dc() const { return dc_; }

    void Draw(const BadgeStyle& style) {
        HBRUSH brush = CreateSolidBrush(style.fill);
        HPEN pen = CreatePen(PS_SOLID, 1, style.outline);
        HFONT font = CreateFontW(-style.fontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 CLEARTYPE_QUALITY, DEFAULT_PITCH, style.fontFace);
        HGDIOBJ oldBrush = SelectObject(dc_, brush);
        HGDIOBJ oldPen = SelectObject(dc_, pen);
        HGDIOBJ oldFont = SelectObject(dc_, font);
        RoundRect(dc_, 0, 0, width_, height_, style.corner, style.corner);
        SetTextColor(dc_, RGB(255, 255, 255));
        SetBkMode(dc_, TRANSPARENT);
        RECT area{0, 0, width_, height_};
        DrawTextW(dc_, style.text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        GdiFlush();
        SelectObject(dc_, oldFont);
        SelectObject(dc_, oldPen);
        SelectObject(dc_, oldBrush);
        DeleteObject(font);
        DeleteObject(pen);
        DeleteObject(brush);
    }

    // Painted pixels become opaque; black ones are left out through the mask.
    HICON ToIcon() {
        const int rowBytes = ((width_ + 15) / 16) * 2;
        std::vector<uint8_t> mask(static_cast<size_t>(rowBytes) * height_, 0);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                uint32_t& pixel = pixels_[y * width_ + x];
                if (pixel & 0x00FFFFFFu) {
                    pixel |= 0xFF000000u;
                } else {
                    mask[y * rowBytes + x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
                }
            }
        }
        SelectObject(dc_, previous_);
        previous_ = nullptr;
        HBITMAP maskBitmap = CreateBitmap(width_, height_, 1, 1, mask.data());
        ICONINFO info{};
        info.fIcon = TRUE;
        info.hbmMask = maskBitmap;
        info.hbmColor = bitmap_;
        HICON icon = maskBitmap ? CreateIconIndirect(&info) : nullptr;
        if (maskBitmap) DeleteObject(maskBitmap);
        return icon;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* pixels_ = nullptr;
};

}  // namespace

HICON CreateBadgeIcon(const BadgeStyle& style) {
    BadgeCanvas canvas(style.width, style.height);
    if (!canvas.Ready()) return nullptr;
    canvas.Draw(style);
    return canvas.ToIcon();
}

}  // namespace qorva::universal
