// Where the universal program looks for its sounds, the settings program and the installer, and
// which sound a mode switch plays. Paths are built as text only; the host supplies the test for a
// file's existence and the sound player.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qorva::universal {

using FileExistsTest = std::function<bool(const std::wstring& path)>;

// A sound file's places, in the order they are tried: the per-user data folder's "sound" folder
// first, so that a user's own sounds win, then beside the program, then a development tree.
std::vector<std::wstring> SoundFileCandidates(const std::wstring& name,
                                              const std::wstring& dataFolder,
                                              const std::wstring& exeDir);

// The first path for which `exists` holds; empty when none does.
std::wstring FirstExisting(const std::vector<std::wstring>& paths, const FileExistsTest& exists);

// The settings program: beside this one, else in a development tree's package folder, where it is
// started without a further look.
std::wstring SettingsProgramPath(const std::wstring& exeDir, const FileExistsTest& exists);

// The installer that removes the programs, in the order it is looked for: the installed copy under
// Program Files, beside this program, then in the per-user data folder. An empty folder adds no
// place.
std::vector<std::wstring> InstallerCandidates(const std::wstring& programFilesFolder,
                                              const std::wstring& exeDir,
                                              const std::wstring& dataFolder);

// The sound of a mode switch: kind 1 (Bangla or translation on) or any other (English on).
const wchar_t* ModeSwitchSoundName(int kind);

// Windows' own notification sound, played when the program's sound cannot be.
constexpr wchar_t kFallbackSound[] = L"C:\\Windows\\Media\\Windows Notify Messaging.wav";

// Plays the mode-switch sound of `kind` through `play`, which answers whether it played the file;
// falls back to Windows' sound when the file is missing or does not play.
void PlayModeSwitchSound(int kind, const std::function<std::wstring(const std::wstring&)>& find,
                         const std::function<bool(const std::wstring&)>& play);

}  // namespace qorva::universal
