// The update checks' threads under Wine with a fake update service: what they ask, what they post
// to the window and what they tell in a message box.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/box_answer.h"
#include "tests/support/message_pump.h"
#include "tests/support/temp_app_data.h"
#include "tests/universal/dialog_driver.h"
#include "universal/universal_host.h"
#include "universal/update_dialogs.h"
#include "update/update_calls.h"

namespace qorva_test {
namespace {

constexpr wchar_t kCaption[] = L"Qorva Update";
constexpr wchar_t kUpToDate[] = L"✨ আপনি Qorva-এর সর্বশেষ সংস্করণ ব্যবহার করছেন।";
constexpr wchar_t kUnreachable[] =
    L"⚠️ আপডেট সার্ভারের সাথে সংযোগ করা সম্ভব হয়নি। অফলাইনে Qorva স্বাভাবিক "
    L"রয়েছে।";

struct Posted {
    WPARAM result;
    std::string version;  // of the posted record; "(none)" without one
};

// A window of the test's thread that takes the checks' results and frees their records.
class ResultWindow {
public:
    ResultWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QorvaTestUpdateResults";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&posted_));
    }
    ~ResultWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }
    const std::vector<Posted>& Results() const { return posted_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != qorva::universal::kUpdateResultMessage) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        std::unique_ptr<qorva::ReleaseInfo> release(reinterpret_cast<qorva::ReleaseInfo*>(lParam));
        auto* posted =
            reinterpret_cast<std::vector<Posted>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        posted->push_back({wParam, release ? release->versionText : "(none)"});
        return 0;
    }

    HWND window_ = nullptr;
    std::vector<Posted> posted_;
};

class UpdateChecksTest : public ::testing::Test {
protected:
    ~UpdateChecksTest() override { qorva::UpdateCallsInUse() = qorva::ServiceUpdateCalls(); }

    // Every check finds 1.3.0 and answers `result`.
    void UseService(int result) {
        auto manual = manual_;
        qorva::UpdateCallsInUse().checkForUpdate = [manual, result](qorva::ReleaseInfo& release,
                                                                    bool isManual) {
            release.versionText = "1.3.0";
            manual->push_back(isManual);  // one check at a time: the test waits for each
            return result;
        };
    }

    ResultWindow window_;
    std::shared_ptr<std::vector<bool>> manual_ = std::make_shared<std::vector<bool>>();
};

TEST_F(UpdateChecksTest, CheckAfterStartAsksAsAutomaticAndPostsEveryResult) {
    for (int result : {qorva::kCheckUpToDate, qorva::kCheckNewerRelease, qorva::kCheckNoConnection,
                       qorva::kCheckFailed}) {
        SCOPED_TRACE(result);
        UseService(result);
        const size_t before = window_.Results().size();
        qorva::universal::StartStartupUpdateCheck(window_.Handle());
        ASSERT_TRUE(PumpUntil([&] { return window_.Results().size() == before + 1; }));
        EXPECT_EQ(window_.Results().back().result, static_cast<WPARAM>(result));
        EXPECT_EQ(window_.Results().back().version, "1.3.0");
        EXPECT_FALSE(manual_->back());
    }
}

// The user asked: a found release goes to the window, anything else is answered at once.
TEST_F(UpdateChecksTest, TrayCheckPostsOnlyAFoundReleaseAndAnswersTheRestInABox) {
    const struct {
        int result;
        const wchar_t* box;  // null: posted instead
    } cases[] = {
        {qorva::kCheckNewerRelease, nullptr},
        {qorva::kCheckUpToDate, kUpToDate},
        {qorva::kCheckNoConnection, kUnreachable},
        {qorva::kCheckFailed, kUnreachable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        UseService(c.result);
        const size_t before = window_.Results().size();
        if (!c.box) {
            qorva::universal::StartTrayUpdateCheck(window_.Handle());
            ASSERT_TRUE(PumpUntil([&] { return window_.Results().size() == before + 1; }));
            EXPECT_EQ(window_.Results().back().result, WPARAM{qorva::kCheckNewerRelease});
            EXPECT_EQ(window_.Results().back().version, "1.3.0");
        } else {
            BoxAnswer answer(kCaption, IDOK);
            qorva::universal::StartTrayUpdateCheck(window_.Handle());
            ASSERT_TRUE(PumpUntil([&] { return answer.Answered(); }));
            EXPECT_EQ(answer.Text(), c.box);
            // The box goes with the thread that showed it; nothing was posted before it.
            ASSERT_TRUE(PumpUntil([] { return !FindWindowW(L"#32770", kCaption); }));
            EXPECT_EQ(window_.Results().size(), before);
        }
        EXPECT_TRUE(manual_->back());
    }
}

constexpr wchar_t kManualUpToDateCaption[] = L"Qorva Update (কোর্ভা আপডেট)";
constexpr wchar_t kManualUpToDate[] =
    L"আপনার Qorva অ্যাপটি আপ-টু-ডেট রয়েছে (ভার্সন 1.2.0)। কোনো নতুন আপডেট নেই।";
constexpr wchar_t kOfferWebsite[] =
    L"সার্ভারের সাথে সংযোগ স্থাপন করা যায়নি বা নেটওয়ার্ক অফলাইন।\n\nআপনি কি অফিসিয়াল "
    L"ওয়েবসাইট থেকে আপডেট চেক করতে চান?";

// The top bar's check: every result is answered on the check's own thread, in boxes and dialogs
// owned by the bar; the website opens only when the user says yes.
class ManualCheckTest : public UpdateChecksTest {
protected:
    void SetUp() override {
        StartGdiplusOnce();
        auto pages = pages_;
        qorva::UpdateCallsInUse().launchOfficialUpdateFlow = [pages](const std::string& page) {
            pages->push_back(page);
            return true;
        };
        auto downloads = downloads_;
        qorva::UpdateCallsInUse().downloadInstaller =
            [downloads](const std::string&, const std::string&, const std::wstring&,
                        const std::string&, uint64_t, qorva::DownloadProgress, std::atomic<bool>*) {
                ++*downloads;
                return qorva::kDownloadFailed;
            };
    }

    std::shared_ptr<std::vector<std::string>> pages_ = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<std::atomic<int>> downloads_ = std::make_shared<std::atomic<int>>(0);
};

TEST_F(ManualCheckTest, UpToDateAndUnreachableAreToldAndOnlyYesOpensTheWebsite) {
    const struct {
        int result;
        const wchar_t* caption;
        const wchar_t* text;
        int answer;
        size_t pagesOpened;
    } cases[] = {
        {qorva::kCheckUpToDate, kManualUpToDateCaption, kManualUpToDate, IDOK, 0},
        {qorva::kCheckNoConnection, kCaption, kOfferWebsite, IDYES, 1},
        {qorva::kCheckFailed, kCaption, kOfferWebsite, IDYES, 2},
        {qorva::kCheckFailed, kCaption, kOfferWebsite, IDNO, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        UseService(c.result);
        BoxAnswer answer(c.caption, c.answer);
        qorva::universal::CheckForUpdatesManual(window_.Handle());
        ASSERT_TRUE(PumpUntil([&] { return answer.Answered(); }));
        EXPECT_EQ(answer.Text(), c.text);
        EXPECT_EQ(answer.Owner(), window_.Handle());
        ASSERT_TRUE(PumpUntil([&] { return !FindWindowW(L"#32770", c.caption); }));
        ASSERT_TRUE(PumpUntil([&] { return pages_->size() == c.pagesOpened; }));
        EXPECT_TRUE(manual_->back());
    }
    EXPECT_EQ(*pages_, (std::vector<std::string>{"", ""}));  // the maker's page
    EXPECT_TRUE(window_.Results().empty());                  // nothing goes to the main window
}

TEST_F(ManualCheckTest, FoundReleaseIsOfferedOnTheChecksThreadAndRemindLaterDownloadsNothing) {
    UseService(qorva::kCheckNewerRelease);
    std::atomic<HWND> offer{nullptr};
    DWORD offerThread = 0;
    HWND offerOwner = nullptr;
    {
        // The dialog is read before it is answered: the answer may close it at once.
        DialogDriver remindLater([&] {
            offer = WaitForWindow(qorva::universal::kUpdateAvailableClass);
            if (!offer) return;
            offerThread = GetWindowThreadProcessId(offer, nullptr);
            offerOwner = GetWindow(offer, GW_OWNER);
            Press(offer, qorva::universal::kRemindLaterId);
            EXPECT_TRUE(EndsOrIsClosed(offer));
        });
        qorva::universal::CheckForUpdatesManual(window_.Handle());
        ASSERT_TRUE(PumpUntil([&] { return offer && !IsWindow(offer); }));
    }
    ASSERT_NE(offer.load(), nullptr);
    EXPECT_NE(offerThread, GetCurrentThreadId());
    EXPECT_EQ(offerOwner, window_.Handle());
    EXPECT_EQ(FindWindowW(qorva::universal::kUpdaterWndClass, nullptr), nullptr);
    EXPECT_EQ(*downloads_, 0);
    EXPECT_TRUE(window_.Results().empty());
}

// An installer started from the bar's check ends the program: the updater's quit, posted on the
// check's thread, reaches the thread of the bar, whose loop ends the program.
TEST_F(ManualCheckTest, AStartedInstallerEndsTheProgramThroughTheBarsThread) {
    UseService(qorva::kCheckNewerRelease);
    TempAppData appData;
    const std::wstring installer = appData.Folder() + L"\\QorvaSetup.exe";
    qorva::UpdateCallsInUse().defaultInstallerDownloadPath = [installer] { return installer; };
    qorva::UpdateCallsInUse().downloadInstaller = [](const std::string&, const std::string&,
                                                     const std::wstring& destination,
                                                     const std::string&, uint64_t,
                                                     qorva::DownloadProgress, std::atomic<bool>*) {
        return CopyFileW(QORVA_HANDOVER_STUB, destination.c_str(), FALSE) ? qorva::kDownloadOk
                                                                          : qorva::kDownloadFailed;
    };
    ForgetPumpedQuit();
    {
        DialogDriver updateNow([] {
            const HWND offer = WaitForWindow(qorva::universal::kUpdateAvailableClass);
            if (offer) Press(offer, qorva::universal::kUpdateNowId);
        });
        qorva::universal::CheckForUpdatesManual(window_.Handle());
        EXPECT_TRUE(PumpUntil([] { return PumpedQuit(); }));
    }
    EXPECT_TRUE(PumpUntil([&] {
        return GetFileAttributesW((appData.Folder() + L"\\handover_args.txt").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    }));
    ForgetPumpedQuit();
}

// The message boxes with this caption that are open now.
std::vector<HWND> OpenBoxes(const wchar_t* caption) {
    std::vector<HWND> boxes;
    for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", caption); box;
         box = FindWindowExW(nullptr, box, L"#32770", caption)) {
        if (IsWindowVisible(box)) boxes.push_back(box);
    }
    return boxes;
}

// Each menu command starts its own check; neither waits for the other's box.
TEST_F(ManualCheckTest, TwoChecksRunAtOnce) {
    qorva::UpdateCallsInUse().checkForUpdate = [](qorva::ReleaseInfo&, bool) {
        return qorva::kCheckUpToDate;
    };
    qorva::universal::CheckForUpdatesManual(window_.Handle());
    qorva::universal::CheckForUpdatesManual(window_.Handle());
    ASSERT_TRUE(PumpUntil([] { return OpenBoxes(kManualUpToDateCaption).size() == 2; }));
    for (HWND box : OpenBoxes(kManualUpToDateCaption)) {
        PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(PumpUntil([] { return OpenBoxes(kManualUpToDateCaption).empty(); }));
}

}  // namespace
}  // namespace qorva_test
