// The program's update checks: one after start, one asked for from the tray and one from the top
// bar. Each runs on a detached thread that touches no program state. The first two hand a found
// release to the main window as a posted record, which the window frees after offering it in the
// update dialogs; the top bar's check offers it in dialogs of its own thread.
#include <memory>

#include "common/call_guarded.h"
#include "common/worker_threads.h"
#include "universal/universal_host.h"
#include "universal/update_dialog_rules.h"
#include "universal/update_dialogs.h"
#include "update/update_calls.h"
#include "update/update_endpoints.h"

namespace qorva::universal {

std::wstring g_latest_update_version;
std::string g_latest_update_url;

namespace {

constexpr wchar_t kUpdateCaption[] = L"Qorva Update";
constexpr wchar_t kUpToDate[] = L"✨ আপনি Qorva-এর সর্বশেষ সংস্করণ ব্যবহার করছেন।";
constexpr wchar_t kServerUnreachable[] =
    L"⚠️ আপডেট সার্ভারের সাথে সংযোগ করা সম্ভব হয়নি। অফলাইনে Qorva স্বাভাবিক "
    L"রয়েছে।";

// The check after start asks the service as an automatic one: at most once a day, and a version
// the user dismissed is not offered again.
void StartupCheck(HWND window, const UpdateCalls& calls) {
    auto release = std::make_unique<ReleaseInfo>();
    const int result = calls.checkForUpdate(*release, false);
    PostRecord(window, kUpdateResultMessage, static_cast<WPARAM>(result), std::move(release));
}

void TrayCheck(HWND window, const UpdateCalls& calls) {
    auto release = std::make_unique<ReleaseInfo>();
    const int result = calls.checkForUpdate(*release, true);
    if (result == kCheckNewerRelease) {
        PostRecord(window, kUpdateResultMessage, static_cast<WPARAM>(result), std::move(release));
        return;
    }
    release.reset();
    if (result == kCheckUpToDate) {
        MessageBoxW(window, kUpToDate, kUpdateCaption, MB_OK | MB_ICONINFORMATION);
    } else {
        MessageBoxW(window, kServerUnreachable, kUpdateCaption, MB_OK | MB_ICONWARNING);
    }
}

constexpr wchar_t kManualUpToDate[] =
    L"আপনার Qorva অ্যাপটি আপ-টু-ডেট রয়েছে (ভার্সন 1.2.0)। কোনো নতুন আপডেট নেই।";
constexpr wchar_t kManualUpToDateCaption[] = L"Qorva Update (কোর্ভা আপডেট)";
constexpr wchar_t kOfferWebsite[] =
    L"সার্ভারের সাথে সংযোগ স্থাপন করা যায়নি বা নেটওয়ার্ক অফলাইন।\n\nআপনি কি অফিসিয়াল "
    L"ওয়েবসাইট থেকে আপডেট চেক করতে চান?";

// Every caller offers the clean install; the dialog's check box has the last word.
void OfferRelease(HWND owner, const ReleaseInfo& release) {
    UpdateOptions options;
    options.cleanInstall = true;
    if (ShowUpdateAvailableDialog(owner, release, options)) {
        ShowUpdaterProgressDialog(owner, release, options);
    }
}

// The updater ends the program with a quit message once the installer has started. The bar's check
// runs on a thread of its own without a message loop, where that quit would be lost and the
// program would go on running beside its installer: it goes to the owner's thread, whose loop ends
// the program in order.
void PassQuitToOwnerThread(HWND owner) {
    MSG quit;
    if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        PostThreadMessageW(GetWindowThreadProcessId(owner, nullptr), WM_QUIT, quit.wParam, 0);
    }
}

void ManualCheck(HWND owner, const UpdateCalls& calls) {
    ReleaseInfo release;
    const int result = calls.checkForUpdate(release, true);
    switch (ManualCheckStepFor(result)) {
        case ManualCheckStep::OfferRelease:
            OfferRelease(owner, release);
            PassQuitToOwnerThread(owner);
            break;
        case ManualCheckStep::ReportUpToDate:
            MessageBoxW(owner, kManualUpToDate, kManualUpToDateCaption,
                        MB_TOPMOST | MB_ICONINFORMATION);
            break;
        case ManualCheckStep::OfferUpdateWebsite:
            if (MessageBoxW(owner, kOfferWebsite, kUpdateCaption,
                            MB_TOPMOST | MB_ICONQUESTION | MB_YESNO) == IDYES) {
                calls.launchOfficialUpdateFlow("");
            }
            break;
    }
}

void StartCheck(HWND window, void (*check)(HWND, const UpdateCalls&)) {
    const UpdateCalls calls = UpdateCallsInUse();
    StartDetached([window, calls, check] { CallGuarded([&] { check(window, calls); }); });
}

}  // namespace

void StartStartupUpdateCheck(HWND window) { StartCheck(window, StartupCheck); }

void StartTrayUpdateCheck(HWND window) { StartCheck(window, TrayCheck); }

void CheckForUpdatesManual(HWND owner) { StartCheck(owner, ManualCheck); }

void RunUpdateDialogTest() {
    ReleaseInfo sample;
    sample.versionText = "1.2.0";
    sample.tag = "v1.2.0";
    sample.notes =
        "\xE2\x80\xA2 TopBar Display Center-Top\n\xE2\x80\xA2 Clean Uninstall mode\n"
        "\xE2\x80\xA2 Curated 86K+ Lexicon";
    sample.downloadUrl = kMakerInstallerUrl;
    sample.pageUrl = std::string("https://") + kMakerHost + "/downloads/";
    // Only shows the dialogs: an installer that does not match it fails its verification.
    sample.sha256Hex = "5d41402abc4b2a76b9719d911017c592aaf4c6e4f3b7c1d2e9f0a1b2c3d4e5f6";
    sample.fileSize = 20504558;
    OfferRelease(nullptr, sample);
}

void OnUpdateResult(WPARAM result, LPARAM record) {
    const std::unique_ptr<ReleaseInfo> release(reinterpret_cast<ReleaseInfo*>(record));
    if (result != kCheckNewerRelease || !release) return;
    // Version texts are ASCII; a stray byte shows as its own code point.
    g_latest_update_version.clear();
    for (const char byte : release->versionText) {
        g_latest_update_version += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    }
    g_latest_update_url = release->pageUrl;
    // A release found while an offer is open (the tray's check meanwhile) is only named in the
    // tray menu: a second dialog's loop nested in the first's would hold back the first's answer
    // until the second closed.
    static bool s_offerOpen = false;
    if (s_offerOpen) return;
    s_offerOpen = true;
    struct OfferClosed {
        ~OfferClosed() { s_offerOpen = false; }
    } closed;
    OfferRelease(g_window, *release);
}

}  // namespace qorva::universal
