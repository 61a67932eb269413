// The diagnostics run ("--check"): what the engine gives, what the foreground application is and
// whether this program would type into it, and whether a keyboard hook can be installed. The
// report goes to universal_check.txt in the per-user data folder and to the standard output the
// run was given (a file or pipe) or else the console of the program that started this one, if
// any. No hook is left installed, and no learned-data file is read or written.
#include <windows.h>

#include <string>

#include "common/engine_host.h"
#include "common/file_path.h"
#include "common/text.h"
#include "universal/diagnostics_report.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

// The standard output when it was redirected to a file or pipe ("--check > report.txt"); a
// program of the Windows subsystem has none otherwise. Looked at before a console is attached.
HANDLE RedirectedOutput() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
    const DWORD type = GetFileType(output);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE ? output : INVALID_HANDLE_VALUE;
}

// The report's own bytes, UTF-8 as in universal_check.txt, for whatever reads the file or pipe.
void WriteToOutput(HANDLE output, const std::string& report) {
    DWORD written = 0;
    WriteFile(output, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
}

// The console of the program that started this one, if any, to print the report on. A process
// that holds a console already (Wine gives a program started from a console its parent's) is
// refused with ERROR_ACCESS_DENIED and prints there too.
HANDLE ParentConsole() {
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

// Written as UTF-16, so the Bengali lines show whatever code page the console uses, and the
// user's console keeps its own.
void PrintOnConsole(HANDLE console, const std::string& report) {
    const std::wstring text = Utf8ToUtf16(report);
    DWORD written = 0;
    WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(console);
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

// An engine of its own over the lexicon alone: without personal files it neither reads a large
// user dictionary nor writes the shared learned-data files, which a running copy owns.
EnginePtr CreateLexiconOnlyEngine(const std::string& lexiconPath) {
    EngineFiles files;
    files.lexiconPath = lexiconPath;
    return CreateEngine(files, EngineSettings{});
}

DiagnosticsFacts GatherFacts() {
    DiagnosticsFacts facts;
    const std::wstring dataFolder = AppDataDir();
    const LexiconSearch search = UniversalLexiconSearch(ExeDir(), dataFolder);
    facts.lexiconPath = FindLexicon(search);
    facts.lexiconSearched = search.candidates;
    facts.dataFolder = Utf16ToUtf8(dataFolder);
    const EnginePtr engine = CreateLexiconOnlyEngine(facts.lexiconPath);
    facts.engineCreated = engine != nullptr;
    facts.lexiconEntries = BanglaEngine_LexiconEntryCount(engine.get());
    facts.testWords = TestWordResults(engine.get());
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
    const HANDLE output = RedirectedOutput();
    const HANDLE console = output == INVALID_HANDLE_VALUE ? ParentConsole() : INVALID_HANDLE_VALUE;
    const std::string report = BuildDiagnosticsReport(GatherFacts());
    const std::wstring dataFolder = AppDataDir();
    if (!dataFolder.empty()) {
        WriteWholeFile(Utf16ToUtf8(dataFolder) + "\\" + kReportFileName, report);
    }
    if (output != INVALID_HANDLE_VALUE) WriteToOutput(output, report);
    if (console != INVALID_HANDLE_VALUE) PrintOnConsole(console, report);
}

}  // namespace qorva::universal
