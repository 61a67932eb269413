// Module-wide state of the in-process server.
#pragma once

#include <windows.h>

namespace qorva_tsf {

// The module handle, set when the process attaches; registration and the composition logic use it.
extern HINSTANCE g_hInstance;

// Every COM object the module hands out, every server lock and every worker thread running module
// code counts once, so the host cannot unload the module while any of them is still reachable.
void ModuleAddRef();
void ModuleRelease();
bool IsModuleInUse();

}  // namespace qorva_tsf
