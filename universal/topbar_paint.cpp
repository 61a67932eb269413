// The top bar draws itself in code: a blue gradient strip with white line-art buttons,
// anti-aliased with GDI+ in the memory bitmap of a double-buffered paint. The Bangla/English label
// is GDI text, drawn once the GDI+ graphics has let go of the bitmap.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cmath>

#include "tsf/gdi_drawing.h"
#include "universal/topbar_window.h"

namespace qorva::universal {
namespace {

using Gdiplus::Color;
using Gdiplus::GraphicsPath;
using Gdiplus::Pen;
using Gdiplus::PointF;
using Gdiplus::REAL;
using Gdiplus::SolidBrush;

constexpr wchar_t kBanglaLabel[] = L"\u09AC\u09BE\u0982\u09B2\u09BE";  // বাংলা
constexpr wchar_t kEnglishLabel[] = L"English";
constexpr COLORREF kLabelColour = RGB(15, 23, 42);

constexpr Gdiplus::ARGB kGradientTop = 0xFF1EB9F8;
constexpr Gdiplus::ARGB kGradientBottom = 0xFF0A82E6;
constexpr Gdiplus::ARGB kBorder = 0xA0C8F0FF;
constexpr Gdiplus::ARGB kHighlight = 0x6EFFFFFF;
constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kHoverDisc = 0x2DFFFFFF;
constexpr Gdiplus::ARGB kPressedDisc = 0x50FFFFFF;
constexpr Gdiplus::ARGB kListeningDisc = 0xF5EF4444;
constexpr Gdiplus::ARGB kTranscribingDisc = 0xF53B82F6;
constexpr Gdiplus::ARGB kVoiceDiscOutline = 0xB4FFFFFF;
constexpr Gdiplus::ARGB kPillPressed = 0xFFE2E8F0;
constexpr Gdiplus::ARGB kPillHovered = 0xFFF1F5F9;
constexpr Gdiplus::ARGB kPillOutline = 0x8CFFFFFF;
constexpr Gdiplus::ARGB kBlueInk = 0xFF0A82E6;
constexpr Gdiplus::ARGB kPowerHover = 0x78EF4444;
constexpr Gdiplus::ARGB kPowerPressed = 0xB4EF4444;
constexpr Gdiplus::ARGB kStatusDot = 0xFF34D399;
constexpr REAL kIconPenWidth = 1.6f;
constexpr REAL kPi = 3.14159265f;

// What every glyph is drawn with unless it names another pen.
struct Ink {
    SolidBrush brush{Color(kWhite)};
    Pen pen{Color(kWhite), kIconPenWidth};
    Ink() {
        pen.SetStartCap(Gdiplus::LineCapRound);
        pen.SetEndCap(Gdiplus::LineCapRound);
    }
};

struct Centre {
    REAL x;
    REAL y;
};

Centre CentreOf(const LayoutRect& r) {
    return {(r.left + r.right) * 0.5f, (r.top + r.bottom) * 0.5f};
}

void FillDisc(Gdiplus::Graphics& g, Gdiplus::ARGB colour, Centre c, REAL radius) {
    SolidBrush brush{Color(colour)};
    g.FillEllipse(&brush, c.x - radius, c.y - radius, radius * 2, radius * 2);
}

// Button 1 while it listens (red) or waits for its transcript (blue), whatever the hover.
void DrawVoiceDisc(Gdiplus::Graphics& g, Gdiplus::ARGB colour, Centre c) {
    FillDisc(g, colour, c, 10);
    Pen outline{Color(kVoiceDiscOutline), 1.2f};
    g.DrawEllipse(&outline, c.x - 10, c.y - 10, REAL{20}, REAL{20});
}

// A closed outline with quarter-circle corners of the given diameter.
void AddRoundedRect(GraphicsPath& path, REAL left, REAL top, REAL right, REAL bottom,
                    REAL diameter) {
    path.AddArc(left, top, diameter, diameter, 180, 90);
    path.AddArc(right - diameter, top, diameter, diameter, 270, 90);
    path.AddArc(right - diameter, bottom - diameter, diameter, diameter, 0, 90);
    path.AddArc(left, bottom - diameter, diameter, diameter, 90, 90);
    path.CloseFigure();
}

void Line(Gdiplus::Graphics& g, const Pen& pen, REAL x1, REAL y1, REAL x2, REAL y2) {
    g.DrawLine(&pen, x1, y1, x2, y2);
}

void DrawMicrophone(Gdiplus::Graphics& g, const Ink& ink, Centre c) {
    g.FillEllipse(&ink.brush, c.x - 2.8f, c.y - 5.5f, 5.6f, 5.6f);
    g.FillRectangle(&ink.brush, c.x - 2.8f, c.y - 3.0f, 5.6f, 4.2f);
    g.FillEllipse(&ink.brush, c.x - 2.8f, c.y - 0.5f, 5.6f, 5.6f);
    g.DrawArc(&ink.pen, c.x - 4.8f, c.y - 3.5f, 9.6f, 8.8f, 10, 160);
    Line(g, ink.pen, c.x, c.y + 5.2f, c.x, c.y + 7.2f);
    Line(g, ink.pen, c.x - 3, c.y + 7.2f, c.x + 3, c.y + 7.2f);
}

void DrawLanguagePill(Gdiplus::Graphics& g, const LayoutRect& r, bool hovered, bool pressed) {
    GraphicsPath pill;
    AddRoundedRect(pill, static_cast<REAL>(r.left), static_cast<REAL>(r.top),
                   static_cast<REAL>(r.right), static_cast<REAL>(r.bottom), 8);
    SolidBrush fill{Color(pressed ? kPillPressed : hovered ? kPillHovered : kWhite)};
    g.FillPath(&fill, &pill);
    Pen outline{Color(kPillOutline), 1.0f};
    g.DrawPath(&outline, &pill);
}

void DrawGlobe(Gdiplus::Graphics& g, Centre c, Gdiplus::ARGB colour) {
    Pen pen{Color(colour), 1.5f};
    g.DrawEllipse(&pen, c.x - 6, c.y - 6, 12.0f, 12.0f);
    Line(g, pen, c.x - 6, c.y, c.x + 6, c.y);
    g.DrawEllipse(&pen, c.x - 2.8f, c.y - 6, 5.6f, 12.0f);
}

void DrawTranslationPill(Gdiplus::Graphics& g, const LayoutRect& r) {
    GraphicsPath pill;
    const REAL top = static_cast<REAL>(r.top + 1);
    AddRoundedRect(pill, static_cast<REAL>(r.left), top, static_cast<REAL>(r.right),
                   top + static_cast<REAL>(r.bottom - r.top - 2), 6);
    SolidBrush fill{Color(kWhite)};
    g.FillPath(&fill, &pill);
}

void DrawPauseOrPlay(Gdiplus::Graphics& g, const Ink& ink, Centre c, bool paused) {
    if (paused) {
        const PointF play[] = {{c.x - 3, c.y - 4.5f}, {c.x + 4.5f, c.y}, {c.x - 3, c.y + 4.5f}};
        g.FillPolygon(&ink.brush, play, 3);
        return;
    }
    g.FillRectangle(&ink.brush, c.x - 3.5f, c.y - 4.5f, 2.5f, 9.0f);
    g.FillRectangle(&ink.brush, c.x + 1, c.y - 4.5f, 2.5f, 9.0f);
}

void DrawWordManager(Gdiplus::Graphics& g, const Ink& ink, Centre c) {
    g.DrawRectangle(&ink.pen, c.x - 5.5f, c.y - 5.5f, 8.0f, 11.0f);
    Line(g, ink.pen, c.x - 3.5f, c.y - 3, c.x, c.y - 3);
    Line(g, ink.pen, c.x - 3.5f, c.y - 0.5f, c.x, c.y - 0.5f);
    g.DrawEllipse(&ink.pen, c.x, c.y, 4.0f, 4.0f);
    Line(g, ink.pen, c.x + 3, c.y + 3, c.x + 5.5f, c.y + 5.5f);
}

void DrawMouse(Gdiplus::Graphics& g, const Ink& ink, Centre c) {
    GraphicsPath body;
    body.AddArc(c.x - 3.75f, c.y - 5.5f, 7.5f, 7.5f, 180, 180);
    body.AddLine(c.x + 3.75f, c.y - 1.75f, c.x + 3.75f, c.y + 1.75f);
    body.AddArc(c.x - 3.75f, c.y - 2, 7.5f, 7.5f, 0, 180);
    body.CloseFigure();
    g.DrawPath(&ink.pen, &body);
    Line(g, ink.pen, c.x, c.y - 5.5f, c.x, c.y - 1);
    g.FillRectangle(&ink.brush, c.x - 0.8f, c.y - 3.8f, 1.6f, 3.0f);
}

void DrawConverter(Gdiplus::Graphics& g, const Ink& ink, Centre c) {
    g.DrawRectangle(&ink.pen, c.x - 5.5f, c.y - 5, 8.0f, 10.0f);
    Line(g, ink.pen, c.x - 3.5f, c.y - 2.5f, c.x, c.y - 2.5f);
    Line(g, ink.pen, c.x - 3.5f, c.y, c.x - 1, c.y);
    Line(g, ink.pen, c.x + 1, c.y + 4.5f, c.x + 5, c.y - 1.5f);
}

void DrawGear(Gdiplus::Graphics& g, Centre c) {
    Pen rim{Color(kWhite), 1.8f};
    g.DrawEllipse(&rim, c.x - 3.8f, c.y - 3.8f, 7.6f, 7.6f);
    Pen spoke{Color(kWhite), 2.0f};
    spoke.SetStartCap(Gdiplus::LineCapSquare);
    spoke.SetEndCap(Gdiplus::LineCapSquare);
    for (int k = 0; k < 8; ++k) {
        const REAL angle = k * kPi * 0.25f;
        const REAL cosine = k == 0 ? 1.0f : std::cos(angle);
        const REAL sine = k == 0 ? 0.0f : std::sin(angle);
        Line(g, spoke, c.x + 3 * cosine, c.y + 3 * sine, c.x + 5.8f * cosine, c.y + 5.8f * sine);
    }
    Pen ring{Color(kBlueInk), 1.0f};
    g.DrawEllipse(&ring, c.x - 1.6f, c.y - 1.6f, 3.2f, 3.2f);
}

void DrawChevrons(Gdiplus::Graphics& g, const Ink& ink, Centre c) {
    const PointF first[] = {{c.x - 3.5f, c.y - 4.5f}, {c.x - 0.5f, c.y}, {c.x - 3.5f, c.y + 4.5f}};
    const PointF second[] = {{c.x + 1, c.y - 4.5f}, {c.x + 4, c.y}, {c.x + 1, c.y + 4.5f}};
    g.DrawLines(&ink.pen, first, 3);
    g.DrawLines(&ink.pen, second, 3);
}

void DrawPower(Gdiplus::Graphics& g, Centre c) {
    Pen pen{Color(kWhite), kIconPenWidth};
    g.DrawArc(&pen, c.x - 5, c.y - 4.5f, 10.0f, 10.0f, -60, 300);
    Line(g, pen, c.x, c.y - 6, c.x, c.y - 1.2f);
    SolidBrush dot{Color(kStatusDot)};
    g.FillEllipse(&dot, c.x + 3, c.y - 6, 4.0f, 4.0f);
    Pen dotOutline{Color(kWhite), 0.8f};
    g.DrawEllipse(&dotOutline, c.x + 3, c.y - 6, 4.0f, 4.0f);
}

// Buttons 4 to 8: a white glyph over the usual hover disc.
void DrawToolGlyph(Gdiplus::Graphics& g, const Ink& ink, TopBarButton button, Centre c,
                   bool suggestionsPaused) {
    switch (button) {
        case TopBarButton::SuggestionsPause: DrawPauseOrPlay(g, ink, c, suggestionsPaused); break;
        case TopBarButton::WordManager: DrawWordManager(g, ink, c); break;
        case TopBarButton::OnScreenKeyboard: DrawMouse(g, ink, c); break;
        case TopBarButton::Converter: DrawConverter(g, ink, c); break;
        case TopBarButton::Settings: DrawGear(g, c); break;
        default: break;
    }
}

}  // namespace

void TopBarWindow::PaintBar(HDC dc, const RECT& client) const {
    const TopBarModel& bar = model;
    {
        Gdiplus::Graphics g(dc);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        const REAL w = static_cast<REAL>(client.right);
        const REAL h = static_cast<REAL>(client.bottom);

        Gdiplus::LinearGradientBrush background(Gdiplus::RectF(0, 0, w, h), Color(kGradientTop),
                                                Color(kGradientBottom),
                                                Gdiplus::LinearGradientModeVertical);
        background.SetWrapMode(Gdiplus::WrapModeTile);
        g.FillRectangle(&background, 0.0f, 0.0f, w, h);
        Pen border{Color(kBorder), 1.0f};
        g.DrawRectangle(&border, 0.0f, 0.0f, w - 1, h - 1);
        Pen highlight{Color(kHighlight), 1.0f};
        Line(g, highlight, 2, 1, w - 3, 1);

        const Ink ink;
        for (int i = 0; i < kTopBarButtonCount; ++i) {
            const auto button = static_cast<TopBarButton>(i + 1);
            const LayoutRect& r = bar.buttons[i];
            if (r.IsEmpty()) continue;
            const Centre c = CentreOf(r);
            const bool hovered = bar.hoverButton == button;
            const bool pressed = bar.pressedButton == button;
            const Gdiplus::ARGB disc = pressed ? kPressedDisc : kHoverDisc;
            switch (button) {
                case TopBarButton::Voice:
                    switch (voice.ButtonState()) {
                        case VoiceButtonState::Listening:
                            DrawVoiceDisc(g, kListeningDisc, c);
                            break;
                        case VoiceButtonState::Transcribing:
                            DrawVoiceDisc(g, kTranscribingDisc, c);
                            break;
                        case VoiceButtonState::Idle:
                            if (hovered) FillDisc(g, disc, c, 9.5f);
                            break;
                    }
                    DrawMicrophone(g, ink, c);
                    break;
                case TopBarButton::Language: DrawLanguagePill(g, r, hovered, pressed); break;
                case TopBarButton::Translation:
                    if (bar.mode == ModeTarget::BanglishToEnglish) {
                        DrawTranslationPill(g, r);
                        DrawGlobe(g, c, kBlueInk);
                    } else {
                        if (hovered) FillDisc(g, disc, c, 9);
                        DrawGlobe(g, c, kWhite);
                    }
                    break;
                case TopBarButton::Menu:
                    if (hovered) {
                        const bool red = bar.width >= kTopBarPowerMenuMinWidth;
                        FillDisc(g, red ? (pressed ? kPowerPressed : kPowerHover) : disc, c, 9);
                    }
                    if (bar.width < kTopBarFullWidth) {
                        DrawChevrons(g, ink, c);
                    } else {
                        DrawPower(g, c);
                    }
                    break;
                default:
                    if (hovered) FillDisc(g, disc, c, 9);
                    DrawToolGlyph(g, ink, button, c, bar.suggestionsPaused);
                    break;
            }
        }
    }
    // GDI text goes on the bitmap only after GDI+ has released it.
    const bool english = bar.mode == ModeTarget::English;
    SetBkMode(dc, TRANSPARENT);
    qorva_tsf::DrawTextIn(dc, english ? kEnglishLabel : kBanglaLabel,
                          english ? fontEnglish : fontBangla, kLabelColour,
                          ButtonRect(bar.buttons, TopBarButton::Language),
                          DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

}  // namespace qorva::universal
