// The floating top bar without the window system: where its nine buttons sit at each width, what a
// press, a move and a release do, when it collapses to its compact width and grows back, how its
// width animates, and where the show and reset requests and the docking put it. The window feeds
// it the clock, the screen width and the pointer, and carries out the effects it returns.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "tsf/candidate_layout.h"
#include "universal/mode_target.h"

namespace qorva::universal {

using qorva_tsf::LayoutPoint;
using qorva_tsf::LayoutRect;

constexpr int32_t kTopBarFullWidth = 262;
constexpr int32_t kTopBarCompactWidth = 160;
constexpr int32_t kTopBarHeight = 24;
// The bar collapses once the pointer has been away for longer than this.
constexpr uint32_t kTopBarLeaveDelayMs = 1500;
// A press that moves farther than this in either direction drags the bar instead of clicking.
constexpr int32_t kTopBarClickSlop = 3;
// Animation lengths and the pace of its steps.
constexpr int32_t kTopBarExpandMs = 160;
constexpr int32_t kTopBarCollapseMs = 140;
constexpr uint32_t kTopBarAnimationStepMs = 15;
// The power menu needs nearly the whole bar: from this width button 9 opens it (and its hover
// turns red); narrower, button 9 expands the bar.
constexpr int32_t kTopBarPowerMenuMinWidth = 240;

enum class TopBarButton : int32_t {
    None = 0,
    Voice = 1,
    Language = 2,     // Bangla/English
    Translation = 3,  // Banglish-to-English translation
    SuggestionsPause = 4,
    WordManager = 5,
    OnScreenKeyboard = 6,
    Converter = 7,
    Settings = 8,
    Menu = 9,  // the power menu on the full bar, "expand" on a narrower one
};
constexpr int kTopBarButtonCount = 9;

enum class TopBarDock : int32_t { Top = 0, Right = 1 };

enum class TopBarAnimation : int32_t { Idle = 0, Expanding = 1, Collapsing = 2, Shaking = 3 };

// Client rectangles of buttons 1 to 9 (index = button - 1); an empty rectangle (all zeros) marks
// a button that does not fit the width.
using TopBarLayout = std::array<LayoutRect, kTopBarButtonCount>;

TopBarLayout LayoutTopBar(int32_t width);

// The button whose rectangle holds the client point; None between buttons and on hidden ones.
TopBarButton HitTestTopBar(const TopBarLayout& layout, LayoutPoint point);

inline const LayoutRect& ButtonRect(const TopBarLayout& layout, TopBarButton button) {
    return layout[static_cast<size_t>(button) - 1];
}

// Where a bar `width` wide stands centred on a screen `screenWidth` wide.
inline int32_t CentredTopBarX(int32_t screenWidth, int32_t width = kTopBarFullWidth) {
    return (screenWidth - width) / 2;
}

// The main window's answer to a show request: the bar's left edge is re-centred (and the bar put
// back at the top) only when it lies outside these bounds, wider than the bar's own.
inline bool HostShowRecentres(int32_t x, int32_t screenWidth) {
    return x < -50 || x >= screenWidth - 29;
}

// What a click on a button asks of the window beyond the bar's own state.
enum class TopBarCommand : int32_t {
    None,
    SwitchMode,  // the new mode is already in TopBarModel::mode; play `switchSound`
    StartVoice,
    ToggleSuggestions,
    ShowWordManagerMenu,
    LaunchOnScreenKeyboard,
    LaunchConverter,
    ShowSettingsMenu,
    ShowPowerMenu,
};

// What the window does after a change of the model, in this order.
struct TopBarEffects {
    bool stopAnimationTimer = false;
    bool resize = false;  // region, topmost place and size from x, y, width, height; repaint
    bool move = false;    // topmost place (x, y), size kept
    bool startAnimationTimer = false;
    bool redraw = false;  // repaint without erasing
    bool save = false;    // the placement keys of settings.json
    TopBarCommand command = TopBarCommand::None;
    int switchSound = 0;  // with SwitchMode: 1 the Bangla sound, 2 the English one

    void Add(const TopBarEffects& other);
};

// What the window knows about the world at the moment of a call.
struct TopBarContext {
    uint32_t now = 0;  // milliseconds of the 32-bit tick counter; distances are taken modulo 2^32
    int32_t screenWidth = 0;
};

class TopBarModel {
public:
    TopBarModel();

    // --- The bar's state (screen coordinates for the place, client coordinates for buttons) ---
    ModeTarget mode = ModeTarget::English;  // the bar's copy of the shared mode
    int32_t width = kTopBarFullWidth;
    int32_t height = kTopBarHeight;
    int32_t x = -1;
    int32_t y = 0;
    int32_t rememberedY = 0;  // the top edge that is saved and comes back with every show
    bool visible = true;
    TopBarDock dock = TopBarDock::Top;
    bool autoHide = true;
    bool compact = false;      // collapsed to, or collapsing towards, the compact width
    bool mouseInside = false;  // the pointer was near the bar at the last look
    bool compactMode = false;  // compact chosen by the user; ends with the next expansion
    bool suggestionsPaused = false;
    uint32_t leaveTick = 0;  // when the pointer went away; 0 while it is near
    TopBarButton hoverButton = TopBarButton::None;
    TopBarButton pressedButton = TopBarButton::None;
    bool dragging = false;
    LayoutPoint pressCursor;
    LayoutPoint pressWindowPos;
    TopBarAnimation animation = TopBarAnimation::Idle;
    int32_t animStartWidth = 0;
    int32_t animTargetWidth = 0;
    uint32_t animStartTick = 0;
    int32_t animDuration = kTopBarExpandMs;
    int32_t shakeStep = 0;
    int32_t animStartX = 0;
    TopBarLayout buttons;
    // Whether the window exists: without it the width changes at once, with no animation.
    bool hasWindow = false;

    TopBarButton HitTest(LayoutPoint client) const { return HitTestTopBar(buttons, client); }

    // --- Placement ---
    // A negative top edge is kept as 0.
    void SetPosition(int32_t newX, int32_t newY);
    // Shown again: at the remembered top edge, no longer counted as compact (the width follows
    // with the expansion the callers start).
    void PrepareShow(bool show);
    // Another program asked to see the bar: a bar never placed or off the right of the screen is
    // centred.
    void PlaceForShowRequest(int32_t screenWidth);
    // Another program asked for the default place: centred at the top edge.
    void PlaceForResetRequest(int32_t screenWidth);
    // The end of a system move: past the right part of the screen the bar docks at the right edge.
    TopBarEffects EndSystemMove(const LayoutRect& windowRect, int32_t screenWidth);
    TopBarEffects SetDockPosition(TopBarDock position, int32_t screenWidth);

    // --- Width ---
    TopBarEffects ExpandToFull(const TopBarContext& context);
    TopBarEffects CollapseToCompact(const TopBarContext& context);
    TopBarEffects ToggleCompactMode(const TopBarContext& context);
    // Switching auto-hide off grows a compact bar at once.
    TopBarEffects SetAutoHide(bool on, const TopBarContext& context);
    // Every 100 ms: collapse once the pointer has stayed away, grow when it is back. `cursor` is
    // none when the pointer cannot be read.
    TopBarEffects CheckAutoHide(std::optional<LayoutPoint> cursor, const TopBarContext& context);
    // Every 15 ms while an animation runs.
    TopBarEffects AnimationStep(const TopBarContext& context);

    // --- Mouse (client points; `cursor` is the pointer on the screen) ---
    TopBarEffects Press(LayoutPoint client, LayoutPoint cursor);
    // `capturedCursor` is the pointer while the bar holds the mouse capture, none otherwise.
    TopBarEffects Move(LayoutPoint client, std::optional<LayoutPoint> capturedCursor,
                       const TopBarContext& context);
    TopBarEffects Release(LayoutPoint client, const TopBarContext& context);
    // The pointer left the window; a leave with the pointer still within 4 pixels of it is a
    // flicker.
    TopBarEffects Leave(std::optional<LayoutPoint> cursor, uint32_t now);

private:
    void Expand(const TopBarContext& context, TopBarEffects& effects);
    void Collapse(const TopBarContext& context, TopBarEffects& effects);
    void StartAnimation(TopBarAnimation kind, int32_t target, int32_t duration, uint32_t now,
                        TopBarEffects& effects);
    void FinishAnimation(TopBarEffects& effects);
    void SetWidth(int32_t newWidth);
    void RestoreRememberedTop();
    bool InHoverZone(LayoutPoint cursor) const;
    void Click(TopBarButton button, const TopBarContext& context, TopBarEffects& effects);
};

}  // namespace qorva::universal
