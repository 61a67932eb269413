#include "universal/dialog_painting.h"

#include "tsf/gdi_drawing.h"

namespace qorva::universal {
namespace {

constexpr wchar_t kSegoe[] = L"Segoe UI";

}  // namespace

void AddRoundedRect(Gdiplus::GraphicsPath& path, const DialogRect& r, float diameter) {
    const float right = r.x + r.width - diameter;
    const float bottom = r.y + r.height - diameter;
    path.AddArc(r.x, r.y, diameter, diameter, 180, 90);
    path.AddArc(right, r.y, diameter, diameter, 270, 90);
    path.AddArc(right, bottom, diameter, diameter, 0, 90);
    path.AddArc(r.x, bottom, diameter, diameter, 90, 90);
    path.CloseFigure();
}

void FillRoundedRect(Gdiplus::Graphics& g, const DialogRect& r, float diameter,
                     const Gdiplus::Brush& fill, Gdiplus::ARGB outline, float penWidth) {
    Gdiplus::GraphicsPath path;
    AddRoundedRect(path, r, diameter);
    g.FillPath(&fill, &path);
    Gdiplus::Pen pen{Gdiplus::Color(outline), penWidth};
    g.DrawPath(&pen, &path);
}

float DrawSegoeText(Gdiplus::Graphics& g, const std::wstring& text, float pixels, int style,
                    Gdiplus::ARGB colour, float x, float y) {
    const Gdiplus::Font font(kSegoe, pixels, style, Gdiplus::UnitPixel);
    if (font.GetLastStatus() != Gdiplus::Ok) return x;
    const Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
    const Gdiplus::PointF origin(x, y);
    g.DrawString(text.c_str(), static_cast<INT>(text.size()), &font, origin, &brush);
    Gdiplus::RectF bounds;
    if (g.MeasureString(text.c_str(), static_cast<INT>(text.size()), &font, origin, &bounds) !=
        Gdiplus::Ok)
        return x;
    return bounds.X + bounds.Width;
}

HFONT MakeSegoeFont(int height, int weight) {
    return qorva_tsf::MakeFont(height, weight, kSegoe, DEFAULT_PITCH | FF_SWISS);
}

}  // namespace qorva::universal
