// The program's update checks: one after start, one asked for from the tray. Each runs on a
// detached thread that touches no program state; a found release reaches the main window as a
// posted record, which the window frees.
#include <memory>

#include "common/call_guarded.h"
#include "common/worker_threads.h"
#include "universal/universal_host.h"
#include "update/update_calls.h"

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

void StartCheck(HWND window, void (*check)(HWND, const UpdateCalls&)) {
    const UpdateCalls calls = UpdateCallsInUse();
    StartDetached([window, calls, check] { CallGuarded([&] { check(window, calls); }); });
}

}  // namespace

void StartStartupUpdateCheck(HWND window) { StartCheck(window, StartupCheck); }

void StartTrayUpdateCheck(HWND window) { StartCheck(window, TrayCheck); }

void OnUpdateResult(WPARAM result, LPARAM record) {
    const std::unique_ptr<ReleaseInfo> release(reinterpret_cast<ReleaseInfo*>(record));
    if (result != kCheckNewerRelease || !release) return;
    // Version texts are ASCII; a stray byte shows as its own code point.
    g_latest_update_version.clear();
    for (const char byte : release->versionText) {
        g_latest_update_version += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    }
    g_latest_update_url = release->pageUrl;
}

}  // namespace qorva::universal
