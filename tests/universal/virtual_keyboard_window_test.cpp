// The on-screen keyboard as a real window, clicked with the mouse the way a user clicks it, while
// an application of the test's own keeps the foreground and the focus.
#include "universal/virtual_keyboard_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "tests/support/message_pump.h"
#include "tests/support/real_click.h"

namespace qorva::universal {
namespace {

using qorva_test::PumpUntil;

LayoutPoint Centre(const LayoutRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class VirtualKeyboardWindowTest : public testing::Test {
protected:
    void SetUp() override {
        application_ =
            CreateWindowExW(0, L"STATIC", L"application", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                            100, 400, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(application_, nullptr);
        edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10,
                                360, 30, application_, nullptr, nullptr, nullptr);
        ASSERT_NE(edit_, nullptr);
        SetForegroundWindow(application_);
        SetFocus(edit_);
        ASSERT_TRUE(PumpUntil([&] { return ApplicationHasTheFocus(); }, 10000));

        ASSERT_TRUE(keyboard_.Initialize(GetModuleHandleW(nullptr), nullptr));
        EXPECT_FALSE(IsWindowVisible(keyboard_.Handle()));
        keyboard_.Show(true);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(keyboard_.Handle()) != FALSE; }));
    }

    void TearDown() override {
        keyboard_.Destroy();
        if (application_) DestroyWindow(application_);
    }

    bool ApplicationHasTheFocus() const {
        return GetForegroundWindow() == application_ && GetFocus() == edit_;
    }

    std::wstring EditText() const {
        std::vector<wchar_t> text(256);
        const int length = GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()));
        return std::wstring(text.data(), static_cast<size_t>(length));
    }

    // A point of the keyboard's client area on the screen.
    POINT OnScreen(LayoutPoint point) const {
        RECT placed{};
        GetWindowRect(keyboard_.Handle(), &placed);  // no frame: the client area is the window
        return {placed.left + point.x, placed.top + point.y};
    }

    // Clicks `times` times in a row at a point of the keyboard's client area, through the system's
    // input queue like a real mouse, until the Edit gets text: a busy desktop may drop every press
    // of an injected click, and the click is then sent again.
    void ClickTyping(LayoutPoint point, int times = 1) {
        ASSERT_TRUE(qorva_test::ClickUntil(
            OnScreen(point), [&] { return !EditText().empty(); }, 5, 3000, times));
    }

    LayoutPoint KeyCentre(OskTab tab, const char* label) const {
        for (const OskKey& key : keyboard_.Keys(tab)) {
            if (key.label == Utf8ToUtf16(label)) return Centre(key.rect);
        }
        ADD_FAILURE() << "no key " << label;
        return {};
    }

    // The first click after the keyboard was mapped may land where the pointer was before (Wine
    // moves it back under a window just mapped) or lose its press on a busy desktop: it is sent
    // again until the tab shows, and what a click that landed on a key typed is cleared.
    void ChooseTab(OskTab tab) {
        ASSERT_TRUE(qorva_test::ClickUntil(OnScreen(Centre(kOskTabRects[static_cast<size_t>(tab)])),
                                           [&] { return keyboard_.Tab() == tab; }));
        SetWindowTextW(edit_, L"");
    }

    // Waits until the Edit holds as many UTF-16 units as expected.
    void ExpectTyped(const std::wstring& expected) {
        EXPECT_TRUE(PumpUntil([&] { return EditText().size() >= expected.size(); }, 10000));
        EXPECT_EQ(EditText(), expected);
        EXPECT_TRUE(ApplicationHasTheFocus());
    }

    HWND application_ = nullptr;
    HWND edit_ = nullptr;
    VirtualKeyboardWindow keyboard_;
};

TEST_F(VirtualKeyboardWindowTest, ShownWithoutTakingTheFocusAndTypesIntoTheApplication) {
    const LONG_PTR exStyle = GetWindowLongPtrW(keyboard_.Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(ApplicationHasTheFocus());
    EXPECT_EQ(keyboard_.Tab(), OskTab::Bangla);

    ClickTyping(KeyCentre(OskTab::Bangla, "\xE0\xA6\x86"));  // আ
    ExpectTyped(L"\u0986");
}

TEST_F(VirtualKeyboardWindowTest, FastDoubleClickTypesTheKeyTwice) {
    ChooseTab(OskTab::English);
    ClickTyping(KeyCentre(OskTab::English, "l"), 2);
    ExpectTyped(L"ll");
}

TEST_F(VirtualKeyboardWindowTest, EmojiArrivesWhole) {
    ChooseTab(OskTab::Emoji);
    ClickTyping(
        KeyCentre(OskTab::Emoji, "\xF0\x9F\x87\xA7\xF0\x9F\x87\xA9"));  // the flag of Bangladesh
    ExpectTyped(Utf8ToUtf16("\xF0\x9F\x87\xA7\xF0\x9F\x87\xA9"));
}

TEST_F(VirtualKeyboardWindowTest, MinimiseButtonHidesAndShowingAgainKeepsThePlace) {
    RECT before{};
    GetWindowRect(keyboard_.Handle(), &before);
    EXPECT_TRUE(qorva_test::ClickUntil(OnScreen(Centre(kOskMinimizeRect)),
                                       [&] { return !IsWindowVisible(keyboard_.Handle()); }));
    EXPECT_FALSE(keyboard_.IsVisible());
    EXPECT_TRUE(ApplicationHasTheFocus());

    keyboard_.ToggleVisibility();
    EXPECT_TRUE(IsWindowVisible(keyboard_.Handle()));
    RECT after{};
    GetWindowRect(keyboard_.Handle(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

}  // namespace
}  // namespace qorva::universal
