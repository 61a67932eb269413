// Where the programs keep and find their files: the per-user data folder that all of them share,
// and the folder each program was installed in.
#pragma once

#include <string>

namespace qorva {

// The name of the per-user data folder inside the roaming application-data folder.
inline constexpr wchar_t kDataFolderName[] = L"Pelorin";

// What a program works with when the roaming application-data folder cannot be obtained.
enum class DataFolderFallback {
    RelativeDataFolder,  // the relative folder "Pelorin" (the text input processor)
    None,                // an empty path, whose callers skip their file work (the update service,
                         // the universal program)
    CurrentFolder,       // "." (the settings program)
};

// The per-user data folder: the roaming application-data folder followed by "\Pelorin", without a
// trailing separator, created when it is missing. Without a roaming folder, the fallback; the
// relative "Pelorin" is created too.
std::wstring DataFolder(DataFolderFallback fallback);

// The folder holding the module's file (the running program's when `module` is null: pass an
// HMODULE or HINSTANCE); empty when the path cannot be read or has no separator.
std::wstring ModuleFolder(const void* module);
// The running program's folder.
std::wstring ProgramFolder();

// The text before the path's last "\" or "/"; empty when it has neither.
std::wstring FolderOf(const std::wstring& path);

}  // namespace qorva
