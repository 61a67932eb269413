#include "universal/instance_control.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

namespace qorva {
namespace {

struct CloseRequest {
    DWORD processId;
    const std::wstring* windowClass;
};

BOOL CALLBACK PostCloseIfMainWindow(HWND window, LPARAM param) {
    const auto* request = reinterpret_cast<const CloseRequest*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != request->processId) return TRUE;
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    if (*request->windowClass == className) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Handles, able to wait on and end them, of every other process running `exeName`.
std::vector<HANDLE> OpenOtherInstances(const std::wstring& exeName) {
    std::vector<HANDLE> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self || _wcsicmp(entry.szExeFile, exeName.c_str()) != 0) {
            continue;
        }
        if (HANDLE process =
                OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
            processes.push_back(process);
        }
    }
    CloseHandle(snapshot);
    return processes;
}

}  // namespace

void CloseOtherInstances(const std::wstring& exeName, const std::wstring& mainWindowClass,
                         uint32_t waitMs) {
    const std::vector<HANDLE> processes = OpenOtherInstances(exeName);
    for (HANDLE process : processes) {
        CloseRequest request{GetProcessId(process), &mainWindowClass};
        EnumWindows(PostCloseIfMainWindow, reinterpret_cast<LPARAM>(&request));
    }
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (HANDLE process : processes) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        if (WaitForSingleObject(process, left) == WAIT_TIMEOUT) TerminateProcess(process, 0);
        CloseHandle(process);
    }
}

}  // namespace qorva
