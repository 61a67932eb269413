// Runs a program in a console of its own and keeps what the program printed there:
//   console_capture.exe OUTPUT_FILE PROGRAM [ARGUMENTS...]
// The console's characters are written to OUTPUT_FILE as UTF-16, row after row, once the program
// has ended; the exit code is the program's.
#include <windows.h>

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 100;
    FreeConsole();
    if (!AllocConsole()) return 101;
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    std::wstring commandLine = std::wstring(L"\"") + argv[2] + L"\"";
    for (int i = 3; i < argc; ++i) commandLine += std::wstring(L" ") + argv[i];
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 102;
    }
    WaitForSingleObject(process.hProcess, 120000);
    DWORD exitCode = 103;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(console, &info);
    const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    std::vector<wchar_t> text(cells + 1);
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, text.data(), cells, COORD{0, 0}, &read);
    const HANDLE file = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), read * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return static_cast<int>(exitCode);
}
