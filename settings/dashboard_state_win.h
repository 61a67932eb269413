// What the dashboard's window procedure, commands and update flow share: the file-local state of
// the one dashboard window of the process. Windows only; not for use outside the dashboard.
#pragma once

#include <windows.h>

#include <string>

#include "settings/dashboard_sections.h"
#include "settings/settings_file.h"

namespace qorva {

struct DashboardState {
    DashboardSettings settings;
    std::wstring dataFolder;    // the per-user data folder, or "." without one
    std::wstring settingsPath;  // settings.json in it
    std::wstring wordListPath;  // personal_dict.txt in it
    SectionID activeSection = kSectionDashboard;
};

DashboardState& Dashboard();

void SetStatus(HWND window, const std::wstring& text);

// Commands of the push buttons (a control id that is none does nothing).
void RunCommand(HWND window, int id);
void RefreshDictionaryList(HWND window);

// The manual update flow.
void StartUpdateCheck(HWND window);
void OnUpdateChecked(HWND window, WPARAM result, LPARAM release);
void OnDownloadProgress(HWND window, WPARAM downloadedKb, LPARAM totalKb);
void OnDownloadDone(HWND window, WPARAM result, LPARAM installerPath);

}  // namespace qorva
