// What the shared helpers ask of the operating system; each platform file answers it. Not for use
// outside this folder: the public helpers build on it.
#pragma once

#include <string>

namespace qorva::platform {

// Separates folders in the paths that the helpers build.
#ifdef _WIN32
constexpr wchar_t kPathSeparator = L'\\';
#else
constexpr wchar_t kPathSeparator = L'/';
#endif

unsigned long ProcessId();

// The roaming application-data folder without a trailing separator; empty when the system cannot
// say. The development build reads the APPDATA environment variable.
std::wstring RoamingAppDataFolder();

// Creates the folder when it is missing; a folder that cannot be made is left to the callers' file
// work to notice.
void CreateFolder(const std::wstring& path);

// The full path of the module's file (of the running program when `module` is null); empty when it
// cannot be read. The development build knows only the running program.
std::wstring ModulePath(const void* module);

}  // namespace qorva::platform
