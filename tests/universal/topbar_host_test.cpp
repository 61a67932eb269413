// The top bar as the main window and the tray icons drive it, in the test's own thread under Wine:
// other programs' show and reset requests to the main window, the hot-key icon's clicks, the menu
// entries that hide, show and re-centre the bar, and the mode broadcast reaching the bar.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "tests/universal/host_fixture.h"
#include "universal/mode_ipc.h"
#include "universal/universal_host.h"

namespace qorva_test {
namespace {

using qorva::ModeIpc;
using qorva::ModeTarget;
using qorva::universal::g_topbar;
using qorva::universal::g_window;
using qorva::universal::kTopBarCompactWidth;
using qorva::universal::kTopBarFullWidth;

constexpr int kCentre = (1280 - kTopBarFullWidth) / 2;

class TopBarHostTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        Gdiplus::GdiplusStartupInput gdiplus;
        Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplus, nullptr);
        appData_.WriteSettings(kOfflineProgramSettings);
        ASSERT_TRUE(g_topbar.Initialize(GetModuleHandleW(nullptr), nullptr));
        // Auto-hide would shrink the bar while the pointer is elsewhere.
        g_topbar.SetAutoHide(false);
        g_topbar.Show(true);
    }
    void TearDown() override {
        // The bar is the process's: the next test finds it shown, as the program starts it.
        g_topbar.Show(true);
        g_topbar.Destroy();
        HostTest::TearDown();
        Gdiplus::GdiplusShutdown(gdiplusToken_);
    }

    std::string Saved() const {
        return qorva::FromDiskLineEnds(ReadFileBytes(appData_.DataFile(L"settings.json")));
    }
    bool SavedPlace(int x, int y) const {
        return qorva::ReadSettingsNumber(Saved(), "topbar_x") == x &&
               qorva::ReadSettingsNumber(Saved(), "topbar_y") == y;
    }
    bool SavedVisible(bool visible) const {
        return Saved().find(visible ? "\"show_topbar\": true" : "\"show_topbar\": false") !=
               std::string::npos;
    }
    void Handle(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        Post(message, wParam, lParam);
        PumpUntil([] { return true; });
    }
    POINT Position() const {
        POINT p{};
        int x = 0;
        int y = 0;
        g_topbar.GetPosition(x, y);
        p.x = x;
        p.y = y;
        return p;
    }

    ULONG_PTR gdiplusToken_ = 0;
};

// The main window keeps a bar partly off either side where it is, unlike the bar's own answer.
TEST_F(TopBarHostTest, ShowRequestToTheMainWindowRecentresOnlyFarOffTheSides) {
    const struct {
        int x;
        bool recentred;
    } cases[] = {{-51, true}, {-50, false}, {1280 - 30, false}, {1280 - 29, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        g_topbar.SetPosition(c.x, 40);
        g_topbar.Show(false);
        Handle(ModeIpc::GetShowTopBarMessage());
        EXPECT_TRUE(g_topbar.IsVisible());
        EXPECT_TRUE(IsWindowVisible(g_topbar.Handle()));
        const POINT expected = c.recentred ? POINT{kCentre, 0} : POINT{c.x, 40};
        EXPECT_EQ(Position().x, expected.x);
        EXPECT_EQ(Position().y, expected.y);
        EXPECT_TRUE(SavedPlace(expected.x, expected.y)) << Saved();
        EXPECT_TRUE(SavedVisible(true));
    }
}

TEST_F(TopBarHostTest, ResetRequestAndResetEntriesPutTheBarBackAtTheTopCentre) {
    const auto reset = [this](const std::function<void()>& how) {
        g_topbar.SetPosition(100, 300);
        g_topbar.Show(false);
        how();
        EXPECT_TRUE(g_topbar.IsVisible());
        EXPECT_EQ(Position().x, kCentre);
        EXPECT_EQ(Position().y, 0);
        EXPECT_TRUE(SavedPlace(kCentre, 0)) << Saved();
        EXPECT_TRUE(SavedVisible(true));
    };
    reset([this] { Handle(ModeIpc::GetResetTopBarMessage()); });
    reset([] { qorva::universal::RunTrayCommand(qorva::universal::kTrayResetTopBar); });
    reset([] { qorva::universal::RunTrayCommand(qorva::universal::kPinResetTopBar); });
}

TEST_F(TopBarHostTest, HideAndShowEntriesAndTheIconsDoubleClickToggleTheBarAndSaveIt) {
    const auto pinEntry = [] {
        HMENU menu = qorva::universal::CreateLanguagePinMenu();
        const std::wstring text = MenuText(menu, qorva::universal::kPinToggleTopBar);
        DestroyMenu(menu);
        return text;
    };
    EXPECT_EQ(pinEntry(), L"টপবার লুকান (Hide TopBar)");
    const std::function<void()> toggles[] = {
        [] { qorva::universal::RunTrayCommand(qorva::universal::kTrayToggleTopBar); },
        [] { qorva::universal::RunTrayCommand(qorva::universal::kPinToggleTopBar); },
        [this] { Handle(qorva::universal::kHotkeyTrayMessage, 1, WM_LBUTTONDBLCLK); },
    };
    for (const auto& toggle : toggles) {
        toggle();
        EXPECT_FALSE(g_topbar.IsVisible());
        EXPECT_FALSE(IsWindowVisible(g_topbar.Handle()));
        EXPECT_TRUE(SavedVisible(false)) << Saved();
        EXPECT_EQ(pinEntry(), L"টপবার দেখান (Restore TopBar)");
        toggle();
        EXPECT_TRUE(g_topbar.IsVisible());
        EXPECT_TRUE(IsWindowVisible(g_topbar.Handle()));
        EXPECT_TRUE(SavedVisible(true)) << Saved();
    }
}

TEST_F(TopBarHostTest, ClickOnTheHotKeyIconShowsAHiddenBar) {
    qorva::universal::ToggleTopBar();
    ASSERT_FALSE(g_topbar.IsVisible());
    Handle(qorva::universal::kHotkeyTrayMessage, 1, WM_LBUTTONUP);
    EXPECT_TRUE(g_topbar.IsVisible());
    EXPECT_TRUE(IsWindowVisible(g_topbar.Handle()));
    EXPECT_TRUE(SavedVisible(true)) << Saved();
    // On a shown bar the click only raises it.
    Handle(qorva::universal::kHotkeyTrayMessage, 1, WM_LBUTTONUP);
    EXPECT_TRUE(g_topbar.IsVisible());
}

TEST_F(TopBarHostTest, BarFollowsTheModeOtherProgramsAndTheMenusSet) {
    SetSharedMode(ModeTarget::BanglishToEnglish);
    EXPECT_EQ(g_topbar.State().mode, ModeTarget::BanglishToEnglish);
    SetSharedMode(ModeTarget::Bangla);
    EXPECT_EQ(g_topbar.State().mode, ModeTarget::Bangla);
    qorva::universal::RunTrayCommand(qorva::universal::kPinModeEnglish);
    EXPECT_EQ(g_topbar.State().mode, ModeTarget::English);
}

// The program's periodic read of settings.json hands the auto-hide flag to the bar. "Always
// Visible" must survive a save that finds no file: the file it writes, read back, keeps auto-hide
// off.
TEST_F(TopBarHostTest, SettingsReadsHandAutoHideToTheBarAndASaveWithoutAFileKeepsItOff) {
    SetCursorPos(1200, 900);  // away, so that the compact bar stays compact
    g_topbar.SetAutoHide(true);
    g_topbar.CollapseToCompact();
    ASSERT_TRUE(PumpUntil(
        [] { return g_topbar.State().animation == qorva::universal::TopBarAnimation::Idle; }));
    ASSERT_EQ(g_topbar.State().width, kTopBarCompactWidth);

    appData_.WriteSettings(
        std::string(kOfflineProgramSettings).insert(1, "\n  \"topbar_autohide\": false,"));
    qorva::universal::LoadSettings();
    EXPECT_FALSE(g_topbar.State().autoHide);
    EXPECT_TRUE(PumpUntil([] { return g_topbar.State().width == kTopBarFullWidth; }));

    ASSERT_TRUE(DeleteFileW(appData_.DataFile(L"settings.json").c_str()));
    g_topbar.SaveCoordinates();
    qorva::universal::LoadSettings();
    EXPECT_FALSE(g_topbar.State().autoHide) << Saved();

    // A file that does not name the flag leaves the bar's own.
    appData_.WriteSettings(kOfflineProgramSettings);
    qorva::universal::LoadSettings();
    EXPECT_FALSE(g_topbar.State().autoHide);
    appData_.WriteSettings(
        std::string(kOfflineProgramSettings).insert(1, "\n  \"topbar_autohide\": true,"));
    qorva::universal::LoadSettings();
    EXPECT_TRUE(g_topbar.State().autoHide);
}

// A bar hidden while compact and then grown (auto-hide switched off in the settings) keeps
// animating its width out of sight instead of showing itself.
TEST_F(TopBarHostTest, HiddenBarStaysHiddenWhileItsWidthAnimates) {
    g_topbar.SetAutoHide(true);
    g_topbar.CollapseToCompact();
    ASSERT_TRUE(PumpUntil(
        [] { return g_topbar.State().animation == qorva::universal::TopBarAnimation::Idle; }));
    qorva::universal::ToggleTopBar();
    ASSERT_FALSE(IsWindowVisible(g_topbar.Handle()));

    g_topbar.SetAutoHide(false);
    ASSERT_EQ(g_topbar.State().animation, qorva::universal::TopBarAnimation::Expanding);
    EXPECT_TRUE(PumpUntil([] { return g_topbar.State().width == kTopBarFullWidth; }));
    EXPECT_FALSE(IsWindowVisible(g_topbar.Handle()));
}

}  // namespace
}  // namespace qorva_test
