// The settings program's one window: the dashboard with its nine sections, footer and commands.
// Windows only.
#pragma once

#include <windows.h>

#include "settings/dashboard_sections.h"

namespace qorva {

constexpr wchar_t kDashboardClassName[] = L"QorvaFluentSettingsClass";

// What the update threads post to the window; each record changes owner at the post.
constexpr UINT WM_APP_UPDATE_CHECKED = WM_APP + 20;     // check result, heap ReleaseInfo
constexpr UINT WM_APP_DOWNLOAD_PROGRESS = WM_APP + 21;  // kilobytes so far, kilobytes expected
constexpr UINT WM_APP_DOWNLOAD_DONE = WM_APP + 22;      // download result, heap installer path

// Registers the window class (once per process) and creates the dashboard, hidden, showing
// `section` once shown. It loads settings.json while it is created. Null when it cannot be made.
HWND CreateDashboardWindow(HINSTANCE instance, SectionID section);

}  // namespace qorva
