// Running the real qorva_universal.exe from a Windows test: a copy of the built program in a folder
// of the test's own, started with CreateProcessW, watched, asked to close and never left running.
// A test that starts it holds a RunValueGuard (tests/support/run_value.h): every start writes the
// start-up Run value.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "tests/support/message_pump.h"

namespace qorva_test {

// Copies the built program into `folder` (created when missing) as "qorva_universal.exe"; returns
// the copy's path, empty on failure.
std::wstring CopyUniversalProgram(const std::wstring& folder);

class UniversalProcess {
public:
    // Starts the program at `exePath` with `arguments` (the command line after the program name)
    // and, when given, an inheritable `standardOutput`, as a command shell's redirection does.
    explicit UniversalProcess(const std::wstring& exePath, const std::wstring& arguments = L"",
                              HANDLE standardOutput = nullptr);
    // Ends the process when it still runs.
    ~UniversalProcess();
    UniversalProcess(const UniversalProcess&) = delete;
    UniversalProcess& operator=(const UniversalProcess&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }
    DWORD ProcessId() const { return process_.dwProcessId; }
    bool Running() const;
    // The process's hidden main window once it exists; null when none appeared within `waitMs`.
    HWND WaitForMainWindow(DWORD waitMs = 30000);
    // The process's top bar once it is shown; null when it did not show within `waitMs`.
    HWND WaitForTopBar(DWORD waitMs = 30000);
    // The exit code once the process ended within `waitMs`, pumping messages meanwhile.
    std::optional<DWORD> WaitForExit(DWORD waitMs = 30000);
    // Asks the program to close, as the system does at log-off: WM_CLOSE to its main window.
    bool Close();

private:
    PROCESS_INFORMATION process_{};
};

}  // namespace qorva_test
