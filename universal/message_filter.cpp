#include "universal/message_filter.h"

namespace qorva::universal {

void AllowMessagesFromOtherPrograms(HWND window, std::initializer_list<UINT> messages) {
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    const auto filter = reinterpret_cast<Filter>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    if (!filter) return;
    for (UINT message : messages) filter(window, message, MSGFLT_ALLOW, nullptr);
}

}  // namespace qorva::universal
