#include "universal/topbar_model.h"

#include <cstdlib>

namespace qorva::universal {
namespace {

// The collapse ends with a short shake: x offsets from the left edge and width offsets from the
// compact width, one step each.
constexpr int32_t kShakeDx[] = {-6, 5, -4, 3, -1, 0};
constexpr int32_t kShakeDw[] = {-4, 3, -2, 1, 0, 0};
constexpr int32_t kShakeSteps = 6;

// Buttons 4 to 8 stand 21 pixels apart from here, each shown once it fits left of button 9.
constexpr int32_t kFirstOptionalLeft = 131;
constexpr int32_t kOptionalPitch = 21;
constexpr int32_t kOptionalWidth = 20;
// Room that button 9 and the right margin take from the width.
constexpr int32_t kMenuRoom = 27;
// How far around the bar the pointer still counts as near.
constexpr int32_t kZoneSide = 12;
constexpr int32_t kZoneAbove = 10;
constexpr int32_t kZoneBelow = 14;
// A leave with the pointer this close to the window is the pointer flickering on its edge.
constexpr int32_t kLeaveFlicker = 4;
// A top edge this close to the screen's top snaps to it.
constexpr int32_t kTopSnap = 5;
constexpr int32_t kMoveTopSnap = 10;
// The end of a system move this close to the right edge docks the bar there.
constexpr int32_t kRightDockReach = 40;
// Docked at the right edge, the bar keeps a top edge in this band.
constexpr int32_t kRightDockMinY = 20;
constexpr int32_t kRightDockMaxY = 400;
constexpr int32_t kRightDockDefaultY = 50;
// Bars less wide than this are still growing or shrinking.
constexpr int32_t kNarrowerThanFull = kTopBarFullWidth - 1;

ModeTarget LanguageButtonTarget(ModeTarget mode) {
    return mode != ModeTarget::Bangla ? ModeTarget::Bangla : ModeTarget::English;
}

ModeTarget TranslationButtonTarget(ModeTarget mode) {
    return mode == ModeTarget::BanglishToEnglish ? ModeTarget::Bangla
                                                 : ModeTarget::BanglishToEnglish;
}

}  // namespace

TopBarLayout LayoutTopBar(int32_t width) {
    TopBarLayout layout{};
    layout[0] = {2, 1, 24, 23};
    layout[1] = {26, 2, 102, 22};
    layout[2] = {105, 1, 129, 23};
    const int32_t room = width - kMenuRoom;
    for (int32_t i = 0; i < 5; ++i) {
        const int32_t left = kFirstOptionalLeft + i * kOptionalPitch;
        const int32_t right = left + kOptionalWidth;
        if (room < right) break;
        layout[3 + i] = {left, 1, right, 23};
    }
    layout[8] = {width - 25, 1, width - 2, 23};
    return layout;
}

TopBarButton HitTestTopBar(const TopBarLayout& layout, LayoutPoint point) {
    for (int i = 0; i < kTopBarButtonCount; ++i) {
        // A hidden button's rectangle is empty and holds no point.
        if (layout[i].Contains(point)) return static_cast<TopBarButton>(i + 1);
    }
    return TopBarButton::None;
}

void TopBarEffects::Add(const TopBarEffects& other) {
    stopAnimationTimer |= other.stopAnimationTimer;
    resize |= other.resize;
    move |= other.move;
    startAnimationTimer |= other.startAnimationTimer;
    redraw |= other.redraw;
    save |= other.save;
    if (other.command != TopBarCommand::None) {
        command = other.command;
        switchSound = other.switchSound;
    }
}

TopBarModel::TopBarModel() : buttons(LayoutTopBar(kTopBarFullWidth)) {}

void TopBarModel::SetPosition(int32_t newX, int32_t newY) {
    x = newX;
    rememberedY = newY < 0 ? 0 : newY;
    y = rememberedY;
}

void TopBarModel::PrepareShow(bool show) {
    visible = show;
    if (!show || !hasWindow) return;
    compact = false;
    if (rememberedY < 0) rememberedY = 0;
    y = rememberedY;
}

void TopBarModel::PlaceForShowRequest(int32_t screenWidth) {
    if (x < 0 || x >= screenWidth - 49) x = CentredTopBarX(screenWidth, width);
    if (rememberedY < 0) rememberedY = 0;
    y = rememberedY;
}

void TopBarModel::PlaceForResetRequest(int32_t screenWidth) {
    x = CentredTopBarX(screenWidth, width);
    y = 0;
    rememberedY = 0;
}

TopBarEffects TopBarModel::EndSystemMove(const LayoutRect& windowRect, int32_t screenWidth) {
    int32_t top = windowRect.top;
    if (windowRect.right < screenWidth - kRightDockReach) {
        dock = TopBarDock::Top;
        x = windowRect.left;
        if (top < kMoveTopSnap) top = 0;
    } else {
        dock = TopBarDock::Right;
        x = screenWidth - width;
    }
    rememberedY = top;
    y = top;
    TopBarEffects effects;
    effects.move = true;
    effects.save = true;
    return effects;
}

TopBarEffects TopBarModel::SetDockPosition(TopBarDock position, int32_t screenWidth) {
    dock = position;
    TopBarEffects effects;
    if (position == TopBarDock::Right) {
        x = screenWidth - width;
        if (rememberedY < kRightDockMinY || rememberedY > kRightDockMaxY) {
            rememberedY = kRightDockDefaultY;
        }
        y = rememberedY;
        effects.move = true;
    }
    effects.save = true;
    return effects;
}

TopBarEffects TopBarModel::ExpandToFull(const TopBarContext& context) {
    TopBarEffects effects;
    Expand(context, effects);
    return effects;
}

TopBarEffects TopBarModel::CollapseToCompact(const TopBarContext& context) {
    TopBarEffects effects;
    Collapse(context, effects);
    return effects;
}

TopBarEffects TopBarModel::ToggleCompactMode(const TopBarContext& context) {
    TopBarEffects effects;
    compactMode = !compactMode;
    if (compactMode) {
        Collapse(context, effects);
    } else {
        Expand(context, effects);
    }
    effects.save = true;
    return effects;
}

TopBarEffects TopBarModel::SetAutoHide(bool on, const TopBarContext& context) {
    const bool wasOn = autoHide;
    autoHide = on;
    TopBarEffects effects;
    if (wasOn && !on && compact) Expand(context, effects);
    return effects;
}

TopBarEffects TopBarModel::CheckAutoHide(std::optional<LayoutPoint> cursor,
                                         const TopBarContext& context) {
    TopBarEffects effects;
    if (!visible || dragging || animation != TopBarAnimation::Idle) return effects;
    const bool narrow = compact || width <= kNarrowerThanFull;
    if (!autoHide && !compactMode) {
        if (narrow) Expand(context, effects);
        return effects;
    }
    if (!cursor) return effects;
    if (InHoverZone(*cursor)) {
        if (narrow) Expand(context, effects);
        mouseInside = true;
        leaveTick = 0;
        return effects;
    }
    mouseInside = false;
    if (leaveTick == 0) {
        leaveTick = context.now;
        return effects;
    }
    const bool alreadyCompact = compact && width <= kTopBarCompactWidth;
    if (context.now - leaveTick > kTopBarLeaveDelayMs && !alreadyCompact) {
        Collapse(context, effects);
    }
    return effects;
}

TopBarEffects TopBarModel::AnimationStep(const TopBarContext& context) {
    TopBarEffects effects;
    const uint32_t elapsed = context.now - animStartTick;
    const bool due = elapsed >= static_cast<uint32_t>(animDuration);
    const float t = due ? 1.0f : static_cast<float>(elapsed) / static_cast<float>(animDuration);
    const int32_t distance = animTargetWidth - animStartWidth;
    switch (animation) {
        case TopBarAnimation::Idle: return effects;
        case TopBarAnimation::Expanding: {
            if (due) {
                FinishAnimation(effects);
                return effects;
            }
            // Ease out: fast at first, settling into the full width.
            const float rest = 1.0f - t;
            width = animStartWidth + static_cast<int32_t>(static_cast<float>(distance) *
                                                          (1.0f - rest * rest * rest));
            break;
        }
        case TopBarAnimation::Collapsing:
            if (!due) {
                // Ease in: slow at first, then quickly into the compact width.
                width = animStartWidth + static_cast<int32_t>(static_cast<float>(distance) * t * t);
            } else {
                animation = TopBarAnimation::Shaking;
                x = animStartX + kShakeDx[0];
                shakeStep = 1;
                width = animTargetWidth + kShakeDw[0];
            }
            break;
        case TopBarAnimation::Shaking:
            if (shakeStep >= kShakeSteps) {
                x = animStartX;
                FinishAnimation(effects);
                return effects;
            }
            x = animStartX + kShakeDx[shakeStep];
            width = animTargetWidth + kShakeDw[shakeStep];
            ++shakeStep;
            break;
    }
    buttons = LayoutTopBar(width);
    effects.resize = true;
    return effects;
}

TopBarEffects TopBarModel::Press(LayoutPoint client, LayoutPoint cursor) {
    TopBarEffects effects;
    if (animation != TopBarAnimation::Idle) {
        // A press freezes the bar at the width it reached; the next auto-hide check decides again.
        effects.stopAnimationTimer = true;
        animation = TopBarAnimation::Idle;
        x = animStartX;
        buttons = LayoutTopBar(width);
        effects.resize = true;
    }
    dragging = false;
    pressCursor = cursor;
    pressWindowPos = {x, y};
    pressedButton = HitTest(client);
    effects.redraw = true;
    return effects;
}

TopBarEffects TopBarModel::Move(LayoutPoint client, std::optional<LayoutPoint> capturedCursor,
                                const TopBarContext& context) {
    TopBarEffects effects;
    if (capturedCursor) {
        const int32_t dx = capturedCursor->x - pressCursor.x;
        const int32_t dy = capturedCursor->y - pressCursor.y;
        if (!dragging && (std::abs(dx) > kTopBarClickSlop || std::abs(dy) > kTopBarClickSlop)) {
            dragging = true;
            pressedButton = TopBarButton::None;
            effects.redraw = true;
        }
        if (dragging) {
            x = pressWindowPos.x + dx;
            y = pressWindowPos.y + dy;
            rememberedY = y;
            effects.move = true;
            return effects;
        }
    }
    if (client.x >= 0 && client.x <= width && client.y >= 0 && client.y <= height) {
        if (compact || width < kTopBarFullWidth) Expand(context, effects);
        mouseInside = true;
        leaveTick = 0;
    }
    const TopBarButton hovered = HitTest(client);
    if (hovered != hoverButton) {
        hoverButton = hovered;
        effects.redraw = true;
    }
    return effects;
}

TopBarEffects TopBarModel::Release(LayoutPoint client, const TopBarContext& context) {
    TopBarEffects effects;
    const bool dragged = dragging;
    dragging = false;
    const TopBarButton pressed = pressedButton;
    pressedButton = TopBarButton::None;
    effects.redraw = true;
    if (dragged) {
        effects.save = true;
        return effects;
    }
    // A click counts only where it started: a release elsewhere lets the press go.
    const TopBarButton released = HitTest(client);
    if (pressed == released) Click(released, context, effects);
    return effects;
}

TopBarEffects TopBarModel::Leave(std::optional<LayoutPoint> cursor, uint32_t now) {
    TopBarEffects effects;
    const LayoutRect nearWindow{x - kLeaveFlicker, y - kLeaveFlicker, x + width + kLeaveFlicker,
                                y + height + kLeaveFlicker};
    if (cursor && nearWindow.Contains(*cursor)) return effects;
    hoverButton = TopBarButton::None;
    pressedButton = TopBarButton::None;
    mouseInside = false;
    leaveTick = now;
    effects.redraw = true;
    return effects;
}

void TopBarModel::Click(TopBarButton button, const TopBarContext& context, TopBarEffects& effects) {
    switch (button) {
        case TopBarButton::None: return;
        case TopBarButton::Voice: effects.command = TopBarCommand::StartVoice; return;
        case TopBarButton::Language:
        case TopBarButton::Translation:
            // The bar's own copy decides, so a click never waits for the shared block.
            mode = button == TopBarButton::Language ? LanguageButtonTarget(mode)
                                                    : TranslationButtonTarget(mode);
            effects.command = TopBarCommand::SwitchMode;
            effects.switchSound = mode == ModeTarget::Bangla ? 1 : 2;
            return;
        case TopBarButton::Menu:
            if (width >= kTopBarPowerMenuMinWidth) {
                effects.command = TopBarCommand::ShowPowerMenu;
            } else {
                Expand(context, effects);
            }
            return;
        default: break;
    }
    // The tools of buttons 4 to 8 belong to the full bar: a compact one ignores them.
    if (compact) return;
    switch (button) {
        case TopBarButton::SuggestionsPause:
            effects.command = TopBarCommand::ToggleSuggestions;
            break;
        case TopBarButton::WordManager: effects.command = TopBarCommand::ShowWordManagerMenu; break;
        case TopBarButton::OnScreenKeyboard:
            effects.command = TopBarCommand::LaunchOnScreenKeyboard;
            break;
        case TopBarButton::Converter: effects.command = TopBarCommand::LaunchConverter; break;
        case TopBarButton::Settings: effects.command = TopBarCommand::ShowSettingsMenu; break;
        default: break;
    }
}

void TopBarModel::Expand(const TopBarContext& context, TopBarEffects& effects) {
    compact = false;
    compactMode = false;
    RestoreRememberedTop();
    // Docked at the right, the bar grows from the right edge's full-width place.
    if (dock == TopBarDock::Right) x = context.screenWidth - kTopBarFullWidth;
    if (!hasWindow) {
        SetWidth(kTopBarFullWidth);
        return;
    }
    if (animation == TopBarAnimation::Expanding && animTargetWidth == kTopBarFullWidth) return;
    // A collapse or shake on its way is taken over from the width it reached.
    StartAnimation(TopBarAnimation::Expanding, kTopBarFullWidth, kTopBarExpandMs, context.now,
                   effects);
}

void TopBarModel::Collapse(const TopBarContext& context, TopBarEffects& effects) {
    RestoreRememberedTop();
    if (!hasWindow) {
        compact = true;
        SetWidth(kTopBarCompactWidth);
        return;
    }
    const bool resting =
        compact && width == kTopBarCompactWidth && animation == TopBarAnimation::Idle;
    if (resting || animation == TopBarAnimation::Collapsing ||
        animation == TopBarAnimation::Shaking) {
        return;
    }
    compact = true;
    StartAnimation(TopBarAnimation::Collapsing, kTopBarCompactWidth, kTopBarCollapseMs, context.now,
                   effects);
}

void TopBarModel::StartAnimation(TopBarAnimation kind, int32_t target, int32_t duration,
                                 uint32_t now, TopBarEffects& effects) {
    animation = kind;
    animTargetWidth = target;
    animStartX = x;
    animStartWidth = width;
    animStartTick = now;
    animDuration = duration;
    effects.startAnimationTimer = true;
}

void TopBarModel::FinishAnimation(TopBarEffects& effects) {
    animation = TopBarAnimation::Idle;
    width = animTargetWidth;
    buttons = LayoutTopBar(width);
    effects.stopAnimationTimer = true;
    effects.resize = true;
}

void TopBarModel::SetWidth(int32_t newWidth) {
    width = newWidth;
    height = kTopBarHeight;
    buttons = LayoutTopBar(width);
}

void TopBarModel::RestoreRememberedTop() {
    if (rememberedY <= kTopSnap) rememberedY = 0;
    y = rememberedY;
}

bool TopBarModel::InHoverZone(LayoutPoint cursor) const {
    // While compact, the zone keeps the full bar's width, so the pointer finds the bar where the
    // full bar was.
    const int32_t zoneWidth = compact ? kTopBarFullWidth : width;
    return cursor.y >= y - kZoneAbove && cursor.y <= y + height + kZoneBelow &&
           cursor.x >= x - kZoneSide && cursor.x <= x + zoneWidth + kZoneSide;
}

}  // namespace qorva::universal
