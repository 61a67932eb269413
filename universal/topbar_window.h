// The universal program's floating top bar: a borderless, always-on-top strip of nine round buttons
// that never takes the keyboard focus. It switches the shared typing mode, can be dragged and
// docked, shrinks to its compact width once the pointer has left and grows back when it returns,
// and answers other programs' requests to show it or put it back at its default place. Its rules
// live in the portable TopBarModel; this window feeds it the clock, the screen and the pointer,
// and moves, sizes and paints itself as it says.
#pragma once

#include <windows.h>

#include "universal/mode_target.h"
#include "universal/topbar_model.h"

namespace qorva::universal {

class VirtualKeyboardWindow;

inline constexpr wchar_t kTopBarClassName[] = L"QorvaFloatingTopBar";
inline constexpr wchar_t kTopBarTitle[] = L"Qorva TopBar";

class TopBarWindow {
public:
    using ButtonId = TopBarButton;
    using DockPosition = TopBarDock;

    TopBarWindow() = default;
    ~TopBarWindow();
    TopBarWindow(const TopBarWindow&) = delete;
    TopBarWindow& operator=(const TopBarWindow&) = delete;

    // Creates the hidden bar at the top centre of the primary screen, with the flags settings.json
    // holds, full width. False when the window cannot be created; every other call then only
    // changes the bar's state.
    bool Initialize(HINSTANCE moduleInstance, HWND ownerWindow);
    // Stops the timers and destroys the window and its fonts.
    void Destroy();

    void Show(bool show);
    bool IsVisible() const { return model.visible; }
    // The bar's copy of the shared mode, which its Bangla/English and translation buttons show
    // and toggle from.
    void UpdateMode(ModeTarget mode);
    // A negative top edge is kept as 0.
    void SetPosition(int x, int y);
    // The left edge and the remembered top edge.
    void GetPosition(int& x, int& y) const;

    void SetAutoHide(bool on);
    void ExpandToFull();
    void ExpandBar() { ExpandToFull(); }
    void CollapseToCompact();
    void SetDockPosition(DockPosition position);
    void ToggleCompactMode();

    // The bar's place and flags in settings.json, keeping the rest of the file.
    void SaveCoordinates();
    void LoadCoordinates();

    HWND Handle() const { return hwnd; }
    const TopBarModel& State() const { return model; }

    // The program's on-screen keyboard; not owned.
    VirtualKeyboardWindow* virtualKeyboard = nullptr;

    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The show and reset requests: the place is chosen, then the bar is shown, raised and saved.
    void AnswerPlacementRequest();
    void OnPaint();
    void OnTimer(UINT_PTR id);
    void OnMouseMove(LayoutPoint point);
    void OnLButtonDown(LayoutPoint point);
    void OnLButtonUp(LayoutPoint point);
    void OnMouseLeave();
    void OnExitSizeMove();
    void RunCommand(const TopBarEffects& effects);
    void Apply(const TopBarEffects& effects);
    void ApplyRegion();
    void ApplyWindowSizeAndShape();
    TopBarContext Context() const;
    void ReleaseFonts();

    // Painting (topbar_paint.cpp).
    void PaintBar(HDC dc, const RECT& client) const;

    HINSTANCE instance = nullptr;
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    HFONT fontBangla = nullptr;
    HFONT fontEnglish = nullptr;
    TopBarModel model;
};

}  // namespace qorva::universal
