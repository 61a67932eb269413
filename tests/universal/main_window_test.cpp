// The hidden main window in the test's own thread under Wine: the registered hot keys, the two
// timers with the update check after start, and the tray's Exit and Restart.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "tests/support/box_answer.h"
#include "tests/universal/dialog_driver.h"
#include "tests/universal/host_fixture.h"
#include "universal/mode_badge.h"
#include "universal/mode_ipc.h"
#include "universal/universal_host.h"
#include "universal/update_dialogs.h"
#include "update/update_calls.h"

namespace qorva_test {
namespace {

using qorva::universal::kActionButtonId;
using qorva::universal::kRemindLaterId;
using qorva::universal::kUpdateAvailableClass;
using qorva::universal::kUpdateNowId;
using qorva::universal::kUpdaterWndClass;

using qorva::ModeTarget;
using qorva::universal::g_window;

constexpr wchar_t kOfferCaption[] = L"Update available";

constexpr char kOfflineSettings[] =
    "{\n  \"auto_check_update\": false,\n  \"english_translation\": false,\n"
    "  \"input_mode\": \"automatic\"\n}\n";

// What a fake update service was asked, from whichever thread asked.
struct CheckLog {
    std::atomic<int> checks{0};
    std::atomic<bool> manual{true};
    std::atomic<int> pagesOpened{0};
    std::string pageOpened;  // written before pagesOpened counts it
};

class MainWindowTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        appData_.WriteSettings(kOfflineSettings);
        qorva::universal::LoadSettings();
    }
    void TearDown() override {
        HostTest::TearDown();
        // The pause is the process's state, not the window's.
        qorva::universal::g_settings = qorva::UniversalSettings{};
    }

    // A service whose check finds 1.3.0 (answering `result`) and whose release page opens nowhere.
    void UseService(int result) {
        auto log = log_;
        qorva::UpdateCalls& calls = qorva::UpdateCallsInUse();
        calls.checkForUpdate = [log, result](qorva::ReleaseInfo& release, bool manual) {
            release.versionText = "1.3.0";
            release.pageUrl = "https://qorva.example/update/1.3.0";
            log->manual = manual;
            ++log->checks;
            return result;
        };
        calls.launchOfficialUpdateFlow = [log](const std::string& page) {
            log->pageOpened = page;
            ++log->pagesOpened;
            return true;
        };
    }

    std::shared_ptr<CheckLog> log_ = std::make_shared<CheckLog>();
};

// Ctrl+Alt+L twice pauses and resumes; under "tsf_only" the universal program never types, so
// resuming leaves typing off. settings.json is not written.
TEST_F(MainWindowTest, PauseHotKeyStopsAndResumesTypingAndLogsIt) {
    const struct {
        const char* inputMode;
        bool typingAfterResume;
    } cases[] = {{"automatic", true}, {"tsf_only", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inputMode);
        const std::string settings = std::string("{\n  \"auto_check_update\": false,\n") +
                                     "  \"input_mode\": \"" + c.inputMode + "\"\n}\n";
        appData_.WriteSettings(settings);
        qorva::universal::LoadSettings();
        const size_t logBefore = Log().size();

        Post(WM_HOTKEY, qorva::universal::kPauseHotKeyId, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'L'));
        PumpUntil([] { return true; });
        EXPECT_FALSE(qorva::universal::g_settings.hostEnabled);
        EXPECT_FALSE(qorva::universal::g_typing.Enabled());

        // The settings re-read keeps the pause: the file says nothing about it.
        qorva::universal::LoadSettings();
        EXPECT_FALSE(qorva::universal::g_settings.hostEnabled);

        Post(WM_HOTKEY, qorva::universal::kPauseHotKeyId, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'L'));
        PumpUntil([] { return true; });
        EXPECT_TRUE(qorva::universal::g_settings.hostEnabled);
        EXPECT_EQ(qorva::universal::g_typing.Enabled(), c.typingAfterResume);

        const std::string lines = Log().substr(logBefore);
        const size_t paused = lines.find(" hotkey: paused\r\n");
        ASSERT_NE(paused, std::string::npos) << lines;
        EXPECT_NE(lines.find(" hotkey: resumed\r\n", paused), std::string::npos) << lines;
        EXPECT_EQ(ReadFileBytes(appData_.DataFile(L"settings.json")), settings);
    }
}

// While the keyboard hook runs it takes Ctrl+Alt+E and Ctrl+Alt+Space itself, so their hot keys
// reach the window only without it: posted here.
TEST_F(MainWindowTest, ToggleHotKeysSwitchTheModeAndThePin) {
    AddTrayIcons();
    SetSharedMode(ModeTarget::English);
    WaitOutToggleDebounce();

    Post(WM_HOTKEY, qorva::universal::kModeHotKeyId, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_SPACE));
    ASSERT_TRUE(
        PumpUntil([] { return qorva::ModeIpc::Instance().GetMode() == ModeTarget::Bangla; }));
    Post(WM_HOTKEY, qorva::universal::kTranslationHotKeyId, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'E'));
    ASSERT_TRUE(PumpUntil(
        [] { return qorva::ModeIpc::Instance().GetMode() == ModeTarget::BanglishToEnglish; }));
    EXPECT_EQ(LastPinTip(), qorva::universal::PinTipOfMode(ModeTarget::BanglishToEnglish));
}

// The check after start asks as an automatic check (at most once a day, dismissed versions
// skipped), and the release it finds is offered and shows in the tray menu; a click on the tray's
// balloon opens that release's page.
TEST_F(MainWindowTest, CheckAfterStartShowsAFoundReleaseInTheTrayMenu) {
    UseService(qorva::kCheckNewerRelease);
    BoxAnswer remindLater(kOfferCaption, kRemindLaterId, kUpdateAvailableClass);
    qorva::universal::g_settings.autoCheckUpdate = true;
    qorva::universal::StartTimers();
    ASSERT_TRUE(PumpUntil([] {
        HMENU menu = qorva::universal::CreateTrayMenu();
        const std::wstring text = MenuText(menu, 106);
        DestroyMenu(menu);
        return text == L"Check for Update (1.3.0 available)";
    }));
    EXPECT_EQ(log_->checks, 1);
    EXPECT_FALSE(log_->manual);
    ASSERT_TRUE(PumpUntil([&] { return remindLater.Answered(); }));

    Post(qorva::universal::kHotkeyTrayMessage, 1, NIN_BALLOONUSERCLICK);
    ASSERT_TRUE(PumpUntil([this] { return log_->pagesOpened == 1; }));
    EXPECT_EQ(log_->pageOpened, "https://qorva.example/update/1.3.0");
}

// The settings timer first fires two seconds after the check's would have: by then no check ran.
TEST_F(MainWindowTest, NoCheckAfterStartWhenSettingsSayNo) {
    UseService(qorva::kCheckNewerRelease);
    AddTrayIcons();
    PumpUntil([] { return true; });
    ForgetCalls();
    qorva::universal::StartTimers();
    ASSERT_TRUE(PumpUntil([this] { return !LastPinTip().empty(); }));
    EXPECT_EQ(log_->checks, 0);
}

// A found release posted to the window is offered on the main thread, whose loop serves the
// dialogs; accepting it downloads the release through the updater.
TEST_F(MainWindowTest, FoundReleaseIsOfferedAndAcceptingDownloadsItInTheUpdater) {
    auto downloaded = std::make_shared<std::string>();
    qorva::UpdateCallsInUse().defaultInstallerDownloadPath = [this] {
        return appData_.Folder() + L"\\QorvaSetup.exe";
    };
    qorva::UpdateCallsInUse().downloadInstaller =
        [downloaded](const std::string& primary, const std::string&, const std::wstring&,
                     const std::string&, uint64_t, qorva::DownloadProgress, std::atomic<bool>*) {
            *downloaded = primary;
            return qorva::kDownloadFailed;
        };
    auto* release = new qorva::ReleaseInfo;
    release->versionText = "1.3.0";
    release->downloadUrl = "https://qorva.example/1.3.0/QorvaSetup.exe";
    BoxAnswer updateNow(kOfferCaption, kUpdateNowId, kUpdateAvailableClass);
    std::atomic<bool> closed{false};
    DialogDriver closeWhenFailed([&] {
        const HWND updater = WaitForWindow(kUpdaterWndClass);
        if (!updater) return;
        WaitUntil([&] { return ControlText(updater, kActionButtonId) == L"Close"; });
        Press(updater, kActionButtonId);
        closed = true;
    });
    Post(qorva::universal::kUpdateResultMessage, qorva::kCheckNewerRelease,
         reinterpret_cast<LPARAM>(release));
    ASSERT_TRUE(PumpUntil([&] { return updateNow.Answered() && closed; }));
    ASSERT_TRUE(PumpUntil([] { return !FindWindowW(kUpdaterWndClass, nullptr); }));
    EXPECT_EQ(*downloaded, "https://qorva.example/1.3.0/QorvaSetup.exe");
    EXPECT_EQ(qorva::universal::g_latest_update_version, L"1.3.0");
    EXPECT_TRUE(IsWindow(g_window));
    EXPECT_FALSE(PumpedQuit());
}

// A release found while the offer is open (the tray's check meanwhile) opens no second dialog,
// whose loop would hold back the answer to the first: answering the open one ends the offer, and
// the menu names the newer release.
TEST_F(MainWindowTest, ReleaseFoundWhileAnOfferIsOpenOpensNoSecondDialog) {
    const auto found = [](const char* version) {
        auto* release = new qorva::ReleaseInfo;
        release->versionText = version;
        return reinterpret_cast<LPARAM>(release);
    };
    std::atomic<bool> offersEnded{false};
    std::atomic<bool> driven{false};
    DialogDriver driver([&] {
        if (const HWND first = WaitForWindow(kUpdateAvailableClass)) {
            PostMessageW(g_window, qorva::universal::kUpdateResultMessage,
                         qorva::kCheckNewerRelease, found("1.4.0"));
            Press(first, kRemindLaterId);  // queued behind the second release
            offersEnded =
                WaitUntil([] { return !FindWindowW(kUpdateAvailableClass, nullptr); }, 10000);
            for (HWND left; (left = FindWindowW(kUpdateAvailableClass, nullptr)) != nullptr;) {
                PostMessageW(left, WM_CLOSE, 0, 0);
                if (!WaitUntil([&] { return !IsWindow(left); }, 10000)) break;
            }
        }
        driven = true;
    });
    Post(qorva::universal::kUpdateResultMessage, qorva::kCheckNewerRelease, found("1.3.0"));
    ASSERT_TRUE(PumpUntil([&] { return driven.load(); }));
    EXPECT_TRUE(offersEnded);
    EXPECT_EQ(qorva::universal::g_latest_update_version, L"1.4.0");
    EXPECT_TRUE(IsWindow(g_window));
}

// Other windows of the program hand the main window its commands: Exit ends the loop; the clean
// uninstall asks first, and a No changes nothing.
TEST_F(MainWindowTest, PostedCommandsRunAsTheProgramsOwn) {
    {
        BoxAnswer no(L"Qorva Clean Uninstall (ক্লিন আনইনস্টল)", IDNO);
        Post(WM_COMMAND, qorva::universal::kCleanUninstallCommand, 0);
        ASSERT_TRUE(PumpUntil([&] { return no.Answered(); }));
        ASSERT_TRUE(PumpUntil(
            [] { return !FindWindowW(L"#32770", L"Qorva Clean Uninstall (ক্লিন আনইনস্টল)"); }));
    }
    EXPECT_TRUE(IsWindow(g_window));
    EXPECT_FALSE(PumpedQuit());

    Post(WM_COMMAND, 105, 0);
    EXPECT_TRUE(PumpUntil([] { return PumpedQuit(); }));
    EXPECT_FALSE(IsWindow(g_window));
}

TEST_F(MainWindowTest, ExitAndRestartEndTheMessageLoopAndOnlyRestartAsksForANewCopy) {
    qorva::universal::RunTrayCommand(105);
    EXPECT_FALSE(IsWindow(g_window));
    EXPECT_TRUE(PumpUntil([] { return PumpedQuit(); }));
    EXPECT_FALSE(qorva::universal::RestartRequested());

    ASSERT_TRUE(qorva::universal::CreateMainWindow());
    ForgetPumpedQuit();
    qorva::universal::RunTrayCommand(116);
    EXPECT_FALSE(IsWindow(g_window));
    EXPECT_TRUE(PumpUntil([] { return PumpedQuit(); }));
    EXPECT_TRUE(qorva::universal::RestartRequested());
}

}  // namespace
}  // namespace qorva_test
