// The top bar without windows: its buttons at every width, clicks and drags, the collapse after the
// pointer left and the growth when it comes back, the width animation with its shake, and where
// show, reset and docking put the bar.
#include "universal/topbar_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace qorva::universal {
namespace {

constexpr int32_t kScreenWidth = 1280;

LayoutPoint Centre(const LayoutRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A bar with a window at (x, 0), idle at the full width, the pointer over it.
TopBarModel ShownBar(int32_t x = 509) {
    TopBarModel bar;
    bar.hasWindow = true;
    bar.x = x;
    return bar;
}

TopBarContext At(uint32_t now) { return {now, kScreenWidth}; }

// Runs the animation's 15 ms steps from `now` until it ends; returns the widths it showed.
std::vector<int32_t> RunAnimation(TopBarModel& bar, uint32_t now,
                                  std::vector<int32_t>* xs = nullptr) {
    std::vector<int32_t> widths;
    for (int step = 0; step < 100 && bar.animation != TopBarAnimation::Idle; ++step) {
        now += kTopBarAnimationStepMs;
        bar.AnimationStep(At(now));
        widths.push_back(bar.width);
        if (xs) xs->push_back(bar.x);
    }
    return widths;
}

TEST(TopBarLayoutTest, ButtonsFourToEightAppearOneByOneAsTheBarGrows) {
    struct Case {
        int32_t width;
        int optionalShown;  // how many of buttons 4 to 8
    };
    const Case cases[] = {{160, 0}, {177, 0}, {178, 1}, {198, 1}, {199, 2}, {219, 2},
                          {220, 3}, {240, 3}, {241, 4}, {261, 4}, {262, 5}};
    const TopBarLayout full = LayoutTopBar(kTopBarFullWidth);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const TopBarLayout layout = LayoutTopBar(c.width);
        const LayoutRect menu{c.width - 25, 1, c.width - 2, 23};
        EXPECT_EQ(layout[8], menu);
        EXPECT_EQ(layout[0], (LayoutRect{2, 1, 24, 23}));
        EXPECT_EQ(layout[1], (LayoutRect{26, 2, 102, 22}));
        EXPECT_EQ(layout[2], (LayoutRect{105, 1, 129, 23}));
        for (int button = 4; button <= 8; ++button) {
            const bool shown = button - 3 <= c.optionalShown;
            const LayoutRect& place = ButtonRect(full, static_cast<TopBarButton>(button));
            EXPECT_EQ(ButtonRect(layout, static_cast<TopBarButton>(button)),
                      shown ? place : LayoutRect{});
            // A hidden button is never hit; only button 9 may lie where it stood.
            const TopBarButton hit = HitTestTopBar(layout, Centre(place));
            EXPECT_EQ(hit, shown ? static_cast<TopBarButton>(button)
                                 : (menu.Contains(Centre(place)) ? TopBarButton::Menu
                                                                 : TopBarButton::None))
                << "button " << button;
        }
        EXPECT_EQ(HitTestTopBar(layout, Centre(menu)), TopBarButton::Menu);
    }
}

TEST(TopBarLayoutTest, HitTestFindsButtonsAndNothingBetweenThem) {
    const TopBarLayout layout = LayoutTopBar(kTopBarFullWidth);
    struct Case {
        LayoutPoint point;
        TopBarButton button;
    };
    const Case cases[] = {
        {{2, 1}, TopBarButton::Voice},
        {{23, 22}, TopBarButton::Voice},
        {{24, 12}, TopBarButton::None},
        {{26, 12}, TopBarButton::Language},
        {{101, 21}, TopBarButton::Language},
        {{103, 12}, TopBarButton::None},
        {{105, 12}, TopBarButton::Translation},
        {{140, 12}, TopBarButton::SuggestionsPause},
        {{151, 12}, TopBarButton::None},
        {{152, 12}, TopBarButton::WordManager},
        {{180, 12}, TopBarButton::OnScreenKeyboard},
        {{200, 12}, TopBarButton::Converter},
        {{230, 12}, TopBarButton::Settings},
        {{236, 12}, TopBarButton::None},
        {{237, 12}, TopBarButton::Menu},
        {{259, 22}, TopBarButton::Menu},
        {{260, 12}, TopBarButton::None},
        {{50, 0}, TopBarButton::None},
        {{50, 23}, TopBarButton::None},
        {{-1, 12}, TopBarButton::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HitTestTopBar(layout, c.point), c.button) << c.point.x << "," << c.point.y;
    }
}

TEST(TopBarAnimationTest, ExpandEasesOutToTheFullWidth) {
    TopBarModel bar = ShownBar();
    bar.compact = true;
    bar.width = kTopBarCompactWidth;
    const TopBarEffects start = bar.ExpandToFull(At(1000));
    EXPECT_TRUE(start.startAnimationTimer);
    EXPECT_FALSE(bar.compact);
    EXPECT_EQ(bar.animation, TopBarAnimation::Expanding);

    // 160 + 102 * (1 - (1 - t)^3), truncated.
    bar.AnimationStep(At(1000 + 80));
    EXPECT_EQ(bar.width, 249);
    EXPECT_EQ(bar.buttons, LayoutTopBar(249));
    const TopBarEffects last = bar.AnimationStep(At(1000 + 160));
    EXPECT_EQ(bar.width, kTopBarFullWidth);
    EXPECT_EQ(bar.animation, TopBarAnimation::Idle);
    EXPECT_TRUE(last.stopAnimationTimer);
    EXPECT_TRUE(last.resize);
    EXPECT_EQ(bar.x, 509);
}

TEST(TopBarAnimationTest, CollapseEasesInThenShakesAndRestsAtTheLeftEdge) {
    TopBarModel bar = ShownBar(400);
    ASSERT_TRUE(bar.CollapseToCompact(At(5000)).startAnimationTimer);
    EXPECT_TRUE(bar.compact);

    // 262 - 102 * t^2, truncated towards zero.
    bar.AnimationStep(At(5000 + 70));
    EXPECT_EQ(bar.width, 237);
    EXPECT_EQ(bar.x, 400);

    std::vector<int32_t> xs;
    bar.AnimationStep(At(5000 + 140));  // the collapse is due: the shake's first step
    std::vector<int32_t> widths{bar.width};
    xs.push_back(bar.x);
    const std::vector<int32_t> rest = RunAnimation(bar, 5000 + 140, &xs);
    widths.insert(widths.end(), rest.begin(), rest.end());

    EXPECT_EQ(widths, (std::vector<int32_t>{156, 163, 158, 161, 160, 160, 160}));
    EXPECT_EQ(xs, (std::vector<int32_t>{394, 405, 396, 403, 399, 400, 400}));
    EXPECT_EQ(bar.animation, TopBarAnimation::Idle);
    EXPECT_EQ(bar.buttons, LayoutTopBar(kTopBarCompactWidth));
}

TEST(TopBarAnimationTest, ExpansionTakesOverACollapseFromTheWidthItReached) {
    TopBarModel bar = ShownBar();
    bar.CollapseToCompact(At(0));
    bar.AnimationStep(At(70));
    ASSERT_EQ(bar.width, 237);
    bar.ExpandToFull(At(70));
    EXPECT_EQ(bar.animStartWidth, 237);
    EXPECT_EQ(RunAnimation(bar, 70).back(), kTopBarFullWidth);

    // A second collapse request while one runs, or once compact, starts nothing new.
    bar.CollapseToCompact(At(1000));
    EXPECT_FALSE(bar.CollapseToCompact(At(1010)).startAnimationTimer);
    RunAnimation(bar, 1010);
    EXPECT_FALSE(bar.CollapseToCompact(At(2000)).startAnimationTimer);
}

TEST(TopBarAnimationTest, WithoutAWindowTheWidthChangesAtOnce) {
    TopBarModel bar;
    EXPECT_FALSE(bar.CollapseToCompact(At(0)).startAnimationTimer);
    EXPECT_EQ(bar.width, kTopBarCompactWidth);
    EXPECT_TRUE(bar.compact);
    EXPECT_EQ(bar.buttons, LayoutTopBar(kTopBarCompactWidth));
    EXPECT_FALSE(bar.ExpandToFull(At(0)).startAnimationTimer);
    EXPECT_EQ(bar.width, kTopBarFullWidth);
    EXPECT_FALSE(bar.compact);
}

TEST(TopBarAnimationTest, PressFreezesTheBarWhereTheAnimationGotTo) {
    TopBarModel bar = ShownBar(300);
    bar.CollapseToCompact(At(0));
    bar.AnimationStep(At(140));  // shaking, x moved by -6
    ASSERT_EQ(bar.x, 294);
    const TopBarEffects effects = bar.Press({40, 12}, {340, 12});
    EXPECT_TRUE(effects.stopAnimationTimer);
    EXPECT_TRUE(effects.resize);
    EXPECT_EQ(bar.animation, TopBarAnimation::Idle);
    EXPECT_EQ(bar.x, 300);
    EXPECT_EQ(bar.width, 156);
    EXPECT_EQ(bar.buttons, LayoutTopBar(156));
}

// The pointer's distance from the bar decides; ticks come from a counter that wraps.
class TopBarAutoHideTest : public ::testing::Test {
protected:
    // Far from the bar at (509, 0).
    static constexpr LayoutPoint kAway{1200, 900};
    static constexpr LayoutPoint kOver{640, 12};

    TopBarModel bar = ShownBar();
};

TEST_F(TopBarAutoHideTest, CollapsesOnlyAfterMoreThan1500MsAwayAlsoAcrossTheWrap) {
    for (const uint32_t leave : {1000u, 0xFFFFFFFFu - 700u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(leave);
        bar = ShownBar();
        bar.Leave(kAway, leave);
        EXPECT_EQ(bar.leaveTick, leave);
        EXPECT_FALSE(bar.CheckAutoHide(kAway, At(leave + 1500)).startAnimationTimer);
        EXPECT_FALSE(bar.compact);
        EXPECT_TRUE(bar.CheckAutoHide(kAway, At(leave + 1501)).startAnimationTimer);
        EXPECT_TRUE(bar.compact);
    }
}

TEST_F(TopBarAutoHideTest, FirstCheckAwayStartsTheClockWhenNoLeaveWasSeen) {
    bar.CheckAutoHide(kOver, At(100));
    EXPECT_TRUE(bar.mouseInside);
    bar.CheckAutoHide(kAway, At(200));
    EXPECT_FALSE(bar.mouseInside);
    EXPECT_EQ(bar.leaveTick, 200u);
    bar.CheckAutoHide(kAway, At(1700));
    EXPECT_FALSE(bar.compact);
    bar.CheckAutoHide(kAway, At(1701));
    EXPECT_TRUE(bar.compact);
}

TEST_F(TopBarAutoHideTest, CompactBarGrowsWhenThePointerComesNearTheFullBarsPlace) {
    bar.x = 100;
    bar.compact = true;
    bar.width = kTopBarCompactWidth;
    struct Case {
        LayoutPoint cursor;
        bool near;
    };
    // The zone: 12 pixels left and right of the full 262, 10 above, 14 below the 24 high bar.
    const Case cases[] = {{{100 + 262 + 12, 12}, true},
                          {{100 + 262 + 13, 12}, false},
                          {{88, 12}, true},
                          {{87, 12}, false},
                          {{200, 38}, true},
                          {{200, 39}, false},
                          {{200, -10}, true},
                          {{200, -11}, false}};
    for (const Case& c : cases) {
        TopBarModel copy = bar;
        const TopBarEffects effects = copy.CheckAutoHide(c.cursor, At(10));
        EXPECT_EQ(effects.startAnimationTimer, c.near) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(copy.mouseInside, c.near);
    }
    // Not compact, the zone follows the bar's own width.
    bar.compact = false;
    bar.width = 200;
    TopBarModel copy = bar;
    copy.CheckAutoHide(LayoutPoint{100 + 200 + 13, 12}, At(10));
    EXPECT_FALSE(copy.mouseInside);
}

TEST_F(TopBarAutoHideTest, NothingHappensWhileHiddenDraggingOrAnimating) {
    bar.Leave(kAway, 10);
    TopBarModel hidden = bar;
    hidden.visible = false;
    TopBarModel dragging = bar;
    dragging.dragging = true;
    TopBarModel animating = bar;
    animating.ExpandToFull(At(10));
    for (TopBarModel* model : {&hidden, &dragging, &animating}) {
        const TopBarModel before = *model;
        model->CheckAutoHide(kAway, At(5000));
        EXPECT_EQ(model->compact, before.compact);
        EXPECT_EQ(model->animation, before.animation);
    }
}

TEST_F(TopBarAutoHideTest, WithAutoHideOffANarrowBarGrowsAndAFullOneStays) {
    bar.autoHide = false;
    bar.Leave(kAway, 10);
    EXPECT_FALSE(bar.CheckAutoHide(kAway, At(9000)).startAnimationTimer);
    EXPECT_FALSE(bar.compact);

    bar.width = 200;  // frozen half-way by a click
    EXPECT_TRUE(bar.CheckAutoHide(kAway, At(9100)).startAnimationTimer);
}

TEST_F(TopBarAutoHideTest, CompactModeCollapsesLikeAutoHideAndEndsWithTheNextExpansion) {
    bar.autoHide = false;
    EXPECT_TRUE(bar.ToggleCompactMode(At(0)).save);
    EXPECT_TRUE(bar.compactMode);
    EXPECT_TRUE(bar.compact);
    RunAnimation(bar, 0);
    bar.CheckAutoHide(kOver, At(1000));
    EXPECT_FALSE(bar.compactMode);
    EXPECT_FALSE(bar.compact);
}

TEST_F(TopBarAutoHideTest, SwitchingAutoHideOffGrowsACompactBarAtOnce) {
    bar.CollapseToCompact(At(0));
    RunAnimation(bar, 0);
    EXPECT_FALSE(bar.SetAutoHide(true, At(500)).startAnimationTimer);
    EXPECT_TRUE(bar.SetAutoHide(false, At(600)).startAnimationTimer);
    EXPECT_FALSE(bar.compact);
    // Already off: a repeated read of the settings file changes nothing.
    bar.compact = true;
    EXPECT_FALSE(bar.SetAutoHide(false, At(700)).startAnimationTimer);
}

TEST_F(TopBarAutoHideTest, LeaveWithThePointerOnTheEdgeIsAFlicker) {
    bar.hoverButton = TopBarButton::Language;
    EXPECT_FALSE(bar.Leave(LayoutPoint{509 + 262 + 3, 12}, 10).redraw);
    EXPECT_EQ(bar.hoverButton, TopBarButton::Language);
    EXPECT_TRUE(bar.Leave(LayoutPoint{509 + 262 + 4, 12}, 10).redraw);
    EXPECT_EQ(bar.hoverButton, TopBarButton::None);
    EXPECT_EQ(bar.leaveTick, 10u);
    EXPECT_TRUE(bar.Leave(std::nullopt, 20).redraw);
}

TEST_F(TopBarAutoHideTest, PointerOverACompactBarGrowsItAndHoverFollowsTheButtons) {
    bar.CollapseToCompact(At(0));
    RunAnimation(bar, 0);
    bar.Leave(kAway, 2000);
    const TopBarEffects effects = bar.Move({40, 12}, std::nullopt, At(2100));
    EXPECT_TRUE(effects.startAnimationTimer);
    EXPECT_TRUE(effects.redraw);
    EXPECT_EQ(bar.hoverButton, TopBarButton::Language);
    EXPECT_EQ(bar.leaveTick, 0u);
    EXPECT_TRUE(bar.mouseInside);
    EXPECT_FALSE(bar.Move({41, 12}, std::nullopt, At(2110)).redraw);
}

// Press at one screen point, move the pointer, release: a click or a drag.
class TopBarMouseTest : public ::testing::Test {
protected:
    static constexpr LayoutPoint kLanguage{60, 12};

    TopBarEffects PressMoveRelease(LayoutPoint client, int32_t dx, int32_t dy) {
        const LayoutPoint pressed{bar.x + client.x, bar.y + client.y};
        bar.Press(client, pressed);
        moveEffects = {};
        // A move over the bar grows a narrow one: a click without moving keeps the width.
        if (dx != 0 || dy != 0) {
            const LayoutPoint moved{pressed.x + dx, pressed.y + dy};
            moveEffects = bar.Move({client.x + dx, client.y + dy}, moved, At(0));
        }
        return bar.Release({client.x + dx, client.y + dy}, At(0));
    }

    TopBarModel bar = ShownBar(400);
    TopBarEffects moveEffects;
};

TEST_F(TopBarMouseTest, ThreePixelsKeepAClickAndFourDrag) {
    struct Case {
        int32_t dx;
        int32_t dy;
        bool drags;
    };
    const Case cases[] = {{3, 3, false}, {-3, -3, false}, {0, 3, false},
                          {4, 0, true},  {0, -4, true},   {-4, 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        bar = ShownBar(400);
        bar.y = bar.rememberedY = 30;
        bar.mode = ModeTarget::English;
        const TopBarEffects effects = PressMoveRelease({kLanguage.x, 12}, c.dx, c.dy);
        if (c.drags) {
            EXPECT_TRUE(moveEffects.move);
            EXPECT_EQ(bar.x, 400 + c.dx);
            EXPECT_EQ(bar.y, 30 + c.dy);
            EXPECT_EQ(bar.rememberedY, 30 + c.dy);
            EXPECT_TRUE(effects.save);
            EXPECT_EQ(effects.command, TopBarCommand::None);
            EXPECT_EQ(bar.mode, ModeTarget::English);
        } else {
            EXPECT_FALSE(moveEffects.move);
            EXPECT_EQ(bar.x, 400);
            EXPECT_FALSE(effects.save);
            EXPECT_EQ(effects.command, TopBarCommand::SwitchMode);
        }
    }
}

TEST_F(TopBarMouseTest, DragFollowsThePointerAlsoAboveTheScreen) {
    bar.Press(kLanguage, {460, 12});
    bar.Move(kLanguage, LayoutPoint{500, -28}, At(0));
    EXPECT_EQ(bar.x, 440);
    EXPECT_EQ(bar.rememberedY, -40);
    EXPECT_TRUE(bar.Release(kLanguage, At(0)).save);
    // Expansion brings a top edge above the screen back to it.
    bar.ExpandToFull(At(10));
    EXPECT_EQ(bar.y, 0);
}

TEST_F(TopBarMouseTest, ModeButtonsSwitchFromTheBarsOwnCopy) {
    struct Case {
        TopBarButton button;
        ModeTarget from;
        ModeTarget to;
        int sound;
    };
    const LayoutPoint translation{117, 12};
    const Case cases[] = {
        {TopBarButton::Language, ModeTarget::English, ModeTarget::Bangla, 1},
        {TopBarButton::Language, ModeTarget::Bangla, ModeTarget::English, 2},
        {TopBarButton::Language, ModeTarget::BanglishToEnglish, ModeTarget::Bangla, 1},
        {TopBarButton::Translation, ModeTarget::BanglishToEnglish, ModeTarget::Bangla, 1},
        {TopBarButton::Translation, ModeTarget::Bangla, ModeTarget::BanglishToEnglish, 2},
        {TopBarButton::Translation, ModeTarget::English, ModeTarget::BanglishToEnglish, 2},
    };
    for (const Case& c : cases) {
        bar.mode = c.from;
        const LayoutPoint point = c.button == TopBarButton::Language ? kLanguage : translation;
        const TopBarEffects effects = PressMoveRelease(point, 0, 0);
        EXPECT_EQ(effects.command, TopBarCommand::SwitchMode);
        EXPECT_EQ(bar.mode, c.to);
        EXPECT_EQ(effects.switchSound, c.sound);
    }
}

TEST_F(TopBarMouseTest, ReleaseOnAnotherButtonOrBesideDoesNothing) {
    bar.mode = ModeTarget::English;
    bar.Press(kLanguage, {460, 12});
    EXPECT_EQ(bar.pressedButton, TopBarButton::Language);
    EXPECT_EQ(bar.Release({117, 12}, At(0)).command, TopBarCommand::None);
    bar.Press(kLanguage, {460, 12});
    EXPECT_EQ(bar.Release({103, 12}, At(0)).command, TopBarCommand::None);
    EXPECT_EQ(bar.mode, ModeTarget::English);
    EXPECT_EQ(bar.pressedButton, TopBarButton::None);
}

TEST_F(TopBarMouseTest, ToolButtonsActOnlyOnABarThatIsNotCompact) {
    const TopBarCommand tools[] = {TopBarCommand::ToggleSuggestions,
                                   TopBarCommand::ShowWordManagerMenu,
                                   TopBarCommand::LaunchOnScreenKeyboard,
                                   TopBarCommand::LaunchConverter, TopBarCommand::ShowSettingsMenu};
    for (const bool compact : {false, true}) {
        // Compact but still full width, as at the start of a collapse.
        bar.compact = compact;
        for (int button = 4; button <= 8; ++button) {
            const LayoutPoint point =
                Centre(ButtonRect(bar.buttons, static_cast<TopBarButton>(button)));
            EXPECT_EQ(PressMoveRelease(point, 0, 0).command,
                      compact ? TopBarCommand::None : tools[button - 4])
                << "button " << button << (compact ? " compact" : "");
        }
    }
    EXPECT_EQ(PressMoveRelease({12, 12}, 0, 0).command, TopBarCommand::StartVoice);
}

TEST_F(TopBarMouseTest, MenuButtonOpensThePowerMenuFrom240AndExpandsBelow) {
    for (const int32_t width : {239, 240, 250, 261, 262}) {
        bar = ShownBar(400);
        bar.width = width;
        bar.buttons = LayoutTopBar(width);
        const TopBarEffects effects =
            PressMoveRelease(Centre(ButtonRect(bar.buttons, TopBarButton::Menu)), 0, 0);
        const bool menu = width >= 240;
        EXPECT_EQ(effects.command, menu ? TopBarCommand::ShowPowerMenu : TopBarCommand::None)
            << width;
        EXPECT_EQ(effects.startAnimationTimer, !menu) << width;
    }
}

TEST(TopBarPlacementRulesTest, ShowRequestCentresABarNeverPlacedOrOffTheRight) {
    struct Case {
        int32_t x;
        int32_t expected;
    };
    const int32_t centred = (kScreenWidth - kTopBarFullWidth) / 2;
    const Case cases[] = {{-1, centred},
                          {0, 0},
                          {kScreenWidth - 50, kScreenWidth - 50},
                          {kScreenWidth - 49, centred}};
    for (const Case& c : cases) {
        TopBarModel bar = ShownBar(c.x);
        bar.rememberedY = -20;
        bar.PlaceForShowRequest(kScreenWidth);
        EXPECT_EQ(bar.x, c.expected) << c.x;
        EXPECT_EQ(bar.y, 0);
        EXPECT_EQ(bar.rememberedY, 0);
    }
    // The main window's own request keeps wider bounds.
    EXPECT_TRUE(HostShowRecentres(-51, kScreenWidth));
    EXPECT_FALSE(HostShowRecentres(-50, kScreenWidth));
    EXPECT_FALSE(HostShowRecentres(kScreenWidth - 30, kScreenWidth));
    EXPECT_TRUE(HostShowRecentres(kScreenWidth - 29, kScreenWidth));
}

TEST(TopBarPlacementRulesTest, ResetCentresTheBarAtTheTop) {
    TopBarModel bar = ShownBar(40);
    bar.SetPosition(40, 300);
    bar.PlaceForResetRequest(kScreenWidth);
    EXPECT_EQ(bar.x, 509);
    EXPECT_EQ(bar.y, 0);
    EXPECT_EQ(bar.rememberedY, 0);
}

TEST(TopBarPlacementRulesTest, ShowPutsTheBarBackAtItsRememberedTop) {
    TopBarModel bar = ShownBar();
    bar.compact = true;
    bar.y = 77;
    bar.rememberedY = -3;
    bar.PrepareShow(true);
    EXPECT_TRUE(bar.visible);
    EXPECT_FALSE(bar.compact);
    EXPECT_EQ(bar.y, 0);
    bar.PrepareShow(false);
    EXPECT_FALSE(bar.visible);
    bar.SetPosition(12, -7);
    EXPECT_EQ(bar.y, 0);
    EXPECT_EQ(bar.rememberedY, 0);
}

TEST(TopBarPlacementRulesTest, DockingRightKeepsATopEdgeBetween20And400) {
    struct Case {
        int32_t rememberedY;
        int32_t expected;
    };
    for (const Case& c : {Case{10, 50}, Case{19, 50}, Case{20, 20}, Case{100, 100}, Case{400, 400},
                          Case{401, 50}}) {
        TopBarModel bar = ShownBar(30);
        bar.rememberedY = c.rememberedY;
        const TopBarEffects effects = bar.SetDockPosition(TopBarDock::Right, kScreenWidth);
        EXPECT_EQ(bar.rememberedY, c.expected) << c.rememberedY;
        EXPECT_EQ(bar.y, c.expected);
        EXPECT_EQ(bar.x, kScreenWidth - kTopBarFullWidth);
        EXPECT_TRUE(effects.move);
        EXPECT_TRUE(effects.save);
    }
    TopBarModel top = ShownBar(30);
    const TopBarEffects effects = top.SetDockPosition(TopBarDock::Top, kScreenWidth);
    EXPECT_EQ(top.x, 30);
    EXPECT_FALSE(effects.move);
    EXPECT_TRUE(effects.save);
}

TEST(TopBarPlacementRulesTest, BarDockedRightReturnsToTheEdgeAtItsNextExpansion) {
    TopBarModel bar = ShownBar();
    bar.SetDockPosition(TopBarDock::Right, kScreenWidth);
    bar.CollapseToCompact(At(0));
    RunAnimation(bar, 0);
    // The collapse keeps the left edge.
    EXPECT_EQ(bar.x, kScreenWidth - kTopBarFullWidth);
    bar.x = 100;  // dragged away: still docked
    bar.ExpandToFull(At(1000));
    EXPECT_EQ(bar.x, kScreenWidth - kTopBarFullWidth);
}

TEST(TopBarPlacementRulesTest, EndOfASystemMoveDocksNearTheRightEdge) {
    TopBarModel bar = ShownBar();
    bar.EndSystemMove({300, 8, 562, 32}, kScreenWidth);
    EXPECT_EQ(bar.dock, TopBarDock::Top);
    EXPECT_EQ(bar.x, 300);
    EXPECT_EQ(bar.y, 0);
    bar.EndSystemMove({300, 10, 562, 34}, kScreenWidth);
    EXPECT_EQ(bar.rememberedY, 10);
    const TopBarEffects effects = bar.EndSystemMove({1000, 8, 1240, 32}, kScreenWidth);
    EXPECT_EQ(bar.dock, TopBarDock::Right);
    EXPECT_EQ(bar.x, kScreenWidth - kTopBarFullWidth);
    EXPECT_EQ(bar.y, 8);
    EXPECT_TRUE(effects.move);
    EXPECT_TRUE(effects.save);
}

}  // namespace
}  // namespace qorva::universal
