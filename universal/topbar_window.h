// The universal program's floating top bar: a borderless, always-on-top strip of nine round buttons
// that never takes the keyboard focus. It switches the shared typing mode, can be dragged and
// docked, shrinks to its compact width once the pointer has left and grows back when it returns,
// and answers other programs' requests to show it or put it back at its default place. Its rules
// live in the portable TopBarModel; this window feeds it the clock, the screen and the pointer,
// and moves, sizes and paints itself as it says.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "services/voice_recorder.h"
#include "settings/settings_store.h"
#include "universal/mode_target.h"
#include "universal/topbar_menus.h"
#include "universal/topbar_model.h"
#include "universal/voice_typing.h"

namespace qorva::universal {

class VirtualKeyboardWindow;

inline constexpr wchar_t kTopBarClassName[] = L"QorvaFloatingTopBar";
inline constexpr wchar_t kTopBarTitle[] = L"Qorva TopBar";
inline constexpr wchar_t kHoverCardClassName[] = L"QorvaTooltipCard";

// Turns a recording into UTF-8 text with the speech service voice.json names; empty when it failed
// or heard nothing. Runs on a transcription thread. Tests put a client of their own server here.
using VoiceTranscriber = std::function<std::string(const Samples& samples, const VoiceConfig&)>;
VoiceTranscriber& VoiceTranscriberInUse();

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

    // The bar's place and flags in settings.json, keeping the rest of the file; a file left as it
    // was is logged with the reason, once until the outcome changes.
    void SaveCoordinates();
    void LoadCoordinates();

    HWND Handle() const { return hwnd; }
    const TopBarModel& State() const { return model; }

    // --- Menus and commands (topbar_commands.cpp) ---
    void ShowSettingsMenu();
    void ShowPowerMenu();
    void ShowWordManagerMenu();
    // Acts on a command of the bar's menus, as if it had been chosen.
    void RunMenuCommand(unsigned command);
    // The settings program with these arguments (none, "/dict", "/keyboard" or "-voice").
    void LaunchSettings(const wchar_t* parameters);
    // user_dict.txt in the application the shell gives it.
    void LaunchDictionary();
    // Pauses or resumes the candidate and next-word lists; words are still converted.
    void ToggleSuggestions();
    void LaunchOnScreenKeyboard();
    void LaunchConverter();

    // --- Voice typing (topbar_voice.cpp) ---
    // Starts a recording, or stops the running one and types its transcript into the window that
    // has the focus once the speech service answered.
    void LaunchVoiceInput();
    VoiceButtonState VoiceState() const { return voice.ButtonState(); }

    // --- Tips and the hover card (topbar_tips_window.cpp) ---
    HWND CardWindow() const { return card; }
    HWND TooltipWindow() const { return tooltip; }

    // The program's on-screen keyboard; not owned.
    VirtualKeyboardWindow* virtualKeyboard = nullptr;

    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void RunMenu(TopBarMenu menu, const std::vector<MenuItem>& items);
    void RunMenuAction(const TopBarMenuAction& action);
    void SetModeFromMenu(ModeTarget mode);
    void OnRightButtonUp(LayoutPoint point);
    void CheckVoiceAutoStop();
    VoiceTypingPorts VoicePorts();
    void InitTooltips();
    void UpdateTooltipRects();
    void ShowTooltipCard(TopBarButton button);
    void HideTooltipCard();
    void UpdateHoverCard(TopBarButton before, LayoutPoint point);
    void PaintCard(HDC dc, const RECT& client) const;
    static LRESULT CALLBACK TooltipCardWndProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);

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
    HWND tooltip = nullptr;
    HWND card = nullptr;
    std::wstring cardTitle;
    std::wstring cardText;
    TopBarModel model;
    SettingsWrite lastSave = SettingsWrite::Written;
    VoiceTyping voice;
    std::unique_ptr<qorva_tsf::VoiceRecorder> recorder;
};

}  // namespace qorva::universal
