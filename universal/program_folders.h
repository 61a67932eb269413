// Where the universal program looks for its sounds, the settings program and the installer, and
// which sound each event plays. Paths are built as text only; the host supplies the test for a
// file's existence and the sound player.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "universal/mode_target.h"

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

// The settings program as the top bar looks for it: beside this one, in a development tree's
// package or build folder, then in the two usual installation folders; the bare file name, for the
// shell's own search, when none exists.
std::wstring TopBarSettingsProgramPath(const std::wstring& exeDir, const FileExistsTest& exists);
inline constexpr wchar_t kSettingsProgramName[] = L"qorva_settings.exe";

// The program's sounds: 1 Bangla (or translation) switched on, 2 English switched on, 3 voice
// typing starts, 0 the mode just stored in the shared block (a menu's mode entries).
inline constexpr int kSoundOfSharedMode = 0;
inline constexpr int kSoundBangla = 1;
inline constexpr int kSoundEnglish = 2;
inline constexpr int kSoundVoiceStart = 3;

// Windows' own sounds, played when the program's sound cannot be: one for mode switches, one for
// voice typing.
constexpr wchar_t kFallbackSound[] = L"C:\\Windows\\Media\\Windows Notify Messaging.wav";
constexpr wchar_t kVoiceFallbackSound[] = L"C:\\Windows\\Media\\Windows Proximity Connection.wav";

// The files a sound is looked for under, in order, and what plays when none is found or plays.
struct SoundChoice {
    std::vector<std::wstring> names;
    const wchar_t* fallback = kFallbackSound;
};

// `sharedMode` is what the shared block holds now; only kind 0 reads it, and then the English
// sound plays for English and the Bangla one for every other value, else the general switch sound.
SoundChoice ChooseSound(int kind, ModeTarget sharedMode);

// Plays the sound of `kind` through `play`, which answers whether it played the file: the first
// file `find` finds, or the fallback when none is found or it does not play.
void PlayChosenSound(int kind, ModeTarget sharedMode,
                     const std::function<std::wstring(const std::wstring&)>& find,
                     const std::function<bool(const std::wstring&)>& play);

}  // namespace qorva::universal
