#include "tests/universal/universal_process.h"

#include "universal/universal_host.h"

namespace qorva_test {
namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner != search->processId || wcscmp(className, search->className) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

// The process's top-level window of this class; null when it has none.
HWND WindowOf(DWORD processId, const wchar_t* className) {
    WindowSearch search{processId, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND MainWindowOf(DWORD processId) {
    return WindowOf(processId, qorva::universal::kMainWindowClass);
}

}  // namespace

std::wstring CopyUniversalProgram(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\qorva_universal.exe";
    return CopyFileW(QORVA_UNIVERSAL_EXE, copy.c_str(), FALSE) ? copy : std::wstring();
}

UniversalProcess::UniversalProcess(const std::wstring& exePath, const std::wstring& arguments,
                                   HANDLE standardOutput) {
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (standardOutput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = standardOutput;
    }
    const BOOL inherit = standardOutput ? TRUE : FALSE;
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, inherit, 0, nullptr,
                        nullptr, &startup, &process_)) {
        process_ = {};
    }
}

UniversalProcess::~UniversalProcess() {
    if (!Started()) return;
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool UniversalProcess::Running() const {
    return Started() && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND UniversalProcess::WaitForMainWindow(DWORD waitMs) {
    HWND window = nullptr;
    PumpUntil([&] { return (window = MainWindowOf(process_.dwProcessId)) || !Running(); }, waitMs);
    return window;
}

HWND UniversalProcess::WaitForTopBar(DWORD waitMs) {
    HWND window = nullptr;
    PumpUntil(
        [&] {
            window = WindowOf(process_.dwProcessId, qorva::universal::kTopBarClassName);
            return (window && IsWindowVisible(window)) || !Running();
        },
        waitMs);
    return window && IsWindowVisible(window) ? window : nullptr;
}

std::optional<DWORD> UniversalProcess::WaitForExit(DWORD waitMs) {
    if (!Started() || !PumpUntil([&] { return !Running(); }, waitMs)) return std::nullopt;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool UniversalProcess::Close() {
    HWND window = MainWindowOf(process_.dwProcessId);
    return window && PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace qorva_test
