// Entry point of qorva_universal: decides whether this copy runs at all (a newer copy in the
// per-user data folder, one instance per session), sets the program up, runs its message loop and
// shuts it down in order, so that the engine writes what it learned.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "common/call_guarded.h"
#include "settings/startup_run.h"
#include "universal/instance_control.h"
#include "universal/mode_ipc.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

constexpr wchar_t kMutexName[] = L"Local\\QorvaUniversalMode";
constexpr int kTopBarLooks = 6;
constexpr DWORD kTopBarLookPauseMs = 100;
// Long enough for a running copy to write what it learned, short enough for a user's double-click.
constexpr uint32_t kCloseFirstInstanceMs = 2000;

HANDLE g_mutex = nullptr;
ULONG_PTR g_gdiplusToken = 0;

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// An installed copy under "Program Files" gives way to a newer one the updater left in the
// per-user data folder. True when that copy was started and this one is to end.
bool HandOverToNewerCopy(const std::wstring& exePath, const wchar_t* commandLine) {
    if (exePath.find(L"Program Files") == std::wstring::npos) return false;
    const std::wstring dataFolder = AppDataDir();
    if (dataFolder.empty()) return false;
    const std::wstring copy = dataFolder + L"\\" + kProgramFileName;
    WIN32_FILE_ATTRIBUTE_DATA running{};
    WIN32_FILE_ATTRIBUTE_DATA candidate{};
    if (!GetFileAttributesExW(exePath.c_str(), GetFileExInfoStandard, &running) ||
        !GetFileAttributesExW(copy.c_str(), GetFileExInfoStandard, &candidate) ||
        CompareFileTime(&candidate.ftLastWriteTime, &running.ftLastWriteTime) <= 0) {
        return false;
    }
    // When the copy cannot be started, this one runs rather than leave the user with nothing.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", copy.c_str(), commandLine, nullptr, SW_SHOW));
    return result > 32;
}

void CreateEngine() {
    const std::wstring dataFolder = AppDataDir();
    EngineFiles files;
    files.lexiconPath = FindLexicon(UniversalLexiconSearch(ExeDir(), dataFolder));
    files.userDictPath = UserDictPath(dataFolder);
    EngineSettings settings;
    settings.personalLearning = g_settings.personalLearning;
    g_engine = qorva::CreateEngine(files, settings);
}

void ReleaseMutexAndGdiplus() {
    if (g_mutex) CloseHandle(g_mutex);
    g_mutex = nullptr;
    Gdiplus::GdiplusShutdown(g_gdiplusToken);
}

void EndStartUp() {
    g_engine.reset();
    ReleaseMutexAndGdiplus();
}

bool CommandLineHas(const wchar_t* commandLine, const wchar_t* word) {
    return commandLine && std::wcsstr(commandLine, word) != nullptr;
}

// The one-shot runs replace the normal one, also while another instance runs: they make no
// window, tray icon, hot key, timer or program engine (the diagnostics make one of their own that
// touches no learned file) and leave no hook. True when one ran.
bool RunOneShot(const wchar_t* commandLine) {
    if (CommandLineHas(commandLine, L"--test-update-popup")) {
        RunUpdateDialogTest();
        ReleaseMutexAndGdiplus();
        return true;
    }
    if (CommandLineHas(commandLine, L"--check")) {
        RunDiagnostics();
        ReleaseMutexAndGdiplus();
        return true;
    }
    return false;
}

void ShowTopBarAtTopCentre(HWND bar) {
    PostMessageW(bar, ModeIpc::GetShowTopBarMessage(), 0, 0);
    PlaceAndRaiseTopBar(bar, CentredTopBarX(GetSystemMetrics(SM_CXSCREEN)), 0);
}

// Another instance runs: it is asked to show its top bar. True when the bar appeared and this
// process is to end; otherwise the running copies are closed and this one takes over.
bool DeferToRunningInstance() {
    Log("another universal host is already running - requesting topbar show");
    if (HWND first = FindWindowW(kMainWindowClass, kMainWindowTitle)) {
        PostMessageW(first, ModeIpc::GetShowTopBarMessage(), 0, 0);
    }
    for (int look = 0; look < kTopBarLooks; ++look) {
        if (look > 0) Sleep(kTopBarLookPauseMs);
        if (HWND bar = FindWindowW(kTopBarClassName, nullptr)) {
            ShowTopBarAtTopCentre(bar);
            return true;
        }
    }
    // A copy without its bar is stuck or from another version: it is asked to close, so that it
    // saves what it learned, and ended only when it does not.
    CloseOtherInstances(kProgramFileName, kMainWindowClass, kCloseFirstInstanceMs);
    return false;
}

void StartTranslationWorker() {
    g_translation_service.consent.exchange(g_settings.englishTranslation);
    g_translation_service.Start();
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The candidate window's row clicks commit like the selection keys and its header switches between
// Bangla and translation: both come back to the main window as messages.
void StartCandidateWindow() {
    if (!g_candidate_popup.Start(g_instance, g_window, GetCurrentCaretRect)) {
        Log("candidate window could not be created");
    }
}

// The on-screen keyboard stays hidden until the user asks for it; the top bar is shown centred at
// the top of the screen at every start, whatever settings.json said about its place and display.
void StartWindows() {
    g_osk.Initialize(g_instance, nullptr);
    g_topbar.virtualKeyboard = &g_osk;
    g_topbar.Initialize(g_instance, nullptr);
    g_topbar.UpdateMode(ModeTarget::English);
    StartCandidateWindow();
    g_topbar.SetPosition(CentredTopBarX(GetSystemMetrics(SM_CXSCREEN)), 0);
    g_topbar.SaveCoordinates();
    g_topbar.Show(true);
    g_topbar.ExpandBar();
}

void ShutDown() {
    RemoveHooks();
    RemoveTrayIcons();
    g_candidate_popup.Stop();
    g_osk.Destroy();
    g_topbar.Destroy();
    UnregisterHotKeys();
    g_translation_service.Stop();
    StopTimers();
    EndStartUp();
    Log("universal host stopped");
}

// The new copy starts only now: had it started while this one still held the mutex, it would
// have taken itself for a second instance and ended this one, perhaps while it saved.
void StartNewCopy(const std::wstring& exePath) {
    if (exePath.empty()) return;
    ShellExecuteW(nullptr, L"open", exePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int Run(HINSTANCE instance, const wchar_t* commandLine) {
    g_instance = instance;
    const std::wstring exePath = ModulePath();
    if (HandOverToNewerCopy(exePath, commandLine)) return 0;

    Gdiplus::GdiplusStartupInput gdiplus;
    Gdiplus::GdiplusStartup(&g_gdiplusToken, &gdiplus, nullptr);
    g_mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    const bool secondInstance = g_mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    LoadSettings();
    if (RunOneShot(commandLine)) return 0;

    // The engine (lexicon and user dictionary, seconds for a large dictionary) is made only once
    // this copy is to run: a copy that steps aside never holds one, so it writes none of the
    // learned files the running copy owns, and a copy that takes over reads what the closed one
    // saved.
    if (secondInstance && DeferToRunningInstance()) {
        ReleaseMutexAndGdiplus();
        return 0;
    }
    CreateEngine();
    if (!CreateMainWindow()) {
        EndStartUp();
        return 1;
    }
    AddHotkeyTrayIcon();
    ModeIpc::Instance().SetMode(ModeTarget::English);  // every start begins in English
    AddLanguagePinTrayIcon();
    RegisterHotKeys();
    StartTranslationWorker();
    if (g_settings.launchStartup && !exePath.empty()) SetStartupRunValue(exePath);
    StartTimers();
    StartWindows();
    const bool hooked = InstallHooks();
    Log(std::string("universal host started (hook=") + (hooked ? "ok" : "FAILED") + ")");

    RunMessageLoop();
    ShutDown();
    if (RestartRequested()) StartNewCopy(exePath);
    return 0;
}

}  // namespace
}  // namespace qorva::universal

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    return qorva::CallGuarded(1, [&] { return qorva::universal::Run(instance, commandLine); });
}
