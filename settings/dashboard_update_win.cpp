// Check Updates in the About section: the release check and the installer download run on
// detached threads that touch no window state; each posts one heap record to the window, which
// uses and frees it.
#include <windows.h>

#include <memory>
#include <string>

#include "common/text.h"
#include "common/worker_threads.h"
#include "settings/dashboard_controls.h"
#include "settings/dashboard_state_win.h"
#include "settings/dashboard_texts.h"
#include "settings/dashboard_window.h"
#include "update/installer_addresses.h"
#include "update/update_calls.h"

namespace qorva {
namespace {

constexpr wchar_t kChecking[] = L"🔍 আপডেট পরীক্ষা করা হচ্ছে... (Checking for updates...)";
constexpr wchar_t kUpToDate[] = L"✨ আপনি Qorva-এর সর্বশেষ সংস্করণ ব্যবহার করছেন।";
constexpr wchar_t kReleaseFound[] = L"🚀 Qorva-এর নতুন সংস্করণ পাওয়া গেছে!";
constexpr wchar_t kNoConnection[] =
    L"⚠️ ইন্টারনেট সংযোগ পাওয়া যায়নি। অফলাইনে "
    L"Qorva "
    L"স্বাভাবিক রয়েছে।";
constexpr wchar_t kServerUnreachable[] =
    L"ℹ️ এই মুহূর্তে আপডেট সার্ভারের সাথে সংযোগ করা যায়নি। পরে আবার চেষ্টা করুন।";
constexpr wchar_t kOfferCaption[] = L"UPDATE AVAILABLE — Qorva";
constexpr wchar_t kDownloading[] = L"📥 আপডেট ডাউনলোড হচ্ছে... অনুগ্রহ করে অপেক্ষা করুন...";
constexpr wchar_t kDeclined[] = L"আপডেটটি পরবর্তীতে অনুস্মারক রাখা হবে।";
constexpr wchar_t kInstalling[] = L"✅ আপডেট প্রস্তুত। Qorva ইনস্টল করা হচ্ছে...";
constexpr wchar_t kInstallingCaption[] = L"Qorva Auto-Update";
constexpr wchar_t kInstallingMessage[] = L"আপডেট প্রস্তুত। Qorva বন্ধ করে নতুন সংস্করণ ইনস্টল করা হচ্ছে...";
constexpr wchar_t kInstallerNotStarted[] =
    L"⚠️ ইনস্টলার চালু করা যায়নি। আপনার বর্তমান সংস্করণটি অক্ষত রয়েছে।";
constexpr wchar_t kVerificationFailed[] = L"❌ আপডেট ফাইল যাচাইকরণ ব্যর্থ হয়েছে।";
constexpr wchar_t kDownloadFailedStatus[] =
    L"⚠️ আপডেট ডাউনলোড ব্যর্থ হয়েছে। পরে চেষ্টা করুন।";
constexpr wchar_t kUpdateErrorCaption[] = L"আপডেট ত্রুটি";
constexpr wchar_t kVerificationFailedMessage[] =
    L"আপডেট ফাইলটি যাচাই করা যায়নি (Checksum Mismatch)। আপনার বর্তমান সংস্করণটি অক্ষত রাখা হয়েছে।";
constexpr wchar_t kDownloadFailedMessage[] =
    L"আপডেট ফাইল ডাউনলোড করা যায়নি। আপনার ইন্টারনেট সংযোগ পরীক্ষা করে পুনরায় চেষ্টা করুন।";

void EnableUpdateButton(HWND window, bool enabled) {
    if (HWND button = GetDlgItem(window, kIdCheckUpdates)) EnableWindow(button, enabled);
}

void CheckThread(HWND window, UpdateCalls calls) {
    auto release = std::make_unique<ReleaseInfo>();
    const int result = calls.checkForUpdate(*release, true);
    PostRecord(window, WM_APP_UPDATE_CHECKED, static_cast<WPARAM>(result), std::move(release));
}

void DownloadThread(HWND window, UpdateCalls calls, std::unique_ptr<ReleaseInfo> release) {
    const std::wstring destination = calls.defaultInstallerDownloadPath();
    const InstallerAddresses addresses = InstallerDownloadAddresses(*release);
    const DownloadProgress progress = [window](uint64_t bytes, uint64_t total) {
        PostMessageW(window, WM_APP_DOWNLOAD_PROGRESS, static_cast<uint32_t>(bytes / 1024),
                     static_cast<uint32_t>(total / 1024));
    };
    const int result =
        calls.downloadInstaller(addresses.primary, addresses.fallback, destination,
                                release->sha256Hex, release->fileSize, progress, nullptr);
    release.reset();
    PostRecord(window, WM_APP_DOWNLOAD_DONE, static_cast<WPARAM>(result),
               std::make_unique<std::wstring>(destination));
}

void OfferRelease(HWND window, std::unique_ptr<ReleaseInfo> release) {
    SetStatus(window, kReleaseFound);
    const std::wstring offer =
        UpdateOfferText(Utf8ToUtf16(UpdateService::GetCurrentVersion()),
                        Utf8ToUtf16(release->versionText), Utf8ToUtf16(release->notes));
    if (MessageBoxW(window, offer.c_str(), kOfferCaption, MB_YESNO | MB_ICONINFORMATION) != IDYES) {
        UpdateCallsInUse().dismissVersion(release->versionText);
        SetStatus(window, kDeclined);
        return;
    }
    EnableUpdateButton(window, false);
    SetStatus(window, kDownloading);
    ReleaseInfo* record = release.release();
    const UpdateCalls calls = UpdateCallsInUse();
    if (!StartDetached([window, calls, record] {
            DownloadThread(window, calls, std::unique_ptr<ReleaseInfo>(record));
        })) {
        delete record;
        EnableUpdateButton(window, true);
        SetStatus(window, kDownloadFailedStatus);
    }
}

void ReportDownloadFailure(HWND window, int result) {
    const bool verification = result == kDownloadVerificationFailed;
    SetStatus(window, verification ? kVerificationFailed : kDownloadFailedStatus);
    MessageBoxW(window, verification ? kVerificationFailedMessage : kDownloadFailedMessage,
                kUpdateErrorCaption, MB_OK | (verification ? MB_ICONERROR : MB_ICONWARNING));
}

}  // namespace

void StartUpdateCheck(HWND window) {
    EnableUpdateButton(window, false);
    SetStatus(window, kChecking);
    const UpdateCalls calls = UpdateCallsInUse();
    if (!StartDetached([window, calls] { CheckThread(window, calls); })) {
        EnableUpdateButton(window, true);
        SetStatus(window, kServerUnreachable);
    }
}

void OnUpdateChecked(HWND window, WPARAM result, LPARAM record) {
    std::unique_ptr<ReleaseInfo> release(reinterpret_cast<ReleaseInfo*>(record));
    EnableUpdateButton(window, true);
    if (result == kCheckUpToDate) {
        SetStatus(window, kUpToDate);
    } else if (result == kCheckNewerRelease && release) {
        OfferRelease(window, std::move(release));
    } else if (result == kCheckNoConnection) {
        SetStatus(window, kNoConnection);
    } else {
        SetStatus(window, kServerUnreachable);
    }
}

void OnDownloadProgress(HWND window, WPARAM downloadedKb, LPARAM totalKb) {
    const std::wstring text =
        DownloadProgressText(static_cast<uint32_t>(downloadedKb), static_cast<uint32_t>(totalKb));
    if (!text.empty()) SetStatus(window, text);
}

void OnDownloadDone(HWND window, WPARAM result, LPARAM record) {
    const std::unique_ptr<std::wstring> installer(reinterpret_cast<std::wstring*>(record));
    EnableUpdateButton(window, true);
    if (result != kDownloadOk || !installer || installer->empty()) {
        ReportDownloadFailure(window, static_cast<int>(result));
        return;
    }
    SetStatus(window, kInstalling);
    MessageBoxW(window, kInstallingMessage, kInstallingCaption, MB_OK | MB_ICONINFORMATION);
    // The dashboard ends only for an installer that started: a refused elevation keeps it open.
    if (!UpdateCallsInUse().launchInstaller(*installer, false)) {
        SetStatus(window, kInstallerNotStarted);
        return;
    }
    PostQuitMessage(0);
}

}  // namespace qorva
