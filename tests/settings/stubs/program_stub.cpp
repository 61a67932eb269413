// Stands in for a program the dashboard starts: appends "<its file name> <its arguments>" to the
// file that QORVA_STUB_RECORD names, then ends. Built as qorva_universal.exe (QORVA_STUB_UNIVERSAL)
// it makes the universal program's main window and, unless started with "--no-bar", its top bar,
// and ends in order when its main window gets WM_CLOSE, recording "<its file name> closed".
#include <windows.h>

#include <string>

namespace {

std::wstring FileName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full = path;
    return full.substr(full.find_last_of(L"\\/") + 1);
}

// The command line without the program's own name.
std::wstring Arguments() {
    const wchar_t* line = GetCommandLineW();
    const bool quoted = *line == L'"';
    if (quoted) ++line;
    while (*line && (quoted ? *line != L'"' : *line != L' ')) ++line;
    if (quoted && *line) ++line;
    while (*line == L' ') ++line;
    return line;
}

void Record(const std::wstring& text) {
    wchar_t path[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"QORVA_STUB_RECORD", path, MAX_PATH)) return;
    const std::wstring line = text + L"\n";
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    bytes.pop_back();  // the terminating NUL
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

#ifdef QORVA_STUB_UNIVERSAL
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        Record(FileName() + L" closed");
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, DWORD style) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(WS_EX_TOOLWINDOW, className, L"", style, 0, 0, 262, 24, nullptr, nullptr,
                           instance, nullptr);
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::wstring arguments = Arguments();
    Record(arguments.empty() ? FileName() : FileName() + L" " + arguments);
#ifdef QORVA_STUB_UNIVERSAL
    MakeWindow(instance, L"QorvaUniversalModeWindow", MainWindowProc, WS_OVERLAPPED);
    if (arguments.find(L"--no-bar") == std::wstring::npos) {
        MakeWindow(instance, L"QorvaFloatingTopBar", DefWindowProcW, WS_POPUP);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
#else
    (void)instance;
#endif
    return 0;
}
