// settings.json on disk: read as LF text, and written through a temporary file so that a crash or
// a full disk never leaves a half-written file. A writer sets only the keys it owns in a file it
// read whole and understood, keeping every other byte and the file's own line ends; a file it
// could not read whole, does not understand or finds read-only is never written over.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "settings/settings_keys.h"

namespace qorva {

// The largest settings.json a writer reads: no file of ours comes near it, and anything larger
// is not read whole, so never written back.
constexpr size_t kSettingsFileLimit = 1 << 20;

// settings.json's path in the per-user data folder; empty when the folder is unknown (empty).
std::wstring SettingsFilePath(const std::wstring& dataFolder);

// The file's text with CR LF turned into LF; none when it cannot be opened or read (an empty path
// included). Only the first kSettingsFileLimit bytes count.
std::optional<std::string> ReadSettingsFile(const std::wstring& path);

// Replaces the file with `text`, its LF line ends written as CR LF; false when the new text could
// not be put in place (the old file is then as it was).
bool WriteSettingsFile(const std::wstring& path, const std::string& text);

// What became of a write of settings.json. Each outcome but Written leaves the file as it was.
enum class SettingsWrite {
    Written,
    TooLarge,       // larger than kSettingsFileLimit, so never read whole
    Unreadable,     // there, but it could not be opened or read
    NotUnderstood,  // not a settings file's text (IsSettingsText)
    ReadOnly,       // marked read-only
    Failed,         // the new content could not be put in place (no folder, held, disk full)
};

// Why the file was left as it was, in English for a log: "it is read-only"; "written" for Written.
const char* SettingsWriteReason(SettingsWrite outcome);

// Sets the keys to their values in settings.json at `path`, keeping every other byte and the
// file's line ends. A missing or empty file is created as `newFileText` (LF text, written with
// CR LF). An empty path is Failed.
SettingsWrite SetSettingsKeys(const std::wstring& path, const std::vector<SettingsKeyValue>& values,
                              const std::string& newFileText);

// The dashboard's save: its keys set in the file (a missing file written whole from `settings`),
// then the start-up Run value set (to the copy in `dataFolder`, else the installed program) or
// deleted as launchStartup says. When the file is not written, neither it nor the Run value
// changes. Windows only.
SettingsWrite SaveSettings(const std::wstring& path, const DashboardSettings& settings,
                           const std::wstring& dataFolder);

}  // namespace qorva
