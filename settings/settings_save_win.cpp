#include <windows.h>

#include "settings/settings_store.h"
#include "settings/startup_run.h"

namespace qorva {
namespace {

constexpr wchar_t kInstalledProgram[] = L"C:\\Program Files\\Qorva\\qorva_universal.exe";

// The copy the updater keeps in the per-user data folder when there is one, else the installed
// program (whether or not it is there).
std::wstring StartupProgramPath(const std::wstring& dataFolder) {
    const std::wstring copy = dataFolder + L"\\qorva_universal.exe";
    return GetFileAttributesW(copy.c_str()) != INVALID_FILE_ATTRIBUTES ? copy : kInstalledProgram;
}

}  // namespace

SettingsWrite SaveSettings(const std::wstring& path, const DashboardSettings& settings,
                           const std::wstring& dataFolder) {
    const SettingsWrite outcome =
        SetSettingsKeys(path, DashboardSettingsValues(settings), FormatSettingsFile(settings));
    if (outcome != SettingsWrite::Written) return outcome;
    // Registry failures do not undo a written file: the next save tries the value again.
    if (settings.launchStartup) {
        SetStartupRunValue(StartupProgramPath(dataFolder));
    } else {
        DeleteStartupRunValue();
    }
    return outcome;
}

}  // namespace qorva
