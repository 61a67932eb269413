#include "tsf/dll_main.h"

namespace qorva_tsf {

HINSTANCE g_hInstance = nullptr;

namespace {
LONG g_moduleUsers = 0;
}  // namespace

void ModuleAddRef() { InterlockedIncrement(&g_moduleUsers); }

void ModuleRelease() { InterlockedDecrement(&g_moduleUsers); }

bool IsModuleInUse() { return InterlockedCompareExchange(&g_moduleUsers, 0, 0) != 0; }

std::string Utf16ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::wstring Utf8ToUtf16(const std::string& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::wstring out(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), units);
  return out;
}

}  // namespace qorva_tsf

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    qorva_tsf::g_hInstance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
