// Stands in for another copy of the universal program. Given "--linger", it runs for a minute
// without a window, as a stuck copy would; otherwise, as the newer copy an installed one hands over
// to, it writes the command line it was given beside itself, as UTF-16, and exits.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    if (wcscmp(commandLine, L"--linger") == 0) {
        Sleep(60000);
        return 2;
    }
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\'));
    // Written under another name first, so that the test never reads half a file.
    const std::wstring partial = folder + L"\\handover_args.partial";
    const std::wstring done = folder + L"\\handover_args.txt";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(wcslen(commandLine) * sizeof(wchar_t));
    const bool ok = WriteFile(file, commandLine, bytes, &written, nullptr) && written == bytes;
    CloseHandle(file);
    return ok && MoveFileW(partial.c_str(), done.c_str()) ? 0 : 1;
}
