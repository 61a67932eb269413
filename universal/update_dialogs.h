// The universal program's two update dialogs: the update-available dialog that offers a found
// release, and the updater that downloads, verifies and starts its installer. Both are modal
// windows created, run and destroyed by one call on the calling thread, which must pump messages:
// the main thread for the start-up and tray checks' results, the top bar's check thread for its
// manual check.
#pragma once

#include <windows.h>

#include "update/update_service.h"

namespace qorva {

// What the caller hands to both update dialogs.
struct UpdateOptions {
    // Purge leftover files of the per-user data folder before the installer starts, and start it
    // with "/clean".
    bool cleanInstall = true;
};

}  // namespace qorva

namespace qorva::universal {

// The dialogs' window classes and the ids of the controls a user presses.
inline constexpr wchar_t kUpdateAvailableClass[] = L"QorvaUpdateAvailableWndClass";
inline constexpr int kCleanCheckBoxId = 1003;
inline constexpr int kUpdateNowId = 6;
inline constexpr int kRemindLaterId = 2;
inline constexpr wchar_t kUpdaterWndClass[] = L"QorvaUpdaterWndClass";
inline constexpr int kAutoInstallId = 2001;
inline constexpr int kActionButtonId = 2;

// Offers the release. True when the user chose "Update Now" (or pressed Enter); `options` then
// holds the clean-install check box's state, which starts checked whatever came in. Every other
// ending returns false and leaves `options` as it was. A quit message taken meanwhile is posted
// again.
bool ShowUpdateAvailableDialog(HWND owner, const ReleaseInfo& release, UpdateOptions& options);

// Downloads and verifies the release's installer through the update service and starts it
// elevated, at once when "Start install on completion" stays checked, else from "Install Now".
// Returns once the window is gone and the download has ended. After the installer started, a quit
// message is posted to this thread: on the main thread it ends the program.
void ShowUpdaterProgressDialog(HWND owner, const ReleaseInfo& release,
                               const UpdateOptions& options);

}  // namespace qorva::universal
