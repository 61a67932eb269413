#include <windows.h>
#include <shlobj.h>

#include "common/platform.h"

namespace qorva::platform {

unsigned long ProcessId() { return GetCurrentProcessId(); }

std::wstring RoamingAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return {};
    return folder;
}

void CreateFolder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }

std::wstring ModulePath(const void* module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length =
        GetModuleFileNameW(static_cast<HMODULE>(const_cast<void*>(module)), path, MAX_PATH);
    // A path cut at the buffer's end names no file.
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(path, length);
}

}  // namespace qorva::platform
