#include "universal/virtual_keyboard_window.h"

#include <windowsx.h>

#include <algorithm>

#include "common/call_guarded.h"
#include "tsf/gdi_drawing.h"
#include "universal/keystrokes.h"
#include "universal/osk_input.h"

namespace qorva::universal {
namespace {

using qorva_tsf::DrawRoundedBox;
using qorva_tsf::DrawTextIn;
using qorva_tsf::MakeFont;
using qorva_tsf::ToRect;

constexpr wchar_t kTitle[] = L"Qorva Virtual Keyboard";
constexpr const wchar_t* kTabTitles[kOskTabCount] = {L"English", L"Bangla", L"Characters",
                                                     L"Emoji"};
constexpr wchar_t kMinimizeLabel[] = L"\u2014";  // —
constexpr wchar_t kMoveLabel[] = L"\u25A1";      // □
constexpr wchar_t kCloseLabel[] = L"\u2715";     // ✕
constexpr wchar_t kSearchPlaceholder[] = L"Click and type to search emojis...";
constexpr wchar_t kSearchButtonLabel[] = L"AI Search";

// The window keeps this far from the bottom of the screen, and at least this far from the top.
constexpr int kBottomMargin = 60;
constexpr int kTopMargin = 40;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBackground = RGB(246, 248, 252);
constexpr COLORREF kFrame = RGB(220, 226, 235);
constexpr COLORREF kAccent = RGB(14, 116, 222);
constexpr COLORREF kTabFill = RGB(240, 243, 248);
constexpr COLORREF kTabOutline = RGB(218, 224, 233);
constexpr COLORREF kMutedText = RGB(71, 85, 105);
constexpr COLORREF kCloseText = RGB(225, 29, 72);
constexpr COLORREF kSearchOutline = RGB(203, 213, 225);
constexpr COLORREF kPlaceholderText = RGB(148, 163, 184);
constexpr COLORREF kSearchButtonFill = RGB(14, 165, 233);
constexpr COLORREF kSearchButtonOutline = RGB(2, 132, 199);
constexpr COLORREF kHoverFill = RGB(236, 244, 255);
constexpr COLORREF kHoverOutline = RGB(96, 165, 250);
constexpr COLORREF kKeyOutline = RGB(226, 232, 240);
constexpr COLORREF kKeyText = RGB(15, 23, 42);
constexpr COLORREF kSpecialKeyText = RGB(51, 65, 85);

constexpr UINT kOneLineCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

LayoutPoint PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

VirtualKeyboardWindow::~VirtualKeyboardWindow() { Destroy(); }

bool VirtualKeyboardWindow::Initialize(HINSTANCE instance, HWND /*owner*/) {
    if (window) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_DROPSHADOW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kVirtualKeyboardClass;
    RegisterClassExW(&windowClass);  // already registered when the keyboard is made again

    const int x = (GetSystemMetrics(SM_CXSCREEN) - kOskWidth) / 2;
    const int y = std::max(GetSystemMetrics(SM_CYSCREEN) - kOskHeight - kBottomMargin, kTopMargin);
    // No owner: an owned popup would hide and show with its owner.
    if (!CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kVirtualKeyboardClass,
                         kTitle, WS_POPUP, x, y, kOskWidth, kOskHeight, nullptr, nullptr, instance,
                         this)) {
        window = nullptr;  // set while the creation messages ran
        return false;
    }
    // The window owns the region once it is set.
    if (const HRGN region = CreateRoundRectRgn(0, 0, kOskWidth + 1, kOskHeight + 1, 8, 8)) {
        if (!SetWindowRgn(window, region, TRUE)) DeleteObject(region);
    }
    tabFont = MakeFont(13, 700, L"Segoe UI");
    keyFont = MakeFont(14, 600, L"Segoe UI");
    banglaKeyFont = MakeFont(15, 600, L"Nirmala UI");
    smallKeyFont = MakeFont(11, 400, L"Segoe UI");
    emojiFont = MakeFont(18, 400, L"Segoe UI Emoji");
    keys = BuildOskLayouts(kOskWidth, kOskHeight);
    return true;
}

void VirtualKeyboardWindow::Destroy() {
    if (window) DestroyWindow(window);
    window = nullptr;
    visible = false;
    hoveredKey = -1;
    pressedKey = -1;
    ReleaseFonts();
}

void VirtualKeyboardWindow::ReleaseFonts() {
    qorva_tsf::DeleteFonts({&tabFont, &keyFont, &banglaKeyFont, &smallKeyFont, &emojiFont});
}

void VirtualKeyboardWindow::ToggleVisibility() { Show(!visible); }

void VirtualKeyboardWindow::Show(bool show) {
    if (!window) return;
    visible = show;
    if (show) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        Invalidate();
    } else {
        ShowWindow(window, SW_HIDE);
    }
}

void VirtualKeyboardWindow::SetTab(OskTab which) {
    tab = which;
    hoveredKey = -1;
    pressedKey = -1;
    Invalidate();
}

LRESULT CALLBACK VirtualKeyboardWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<VirtualKeyboardWindow*>(create->lpCreateParams);
        self->window = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<VirtualKeyboardWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may unwind through the window system's frames.
    return qorva::CallGuarded(LRESULT{0},
                              [&] { return self->HandleMessage(hwnd, message, wParam, lParam); });
}

LRESULT VirtualKeyboardWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    switch (message) {
        // Under Wine a click would otherwise activate even a no-activate window.
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_PAINT: OnPaint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_MOUSEMOVE: OnMouseMove(PointOf(lParam)); return 0;
        case WM_MOUSELEAVE: OnMouseLeave(); return 0;
        // The class takes double clicks; the second click of one is a press like the first, or a
        // fast "ll" or a double Backspace would lose a key.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: OnLButtonDown(PointOf(lParam)); return 0;
        case WM_LBUTTONUP: OnLButtonUp(); return 0;
        case WM_DESTROY:
            window = nullptr;
            visible = false;
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void VirtualKeyboardWindow::OnMouseMove(LayoutPoint point) {
    qorva_tsf::TrackMouseLeave(window);
    const int hovered = KeyAt(Keys(tab), point);
    if (hovered == hoveredKey) return;
    InvalidateKey(hoveredKey);
    hoveredKey = hovered;
    InvalidateKey(hoveredKey);
}

void VirtualKeyboardWindow::OnMouseLeave() {
    hoveredKey = -1;
    pressedKey = -1;
    Invalidate();
}

void VirtualKeyboardWindow::OnLButtonDown(LayoutPoint point) {
    const OskHit hit = HitTestOsk(Keys(tab), point);
    switch (hit.kind) {
        case OskHitKind::Tab: SetTab(hit.tab); break;
        case OskHitKind::Hide: Show(false); break;
        case OskHitKind::Drag:
            // The system moves the window as if its caption were dragged.
            ReleaseCapture();
            SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(GetMessagePos()));
            break;
        case OskHitKind::Key:
            pressedKey = static_cast<int>(hit.key);
            InvalidateKey(pressedKey);
            PressKey(Keys(tab)[hit.key]);
            break;
        case OskHitKind::Nothing: break;
    }
}

void VirtualKeyboardWindow::OnLButtonUp() {
    if (pressedKey < 0) return;
    InvalidateKey(pressedKey);
    pressedKey = -1;
}

void VirtualKeyboardWindow::PressKey(const OskKey& key) {
    const OskPress press = PressOskKey(key, shiftLatched);
    SendKeystrokes(press.keys);
    if (press.redraw) Invalidate();
}

void VirtualKeyboardWindow::InvalidateKey(int index) {
    const OskKeys& current = Keys(tab);
    if (!window || index < 0 || static_cast<size_t>(index) >= current.size()) return;
    const RECT r = ToRect(current[static_cast<size_t>(index)].rect);
    InvalidateRect(window, &r, FALSE);
}

void VirtualKeyboardWindow::Invalidate() {
    if (window) InvalidateRect(window, nullptr, FALSE);
}

void VirtualKeyboardWindow::OnPaint() {
    qorva_tsf::PaintDoubleBuffered(window, [this](HDC dc, const RECT& client) {
        const HBRUSH background = CreateSolidBrush(kBackground);
        FillRect(dc, &client, background);
        DeleteObject(background);
        DrawRoundedBox(dc, {0, 0, client.right, client.bottom}, 8, CLR_INVALID, kFrame);
        SetBkMode(dc, TRANSPARENT);
        PaintHeader(dc);
        if (tab == OskTab::Emoji) PaintSearchBar(dc);
        PaintKeys(dc);
    });
}

void VirtualKeyboardWindow::PaintHeader(HDC dc) const {
    for (size_t t = 0; t < kOskTabCount; ++t) {
        const LayoutRect& r = kOskTabRects[t];
        if (static_cast<OskTab>(t) == tab) {
            DrawRoundedBox(dc, r, 6, kWhite, kAccent, 2);
            DrawTextIn(dc, kTabTitles[t], tabFont, kAccent, r, kOneLineCentred);
        } else {
            DrawRoundedBox(dc, r, 6, kTabFill, kTabOutline);
            DrawTextIn(dc, kTabTitles[t], tabFont, kMutedText, r, kOneLineCentred);
        }
    }
    const struct {
        const LayoutRect& rect;
        const wchar_t* label;
        COLORREF colour;
    } buttons[] = {{kOskMinimizeRect, kMinimizeLabel, kMutedText},
                   {kOskMoveRect, kMoveLabel, kMutedText},
                   {kOskCloseRect, kCloseLabel, kCloseText}};
    for (const auto& button : buttons) {
        DrawRoundedBox(dc, button.rect, 4, kWhite, kFrame);
        DrawTextIn(dc, button.label, tabFont, button.colour, button.rect, kOneLineCentred);
    }
}

void VirtualKeyboardWindow::PaintSearchBar(HDC dc) const {
    const LayoutRect& bar = kOskSearchRect;
    DrawRoundedBox(dc, bar, 6, kWhite, kSearchOutline);
    DrawTextIn(dc, kSearchPlaceholder, tabFont, kPlaceholderText,
               {bar.left + 10, bar.top, bar.right, bar.bottom},
               DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    DrawRoundedBox(dc, kOskSearchButtonRect, 6, kSearchButtonFill, kSearchButtonOutline);
    DrawTextIn(dc, kSearchButtonLabel, tabFont, kWhite, kOskSearchButtonRect, kOneLineCentred);
}

HFONT VirtualKeyboardWindow::KeyFont(const std::wstring& label) const {
    switch (tab) {
        case OskTab::Emoji: return emojiFont;
        case OskTab::Bangla: return banglaKeyFont;
        default: return label.size() < 3 ? keyFont : smallKeyFont;
    }
}

void VirtualKeyboardWindow::PaintKeys(HDC dc) const {
    const OskKeys& current = Keys(tab);
    for (size_t i = 0; i < current.size(); ++i) {
        const OskKey& key = current[i];
        const int index = static_cast<int>(i);
        const COLORREF text = key.special ? kSpecialKeyText : kKeyText;
        if (index == pressedKey) {
            DrawRoundedBox(dc, key.rect, 4, kAccent, kAccent);
        } else if (index == hoveredKey) {
            DrawRoundedBox(dc, key.rect, 4, kHoverFill, kHoverOutline);
        } else {
            DrawRoundedBox(dc, key.rect, 4, kWhite, kKeyOutline);
        }
        const std::wstring& label = OskKeyLabel(key, shiftLatched);
        DrawTextIn(dc, label, KeyFont(label), index == pressedKey ? kWhite : text, key.rect,
                   kOneLineCentred);
    }
}

}  // namespace qorva::universal
