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

const wchar_t* ModeSwitchSoundName(int kind) {
    return kind == 1 ? L"switch_bn.wav" : L"switch_en.wav";
}

void PlayModeSwitchSound(int kind, const std::function<std::wstring(const std::wstring&)>& find,
                         const std::function<bool(const std::wstring&)>& play) {
    const std::wstring path = find(ModeSwitchSoundName(kind));
    if (!path.empty() && play(path)) return;
    play(kFallbackSound);
}

}  // namespace qorva::universal
