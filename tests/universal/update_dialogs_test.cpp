// The update dialogs in the test's own thread under Wine: how the update-available dialog ends and
// what it answers, and the updater over a fake update service whose installer is a stub that
// records its command line. No test reaches the network or starts a real installer.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "tests/support/message_pump.h"
#include "tests/support/temp_app_data.h"
#include "tests/universal/dialog_driver.h"
#include "universal/update_dialogs.h"
#include "update/update_calls.h"

namespace qorva_test {
namespace {

using qorva::universal::kActionButtonId;
using qorva::universal::kAutoInstallId;
using qorva::universal::kCleanCheckBoxId;
using qorva::universal::kRemindLaterId;
using qorva::universal::kUpdateAvailableClass;
using qorva::universal::kUpdateNowId;
using qorva::universal::kUpdaterWndClass;

using qorva::ReleaseInfo;
using qorva::UpdateOptions;

ReleaseInfo Release() {
    ReleaseInfo release;
    release.versionText = "1.3.0";
    release.tag = "v1.3.0";
    release.downloadUrl = "https://qorva.example/1.3.0/QorvaSetup.exe";
    release.sha256Hex = std::string(64, 'a');
    release.fileSize = 4000;
    return release;
}

// The WM_QUIT waiting in this thread's queue, taken out; -1 when there is none.
int TakeQuit() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)
               ? static_cast<int>(message.wParam)
               : -1;
}

class UpdateAvailableDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartGdiplusOnce();
        TakeQuit();
    }
};

// Whatever the caller passed, the clean install is offered checked; the answer is what the user
// left it at.
TEST_F(UpdateAvailableDialogTest, OpensCheckedWithUpdateNowFocusedAndAcceptsTheBoxAsLeft) {
    bool checkedAtOpen = false;
    bool updateNowFocused = false;
    UpdateOptions options;
    options.cleanInstall = false;
    bool accepted = false;
    {
        DialogDriver driver([&] {
            const HWND dialog = WaitForWindow(kUpdateAvailableClass);
            if (!dialog) return;
            checkedAtOpen = IsChecked(dialog, kCleanCheckBoxId);
            updateNowFocused = FocusOf(dialog) == GetDlgItem(dialog, kUpdateNowId);
            Press(dialog, kCleanCheckBoxId);
            WaitUntil([&] { return !IsChecked(dialog, kCleanCheckBoxId); });
            Press(dialog, kUpdateNowId);
            EXPECT_TRUE(EndsOrIsClosed(dialog));
        });
        accepted = qorva::universal::ShowUpdateAvailableDialog(nullptr, Release(), options);
    }
    EXPECT_TRUE(checkedAtOpen);
    EXPECT_TRUE(updateNowFocused);
    EXPECT_TRUE(accepted);
    EXPECT_FALSE(options.cleanInstall);
    EXPECT_EQ(FindWindowW(kUpdateAvailableClass, nullptr), nullptr);
}

// Enter and Escape act wherever the focus is in the dialog; every way out but accepting leaves the
// caller's clean-install flag as it came.
TEST_F(UpdateAvailableDialogTest, EveryEndingAnswersAndOnlyAcceptingTakesTheBox) {
    enum class Ending {
        UpdateNow,
        EnterOnFocus,
        RemindLater,
        EscapeOnFocus,
        EscapeOnDialog,
        Close
    };
    const struct {
        const char* name;
        Ending ending;
        bool accepted;
    } cases[] = {
        {"Update Now", Ending::UpdateNow, true},
        {"Enter on the focused button", Ending::EnterOnFocus, true},
        {"Remind Later", Ending::RemindLater, false},
        {"Escape on the focused button", Ending::EscapeOnFocus, false},
        {"Escape on the dialog", Ending::EscapeOnDialog, false},
        {"close box", Ending::Close, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateOptions options;
        options.cleanInstall = false;
        bool accepted = !c.accepted;
        {
            DialogDriver driver([&] {
                const HWND dialog = WaitForWindow(kUpdateAvailableClass);
                if (!dialog) return;
                const auto key = [&](HWND target, WPARAM vk) {
                    PostMessageW(target, WM_KEYDOWN, vk, 1);
                };
                switch (c.ending) {
                    case Ending::UpdateNow: Press(dialog, kUpdateNowId); break;
                    case Ending::EnterOnFocus: key(FocusOf(dialog), VK_RETURN); break;
                    case Ending::RemindLater: Press(dialog, kRemindLaterId); break;
                    case Ending::EscapeOnFocus: key(FocusOf(dialog), VK_ESCAPE); break;
                    case Ending::EscapeOnDialog: key(dialog, VK_ESCAPE); break;
                    case Ending::Close: PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
                }
                EXPECT_TRUE(EndsOrIsClosed(dialog));
            });
            accepted = qorva::universal::ShowUpdateAvailableDialog(nullptr, Release(), options);
        }
        EXPECT_EQ(accepted, c.accepted);
        EXPECT_EQ(options.cleanInstall, c.accepted);  // the box was left checked
        EXPECT_EQ(TakeQuit(), -1);
    }
}

// The program's loop must still see a quit that arrives while the dialog is open.
TEST_F(UpdateAvailableDialogTest, QuitDuringTheDialogEndsItAndReachesTheCallersLoop) {
    const DWORD thread = GetCurrentThreadId();
    HWND shown = nullptr;
    UpdateOptions options;
    options.cleanInstall = false;
    bool accepted = true;
    {
        DialogDriver driver([&] {
            shown = WaitForWindow(kUpdateAvailableClass);
            if (shown) PostThreadMessageW(thread, WM_QUIT, 7, 0);
        });
        accepted = qorva::universal::ShowUpdateAvailableDialog(nullptr, Release(), options);
    }
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(accepted);
    EXPECT_FALSE(options.cleanInstall);
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_EQ(TakeQuit(), 7);
}

// What the fake service saw and did.
struct DownloadLog {
    std::atomic<int> downloads{0};
    std::string primary;
    std::string fallback;
    std::string sha256;
    uint64_t size = 0;
    std::atomic<bool> sawCancel{false};
};

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartGdiplusOnce();
        TakeQuit();
        installerFolder_ = appData_.Folder() + L"\\download";
        CreateDirectoryW(installerFolder_.c_str(), nullptr);
        const std::wstring installer = Installer();
        qorva::UpdateCallsInUse().defaultInstallerDownloadPath = [installer] { return installer; };
    }
    void TearDown() override { qorva::UpdateCallsInUse() = qorva::ServiceUpdateCalls(); }

    std::wstring Installer() const { return installerFolder_ + L"\\QorvaSetup.exe"; }
    // The stub writes the command line it was started with beside itself.
    std::wstring InstallerArguments() const {
        const std::string bytes = ReadFileBytes(installerFolder_ + L"\\handover_args.txt");
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    }
    bool InstallerStarted() const {
        return GetFileAttributesW((installerFolder_ + L"\\handover_args.txt").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    }

    // A download that runs `during` on the download thread, then leaves `installer` (a copy of
    // the stub, some bytes that start nothing, or nothing) and answers `result`.
    enum class Leaves { Stub, Garbage, Nothing };
    void UseDownload(int result, Leaves leaves,
                     std::function<void(std::atomic<bool>*)> during = {}) {
        auto log = log_;
        qorva::UpdateCallsInUse().downloadInstaller =
            [log, result, leaves, during](const std::string& primary, const std::string& fallback,
                                          const std::wstring& destination, const std::string& sha,
                                          uint64_t size, qorva::DownloadProgress progress,
                                          std::atomic<bool>* cancel) {
                log->primary = primary;
                log->fallback = fallback;
                log->sha256 = sha;
                log->size = size;
                progress(size / 2, size);
                if (during) during(cancel);
                if (leaves == Leaves::Stub)
                    CopyFileW(QORVA_HANDOVER_STUB, destination.c_str(), FALSE);
                if (leaves == Leaves::Garbage) WriteFileBytes(destination, "not a program");
                progress(size, size);
                ++log->downloads;
                return result;
            };
    }

    void Run(const UpdateOptions& options) {
        qorva::universal::ShowUpdaterProgressDialog(nullptr, Release(), options);
    }

    // Runs the updater and, once the download has ended, presses the button as it then reads;
    // returns that text.
    std::wstring RunPressingTheActionOnceDone(const UpdateOptions& options) {
        std::wstring offered;
        {
            DialogDriver driver([&] {
                const HWND updater = WaitForWindow(kUpdaterWndClass);
                if (!updater) return;
                WaitUntil([&] { return ControlText(updater, kActionButtonId) != L"Cancel"; });
                offered = ControlText(updater, kActionButtonId);
                Press(updater, kActionButtonId);
                EXPECT_TRUE(EndsOrIsClosed(updater));
            });
            Run(options);
        }
        return offered;
    }

    TempAppData appData_;
    std::wstring installerFolder_;
    std::shared_ptr<DownloadLog> log_ = std::make_shared<DownloadLog>();
};

TEST_F(UpdaterTest, VerifiedDownloadPurgesLeftoversAndStartsTheInstallerWithCleanThenQuits) {
    const std::wstring data = appData_.DataFolder();
    for (const wchar_t* name : {L"user_dict.txt.pre-lexicon-fix.bak", L"learned_repaired_v2.flag",
                                L"user_dict.txt", L"Notes.OLD"}) {
        WriteFileBytes(data + L"\\" + name, "x");
    }
    ASSERT_TRUE(CreateDirectoryW((data + L"\\x.old").c_str(), nullptr));
    UseDownload(qorva::kDownloadOk, Leaves::Stub);
    UpdateOptions options;
    options.cleanInstall = true;
    Run(options);
    EXPECT_EQ(TakeQuit(), 0);  // before anything pumps this thread's queue

    EXPECT_EQ(log_->primary, "https://qorva.example/1.3.0/QorvaSetup.exe");
    EXPECT_EQ(log_->fallback,
              "https://github.com/Velkor/qorva/releases/download/v1.3.0/QorvaSetup.exe");
    EXPECT_EQ(log_->sha256, std::string(64, 'a'));
    EXPECT_EQ(log_->size, 4000u);
    ASSERT_TRUE(PumpUntil([&] { return InstallerStarted(); }));
    EXPECT_EQ(InstallerArguments(), L"/clean");
    EXPECT_EQ(FindWindowW(kUpdaterWndClass, nullptr), nullptr);
    const auto exists = [&](const wchar_t* name) {
        return GetFileAttributesW((data + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    EXPECT_FALSE(exists(L"user_dict.txt.pre-lexicon-fix.bak"));
    EXPECT_FALSE(exists(L"learned_repaired_v2.flag"));
    EXPECT_TRUE(exists(L"user_dict.txt"));
    EXPECT_TRUE(exists(L"Notes.OLD"));
    EXPECT_TRUE(exists(L"x.old"));
}

// Unchecking "Start install on completion" during the download leaves the choice to the user.
TEST_F(UpdaterTest, UncheckedAutoInstallWaitsForInstallNowAndStartsWithoutClean) {
    const std::wstring backup = appData_.DataFile(L"user_dict.txt.pre-lexicon-fix.bak");
    WriteFileBytes(backup, "x");
    UseDownload(qorva::kDownloadOk, Leaves::Stub, [](std::atomic<bool>*) {
        const HWND updater = WaitForWindow(kUpdaterWndClass);
        SendMessageW(GetDlgItem(updater, kAutoInstallId), BM_CLICK, 0, 0);
    });
    UpdateOptions options;
    options.cleanInstall = false;
    EXPECT_EQ(RunPressingTheActionOnceDone(options), L"Install Now");
    EXPECT_EQ(TakeQuit(), 0);
    ASSERT_TRUE(PumpUntil([&] { return InstallerStarted(); }));
    EXPECT_EQ(InstallerArguments(), L"");
    EXPECT_NE(GetFileAttributesW(backup.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A failed, unverified or destination-less download only offers to close; nothing starts.
TEST_F(UpdaterTest, FailedDownloadOffersOnlyClose) {
    for (int result : {qorva::kDownloadFailed, qorva::kDownloadVerificationFailed,
                       qorva::kDownloadNoDestination}) {
        SCOPED_TRACE(result);
        UseDownload(result, Leaves::Nothing);
        EXPECT_EQ(RunPressingTheActionOnceDone(UpdateOptions{}), L"Close");
        EXPECT_FALSE(InstallerStarted());
        EXPECT_EQ(TakeQuit(), -1);
    }
}

// An installer that does not start (as after a refused elevation) must not end the program with
// nothing installed: the window stays, offering to try again.
TEST_F(UpdaterTest, InstallerThatDoesNotStartKeepsTheWindowAndPostsNoQuit) {
    UseDownload(qorva::kDownloadOk, Leaves::Garbage);
    std::wstring offered;
    bool stillOpen = false;
    {
        DialogDriver driver([&] {
            const HWND updater = WaitForWindow(kUpdaterWndClass);
            if (!updater) return;
            WaitUntil([&] { return ControlText(updater, kActionButtonId) == L"Install Now"; });
            offered = ControlText(updater, kActionButtonId);
            stillOpen = IsWindowVisible(updater) != FALSE;
            PostMessageW(updater, WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_TRUE(EndsOrIsClosed(updater));
        });
        Run(UpdateOptions{});
    }
    EXPECT_EQ(offered, L"Install Now");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(TakeQuit(), -1);
}

// A window of the dialog's thread that counts what it is sent, as the hidden main window and the
// hooks of the program's main thread would be.
class Bystander {
public:
    static constexpr UINT kPoke = WM_APP + 77;
    Bystander() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QorvaTestBystander";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        s_pokes = 0;
    }
    ~Bystander() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }
    static int Pokes() { return s_pokes; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kPoke) ++s_pokes;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static inline std::atomic<int> s_pokes{0};
    HWND window_ = nullptr;
};

// Closed while the download hangs: the thread's other windows are served before the download lets
// go, and the download's late progress and end find no window to harm.
TEST_F(UpdaterTest, ClosingDuringAStalledDownloadCancelsItWhileTheThreadKeepsServingItsWindows) {
    Bystander bystander;
    const HWND other = bystander.Handle();
    std::atomic<bool> servedBeforeRelease{false};
    auto log = log_;
    UseDownload(qorva::kDownloadCancelled, Leaves::Nothing,
                [&, other, log](std::atomic<bool>* cancel) {
                    const HWND updater = WaitForWindow(kUpdaterWndClass);
                    PostMessageW(updater, WM_SYSCOMMAND, SC_CLOSE, 0);
                    log->sawCancel = WaitUntil([&] { return cancel && cancel->load(); });
                    PostMessageW(other, Bystander::kPoke, 0, 0);
                    servedBeforeRelease = WaitUntil([] { return Bystander::Pokes() > 0; }, 20000);
                });
    Run(UpdateOptions{});
    EXPECT_EQ(log_->downloads, 1);  // returned only once the download had ended
    EXPECT_TRUE(log_->sawCancel);
    EXPECT_TRUE(servedBeforeRelease);
    EXPECT_EQ(FindWindowW(kUpdaterWndClass, nullptr), nullptr);
    EXPECT_FALSE(InstallerStarted());
    EXPECT_EQ(TakeQuit(), -1);
}

// A quit during the download closes the window, which cancels it; the caller's loop gets the quit
// once the download has ended.
TEST_F(UpdaterTest, QuitDuringTheDownloadCancelsItAndReachesTheCallersLoop) {
    const DWORD thread = GetCurrentThreadId();
    auto log = log_;
    UseDownload(qorva::kDownloadCancelled, Leaves::Nothing,
                [thread, log](std::atomic<bool>* cancel) {
                    WaitForWindow(kUpdaterWndClass);
                    PostThreadMessageW(thread, WM_QUIT, 9, 0);
                    log->sawCancel = WaitUntil([&] { return cancel && cancel->load(); });
                });
    Run(UpdateOptions{});
    EXPECT_EQ(log_->downloads, 1);
    EXPECT_TRUE(log_->sawCancel);
    EXPECT_EQ(FindWindowW(kUpdaterWndClass, nullptr), nullptr);
    EXPECT_EQ(TakeQuit(), 9);
}

}  // namespace
}  // namespace qorva_test
