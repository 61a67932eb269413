// The update-available dialog: a blue header with the new version, a card of the release's
// features, the clean-install choice and the buttons "Update Now" and "Remind Later". "Remind
// Later" records nothing, so the release is offered again at the next check.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <iterator>

#include "common/call_guarded.h"
#include "tsf/gdi_drawing.h"
#include "universal/dialog_painting.h"
#include "universal/modal_dialog.h"
#include "universal/update_dialog_rules.h"
#include "universal/update_dialogs.h"

namespace qorva::universal {
namespace {

using Gdiplus::ARGB;
using Gdiplus::Color;

constexpr wchar_t kTitle[] = L"Update available";
constexpr int kWidth = 552;
constexpr int kHeight = 445;

constexpr wchar_t kCleanCheckBoxText[] =
    L" Clean Uninstall: Purge previous version completely before installing (Recommended)";
constexpr wchar_t kUpdateNowText[] = L"Update Now";
constexpr wchar_t kRemindLaterText[] = L"Remind Later";
constexpr wchar_t kCardHeading[] = L"\u2728 What's New in this Release:";
constexpr wchar_t kFooterNote[] =
    L"(Your personal dictionary, custom words, and learning data are 100% safe & preserved)";

constexpr COLORREF kInk = RGB(0x0F, 0x17, 0x2A);
constexpr COLORREF kHeadingInk = RGB(0x03, 0x69, 0xA1);
constexpr COLORREF kTickInk = RGB(0x10, 0xB9, 0x81);
constexpr COLORREF kDescriptionInk = RGB(0x47, 0x55, 0x69);
constexpr COLORREF kFooterInk = RGB(0x64, 0x74, 0x8B);
constexpr ARGB kHeaderLeft = 0xFF0284C7;
constexpr ARGB kHeaderRight = 0xFF38BDF8;
constexpr ARGB kHeaderLine = 0xFF0EA5E9;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kPillFill = 0x37FFFFFF;
constexpr ARGB kPillOutline = 0xB4FFFFFF;
constexpr ARGB kDateInk = 0xFFE0F2FE;
constexpr ARGB kCardFill = 0xFFF0F9FF;
constexpr ARGB kCardOutline = 0xFFBAE6FD;
constexpr ARGB kButtonLine = 0xFFE2E8F0;
constexpr ARGB kUpdateTop = 0xFF0284C7;
constexpr ARGB kUpdateBottom = 0xFF0EA5E9;
constexpr ARGB kUpdatePressedTop = 0xFF026EA8;
constexpr ARGB kUpdatePressedBottom = 0xFF0284C7;
constexpr ARGB kUpdateOutline = 0xFF38BDF8;
constexpr ARGB kRemindFill = 0xFFF1F5F9;
constexpr ARGB kRemindPressed = 0xFFE2E8F0;
constexpr ARGB kRemindOutline = 0xFFCBD5E1;
constexpr COLORREF kRemindInk = RGB(0x47, 0x55, 0x69);

struct UpdateAvailableDialogState {
    ReleaseInfo info;
    bool cleanInstall = true;
    bool accepted = false;
    HWND cleanCheckBox = nullptr;
    HWND updateButton = nullptr;
    HFONT semibold13 = nullptr;
    HFONT regular13 = nullptr;
    HFONT bold13 = nullptr;
    HFONT regular11 = nullptr;
    HFONT button13 = nullptr;
};

void OnCreate(HWND window, UpdateAvailableDialogState& state) {
    state.semibold13 = MakeSegoeFont(13, 600);
    state.regular13 = MakeSegoeFont(13, 400);
    state.bold13 = MakeSegoeFont(13, 700);
    state.regular11 = MakeSegoeFont(11, 400);
    state.button13 = MakeSegoeFont(13, 600);
    state.cleanCheckBox = MakeDialogButton(window, kCleanCheckBoxText, BS_AUTOCHECKBOX, 24, 304,
                                           490, 24, kCleanCheckBoxId);
    // Recommended whatever the caller passed: leftovers of the old version are what break updates.
    SendMessageW(state.cleanCheckBox, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(state.cleanCheckBox, WM_SETFONT, reinterpret_cast<WPARAM>(state.semibold13), TRUE);
    state.updateButton =
        MakeDialogButton(window, kUpdateNowText, BS_OWNERDRAW, 284, 362, 126, 34, kUpdateNowId);
    MakeDialogButton(window, kRemindLaterText, BS_OWNERDRAW, 420, 362, 106, 34, kRemindLaterId);
    SetFocus(state.updateButton);
}

void ReleaseFonts(UpdateAvailableDialogState& state) {
    qorva_tsf::DeleteFonts(
        {&state.semibold13, &state.regular13, &state.bold13, &state.regular11, &state.button13});
}

void Accept(HWND window, UpdateAvailableDialogState& state) {
    state.accepted = true;
    state.cleanInstall = SendMessageW(state.cleanCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    DestroyWindow(window);
}

void Decline(HWND window, UpdateAvailableDialogState& state) {
    state.accepted = false;
    DestroyWindow(window);
}

void PaintHeaderAndCard(Gdiplus::Graphics& g, const UpdateAvailableDialogState& state, float w) {
    const Gdiplus::LinearGradientBrush header(Gdiplus::PointF(0, 0), Gdiplus::PointF(w, 0),
                                              Color(kHeaderLeft), Color(kHeaderRight));
    g.FillRectangle(&header, 0.0f, 0.0f, w, 74.0f);
    const Gdiplus::Pen headerLine{Color(kHeaderLine), 1.0f};
    g.DrawLine(&headerLine, 0.0f, 74.0f, w, 74.0f);

    DrawSegoeText(g, L"\u2726", 22, Gdiplus::FontStyleBold, kWhite, 20, 18);
    const float titleEnd =
        DrawSegoeText(g, L"Qorva Software Update", 17, Gdiplus::FontStyleBold, kWhite, 52, 16);

    // Where the title font is wider than Segoe UI, the pill moves right instead of covering it.
    const DialogRect pill{std::max(260.0f, titleEnd + 8.0f), 18, 120, 22};
    FillRoundedRect(g, pill, 22, Gdiplus::SolidBrush(Color(kPillFill)), kPillOutline, 1.0f);
    const std::wstring pillText =
        VersionPillText(state.info.versionText, UpdateService::GetCurrentVersion());
    const Gdiplus::Font pillFont(L"Segoe UI", 11, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    Gdiplus::StringFormat centred;
    centred.SetAlignment(Gdiplus::StringAlignmentCenter);
    centred.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::SolidBrush white{Color(kWhite)};
    g.DrawString(pillText.c_str(), static_cast<INT>(pillText.size()), &pillFont,
                 Gdiplus::RectF(pill.x, pill.y, pill.width, pill.height), &centred, &white);

    SYSTEMTIME now;
    GetLocalTime(&now);
    DrawSegoeText(g, ReleaseDateLine({now.wYear, now.wMonth, now.wDay, now.wDayOfWeek}), 12,
                  Gdiplus::FontStyleRegular, kDateInk, 52, 44);

    FillRoundedRect(g, {24, 86, w - 48, 204}, 16, Gdiplus::SolidBrush(Color(kCardFill)),
                    kCardOutline, 1.2f);
    const Gdiplus::Pen buttonLine{Color(kButtonLine), 1.0f};
    g.DrawLine(&buttonLine, 0.0f, 350.0f, w, 350.0f);
}

void PaintCardText(HDC dc, const UpdateAvailableDialogState& state, int clientWidth) {
    // A line that would leave the card (a font wider than Segoe UI) ends in an ellipsis.
    const int cardTextRight = clientWidth - 36;
    const UINT format = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    auto text = [&](const std::wstring& line, HFONT font, COLORREF colour, int x, int y) {
        qorva_tsf::DrawTextIn(dc, line, font, colour, {x, y, cardTextRight, y + 22}, format);
    };
    text(kCardHeading, state.semibold13, kHeadingInk, 38, 98);
    for (size_t row = 0; row < std::size(kUpdateFeatures); ++row) {
        const UpdateFeature& feature = kUpdateFeatures[row];
        const int y = 124 + 24 * static_cast<int>(row);
        text(L"\u2713", state.bold13, kTickInk, 40, y);
        text(feature.title, state.bold13, kInk, 58, y);
        text(std::wstring(L"\u2014 ") + feature.description, state.regular13, kDescriptionInk,
             FeatureDescriptionX(feature.title), y);
    }
    text(kFooterNote, state.regular11, kFooterInk, 46, 330);
}

void Paint(HWND window, const UpdateAvailableDialogState& state) {
    qorva_tsf::PaintDoubleBuffered(window, [&](HDC dc, const RECT& client) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        {
            Gdiplus::Graphics g(dc);
            g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            PaintHeaderAndCard(g, state, static_cast<float>(client.right));
        }
        SetBkMode(dc, TRANSPARENT);
        PaintCardText(dc, state, client.right);
    });
}

void DrawButton(const DRAWITEMSTRUCT& item, const UpdateAvailableDialogState& state) {
    const RECT& r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool update = item.CtlID == kUpdateNowId;
    const DialogRect shape{static_cast<float>(r.left), static_cast<float>(r.top),
                           static_cast<float>(r.right - r.left - 1),
                           static_cast<float>(r.bottom - r.top - 1)};
    {
        Gdiplus::Graphics g(item.hDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        if (update) {
            const Gdiplus::LinearGradientBrush fill(
                Gdiplus::RectF(shape.x, shape.y, shape.width, shape.height),
                Color(pressed ? kUpdatePressedTop : kUpdateTop),
                Color(pressed ? kUpdatePressedBottom : kUpdateBottom),
                Gdiplus::LinearGradientModeVertical);
            FillRoundedRect(g, shape, 12, fill, kUpdateOutline, 1.0f);
        } else {
            FillRoundedRect(g, shape, 12,
                            Gdiplus::SolidBrush(Color(pressed ? kRemindPressed : kRemindFill)),
                            kRemindOutline, 1.0f);
        }
    }
    SetBkMode(item.hDC, TRANSPARENT);
    qorva_tsf::DrawTextIn(item.hDC, update ? kUpdateNowText : kRemindLaterText, state.button13,
                          update ? RGB(255, 255, 255) : kRemindInk, qorva_tsf::ToLayout(r),
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                      UpdateAvailableDialogState& state) {
    switch (message) {
        case WM_CREATE: OnCreate(window, state); return 0;
        case WM_NCDESTROY:
            // The controls are gone by now, and with them the last users of the fonts.
            ReleaseFonts(state);
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_SETFOCUS:
            // Activation gives the dialog the focus; "Update Now" keeps it, as in a dialog box.
            if (state.updateButton) SetFocus(state.updateButton);
            return 0;
        case WM_ERASEBKGND: return 1;
        case WM_CTLCOLORSTATIC: return TransparentControlColours(wParam, kInk);
        case WM_COMMAND:
            if (LOWORD(wParam) == kUpdateNowId) Accept(window, state);
            if (LOWORD(wParam) == kRemindLaterId) Decline(window, state);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) Accept(window, state);
            if (wParam == VK_ESCAPE) Decline(window, state);
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID != kUpdateNowId && item->CtlID != kRemindLaterId) break;
            CallGuarded([&] { DrawButton(*item, state); });
            return TRUE;
        }
        case WM_PAINT: CallGuarded([&] { Paint(window, state); }); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr WNDPROC UpdateAvailableWndProc =
    DialogProcedure<UpdateAvailableDialogState, HandleMessage>;

}  // namespace

bool ShowUpdateAvailableDialog(HWND owner, const ReleaseInfo& release, UpdateOptions& options) {
    RegisterDialogClass(kUpdateAvailableClass, UpdateAvailableWndProc,
                        static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    UpdateAvailableDialogState state;
    state.info = release;
    state.cleanInstall = options.cleanInstall;

    const HWND window =
        CreateModalDialog(kUpdateAvailableClass, kTitle, kWidth, kHeight, owner, &state);
    if (!window) return false;

    const LoopEnd end = RunDialogLoop(window, DialogKeys::ToDialog);
    // A quit or an error ended the loop with the window open: it must not outlive the state.
    if (IsWindow(window)) DestroyWindow(window);
    RepostQuit(end);
    options.cleanInstall = state.cleanInstall;
    return state.accepted;
}

}  // namespace qorva::universal
