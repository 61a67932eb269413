// The top bar's two kinds of help: the standard tooltip control with a Bangla tip per button, and
// the bar's own hover card, a white drop-shadow window with an English title and text below the
// button under the pointer. The card never takes the focus or the mouse.
#include <windows.h>
#include <commctrl.h>

#include "tsf/gdi_drawing.h"
#include "universal/topbar_tips.h"
#include "universal/topbar_window.h"

namespace qorva::universal {
namespace {

constexpr int kCardMargin = 10;
constexpr COLORREF kCardBorder = RGB(209, 214, 219);
constexpr COLORREF kCardTitleColour = RGB(15, 23, 42);
constexpr COLORREF kCardTextColour = RGB(71, 85, 105);
constexpr int kCardTitleHeight = 14;
constexpr int kCardTextHeight = 13;
constexpr UINT kCardTextFormat = DT_WORDBREAK | DT_NOPREFIX;

TOOLINFOW ToolOf(HWND bar, int id, const LayoutRect& rect) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = bar;
    tool.uId = static_cast<UINT_PTR>(id);
    tool.rect = qorva_tsf::ToRect(rect);
    return tool;
}

void RegisterCardClass(HINSTANCE instance, WNDPROC procedure) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSW windowClass{};
    windowClass.style = CS_DROPSHADOW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kHoverCardClassName;
    registered = RegisterClassW(&windowClass) != 0;
}

// The height the text takes when it wraps at `width`.
int TextHeight(HWND window, const std::wstring& text, int width) {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    HFONT font = qorva_tsf::MakeFont(kCardTextHeight, FW_NORMAL, L"Segoe UI");
    const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    RECT measured{0, 0, width, 1000};
    DrawTextW(dc, text.c_str(), -1, &measured, DT_CALCRECT | kCardTextFormat);
    if (previous) SelectObject(dc, previous);
    if (font) DeleteObject(font);
    ReleaseDC(window, dc);
    return measured.bottom;
}

}  // namespace

void TopBarWindow::InitTooltips() {
    static const bool controlsReady = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)controlsReady;  // without the control the bar simply has no standard tips
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, instance, nullptr);
    if (!tooltip) return;
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 50);
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, 50);
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 8000);
    // Wide enough for each tip's two lines, which its line feed separates.
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 420);
    SendMessageW(tooltip, TTM_ACTIVATE, TRUE, 0);
    for (int id = kFirstTipButton; id <= kLastTipButton; ++id) {
        TOOLINFOW tool = ToolOf(hwnd, id, model.buttons[id - 1]);
        tool.uFlags = TTF_SUBCLASS;
        tool.hinst = instance;
        tool.lpszText = const_cast<wchar_t*>(TopBarTooltipText(id));
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    UpdateTooltipRects();
}

void TopBarWindow::UpdateTooltipRects() {
    if (!tooltip || !hwnd) return;
    // A hidden button's empty rectangle never shows its tip.
    for (int id = kFirstTipButton; id <= kLastTipButton; ++id) {
        TOOLINFOW tool = ToolOf(hwnd, id, model.buttons[id - 1]);
        SendMessageW(tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TopBarWindow::UpdateHoverCard(TopBarButton before, LayoutPoint point) {
    const TopBarButton now = model.dragging ? before : model.HitTest(point);
    const bool cardVisible = card && IsWindowVisible(card);
    switch (NextHoverCardStep(static_cast<int>(before), static_cast<int>(now), cardVisible,
                              model.dragging)) {
        case HoverCardStep::Keep: break;
        case HoverCardStep::Hide: HideTooltipCard(); break;
        case HoverCardStep::Show: ShowTooltipCard(now); break;
    }
}

void TopBarWindow::ShowTooltipCard(TopBarButton button) {
    const std::optional<HoverCard> content =
        HoverCardFor(static_cast<int>(button), model.suggestionsPaused, model.width);
    if (!hwnd || model.dragging || !content) {
        HideTooltipCard();
        return;
    }
    RegisterCardClass(instance, TooltipCardWndProc);
    if (!card) {
        CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST,
                        kHoverCardClassName, L"", WS_POPUP, 0, 0, 10, 10, hwnd, nullptr, instance,
                        this);
        if (!card) return;
    }
    cardTitle = content->title;
    cardText = content->text;
    const int height = TextHeight(card, cardText, content->textWidth) + kHoverCardExtraHeight;
    const int width = HoverCardWidth(*content);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    const LayoutPoint at =
        HoverCardPosition(ButtonRect(model.buttons, button), {origin.x, origin.y}, *content, height,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(card, HWND_TOPMOST, at.x, at.y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ShowWindow(card, SW_SHOWNOACTIVATE);
    InvalidateRect(card, nullptr, TRUE);
    UpdateWindow(card);
}

void TopBarWindow::HideTooltipCard() {
    if (card) ShowWindow(card, SW_HIDE);
}

LRESULT CALLBACK TopBarWindow::TooltipCardWndProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<TopBarWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->card = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const auto* self =
        reinterpret_cast<const TopBarWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_PAINT:
            qorva_tsf::PaintDoubleBuffered(window, [self](HDC dc, const RECT& client) {
                if (self) self->PaintCard(dc, client);
            });
            return 0;
        case WM_ERASEBKGND: return 1;
        // Neither the focus nor the mouse: the pointer stays on the bar beneath.
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_NCHITTEST: return HTTRANSPARENT;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TopBarWindow::PaintCard(HDC dc, const RECT& client) const {
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    FillRect(dc, &client, white);
    qorva_tsf::DrawRoundedBox(dc, qorva_tsf::ToLayout(client), 0, CLR_INVALID, kCardBorder);
    SetBkMode(dc, TRANSPARENT);
    HFONT titleFont = qorva_tsf::MakeFont(kCardTitleHeight, FW_BOLD, L"Segoe UI");
    HFONT textFont = qorva_tsf::MakeFont(kCardTextHeight, FW_NORMAL, L"Segoe UI");
    qorva_tsf::DrawTextIn(dc, cardTitle, titleFont, kCardTitleColour,
                          {kCardMargin, 7, client.right - kCardMargin, 24},
                          DT_SINGLELINE | DT_NOPREFIX);
    qorva_tsf::DrawTextIn(dc, cardText, textFont, kCardTextColour,
                          {kCardMargin, 25, client.right - kCardMargin, client.bottom - 6},
                          kCardTextFormat);
    if (titleFont) DeleteObject(titleFont);
    if (textFont) DeleteObject(textFont);
}

}  // namespace qorva::universal
