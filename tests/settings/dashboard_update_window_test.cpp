// Check Updates in the dashboard under Wine, with a fake update service in the record of update
// calls: the button while a check runs, the offer, a failed verification and a started installer.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "settings/dashboard_sections.h"
#include "tests/settings/dashboard_fixture.h"
#include "update/update_calls.h"

namespace qorva_test {
namespace {

using qorva::kSectionAbout;

constexpr int kCheckUpdates = 2025;
constexpr wchar_t kOfferCaption[] = L"UPDATE AVAILABLE — Qorva";
constexpr wchar_t kErrorCaption[] = L"আপডেট ত্রুটি";

// What the fake service was asked, shared with its calls (which may run on worker threads).
struct ServiceLog {
    std::mutex lock;
    std::vector<std::string> dismissed;
    std::vector<std::string> addresses;  // primary, then fallback
    std::vector<std::wstring> launched;
};

// A manual event for a worker to wait on while the test looks at the window.
class Gate {
public:
    Gate() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() {
        Open();
        CloseHandle(event_);
    }
    void Open() { SetEvent(event_); }
    void Wait() { WaitForSingleObject(event_, 30000); }

private:
    HANDLE event_;
};

class DashboardUpdateTest : public DashboardTest {
protected:
    // A service whose check finds version 1.3.0 with these notes and whose download answers
    // `downloadResult` after reporting 10 MB of 10 MB.
    void UseService(int checkResult, std::string notes, int downloadResult,
                    Gate* downloadGate = nullptr) {
        auto log = log_;
        qorva::UpdateCalls& calls = qorva::UpdateCallsInUse();
        calls.checkForUpdate = [checkResult, notes](qorva::ReleaseInfo& release, bool manual) {
            EXPECT_TRUE(manual);
            release.versionText = "1.3.0";
            release.tag = "v1.3.0";
            release.notes = notes;
            release.sha256Hex = "ab";
            return checkResult;
        };
        const std::wstring destination = appData_.Folder() + L"\\QorvaSetup.exe";
        calls.defaultInstallerDownloadPath = [destination] { return destination; };
        calls.downloadInstaller = [log, downloadResult, downloadGate](
                                      const std::string& primary, const std::string& fallback,
                                      const std::wstring& destination, const std::string& sha256,
                                      uint64_t size, qorva::DownloadProgress progress,
                                      std::atomic<bool>* cancel) {
            EXPECT_EQ(sha256, "ab");
            EXPECT_EQ(size, 0u);
            EXPECT_EQ(cancel, nullptr);
            {
                std::lock_guard<std::mutex> hold(log->lock);
                log->addresses = {primary, fallback};
            }
            progress(10u << 20, 10u << 20);
            if (downloadGate) downloadGate->Wait();
            if (downloadResult == qorva::kDownloadOk) {
                CopyFileW(InstallerStubPath().c_str(), destination.c_str(), FALSE);
            }
            return downloadResult;
        };
        calls.dismissVersion = [log](const std::string& version) {
            std::lock_guard<std::mutex> hold(log->lock);
            log->dismissed.push_back(version);
        };
        calls.launchInstaller = [log](const std::wstring& path, bool silent) {
            EXPECT_FALSE(silent);
            std::lock_guard<std::mutex> hold(log->lock);
            log->launched.push_back(path);
            return qorva::UpdateService::LaunchInstaller(path, silent);
        };
    }

    bool ButtonEnabled() const { return IsWindowEnabled(Item(kCheckUpdates)) != FALSE; }

    std::shared_ptr<ServiceLog> log_ = std::make_shared<ServiceLog>();
};

TEST_F(DashboardUpdateTest, TheButtonRestsWhileACheckRunsAndEachResultHasItsStatus) {
    const struct {
        int result;
        const wchar_t* status;
    } cases[] = {
        {qorva::kCheckUpToDate, L"✨ আপনি Qorva-এর সর্বশেষ সংস্করণ ব্যবহার করছেন।"},
        {qorva::kCheckNoConnection,
         L"⚠️ ইন্টারনেট সংযোগ পাওয়া যায়নি। অফলাইনে "
         L"Qorva "
         L"স্বাভাবিক রয়েছে।"},
        {qorva::kCheckFailed,
         L"ℹ️ এই মুহূর্তে আপডেট সার্ভারের সাথে সংযোগ করা যায়নি। পরে আবার চেষ্টা করুন।"},
    };
    Open(kSectionAbout);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        auto gate = std::make_shared<Gate>();
        qorva::UpdateCallsInUse().checkForUpdate = [gate, c](qorva::ReleaseInfo&, bool) {
            gate->Wait();
            return c.result;
        };
        Click(kCheckUpdates);
        EXPECT_FALSE(ButtonEnabled());
        EXPECT_EQ(Status(), L"🔍 আপডেট পরীক্ষা করা হচ্ছে... (Checking for updates...)");
        gate->Open();
        EXPECT_TRUE(PumpUntil([this] { return ButtonEnabled(); }));
        EXPECT_EQ(Status(), c.status);
    }
}

TEST_F(DashboardUpdateTest, DecliningTheOfferDismissesTheVersion) {
    std::string notes;
    for (int i = 0; i < 600; ++i) notes += "\xE0\xA6\x95";  // 600 times ক
    UseService(qorva::kCheckNewerRelease, notes, qorva::kDownloadOk);
    Open(kSectionAbout);
    BoxAnswer no(kOfferCaption, IDNO);
    Click(kCheckUpdates);
    ASSERT_TRUE(PumpUntil([&] { return no.Answered() && ButtonEnabled(); }));
    EXPECT_NE(no.Text().find(L"নতুন সংস্করণ: 1.3.0"), std::wstring::npos);
    EXPECT_NE(no.Text().find(L"নতুন যা যুক্ত হয়েছে:\n" + std::wstring(500, L'ক') + L"...\n\n"),
              std::wstring::npos);
    EXPECT_TRUE(PumpUntil([this] { return log_->dismissed.size() == 1; }));
    EXPECT_EQ(log_->dismissed, std::vector<std::string>{"1.3.0"});
    EXPECT_EQ(Status(), L"আপডেটটি পরবর্তীতে অনুস্মারক রাখা হবে।");
}

TEST_F(DashboardUpdateTest, AFailedVerificationIsReportedAndTheDashboardStays) {
    UseService(qorva::kCheckNewerRelease, "", qorva::kDownloadVerificationFailed);
    Open(kSectionAbout);
    BoxAnswer yes(kOfferCaption, IDYES);
    BoxAnswer ok(kErrorCaption, IDOK);
    Click(kCheckUpdates);
    ASSERT_TRUE(PumpUntil([&] { return ok.Answered(); }));
    EXPECT_TRUE(PumpUntil([this] { return ButtonEnabled(); }));
    EXPECT_EQ(
        ok.Text(),
        L"আপডেট ফাইলটি যাচাই করা যায়নি (Checksum Mismatch)। আপনার বর্তমান সংস্করণটি অক্ষত রাখা হয়েছে।");
    EXPECT_EQ(Status(), L"❌ আপডেট ফাইল যাচাইকরণ ব্যর্থ হয়েছে।");
    EXPECT_TRUE(log_->launched.empty());
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(IsWindow(window_));
    // No address in the release: the maker's installer, then the release's in the repository.
    EXPECT_EQ(log_->addresses,
              (std::vector<std::string>{
                  "https://qorva.pelorin.com/downloads/QorvaSetup.exe",
                  "https://github.com/Velkor/qorva/releases/download/v1.3.0/QorvaSetup.exe"}));
}

TEST_F(DashboardUpdateTest, AVerifiedDownloadStartsTheInstallerOnceAndEndsTheDashboard) {
    StubRecord record;
    Gate downloaded;
    UseService(qorva::kCheckNewerRelease, "", qorva::kDownloadOk, &downloaded);
    Open(kSectionAbout);
    BoxAnswer yes(kOfferCaption, IDYES);
    BoxAnswer ready(L"Qorva Auto-Update", IDOK);
    Click(kCheckUpdates);
    EXPECT_TRUE(PumpUntil(
        [this] { return Status() == L"📥 আপডেট ডাউনলোড হচ্ছে... 100% (10240 KB / 10240 KB)"; }));
    EXPECT_FALSE(ButtonEnabled());
    downloaded.Open();
    EXPECT_TRUE(PumpUntil([this] { return QuitPosted(); }));
    EXPECT_TRUE(ready.Answered());
    EXPECT_EQ(Status(), L"✅ আপডেট প্রস্তুত। Qorva ইনস্টল করা হচ্ছে...");
    EXPECT_EQ(log_->launched, std::vector<std::wstring>{appData_.Folder() + L"\\QorvaSetup.exe"});
    EXPECT_TRUE(record.WaitFor(L"QorvaSetup.exe"));
}

// An installer that does not start (a refused elevation) leaves the dashboard open to try again.
TEST_F(DashboardUpdateTest, AnInstallerThatDoesNotStartKeepsTheDashboard) {
    UseService(qorva::kCheckNewerRelease, "", qorva::kDownloadOk);
    qorva::UpdateCallsInUse().launchInstaller = [](const std::wstring&, bool) { return false; };
    Open(kSectionAbout);
    BoxAnswer yes(kOfferCaption, IDYES);
    BoxAnswer ready(L"Qorva Auto-Update", IDOK);
    Click(kCheckUpdates);
    ASSERT_TRUE(PumpUntil([&] { return ready.Answered() && ButtonEnabled(); }));
    EXPECT_TRUE(PumpUntil([this] {
        return Status() ==
               L"⚠️ ইনস্টলার চালু করা যায়নি। আপনার বর্তমান সংস্করণটি অক্ষত রয়েছে।";
    }));
    EXPECT_FALSE(QuitPosted());
}

}  // namespace
}  // namespace qorva_test
