// The universal program's on-screen keyboard: an always-on-top popup that never takes the focus,
// so its keys type into the application the user is working in. The layouts, what a click hits
// and what a key types are portable logic (osk_layout.h, osk_input.h); this window draws them and
// sends the key events.
#pragma once

#include <windows.h>

#include <array>

#include "universal/osk_layout.h"

namespace qorva::universal {

inline constexpr wchar_t kVirtualKeyboardClass[] = L"QorvaVirtualKeyboardClass";

class VirtualKeyboardWindow {
public:
    VirtualKeyboardWindow() = default;
    ~VirtualKeyboardWindow();
    VirtualKeyboardWindow(const VirtualKeyboardWindow&) = delete;
    VirtualKeyboardWindow& operator=(const VirtualKeyboardWindow&) = delete;

    // Creates the hidden window near the bottom of the primary screen, its fonts and the four
    // layouts. False when the window cannot be created; every other call then does nothing. The
    // popup takes no owner window (an owned popup would hide and show with its owner); the
    // parameter is there for callers that hold one.
    bool Initialize(HINSTANCE instance, HWND owner);
    // Releases the fonts and the window; the keyboard can be initialised again.
    void Destroy();

    void ToggleVisibility();
    // Shows without activating, or hides; the place, tab and Shift latch stay as they were.
    void Show(bool show);
    bool IsVisible() const { return visible; }
    void SetTab(OskTab tab);
    OskTab Tab() const { return tab; }
    bool ShiftLatched() const { return shiftLatched; }
    HWND Handle() const { return window; }
    // The keys of a tab in client coordinates.
    const OskKeys& Keys(OskTab which) const { return keys[static_cast<size_t>(which)]; }

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnMouseMove(LayoutPoint point);
    void OnMouseLeave();
    void OnLButtonDown(LayoutPoint point);
    void OnLButtonUp();
    void PressKey(const OskKey& key);

    void PaintHeader(HDC dc) const;
    void PaintSearchBar(HDC dc) const;
    void PaintKeys(HDC dc) const;
    HFONT KeyFont(const std::wstring& label) const;
    void InvalidateKey(int index);
    void Invalidate();
    void ReleaseFonts();

    HWND window = nullptr;
    bool visible = false;
    OskTab tab = OskTab::Bangla;
    bool shiftLatched = false;
    std::array<OskKeys, kOskTabCount> keys;
    int hoveredKey = -1;
    int pressedKey = -1;
    HFONT tabFont = nullptr;
    HFONT keyFont = nullptr;
    HFONT banglaKeyFont = nullptr;
    HFONT smallKeyFont = nullptr;
    HFONT emojiFont = nullptr;
};

}  // namespace qorva::universal
