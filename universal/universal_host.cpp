#include "universal/universal_host.h"

#include <mmsystem.h>

#include "common/file_path.h"
#include "common/folders.h"
#include "common/text.h"
#include "settings/settings_store.h"
#include "universal/mode_ipc.h"
#include "universal/program_folders.h"
#include "universal/universal_log.h"

namespace qorva::universal {

// Built in this order before the entry point runs and destroyed in reverse after it returns; the
// translation client's destructor stops its worker.
TranslationService g_translation_service;
TopBarWindow g_topbar;
VirtualKeyboardWindow g_osk;
CandidatePopup g_candidate_popup;

HINSTANCE g_instance = nullptr;
HWND g_window = nullptr;
EnginePtr g_engine;
UniversalTyping g_typing;
UniversalSettings g_settings;

namespace {

bool s_settingsApplied = false;

}  // namespace

std::wstring ExeDir() { return ProgramFolder(); }

std::wstring AppDataDir() { return DataFolder(DataFolderFallback::None); }

bool IsFileOnDisk(const std::wstring& path) { return FileExists(Utf16ToUtf8(path)); }

std::wstring FindSoundFile(const std::wstring& name) {
    return FirstExisting(SoundFileCandidates(name, AppDataDir(), ExeDir()), IsFileOnDisk);
}

ShellLauncher& ShellLauncherInUse() {
    static ShellLauncher launcher = [](const std::wstring& target, const std::wstring& parameters) {
        const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
            nullptr, L"open", target.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
            nullptr, SW_SHOWNORMAL));
        return result > 32;
    };
    return launcher;
}

bool OpenWithShell(const std::wstring& target, const std::wstring& parameters) {
    const ShellLauncher& launch = ShellLauncherInUse();
    return launch && launch(target, parameters);
}

bool StartElevated(const std::wstring& program, const wchar_t* parameters) {
    const auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"runas", program.c_str(), parameters, nullptr, SW_SHOWNORMAL));
    return started > 32;
}

void PlaySoundEffect(int kind) {
    PlayChosenSound(
        kind, ModeIpc::Instance().GetMode(), FindSoundFile, [](const std::wstring& path) {
            return PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT) !=
                   FALSE;
        });
}

void Log(const std::string& message) {
    const std::wstring folder = AppDataDir();
    if (folder.empty()) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    AppendLogLine(Utf16ToUtf8(folder + L"\\" + Utf8ToUtf16(kLogFileName)),
                  {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}, message);
}

void LoadSettings() {
    const std::optional<std::string> text = ReadSettingsFile(SettingsFilePath(AppDataDir()));
    // The top bar keeps its own auto-hide flag: only what this file says is handed to it.
    UniversalSettings current = g_settings;
    current.topbarAutohide.reset();
    const std::optional<UniversalSettings> next =
        SettingsToApply(text, current, !s_settingsApplied);
    if (!next) return;
    s_settingsApplied = true;
    g_settings = *next;
    g_translation_service.consent.exchange(g_settings.englishTranslation);
    if (g_engine) BanglaEngine_SetLearningEnabled(g_engine.get(), g_settings.personalLearning);
    g_typing.SetEnabled(TypingEnabled(g_settings));
    if (next->topbarAutohide) g_topbar.SetAutoHide(*next->topbarAutohide);
}

}  // namespace qorva::universal
