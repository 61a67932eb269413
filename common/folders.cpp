#include "common/folders.h"

#include "common/platform.h"

namespace qorva {

std::wstring DataFolder(DataFolderFallback fallback) {
    const std::wstring roaming = platform::RoamingAppDataFolder();
    std::wstring folder;
    if (!roaming.empty()) {
        folder = roaming + platform::kPathSeparator + kDataFolderName;
    } else if (fallback == DataFolderFallback::RelativeDataFolder) {
        folder = kDataFolderName;
    } else {
        return fallback == DataFolderFallback::CurrentFolder ? L"." : L"";
    }
    platform::CreateFolder(folder);
    return folder;
}

std::wstring ModuleFolder(const void* module) { return FolderOf(platform::ModulePath(module)); }

std::wstring ProgramFolder() { return ModuleFolder(nullptr); }

std::wstring FolderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

}  // namespace qorva
