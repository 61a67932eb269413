// The diagnostics run ("--check"): what the engine gives, what the foreground application is and
// whether this program would type into it, and whether a keyboard hook can be installed. The
// report goes to universal_check.txt in the per-user data folder and to the console of the
// program that started this one, if any. No hook is left installed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/engine_host.h"
#include "common/file_path.h"
#include "common/text.h"
#include "universal/diagnostics_report.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

constexpr UINT kUtf8CodePage = 65001;

// Whether the report can also be printed: only when started from a console.
bool AttachParentConsole() {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    if (!std::freopen("CONOUT$", "w", stdout)) return false;
    SetConsoleOutputCP(kUtf8CodePage);
    return true;
}

std::string ForegroundProcessPath(HWND foreground) {
    DWORD processId = 0;
    if (!foreground || !GetWindowThreadProcessId(foreground, &processId) || !processId) return {};
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return {};
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const bool read = QueryFullProcessImageNameW(process, 0, path, &length) != FALSE;
    CloseHandle(process);
    return read ? Utf16ToUtf8(std::wstring(path, length)) : std::string();
}

uint16_t ForegroundLayoutLanguage(HWND foreground) {
    const DWORD thread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    return thread ? LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(thread))) : 0;
}

// Installed exactly as the running program installs it, and removed at once.
bool KeyboardHookInstalls() {
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, g_instance, 0);
    if (!hook) return false;
    UnhookWindowsHookEx(hook);
    return true;
}

DiagnosticsFacts GatherFacts() {
    DiagnosticsFacts facts;
    const std::wstring dataFolder = AppDataDir();
    facts.lexiconPath = FindLexicon(UniversalLexiconSearch(ExeDir(), dataFolder));
    facts.dataFolder = Utf16ToUtf8(dataFolder);
    facts.engineCreated = g_engine != nullptr;
    facts.testWords = TestWordResults(g_engine.get());
    const HWND foreground = GetForegroundWindow();
    facts.processPath = ForegroundProcessPath(foreground);
    facts.layoutLanguage = ForegroundLayoutLanguage(foreground);
    facts.tsfLoaded = TsfLoadedInForegroundProcess();
    facts.hostEnabled = g_settings.hostEnabled;
    facts.inputMode = g_settings.inputMode;
    facts.wouldHandle = ShouldHandleNow();
    facts.hookInstalled = KeyboardHookInstalls();
    return facts;
}

}  // namespace

void RunDiagnostics() {
    const bool console = AttachParentConsole();
    const std::string report = BuildDiagnosticsReport(GatherFacts());
    const std::wstring dataFolder = AppDataDir();
    if (!dataFolder.empty()) {
        WriteWholeFile(Utf16ToUtf8(dataFolder) + "\\" + kReportFileName, report);
    }
    if (console) {
        std::fwrite(report.data(), 1, report.size(), stdout);
        std::fflush(stdout);
    }
}

}  // namespace qorva::universal
