// The top bar's buttons, hover card and voice typing in the test's own thread under Wine: the
// suggestions pause that the keyboard hook and the tray read, the card under the pointer, the
// tooltips, and a dictated transcript typed into the focused window. The shell is replaced by a
// recorder, so no test opens a page or a program.
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/text.h"
#include "services/voice_transcribe.h"
#include "tests/support/loopback_server_client.h"
#include "tests/universal/host_fixture.h"
#include "universal/topbar_tips.h"
#include "universal/universal_host.h"

namespace qorva_test {
namespace {

using qorva::universal::g_topbar;
using qorva::universal::TopBarButton;

struct Opened {
    std::wstring target;
    std::wstring parameters;
};

class TopBarCommandsTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        Gdiplus::GdiplusStartupInput gdiplus;
        Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplus, nullptr);
        qorva::universal::ShellLauncherInUse() = [this](const std::wstring& target,
                                                        const std::wstring& parameters) {
            opened_.push_back({target, parameters});
            return true;
        };
        appData_.WriteSettings(kOfflineProgramSettings);
        ASSERT_TRUE(g_topbar.Initialize(GetModuleHandleW(nullptr), nullptr));
        g_topbar.SetAutoHide(false);
        g_topbar.Show(true);
        bar_ = g_topbar.Handle();
        ASSERT_TRUE(PumpUntil(
            [] { return g_topbar.State().animation == qorva::universal::TopBarAnimation::Idle; }));
    }
    void TearDown() override {
        g_topbar.Destroy();
        qorva::universal::ShellLauncherInUse() = nullptr;
        HostTest::TearDown();
        Gdiplus::GdiplusShutdown(gdiplusToken_);
    }

    static POINT Centre(TopBarButton button) {
        const qorva_tsf::LayoutRect& r = ButtonRect(g_topbar.State().buttons, button);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    RECT BarRect() const {
        RECT r{};
        GetWindowRect(bar_, &r);
        return r;
    }
    void Send(UINT message, WPARAM wParam, POINT client) {
        SendMessageW(bar_, message, wParam, MAKELPARAM(client.x, client.y));
    }
    // Wine reports a pointer it was told to move at its old place for a moment.
    static void MovePointer(int x, int y) {
        SetCursorPos(x, y);
        PumpUntil([&] {
            POINT at{};
            return GetCursorPos(&at) && at.x == x && at.y == y;
        });
    }
    // The pointer really over the button, as the leave tracking reads it, and the bar told.
    void HoverOver(TopBarButton button) {
        const POINT c = Centre(button);
        MovePointer(BarRect().left + c.x, BarRect().top + c.y);
        Send(WM_MOUSEMOVE, 0, c);
    }
    void Click(TopBarButton button) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, Centre(button));
        Send(WM_LBUTTONUP, 0, Centre(button));
    }
    static bool CardShown() {
        return g_topbar.CardWindow() && IsWindowVisible(g_topbar.CardWindow());
    }
    static bool TypingModeChecked() {
        HMENU menu = qorva::universal::CreateTrayMenu();
        const UINT state = GetMenuState(menu, qorva::universal::kTrayTypingMode, MF_BYCOMMAND);
        DestroyMenu(menu);
        return (state & MF_CHECKED) != 0;
    }

    ULONG_PTR gdiplusToken_ = 0;
    HWND bar_ = nullptr;
    std::vector<Opened> opened_;
};

// Button 4 and the tray's "Typing Mode" flip the one flag that the keyboard hook reads: the mark
// of "Typing Mode" follows it, checked while suggestions show.
TEST_F(TopBarCommandsTest, PauseButtonAndTypingModeEntryFlipTheFlagTheHookReads) {
    EXPECT_FALSE(g_topbar.State().suggestionsPaused);
    EXPECT_TRUE(TypingModeChecked());
    Click(TopBarButton::SuggestionsPause);
    EXPECT_TRUE(g_topbar.State().suggestionsPaused);
    EXPECT_FALSE(TypingModeChecked());
    qorva::universal::RunTrayCommand(qorva::universal::kTrayTypingMode);
    EXPECT_FALSE(g_topbar.State().suggestionsPaused);
    EXPECT_TRUE(TypingModeChecked());
}

// The card appears 6 pixels below the button under the pointer, goes at a press, comes back when
// the pointer moves on the same button, follows it to the next button and goes when it leaves.
TEST_F(TopBarCommandsTest, HoverCardFollowsThePointerAndHidesOnPressAndLeave) {
    HoverOver(TopBarButton::Settings);
    ASSERT_TRUE(CardShown());
    wchar_t className[64] = {};
    GetClassNameW(g_topbar.CardWindow(), className, 64);
    EXPECT_STREQ(className, qorva::universal::kHoverCardClassName);
    RECT card{};
    GetWindowRect(g_topbar.CardWindow(), &card);
    const qorva_tsf::LayoutRect& settings =
        ButtonRect(g_topbar.State().buttons, TopBarButton::Settings);
    EXPECT_EQ(card.top, BarRect().top + settings.bottom + 6);
    EXPECT_EQ(card.left, BarRect().left + (settings.left + settings.right) / 2 - 125);
    EXPECT_EQ(card.right - card.left, 250);
    EXPECT_NE(GetForegroundWindow(), g_topbar.CardWindow());

    Send(WM_LBUTTONDOWN, MK_LBUTTON, Centre(TopBarButton::Settings));
    EXPECT_FALSE(CardShown());
    // Released between the buttons, so that nothing is clicked.
    Send(WM_LBUTTONUP, 0, {Centre(TopBarButton::Settings).x, 0});
    HoverOver(TopBarButton::Settings);
    EXPECT_TRUE(CardShown());

    HoverOver(TopBarButton::Translation);
    ASSERT_TRUE(CardShown());
    GetWindowRect(g_topbar.CardWindow(), &card);
    EXPECT_EQ(card.right - card.left, 290) << "the translation card is the wide one";

    MovePointer(BarRect().left + 100, 600);
    PostMessageW(bar_, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return !CardShown(); }));
}

// The standard tooltip control carries one tool per button.
TEST_F(TopBarCommandsTest, EveryButtonHasATool) {
    ASSERT_NE(g_topbar.TooltipWindow(), nullptr);
    EXPECT_EQ(SendMessageW(g_topbar.TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 9);
}

// Without an API key in voice.json the voice button records nothing and opens the settings
// program at voice typing.
TEST_F(TopBarCommandsTest, VoiceWithoutAnApiKeyOpensTheSettingsProgram) {
    Click(TopBarButton::Voice);
    EXPECT_EQ(g_topbar.VoiceState(), qorva::universal::VoiceButtonState::Idle);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0].parameters, L"-voice");
    EXPECT_NE(opened_[0].target.find(L"qorva_settings.exe"), std::wstring::npos);
}

// A recording from the silent test microphone, transcribed by the loopback server's speech
// route, is typed into the focused Edit control exactly as the service returned it.
class TopBarVoiceTest : public TopBarCommandsTest {
protected:
    void SetUp() override {
        if (!std::getenv("QORVA_TEST_MICROPHONE")) GTEST_SKIP() << "run by universal_voice_tests";
        ASSERT_TRUE(qorva::testing::SharedLoopbackServerUsable());
        TopBarCommandsTest::SetUp();
        setUp_ = true;
        const qorva::testing::LoopbackServer& server = qorva::testing::SharedLoopbackServer();
        const qorva_tsf::VoiceServiceEndpoints endpoints{server.Https(), server.Https(),
                                                         server.Https()};
        qorva::universal::VoiceTranscriberInUse() =
            [endpoints, transport = qorva::CreatePlatformHttpTransport()](
                const qorva::universal::Samples& samples, const qorva_tsf::VoiceConfig& config) {
                std::wstring error;
                return qorva_tsf::Voice_Transcribe(samples, config, &error, *transport, endpoints);
            };
        WriteFileBytes(appData_.DataFile(L"voice.json"),
                       "{\"provider\": \"gemini\", \"api_key\": \"ok\"}");
        edit_ = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 300, 400,
                                100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(edit_, nullptr);
        SetForegroundWindow(edit_);
        SetFocus(edit_);
    }
    void TearDown() override {
        // A skipped test set nothing up.
        if (!setUp_) return;
        if (edit_) DestroyWindow(edit_);
        qorva::universal::VoiceTranscriberInUse() = saved_;
        TopBarCommandsTest::TearDown();
    }

    std::wstring EditText() const {
        wchar_t text[256] = {};
        GetWindowTextW(edit_, text, 256);
        return text;
    }

    bool setUp_ = false;
    HWND edit_ = nullptr;
    qorva::universal::VoiceTranscriber saved_ = qorva::universal::VoiceTranscriberInUse();
};

TEST_F(TopBarVoiceTest, TranscriptIsTypedIntoTheFocusedWindow) {
    g_topbar.LaunchVoiceInput();
    ASSERT_EQ(g_topbar.VoiceState(), qorva::universal::VoiceButtonState::Listening);
    PumpUntil([] { return false; }, 400);  // a few of the recorder's 100 ms buffers
    g_topbar.LaunchVoiceInput();
    EXPECT_NE(g_topbar.VoiceState(), qorva::universal::VoiceButtonState::Listening);
    EXPECT_TRUE(PumpUntil([&] { return EditText() == L"আমি ভালো আছি"; }))
        << qorva::Utf16ToUtf8(EditText());
    EXPECT_TRUE(PumpUntil(
        [] { return g_topbar.VoiceState() == qorva::universal::VoiceButtonState::Idle; }));
}

}  // namespace
}  // namespace qorva_test
