// Entry point of qorva_universal: decides whether this copy runs at all (a newer copy in the
// per-user data folder, one instance per session), sets the program up, runs its message loop and
// shuts it down in order, so that the engine writes what it learned.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <string>

#include "common/call_guarded.h"
#include "settings/startup_run.h"
#include "universal/instance_control.h"
#include "universal/mode_ipc.h"
#include "universal/drawn_icon.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

constexpr wchar_t kMutexName[] = L"Local\\QorvaUniversalMode";
constexpr UINT kHotkeyTrayIconId = 1;
constexpr UINT kHotkeyTrayMessage = WM_APP + 1;
constexpr UINT kPinTrayMessage = WM_APP + 3;
constexpr wchar_t kHotkeyTrayTip[] = L"Qorva (কোর্ভা) Hotkeys — [Ctrl+Alt+Space] [Ctrl+Alt+E]";
constexpr int kTopBarWidth = 262;
constexpr int kTopBarHeight = 24;
constexpr int kTopBarLooks = 6;
constexpr DWORD kTopBarLookPauseMs = 100;
// Long enough for a running copy to write what it learned, short enough for a user's double-click.
constexpr uint32_t kCloseFirstInstanceMs = 2000;

// The tray icon when no icon.ico is found: a dark badge with a Bengali letter.
BadgeStyle FallbackBadge() {
    BadgeStyle style;
    style.fill = RGB(15, 23, 42);
    style.outline = RGB(56, 189, 248);
    style.text = L"\u09E0";
    style.fontFace = L"Nirmala UI";
    style.fontHeight = 12;
    return style;
}

HANDLE g_mutex = nullptr;
ULONG_PTR g_gdiplusToken = 0;
HICON g_tray_hotkey_icon = nullptr;
bool g_tray1_added = false;

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

void EndStartUp() {
    g_engine.reset();
    if (g_mutex) CloseHandle(g_mutex);
    g_mutex = nullptr;
    Gdiplus::GdiplusShutdown(g_gdiplusToken);
}

void ShowTopBarAtTopCentre(HWND bar) {
    PostMessageW(bar, ModeIpc::GetShowTopBarMessage(), 0, 0);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kTopBarWidth) / 2;
    SetWindowPos(bar, HWND_TOPMOST, x, 0, kTopBarWidth, kTopBarHeight, SWP_SHOWWINDOW);
    ShowWindow(bar, SW_SHOWNORMAL);
    BringWindowToTop(bar);
    SetForegroundWindow(bar);
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
        if (HWND bar = FindWindowW(kTopBarClass, nullptr)) {
            ShowTopBarAtTopCentre(bar);
            return true;
        }
    }
    // A copy without its bar is stuck or from another version: it is asked to close, so that it
    // saves what it learned, and ended only when it does not.
    CloseOtherInstances(kProgramFileName, kMainWindowClass, kCloseFirstInstanceMs);
    return false;
}

bool CreateMainWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = g_instance;
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassW(&windowClass);
    g_window = CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, g_instance, nullptr);
    return g_window != nullptr;
}

// Lets the messages that other programs send reach the window from a lower integrity level too.
// The filter function is looked up, as Windows before 7 lacks it.
void AllowMessagesFromOtherPrograms() {
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    const auto filter = reinterpret_cast<Filter>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    if (!filter) return;
    for (UINT message : {ModeIpc::GetBroadcastMessage(), ModeIpc::GetShowTopBarMessage(),
                         ModeIpc::GetResetTopBarMessage(), kHotkeyTrayMessage, kPinTrayMessage,
                         static_cast<UINT>(WM_COMMAND)}) {
        filter(g_window, message, MSGFLT_ALLOW, nullptr);
    }
}

HICON LoadTrayIconFile() {
    const std::wstring exeDir = ExeDir();
    for (const std::wstring& path : {exeDir + L"\\icon.ico", exeDir + L"\\assets\\icon.ico",
                                     exeDir + L"\\..\\assets\\icon.ico",
                                     std::wstring(L"C:\\Program Files\\Qorva\\icon.ico")}) {
        if (HANDLE icon = LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)) {
            return static_cast<HICON>(icon);
        }
    }
    return nullptr;
}

void AddHotkeyTrayIcon() {
    g_tray_hotkey_icon = LoadTrayIconFile();
    if (!g_tray_hotkey_icon) g_tray_hotkey_icon = CreateBadgeIcon(FallbackBadge());
    if (!g_tray_hotkey_icon) g_tray_hotkey_icon = LoadIconW(nullptr, IDI_APPLICATION);
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = g_window;
    data.uID = kHotkeyTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kHotkeyTrayMessage;
    data.hIcon = g_tray_hotkey_icon;
    lstrcpynW(data.szTip, kHotkeyTrayTip, ARRAYSIZE(data.szTip));
    g_tray1_added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void RemoveHotkeyTrayIcon() {
    if (g_tray1_added) {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof(data);
        data.hWnd = g_window;
        data.uID = kHotkeyTrayIconId;
        Shell_NotifyIconW(NIM_DELETE, &data);
        g_tray1_added = false;
    }
    if (g_tray_hotkey_icon) DestroyIcon(g_tray_hotkey_icon);
    g_tray_hotkey_icon = nullptr;
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

// The candidate window's row clicks commit like the selection keys; its header switches between
// Bangla and translation.
void StartCandidateWindow() {
    g_candidate_window.Initialize(g_instance);
    g_candidate_window.onSelect = [](size_t row) { CommitCandidateByIndex(row); };
    g_candidate_window.onConversionTargetChanged = OnConversionTargetChanged;
}

void ShutDown() {
    RemoveHooks();
    RemoveHotkeyTrayIcon();
    g_candidate_window.Destroy();
    g_osk.Destroy();
    UnregisterToggleHotKeys();
    g_translation_service.Stop();
    KillTimer(g_window, kSettingsTimer);
    EndStartUp();
    Log("universal host stopped");
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
    CreateEngine();

    if (secondInstance && DeferToRunningInstance()) {
        EndStartUp();
        return 0;
    }
    if (!CreateMainWindow()) {
        EndStartUp();
        return 1;
    }
    AllowMessagesFromOtherPrograms();
    AddHotkeyTrayIcon();
    ModeIpc::Instance().SetMode(ModeTarget::English);  // every start begins in English
    RegisterToggleHotKeys();
    StartTranslationWorker();
    if (g_settings.launchStartup && !exePath.empty()) SetStartupRunValue(exePath);
    SetTimer(g_window, kSettingsTimer, kSettingsTimerMs, nullptr);
    g_osk.Initialize(g_instance, nullptr);  // hidden until the user asks for it
    StartCandidateWindow();
    const bool hooked = InstallHooks();
    Log(std::string("universal host started (hook=") + (hooked ? "ok" : "FAILED") + ")");

    RunMessageLoop();
    ShutDown();
    return 0;
}

}  // namespace
}  // namespace qorva::universal

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    return qorva::CallGuarded(1, [&] { return qorva::universal::Run(instance, commandLine); });
}
