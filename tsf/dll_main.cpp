#include "tsf/dll_main.h"

namespace qorva_tsf {

HINSTANCE g_hInstance = nullptr;

namespace {
LONG g_moduleUsers = 0;
}  // namespace

void ModuleAddRef() { InterlockedIncrement(&g_moduleUsers); }

void ModuleRelease() { InterlockedDecrement(&g_moduleUsers); }

bool IsModuleInUse() { return InterlockedCompareExchange(&g_moduleUsers, 0, 0) != 0; }

}  // namespace qorva_tsf

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        qorva_tsf::g_hInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
