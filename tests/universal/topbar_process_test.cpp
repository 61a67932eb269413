// The real qorva_universal.exe's top bar, driven from this test process: where it starts, its mode
// buttons, a drag, the collapse once the pointer left and the growth when it comes back, a real
// click that leaves the focus in the user's window, and other programs' show and reset requests;
// and a settings.json the program may not write, left byte for byte.
// Posted mouse messages drive the bar, but it reads the real pointer for drags and auto-hide, so
// the pointer is put where a user's would be first.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "tests/support/message_pump.h"
#include "tests/support/read_only_mark.h"
#include "tests/support/real_click.h"
#include "tests/support/run_value.h"
#include "tests/support/temp_app_data.h"
#include "tests/universal/universal_process.h"
#include "universal/mode_ipc.h"
#include "universal/topbar_model.h"
#include "universal/universal_host.h"

namespace qorva_test {
namespace {

using qorva::ModeIpc;
using qorva::ModeTarget;
using qorva::universal::kTopBarCompactWidth;
using qorva::universal::kTopBarFullWidth;
using qorva::universal::kTopBarHeight;

// On wine's 1280 pixels wide desktop the bar starts centred at the top.
constexpr int kStartX = (1280 - kTopBarFullWidth) / 2;
// Client points of the buttons.
constexpr POINT kLanguageButton{60, 12};
constexpr POINT kTranslationButton{117, 12};
constexpr POINT kVoiceButton{12, 12};

LPARAM PointParam(POINT p) { return MAKELPARAM(p.x, p.y); }

class TopBarProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        appData_.WriteSettings(kOfflineProgramSettings);  // auto-hide on, as by default
        program_ = CopyUniversalProgram(appData_.Folder() + L"\\program");
        ASSERT_FALSE(program_.empty());
        // On the voice button's place, so that the bar stays at its full width until a test moves
        // the pointer away, and a drag from here can take the bar to the far right.
        SetCursorPos(kStartX + kVoiceButton.x, kVoiceButton.y);
        process_ = std::make_unique<UniversalProcess>(program_);
        ASSERT_TRUE(process_->Started());
        ASSERT_NE(process_->WaitForMainWindow(), nullptr);
        bar_ = process_->WaitForTopBar();
        ASSERT_NE(bar_, nullptr);
        ASSERT_TRUE(WaitForRect(kStartX, 0, kTopBarFullWidth));
    }

    void TearDown() override {
        if (process_ && process_->Running()) {
            EXPECT_TRUE(process_->Close());
            EXPECT_EQ(process_->WaitForExit(), DWORD{0});
        }
    }

    RECT Rect() const {
        RECT rect{};
        GetWindowRect(bar_, &rect);
        return rect;
    }

    ::testing::AssertionResult WaitForRect(int left, int top, int width,
                                           DWORD waitMs = 30000) const {
        RECT r{};
        const bool placed = PumpUntil(
            [&] {
                r = Rect();
                return r.left == left && r.top == top && r.right - r.left == width &&
                       r.bottom - r.top == kTopBarHeight;
            },
            waitMs);
        if (placed) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "bar at " << r.left << ", " << r.top << ", "
                                             << r.right - r.left << " x " << r.bottom - r.top;
    }

    bool WaitForWidth(int width, DWORD waitMs = 30000) const {
        return PumpUntil([&] { return Rect().right - Rect().left == width; }, waitMs);
    }

    std::string Settings() const { return ReadFileBytes(appData_.DataFile(L"settings.json")); }

    // Waits until settings.json holds this place of the bar.
    ::testing::AssertionResult WaitForSavedPlace(int x, int y) const {
        int savedX = 0;
        int savedY = 0;
        const bool saved = PumpUntil([&] {
            const std::string text = qorva::FromDiskLineEnds(Settings());
            savedX = qorva::ReadSettingsNumber(text, "topbar_x");
            savedY = qorva::ReadSettingsNumber(text, "topbar_y");
            return savedX == x && savedY == y;
        });
        if (saved) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "saved at " << savedX << ", " << savedY;
    }

    void Click(POINT client) {
        PostMessageW(bar_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(client));
        PostMessageW(bar_, WM_LBUTTONUP, 0, PointParam(client));
    }

    bool BarHoldsCapture() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(GetWindowThreadProcessId(bar_, nullptr), &info) &&
               info.hwndCapture == bar_;
    }

    // Drags the bar the way a user does: pressed where the pointer rests on it, the pointer moved
    // to `to` between the posted messages, released there. Returns the bar's new top-left corner.
    // Wine reports the pointer of a window that moves under it against the window's old place
    // now and then, which sends the bar back for a moment; so the move is posted again until the
    // bar has stood still where the pointer took it for a while, and only then released. The
    // press comes where the pointer already rests, as a press right after a move can still read
    // the old place.
    POINT DragTo(POINT to) {
        const RECT start = Rect();
        POINT pressed{};
        GetCursorPos(&pressed);
        const POINT client{pressed.x - start.left, pressed.y - start.top};
        const POINT corner{start.left + to.x - pressed.x, start.top + to.y - pressed.y};
        PostMessageW(bar_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(client));
        EXPECT_TRUE(PumpUntil([&] { return BarHoldsCapture(); }));
        SetCursorPos(to.x, to.y);
        const LPARAM moved = PointParam({client.x + to.x - pressed.x, client.y + to.y - pressed.y});
        ULONGLONG lastMove = 0;
        ULONGLONG stillSince = 0;
        EXPECT_TRUE(PumpUntil([&] {
            POINT cursor{};
            GetCursorPos(&cursor);
            const RECT r = Rect();
            const ULONGLONG now = GetTickCount64();
            if (cursor.x != to.x || cursor.y != to.y || r.left != corner.x || r.top != corner.y) {
                stillSince = 0;
                if (now - lastMove >= 100) {
                    PostMessageW(bar_, WM_MOUSEMOVE, MK_LBUTTON, moved);
                    lastMove = now;
                }
                return false;
            }
            if (stillSince == 0) stillSince = now;
            return now - stillSince >= 300;
        }));
        PostMessageW(bar_, WM_LBUTTONUP, 0, moved);
        EXPECT_TRUE(PumpUntil([&] { return !BarHoldsCapture(); }));
        return corner;
    }

    RunValueGuard runValue_;
    TempAppData appData_;
    std::wstring program_;
    std::unique_ptr<UniversalProcess> process_;
    HWND bar_ = nullptr;
};

TEST_F(TopBarProcessTest, StartsCentredAtTheTopFullWidthNoActivateAndSavesItsPlace) {
    const LONG_PTR exStyle = GetWindowLongPtrW(bar_, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_NE(GetForegroundWindow(), bar_);
    ASSERT_TRUE(WaitForSavedPlace(kStartX, 0));
    const std::string saved = Settings();
    // The keys of other programs stay, with the file's LF line ends; the bar's own are added on
    // lines of their own.
    const std::string others = kOfflineProgramSettings;
    const std::string kept = others.substr(0, others.rfind("\n}")) + ",\n  \"topbar_x\": ";
    EXPECT_EQ(saved.compare(0, kept.size(), kept), 0) << saved;
    EXPECT_NE(saved.find("\"show_topbar\": true,\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"topbar_dock\": \"top\"\n}\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find('\r'), std::string::npos) << saved;
}

TEST_F(TopBarProcessTest, PostedClicksOnTheModeButtonsSwitchTheSharedMode) {
    ASSERT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::English);
    const struct {
        POINT button;
        ModeTarget after;
    } steps[] = {{kLanguageButton, ModeTarget::Bangla},
                 {kLanguageButton, ModeTarget::English},
                 {kTranslationButton, ModeTarget::BanglishToEnglish},
                 {kTranslationButton, ModeTarget::Bangla},
                 {kTranslationButton, ModeTarget::BanglishToEnglish},
                 {kLanguageButton, ModeTarget::Bangla}};
    for (const auto& step : steps) {
        Click(step.button);
        EXPECT_TRUE(PumpUntil([&] { return ModeIpc::Instance().GetMode() == step.after; }))
            << "expected mode " << static_cast<int>(step.after);
    }
}

TEST_F(TopBarProcessTest, DragMovesTheBarAndSavesItsPlace) {
    const POINT corner = DragTo({625, 212});
    EXPECT_EQ(corner.x, 613);
    EXPECT_TRUE(WaitForSavedPlace(613, 200));
    // A drag clicks nothing.
    EXPECT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::English);
}

TEST_F(TopBarProcessTest, CollapsesOnceThePointerLeftAndGrowsWhenItComesBack) {
    const DWORD left = GetTickCount();
    SetCursorPos(1200, 900);
    ASSERT_TRUE(WaitForWidth(kTopBarCompactWidth));
    const DWORD tookMs = GetTickCount() - left;
    EXPECT_GE(tookMs, 1500u);
    RecordProperty("collapse_ms", static_cast<int>(tookMs));
    // The compact bar keeps its left edge.
    EXPECT_TRUE(WaitForRect(kStartX, 0, kTopBarCompactWidth));

    // Back where the full bar was, beyond the compact bar's right edge.
    SetCursorPos(kStartX + 220, 12);
    EXPECT_TRUE(WaitForRect(kStartX, 0, kTopBarFullWidth));
}

// A window of this test with an Edit that has the focus, as the user's application.
class UserWindow {
public:
    UserWindow() {
        window_ = CreateWindowExW(0, L"STATIC", L"user", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 300,
                                  400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 300, 24,
                                window_, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(window_);
        SetFocus(edit_);
    }
    ~UserWindow() { DestroyWindow(window_); }
    HWND Window() const { return window_; }
    HWND Edit() const { return edit_; }

private:
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

TEST_F(TopBarProcessTest, RealClickOnTheTranslationButtonLeavesTheFocusInTheUsersWindow) {
    UserWindow user;
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == user.Window(); }));
    ASSERT_EQ(GetFocus(), user.Edit());

    EXPECT_TRUE(ClickUntil({kStartX + kTranslationButton.x, kTranslationButton.y}, [] {
        return ModeIpc::Instance().GetMode() == ModeTarget::BanglishToEnglish;
    }));
    EXPECT_EQ(GetForegroundWindow(), user.Window());
    EXPECT_EQ(GetFocus(), user.Edit());
}

TEST_F(TopBarProcessTest, ShowRequestCentresOnlyABarOffTheRightAndSaves) {
    // Left of the right edge's bound the bar stays where the user put it.
    const POINT kept = DragTo({115, 52});
    ASSERT_TRUE(WaitForSavedPlace(kept.x, kept.y));
    // Hidden from the tray (a double click on the hot-key icon), which is saved too.
    PostMessageW(process_->WaitForMainWindow(), qorva::universal::kHotkeyTrayMessage, 1,
                 WM_LBUTTONDBLCLK);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(bar_); }));
    ASSERT_TRUE(
        PumpUntil([&] { return Settings().find("\"show_topbar\": false") != std::string::npos; }));
    PostMessageW(bar_, ModeIpc::GetShowTopBarMessage(), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(bar_) != FALSE; }));
    EXPECT_TRUE(WaitForRect(kept.x, kept.y, kTopBarFullWidth));
    EXPECT_TRUE(
        PumpUntil([&] { return Settings().find("\"show_topbar\": true") != std::string::npos; }));

    // From screen width - 49 on, the bar counts as lost off the right: centred, at its height.
    const POINT lost = DragTo({1265, 52});
    ASSERT_GE(lost.x, 1280 - 49);
    ASSERT_TRUE(WaitForSavedPlace(lost.x, lost.y));
    SetCursorPos(kStartX + 131, lost.y + 12);  // where the bar will be, so it stays full width
    PostMessageW(bar_, ModeIpc::GetShowTopBarMessage(), 0, 0);
    EXPECT_TRUE(WaitForRect(kStartX, lost.y, kTopBarFullWidth));
    EXPECT_TRUE(WaitForSavedPlace(kStartX, lost.y));
}

TEST_F(TopBarProcessTest, ResetRequestPutsTheBarBackAtTheTopCentreAndSaves) {
    const POINT moved = DragTo({215, 312});
    ASSERT_TRUE(WaitForSavedPlace(moved.x, moved.y));
    SetCursorPos(kStartX + 131, 12);
    PostMessageW(bar_, ModeIpc::GetResetTopBarMessage(), 0, 0);
    EXPECT_TRUE(WaitForRect(kStartX, 0, kTopBarFullWidth));
    EXPECT_TRUE(WaitForSavedPlace(kStartX, 0));
}

// The real program over a settings.json it may not write: its start saves the bar's place, which
// must leave the file byte for byte, and its log says why.
class UnwritableSettingsProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = CopyUniversalProgram(appData_.Folder() + L"\\program");
        ASSERT_FALSE(program_.empty());
    }

    // Starts the program, waits for its bar (shown once its place was saved) and closes it in
    // order, which saves again.
    void StartAndClose() {
        UniversalProcess process(program_);
        ASSERT_TRUE(process.Started());
        ASSERT_NE(process.WaitForMainWindow(), nullptr);
        ASSERT_NE(process.WaitForTopBar(), nullptr);
        ASSERT_TRUE(process.Close());
        EXPECT_EQ(process.WaitForExit(), DWORD{0});
    }

    std::wstring SettingsPath() const { return appData_.DataFile(L"settings.json"); }
    std::string Log() const { return ReadFileBytes(appData_.DataFile(L"universal.log")); }

    RunValueGuard runValue_;
    TempAppData appData_;
    std::wstring program_;
};

TEST_F(UnwritableSettingsProcessTest, FiftyMegabyteFileIsLeftByteForByte) {
    // The program's offline keys first, where its reader of the first megabyte finds them.
    std::string bytes = kOfflineProgramSettings;
    bytes.insert(bytes.rfind("\n}"), ",\n  \"notes\": \"" + std::string(50 << 20, 'x') + "\"");
    appData_.WriteSettings(bytes);
    StartAndClose();
    const std::string after = ReadFileBytes(SettingsPath());
    EXPECT_TRUE(after == bytes) << after.size() << " bytes";
    EXPECT_NE(Log().find("settings.json left as it was: it is larger than 1 MiB"),
              std::string::npos)
        << Log();
}

TEST_F(UnwritableSettingsProcessTest, ReadOnlyFileIsLeftByteForByte) {
    appData_.WriteSettings(kOfflineProgramSettings);
    {
        const ReadOnlyMark mark(qorva::Utf16ToUtf8(SettingsPath()));
        StartAndClose();
        EXPECT_NE(GetFileAttributesW(SettingsPath().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    }
    EXPECT_EQ(ReadFileBytes(SettingsPath()), kOfflineProgramSettings);
    EXPECT_NE(Log().find("settings.json left as it was: it is read-only"), std::string::npos)
        << Log();
}

}  // namespace
}  // namespace qorva_test
