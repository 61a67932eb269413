#include "universal/topbar_window.h"

#include <windowsx.h>

#include <optional>

#include <windows.h>
#include <commctrl.h>

#include "common/call_guarded.h"
#include "services/voice_input.h"
#include "settings/settings_store.h"
#include "tsf/gdi_drawing.h"
#include "universal/message_filter.h"
#include "universal/mode_ipc.h"
#include "universal/program_folders.h"
#include "universal/topbar_placement.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

constexpr UINT_PTR kAutoHideTimer = 101;
constexpr UINT kAutoHideTimerMs = 100;
constexpr UINT_PTR kAnimationTimer = 102;
constexpr int kCornerEllipse = 6;
constexpr int kLabelFontHeight = 12;
constexpr int kBold = 700;

LayoutPoint PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

std::optional<LayoutPoint> Cursor() {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return std::nullopt;
    return LayoutPoint{cursor.x, cursor.y};
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

std::wstring SettingsPath() { return SettingsFilePath(AppDataDir()); }

HFONT FontOrFallback(const wchar_t* face, int height, const wchar_t* fallbackFace,
                     int fallbackHeight) {
    if (HFONT font = qorva_tsf::MakeFont(height, kBold, face)) return font;
    return qorva_tsf::MakeFont(fallbackHeight, kBold, fallbackFace);
}

}  // namespace

TopBarWindow::~TopBarWindow() { Destroy(); }

bool TopBarWindow::Initialize(HINSTANCE moduleInstance, HWND ownerWindow) {
    owner = ownerWindow;
    instance = moduleInstance;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kTopBarClassName;
    RegisterClassExW(&windowClass);

    LoadCoordinates();
    // Every start puts the bar at the top centre, whatever place was saved; only its flags stay.
    model.SetPosition(CentredTopBarX(ScreenWidth(), model.width), 0);
    CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTopBarClassName,
                    kTopBarTitle, WS_POPUP, model.x, 0, model.width, model.height, nullptr, nullptr,
                    instance, this);
    if (!hwnd) return false;
    model.hasWindow = true;
    AllowMessagesFromOtherPrograms(
        hwnd, {ModeIpc::GetShowTopBarMessage(), ModeIpc::GetResetTopBarMessage(),
               static_cast<UINT>(WM_COMMAND)});
    ApplyRegion();
    voice.SetConfig(qorva_tsf::VoiceConfig_Load(AppDataDir()));
    recorder = std::make_unique<qorva_tsf::VoiceRecorder>();
    // CreateFontW hands out a substitute for a missing face, so the fallbacks are for a failure
    // of the call itself.
    fontBangla = FontOrFallback(L"Vrinda", kLabelFontHeight, L"Nirmala UI", kLabelFontHeight);
    fontEnglish = FontOrFallback(L"Segoe UI", kLabelFontHeight, L"Segoe UI", kLabelFontHeight + 1);
    InitTooltips();
    SetTimer(hwnd, kAutoHideTimer, kAutoHideTimerMs, nullptr);
    ExpandToFull();
    return true;
}

void TopBarWindow::Destroy() {
    if (hwnd) {
        KillTimer(hwnd, kAutoHideTimer);
        KillTimer(hwnd, kAnimationTimer);
        // The tooltip control and the hover card are the bar's own windows and go with it.
        DestroyWindow(hwnd);
        hwnd = nullptr;
    }
    tooltip = nullptr;
    card = nullptr;
    // A recording still running stops now, while its device thread can still be joined; at the
    // process's end it could not.
    recorder.reset();
    model.hasWindow = false;
    model.animation = TopBarAnimation::Idle;
    ReleaseFonts();
}

void TopBarWindow::ReleaseFonts() { qorva_tsf::DeleteFonts({&fontBangla, &fontEnglish}); }

void TopBarWindow::Show(bool show) {
    model.PrepareShow(show);
    if (!hwnd) return;
    if (!show) {
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    ApplyRegion();
    // Raised above the other topmost windows without being activated: BringWindowToTop would
    // take the keyboard focus from the application the user types in.
    ShowWindow(hwnd, SW_SHOWNA);
    SetWindowPos(hwnd, HWND_TOPMOST, model.x, model.y, model.width, model.height,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

void TopBarWindow::UpdateMode(ModeTarget mode) {
    model.mode = mode;
    if (!hwnd) return;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void TopBarWindow::SetPosition(int x, int y) {
    model.SetPosition(x, y);
    if (hwnd) {
        SetWindowPos(hwnd, HWND_TOPMOST, model.x, model.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TopBarWindow::GetPosition(int& x, int& y) const {
    x = model.x;
    y = model.rememberedY;
}

void TopBarWindow::SetAutoHide(bool on) { Apply(model.SetAutoHide(on, Context())); }

void TopBarWindow::ExpandToFull() { Apply(model.ExpandToFull(Context())); }

void TopBarWindow::CollapseToCompact() { Apply(model.CollapseToCompact(Context())); }

void TopBarWindow::SetDockPosition(DockPosition position) {
    Apply(model.SetDockPosition(position, ScreenWidth()));
}

void TopBarWindow::ToggleCompactMode() { Apply(model.ToggleCompactMode(Context())); }

// Every move saves, so a file that stays unwritable is logged once, not at each move.
void TopBarWindow::SaveCoordinates() {
    const SettingsWrite outcome = SaveTopBarPlacement(SettingsPath(), model);
    if (outcome != SettingsWrite::Written && outcome != lastSave) {
        Log(std::string("settings.json left as it was: ") + SettingsWriteReason(outcome));
    }
    lastSave = outcome;
}

void TopBarWindow::LoadCoordinates() {
    LoadTopBarPlacement(SettingsPath(), ScreenWidth(), GetSystemMetrics(SM_CYSCREEN), model);
}

LRESULT CALLBACK TopBarWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<TopBarWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TopBarWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the window system's frames.
    return CallGuarded(LRESULT{0},
                       [&] { return self->HandleMessage(window, message, wParam, lParam); });
}

LRESULT TopBarWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ModeIpc::GetShowTopBarMessage()) {
        model.PlaceForShowRequest(ScreenWidth());
        AnswerPlacementRequest();
        return 0;
    }
    if (message == ModeIpc::GetResetTopBarMessage()) {
        model.PlaceForResetRequest(ScreenWidth());
        AnswerPlacementRequest();
        return 0;
    }
    switch (message) {
        case WM_DESTROY:
            hwnd = nullptr;
            tooltip = nullptr;
            card = nullptr;
            model.hasWindow = false;
            return 0;
        case WM_NCDESTROY: SetWindowLongPtrW(window, GWLP_USERDATA, 0); break;
        // A click must leave the focus where the user is typing; under Wine it would otherwise
        // activate even a no-activate window.
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_PAINT: OnPaint(); return 0;
        case WM_SETCURSOR: SetCursor(LoadCursorW(nullptr, IDC_HAND)); return 1;
        case WM_ERASEBKGND: return 1;
        // All client: the bar moves itself when dragged.
        case WM_NCHITTEST: return HTCLIENT;
        case WM_TIMER: OnTimer(wParam); return 0;
        case WM_MOUSEMOVE: OnMouseMove(PointOf(lParam)); return 0;
        case WM_LBUTTONDOWN: OnLButtonDown(PointOf(lParam)); return 0;
        case WM_LBUTTONUP: OnLButtonUp(PointOf(lParam)); return 0;
        case WM_LBUTTONDBLCLK:
            // The second click of a double click on a button acts as a click of its own.
            if (model.HitTest(PointOf(lParam)) != TopBarButton::None) {
                OnLButtonDown(PointOf(lParam));
                OnLButtonUp(PointOf(lParam));
            }
            return 0;
        case WM_RBUTTONUP: OnRightButtonUp(PointOf(lParam)); return 0;
        case WM_EXITSIZEMOVE: OnExitSizeMove(); return 0;
        case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TopBarWindow::AnswerPlacementRequest() {
    Show(true);
    ExpandToFull();
    if (hwnd) {
        SetWindowPos(hwnd, HWND_TOPMOST, model.x, model.rememberedY, model.width, model.height,
                     SWP_SHOWWINDOW);
        SetForegroundWindow(hwnd);
    }
    SaveCoordinates();
}

void TopBarWindow::OnPaint() {
    qorva_tsf::PaintDoubleBuffered(hwnd,
                                   [this](HDC dc, const RECT& client) { PaintBar(dc, client); });
}

void TopBarWindow::OnTimer(UINT_PTR id) {
    if (id == kAnimationTimer) {
        Apply(model.AnimationStep(Context()));
    } else if (id == kAutoHideTimer) {
        CheckVoiceAutoStop();
        Apply(model.CheckAutoHide(Cursor(), Context()));
    }
}

void TopBarWindow::OnMouseMove(LayoutPoint point) {
    qorva_tsf::TrackMouseLeave(hwnd);
    if (tooltip) {
        MSG relayed{};
        relayed.hwnd = hwnd;
        relayed.message = WM_MOUSEMOVE;
        relayed.lParam = MAKELPARAM(point.x, point.y);
        relayed.time = GetTickCount();
        relayed.pt = {point.x, point.y};
        SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    const std::optional<LayoutPoint> captured =
        GetCapture() == hwnd ? Cursor() : std::optional<LayoutPoint>();
    const TopBarButton before = model.hoverButton;
    Apply(model.Move(point, captured, Context()));
    UpdateHoverCard(before, point);
}

void TopBarWindow::OnLButtonDown(LayoutPoint point) {
    HideTooltipCard();
    const TopBarEffects effects = model.Press(point, Cursor().value_or(LayoutPoint{}));
    SetCapture(hwnd);
    Apply(effects);
}

void TopBarWindow::OnLButtonUp(LayoutPoint point) {
    HideTooltipCard();
    const TopBarEffects effects = model.Release(point, Context());
    ReleaseCapture();
    Apply(effects);
    RunCommand(effects);
}

void TopBarWindow::OnMouseLeave() {
    const TopBarEffects effects = model.Leave(Cursor(), GetTickCount());
    // A leave with the pointer still at the bar's edge is a flicker and changes nothing.
    if (effects.redraw) HideTooltipCard();
    Apply(effects);
}

void TopBarWindow::OnRightButtonUp(LayoutPoint point) {
    if (MenuOfRightClick(model.buttons, point) == TopBarMenu::Power) {
        ShowPowerMenu();
    } else {
        ShowSettingsMenu();
    }
}

void TopBarWindow::OnExitSizeMove() {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    Apply(model.EndSystemMove({rect.left, rect.top, rect.right, rect.bottom}, ScreenWidth()));
}

void TopBarWindow::RunCommand(const TopBarEffects& effects) {
    switch (effects.command) {
        case TopBarCommand::None: break;
        case TopBarCommand::SwitchMode:
            // Every program follows the block's broadcast; the host's handler then confirms the
            // bar's copy, which already shows the new mode.
            ModeIpc::Instance().SetMode(model.mode);
            PlaySoundEffect(effects.switchSound);
            break;
        case TopBarCommand::StartVoice:
            PlaySoundEffect(kSoundVoiceStart);
            LaunchVoiceInput();
            break;
        case TopBarCommand::ToggleSuggestions: ToggleSuggestions(); break;
        case TopBarCommand::ShowWordManagerMenu: ShowWordManagerMenu(); break;
        case TopBarCommand::LaunchOnScreenKeyboard: LaunchOnScreenKeyboard(); break;
        case TopBarCommand::LaunchConverter: LaunchConverter(); break;
        case TopBarCommand::ShowSettingsMenu: ShowSettingsMenu(); break;
        case TopBarCommand::ShowPowerMenu: ShowPowerMenu(); break;
    }
}

void TopBarWindow::Apply(const TopBarEffects& effects) {
    // A card would point at a button that is about to move.
    if (effects.startAnimationTimer) HideTooltipCard();
    if (hwnd) {
        if (effects.stopAnimationTimer) {
            KillTimer(hwnd, kAnimationTimer);
            UpdateTooltipRects();
        }
        if (effects.resize) ApplyWindowSizeAndShape();
        if (effects.move) {
            SetWindowPos(hwnd, HWND_TOPMOST, model.x, model.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (effects.startAnimationTimer)
            SetTimer(hwnd, kAnimationTimer, kTopBarAnimationStepMs, nullptr);
        if (effects.redraw) InvalidateRect(hwnd, nullptr, FALSE);
    }
    if (effects.save) SaveCoordinates();
}

void TopBarWindow::ApplyRegion() {
    const HRGN region =
        CreateRoundRectRgn(0, 0, model.width + 1, model.height + 1, kCornerEllipse, kCornerEllipse);
    // The window owns a region it was given; one it refused is ours to delete.
    if (region && !SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
}

void TopBarWindow::ApplyWindowSizeAndShape() {
    ApplyRegion();
    // A hidden bar keeps animating its width but stays hidden until it is shown.
    const UINT show = model.visible ? SWP_SHOWWINDOW : 0;
    SetWindowPos(hwnd, HWND_TOPMOST, model.x, model.y, model.width, model.height,
                 show | SWP_NOACTIVATE | SWP_NOZORDER);
    InvalidateRect(hwnd, nullptr, FALSE);
}

TopBarContext TopBarWindow::Context() const { return {GetTickCount(), ScreenWidth()}; }

}  // namespace qorva::universal
