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

struct Instance {
    DWORD id;
    HANDLE handle;  // able to wait on the process and end it
};

// Every other process running `exeName` that may be ended.
std::vector<Instance> OpenOtherInstances(const std::wstring& exeName) {
    std::vector<Instance> processes;
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
            processes.push_back({entry.th32ProcessID, process});
        }
    }
    CloseHandle(snapshot);
    return processes;
}

}  // namespace

void CloseOtherInstances(const std::wstring& exeName, const std::wstring& mainWindowClass,
                         uint32_t waitMs) {
    const std::vector<Instance> processes = OpenOtherInstances(exeName);
    for (const Instance& process : processes) {
        CloseRequest request{process.id, &mainWindowClass};
        EnumWindows(PostCloseIfMainWindow, reinterpret_cast<LPARAM>(&request));
    }
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (const Instance& process : processes) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        if (WaitForSingleObject(process.handle, left) == WAIT_TIMEOUT) {
            TerminateProcess(process.handle, 0);
        }
        CloseHandle(process.handle);
    }
}

}  // namespace qorva
