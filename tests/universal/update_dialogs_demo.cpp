// Shows both update dialogs side by side for a screenshot to review by eye: the update-available
// dialog, and the updater part-way through a download that never ends (a fake update service; no
// network is used):
//   update_dialogs_demo.exe [milliseconds to stay, 6000 by default]
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <cwchar>
#include <thread>

#include "universal/update_dialogs.h"
#include "update/update_calls.h"

namespace {

HWND WaitForWindow(const wchar_t* className) {
    for (int look = 0; look < 500; ++look) {
        if (HWND window = FindWindowW(className, nullptr)) return window;
        Sleep(20);
    }
    return nullptr;
}

qorva::ReleaseInfo Sample() {
    qorva::ReleaseInfo release;
    release.versionText = "1.3.0";
    release.tag = "v1.3.0";
    release.fileSize = 20504558;
    return release;
}

// Stops at 57 % until the updater is closed.
int StalledDownload(const std::string&, const std::string&, const std::wstring&, const std::string&,
                    uint64_t size, qorva::DownloadProgress progress, std::atomic<bool>* cancel) {
    progress(size * 57 / 100, size);
    while (cancel && !*cancel) Sleep(20);
    return qorva::kDownloadCancelled;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    const DWORD stayMs =
        commandLine && *commandLine ? std::wcstoul(commandLine, nullptr, 10) : 6000;
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
    qorva::UpdateCallsInUse().defaultInstallerDownloadPath = [] { return std::wstring(); };
    qorva::UpdateCallsInUse().downloadInstaller = StalledDownload;

    std::thread offer([] {
        qorva::UpdateOptions options;
        qorva::universal::ShowUpdateAvailableDialog(nullptr, Sample(), options);
    });
    std::thread updater([] {
        qorva::universal::ShowUpdaterProgressDialog(nullptr, Sample(), qorva::UpdateOptions{});
    });
    const HWND offerWindow = WaitForWindow(qorva::universal::kUpdateAvailableClass);
    const HWND updaterWindow = WaitForWindow(qorva::universal::kUpdaterWndClass);
    SetWindowPos(offerWindow, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(updaterWindow, nullptr, 560, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(stayMs);
    PostMessageW(offerWindow, WM_CLOSE, 0, 0);
    PostMessageW(updaterWindow, WM_CLOSE, 0, 0);
    offer.join();
    updater.join();
    Gdiplus::GdiplusShutdown(gdiplus);
    return 0;
}
