// Module-wide state of the in-process server.
#pragma once

#include <windows.h>

#include <string>

namespace qorva_tsf {

// The module handle, set when the process attaches; registration and the composition logic use it.
extern HINSTANCE g_hInstance;

// Every COM object the module hands out, every server lock and every worker thread running module
// code counts once, so the host cannot unload the module while any of them is still reachable.
void ModuleAddRef();
void ModuleRelease();
bool IsModuleInUse();

// UTF-16 to UTF-8 and back with the system converter; ill-formed input gets its replacement
// characters, and an empty or unconvertible input gives an empty string.
std::string Utf16ToUtf8(const std::wstring& text);
std::wstring Utf8ToUtf16(const std::string& text);

}  // namespace qorva_tsf
