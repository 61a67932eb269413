#include "universal/program_folders.h"

namespace qorva::universal {

std::vector<std::wstring> SoundFileCandidates(const std::wstring& name,
                                              const std::wstring& dataFolder,
                                              const std::wstring& exeDir) {
    std::vector<std::wstring> paths;
    if (!dataFolder.empty()) paths.push_back(dataFolder + L"\\sound\\" + name);
    if (!exeDir.empty()) {
        paths.push_back(exeDir + L"\\sound\\" + name);
        paths.push_back(exeDir + L"\\..\\assets\\sound\\" + name);
    }
    return paths;
}

std::wstring FirstExisting(const std::vector<std::wstring>& paths, const FileExistsTest& exists) {
    for (const std::wstring& path : paths) {
        if (exists(path)) return path;
    }
    return {};
}

std::wstring SettingsProgramPath(const std::wstring& exeDir, const FileExistsTest& exists) {
    const std::wstring beside = exeDir + L"\\qorva_settings.exe";
    return exists(beside) ? beside : exeDir + L"\\..\\release_package\\qorva_settings.exe";
}

std::vector<std::wstring> InstallerCandidates(const std::wstring& programFilesFolder,
                                              const std::wstring& exeDir,
                                              const std::wstring& dataFolder) {
    std::vector<std::wstring> paths;
    if (!programFilesFolder.empty())
        paths.push_back(programFilesFolder + L"\\Qorva\\QorvaSetup.exe");
    if (!exeDir.empty()) paths.push_back(exeDir + L"\\QorvaSetup.exe");
    if (!dataFolder.empty()) paths.push_back(dataFolder + L"\\QorvaSetup.exe");
    return paths;
}

std::wstring TopBarSettingsProgramPath(const std::wstring& exeDir, const FileExistsTest& exists) {
    const std::wstring name = kSettingsProgramName;
    const std::wstring found =
        FirstExisting({exeDir + L"\\" + name, exeDir + L"\\..\\release_package\\" + name,
                       exeDir + L"\\..\\build\\" + name, L"C:\\Program Files\\Qorva\\" + name,
                       L"C:\\Program Files (x86)\\Qorva\\" + name},
                      exists);
    return found.empty() ? name : found;
}

SoundChoice ChooseSound(int kind, ModeTarget sharedMode) {
    switch (kind) {
        case kSoundBangla: return {{L"switch_bn.wav"}};
        case kSoundEnglish: return {{L"switch_en.wav"}};
        case kSoundVoiceStart: return {{L"voice_start.wav"}, kVoiceFallbackSound};
    }
    const wchar_t* modeSound =
        sharedMode == ModeTarget::English ? L"switch_en.wav" : L"switch_bn.wav";
    return {{modeSound, L"switch_lang.wav"}};
}

void PlayChosenSound(int kind, ModeTarget sharedMode,
                     const std::function<std::wstring(const std::wstring&)>& find,
                     const std::function<bool(const std::wstring&)>& play) {
    const SoundChoice choice = ChooseSound(kind, sharedMode);
    for (const std::wstring& name : choice.names) {
        const std::wstring path = find(name);
        if (path.empty()) continue;
        if (play(path)) return;
        break;
    }
    play(choice.fallback);
}

}  // namespace qorva::universal
