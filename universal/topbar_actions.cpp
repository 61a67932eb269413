// What the main window and the tray icons do with the top bar: other programs' show and reset
// requests, the hot-key icon's clicks and the menu entries that hide, show and re-centre it.
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

}  // namespace

void PlaceAndRaiseTopBar(HWND bar, int x, int y) {
    SetWindowPos(bar, HWND_TOPMOST, x, y, kTopBarFullWidth, kTopBarHeight, SWP_SHOWWINDOW);
    ShowWindow(bar, SW_SHOWNORMAL);
    BringWindowToTop(bar);
    SetForegroundWindow(bar);
}

void ShowTopBarOnRequest() {
    int x = 0;
    int y = 0;
    g_topbar.GetPosition(x, y);
    // Wider bounds than the bar's own answer to the same request: a bar partly off either side
    // stays where the user left it.
    if (HostShowRecentres(x, ScreenWidth())) {
        x = CentredTopBarX(ScreenWidth());
        y = 0;
        g_topbar.SetPosition(x, y);
    }
    g_topbar.Show(true);
    g_topbar.ExpandBar();
    g_topbar.SaveCoordinates();
    if (HWND bar = g_topbar.Handle()) PlaceAndRaiseTopBar(bar, x, y);
}

void ResetTopBarOnRequest() {
    const int x = CentredTopBarX(ScreenWidth());
    ResetTopBarPosition();
    if (HWND bar = g_topbar.Handle()) PlaceAndRaiseTopBar(bar, x, 0);
}

void RaiseTopBar() {
    if (!g_topbar.IsVisible()) {
        g_topbar.Show(true);
        g_topbar.ExpandToFull();
        g_topbar.SaveCoordinates();
    }
    if (HWND bar = g_topbar.Handle()) {
        SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(bar);
    }
}

void ToggleTopBar() {
    const bool show = !g_topbar.IsVisible();
    g_topbar.Show(show);
    if (show) g_topbar.ExpandToFull();
    g_topbar.SaveCoordinates();
}

void ResetTopBarPosition() {
    g_topbar.SetPosition(CentredTopBarX(ScreenWidth()), 0);
    g_topbar.Show(true);
    g_topbar.ExpandBar();
    g_topbar.SaveCoordinates();
}

}  // namespace qorva::universal
