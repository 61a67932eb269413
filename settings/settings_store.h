// settings.json on disk: read as LF text, written whole through a temporary file so that a crash
// or a full disk never leaves a half-written file.
#pragma once

#include <optional>
#include <string>

#include "settings/settings_file.h"

namespace qorva {

// settings.json's path in the per-user data folder; empty when the folder is unknown (empty).
std::wstring SettingsFilePath(const std::wstring& dataFolder);

// The file's text with CR LF turned into LF; none when it cannot be opened or read (an empty path
// included). Only the first
// megabyte counts: no file of ours is near that size.
std::optional<std::string> ReadSettingsFile(const std::wstring& path);

// Replaces the file with `text`, its LF line ends written as CR LF; false when the new text could
// not be put in place (the old file is then as it was).
bool WriteSettingsFile(const std::wstring& path, const std::string& text);

// The dashboard's save: the whole file from `settings`, then the start-up Run value set (to the
// copy in `dataFolder`, else the installed program) or deleted as launchStartup says. When the file
// cannot be written, neither it nor the Run value changes and the result is false. Windows only.
bool SaveSettings(const std::wstring& path, const DashboardSettings& settings,
                  const std::wstring& dataFolder);

}  // namespace qorva
