#include "universal/menu_icons.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "tsf/gdi_drawing.h"
#include "universal/dialog_painting.h"

namespace qorva::universal {
namespace {

using Gdiplus::ARGB;
using Gdiplus::Color;
using Gdiplus::Graphics;
using Gdiplus::GraphicsPath;
using Gdiplus::PointF;

constexpr int kSide = 16;

std::array<HBITMAP, kLastMenuIcon + 1> s_menuIcons{};

struct IconText {
    const wchar_t* text;
    const wchar_t* face;
    int height;  // character height in pixels
    RECT area;
};

ARGB ColourOf(MenuIconType kind) {
    switch (kind) {
        case kIconMoveToTray: return 0xFF007AF0;
        case kIconCheckForUpdate: return 0xFF0EA5E9;
        case kIconRestart:
        case kIconWordManager:
        case kIconAddWord:
        case kIconDownload: return 0xFF10B981;
        case kIconExit:
        case kIconUninstall:
        case kIconMicrophone: return 0xFFEF4444;
        case kIconEnglish:
        case kIconInformation: return 0xFF2563EB;
        case kIconEnglishEncodings:
        case kIconEmail: return 0xFF6366F1;
        case kIconBangla:
        case kIconLayoutMap: return 0xFF06B6D4;
        case kIconBanglaEncodings: return 0xFF14B8A6;
        case kIconConverter: return 0xFF8B5CF6;
        case kIconKeyboard:
        case kIconVersion: return 0xFFF59E0B;
        case kIconSettings: return 0xFF0284C7;
        case kIconAbout: return 0xFF00ACFF;
        case kIconHelp: return 0xFF3B82F6;
        case kIconCompact:
        case kIconAutoHide:
        case kIconChangeLogs: return 0xFF64748B;
        case kIconWebsite: return 0xFF24292F;
        case kIconFacebook: return 0xFF1877F2;
        case kIconYoutube: return 0xFFFF0000;
        case kIconWhatsapp: return 0xFF25D366;
        case kIconTelegram: return 0xFF0088CC;
        case kNoMenuIcon: break;
    }
    return 0;
}

// The kinds that show a short text instead of a drawn glyph.
bool TextOf(MenuIconType kind, IconText& text) {
    switch (kind) {
        case kIconEnglish: text = {L"EN", L"Segoe UI", 9, {0, 1, 16, 15}}; return true;
        case kIconEnglishEncodings: text = {L"UTF", L"Segoe UI", 8, {0, 1, 16, 15}}; return true;
        case kIconBangla: text = {L"বাং", L"Vrinda", 10, {0, 0, 16, 16}}; return true;
        case kIconBanglaEncodings: text = {L"অ", L"Vrinda", 10, {0, 0, 16, 16}}; return true;
        case kIconAbout: text = {L"কো", L"Vrinda", 10, {0, 0, 16, 16}}; return true;
        case kIconHelp: text = {L"?", L"Segoe UI", 11, {0, 0, 16, 16}}; return true;
        case kIconInformation: text = {L"i", L"Segoe UI", 11, {0, 0, 16, 16}}; return true;
        case kIconWebsite: text = {L"GH", L"Segoe UI", 8, {0, 0, 16, 16}}; return true;
        case kIconFacebook: text = {L"f", L"Segoe UI", 11, {1, 0, 15, 16}}; return true;
        default: return false;
    }
}

struct Segment {
    float x1, y1, x2, y2;
};

void Lines(Graphics& g, const Gdiplus::Pen& pen, std::initializer_list<Segment> segments) {
    for (const Segment& s : segments) g.DrawLine(&pen, s.x1, s.y1, s.x2, s.y2);
}

void DrawGlyph(Graphics& g, MenuIconType kind) {
    Gdiplus::Pen pen(Color(0xFFFFFFFF), 1.2f);
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    Gdiplus::SolidBrush white(Color(0xFFFFFFFF));
    switch (kind) {
        case kIconMoveToTray:
            Lines(g, pen,
                  {{3.5f, 12, 12.5f, 12},
                   {3.5f, 9.5f, 3.5f, 12},
                   {12.5f, 9.5f, 12.5f, 12},
                   {8, 3.5f, 8, 10},
                   {5.5f, 7.5f, 8, 10},
                   {10.5f, 7.5f, 8, 10}});
            break;
        case kIconCheckForUpdate:
            g.DrawArc(&pen, 3.5f, 3.5f, 9.0f, 9.0f, 40.0f, 280.0f);
            Lines(g, pen, {{11.5f, 4.5f, 13, 7.5f}, {13, 7.5f, 9.5f, 7.5f}});
            break;
        case kIconRestart:
            g.DrawArc(&pen, 3.5f, 3.5f, 9.0f, 9.0f, -40.0f, 270.0f);
            Lines(g, pen, {{8, 2, 10.5f, 4.5f}, {8, 6.5f, 10.5f, 4.5f}});
            break;
        case kIconExit:
            g.DrawArc(&pen, 3.5f, 3.5f, 9.0f, 9.0f, -60.0f, 300.0f);
            Lines(g, pen, {{8, 2.5f, 8, 7}});
            break;
        case kIconConverter:
            Lines(g, pen,
                  {{3.5f, 6, 11.5f, 6},
                   {9.5f, 4, 12, 6},
                   {9.5f, 8, 12, 6},
                   {12.5f, 10, 4.5f, 10},
                   {6.5f, 8, 4, 10},
                   {6.5f, 12, 4, 10}});
            break;
        case kIconKeyboard:
            g.DrawRectangle(&pen, 2.5f, 4.5f, 11.0f, 7.0f);
            g.FillRectangle(&white, 4.0f, 6.0f, 1.8f, 1.5f);
            g.FillRectangle(&white, 7.0f, 6.0f, 1.8f, 1.5f);
            g.FillRectangle(&white, 10.0f, 6.0f, 1.8f, 1.5f);
            g.FillRectangle(&white, 5.0f, 8.5f, 5.8f, 1.5f);
            break;
        case kIconSettings:
            g.DrawEllipse(&pen, 4.5f, 4.5f, 7.0f, 7.0f);
            for (int k = 0; k < 6; ++k) {
                const float a = static_cast<float>(k) * 3.14159265f / 3.0f;
                const float c = std::cos(a);
                const float s = std::sin(a);
                g.DrawLine(&pen, 8 + 3.2f * c, 8 + 3.2f * s, 8 + 5.8f * c, 8 + 5.8f * s);
            }
            break;
        case kIconWordManager:
            g.DrawRectangle(&pen, 3.0f, 2.5f, 6.5f, 9.5f);
            g.DrawEllipse(&pen, 7.5f, 7.5f, 4.5f, 4.5f);
            Lines(g, pen, {{11, 11, 13, 13}});
            break;
        case kIconCompact:
            g.DrawRectangle(&pen, 2.5f, 5.0f, 11.0f, 6.0f);
            g.FillEllipse(&white, 4.5f, 7.0f, 2.0f, 2.0f);
            g.FillEllipse(&white, 7.0f, 7.0f, 2.0f, 2.0f);
            g.FillEllipse(&white, 9.5f, 7.0f, 2.0f, 2.0f);
            break;
        case kIconAutoHide:
            Lines(g, pen,
                  {{2.5f, 3.5f, 13.5f, 3.5f},
                   {8, 12.5f, 8, 6.5f},
                   {5.5f, 8.5f, 8, 6},
                   {10.5f, 8.5f, 8, 6}});
            break;
        case kIconAddWord: Lines(g, pen, {{8, 3.5f, 8, 12.5f}, {3.5f, 8, 12.5f, 8}}); break;
        case kIconVersion:
            g.DrawRectangle(&pen, 3.0f, 4.0f, 10.0f, 8.0f);
            Lines(g, pen, {{3, 7, 13, 7}, {8, 7, 8, 12}});
            break;
        case kIconChangeLogs:
            g.DrawRectangle(&pen, 3.5f, 2.5f, 9.0f, 11.0f);
            Lines(g, pen,
                  {{5.5f, 5.5f, 10.5f, 5.5f}, {5.5f, 8, 10.5f, 8}, {5.5f, 10.5f, 8.5f, 10.5f}});
            break;
        case kIconUninstall: Lines(g, pen, {{4, 12, 12, 4}, {3, 13, 6, 10}, {7, 3, 13, 9}}); break;
        case kIconLayoutMap:
            g.DrawRectangle(&pen, 2.5f, 3.5f, 11.0f, 9.0f);
            Lines(g, pen, {{2.5f, 8, 13.5f, 8}, {8, 3.5f, 8, 12.5f}});
            break;
        case kIconDownload:
            Lines(g, pen,
                  {{8, 3, 8, 10.5f},
                   {5, 7.5f, 8, 10.5f},
                   {11, 7.5f, 8, 10.5f},
                   {3.5f, 13, 12.5f, 13}});
            break;
        case kIconYoutube: {
            const PointF triangle[] = {PointF(6, 5), PointF(11.5f, 8), PointF(6, 11)};
            g.FillPolygon(&white, triangle, 3);
            break;
        }
        case kIconWhatsapp:
            g.DrawEllipse(&pen, 3.0f, 3.0f, 10.0f, 9.0f);
            Lines(g, pen, {{4, 11, 2.5f, 13.5f}, {2.5f, 13.5f, 5.5f, 12}});
            break;
        case kIconTelegram: {
            const PointF triangle[] = {PointF(3.5f, 8), PointF(12.5f, 4), PointF(7.5f, 12)};
            g.DrawPolygon(&pen, triangle, 3);
            Lines(g, pen, {{7.5f, 12, 7.5f, 8.5f}});
            break;
        }
        case kIconEmail:
            g.DrawRectangle(&pen, 2.5f, 4.0f, 11.0f, 8.0f);
            Lines(g, pen, {{2.5f, 4, 8, 8.5f}, {13.5f, 4, 8, 8.5f}});
            break;
        case kIconMicrophone:
            g.FillRectangle(&white, 6.0f, 3.5f, 4.0f, 5.5f);
            g.DrawArc(&pen, 4.5f, 4.5f, 7.0f, 6.0f, 0.0f, 180.0f);
            Lines(g, pen, {{8, 10.5f, 8, 13}, {6, 13, 10, 13}});
            break;
        default: break;
    }
}

// White text on the square, drawn with GDI; GDI leaves the alpha of the pixels it paints at 0, so
// the square's alpha is put back afterwards (the text never reaches past the square).
void DrawText(HDC dc, uint32_t* pixels, const IconText& text) {
    std::array<uint32_t, kSide * kSide> before;
    std::copy(pixels, pixels + before.size(), before.begin());
    HFONT font = qorva_tsf::MakeFont(text.height, FW_BOLD, text.face);
    if (!font && text.face != std::wstring_view(L"Segoe UI"))
        font = qorva_tsf::MakeFont(text.height, FW_BOLD, L"Segoe UI");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT area = text.area;
    DrawTextW(dc, text.text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();
    SelectObject(dc, old);
    if (font) DeleteObject(font);
    for (size_t i = 0; i < before.size(); ++i) {
        pixels[i] = (pixels[i] & 0x00FFFFFFu) | (before[i] & 0xFF000000u);
    }
}

HBITMAP DrawIcon(MenuIconType kind) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    uint32_t* pixels = nullptr;
    HBITMAP bitmap = dc ? qorva_tsf::CreateTopDownBitmap(dc, kSide, kSide, &pixels) : nullptr;
    if (!bitmap) {
        if (dc) DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    {
        // Drawn straight into the bitmap's bits with premultiplied alpha, as menus show them.
        Gdiplus::Bitmap canvas(kSide, kSide, kSide * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(pixels));
        Graphics g(&canvas);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        const ARGB colour = ColourOf(kind);
        GraphicsPath square;
        AddRoundedRect(square, {0.5f, 0.5f, 15.0f, 15.0f}, 5.0f);
        Gdiplus::SolidBrush fill{Color(colour)};
        g.FillPath(&fill, &square);
        DrawGlyph(g, kind);
    }
    IconText text{};
    if (TextOf(kind, text)) DrawText(dc, pixels, text);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace

HBITMAP GetMenuIconBitmap(MenuIconType kind) {
    if (kind < 0 || kind > kLastMenuIcon || ColourOf(kind) == 0) return nullptr;
    HBITMAP& slot = s_menuIcons[static_cast<size_t>(kind)];
    if (!slot) slot = DrawIcon(kind);
    return slot;
}

bool SetMenuItemIcon(HMENU menu, UINT item, bool byPosition, MenuIconType kind) {
    HBITMAP icon = GetMenuIconBitmap(kind);
    if (!icon) return false;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = icon;
    return SetMenuItemInfoW(menu, item, byPosition, &info) != FALSE;
}

}  // namespace qorva::universal
