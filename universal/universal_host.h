// The universal program's process-wide state and the host functions its parts share. Everything
// here belongs to the message-loop thread, which also runs the windows, timers and hooks; the
// translation client's consent flag is the one value another thread reads.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "common/engine_host.h"
#include "services/translation_service.h"
#include "settings/universal_settings.h"
#include "tsf/candidate_window.h"
#include "universal/candidate_popup.h"
#include "universal/keystrokes.h"
#include "universal/mode_target.h"
#include "universal/mode_toggle_rules.h"
#include "universal/topbar_window.h"
#include "universal/tray_menus.h"
#include "universal/universal_typing.h"
#include "universal/virtual_keyboard_window.h"
#include "universal/word_choice.h"

namespace qorva::universal {

inline constexpr wchar_t kMainWindowClass[] = L"QorvaUniversalModeWindow";
inline constexpr wchar_t kMainWindowTitle[] = L"Qorva Universal Mode";
inline constexpr wchar_t kProgramFileName[] = L"qorva_universal.exe";

// Timers of the main window: the settings re-read (with a look at the foreground window and the
// tray), and the one update check after start.
inline constexpr UINT_PTR kSettingsTimer = 1;
inline constexpr UINT kSettingsTimerMs = 3000;
inline constexpr UINT_PTR kStartupCheckTimer = 2;
inline constexpr UINT kStartupCheckDelayMs = 1000;

extern HINSTANCE g_instance;
extern HWND g_window;                 // the hidden main window
extern EnginePtr g_engine;            // null when no engine could be made
extern UniversalTyping g_typing;      // the word being typed
extern UniversalSettings g_settings;  // what settings.json last said, and the pause hot key
extern TranslationService g_translation_service;
extern TopBarWindow g_topbar;             // the floating top bar
extern VirtualKeyboardWindow g_osk;       // the on-screen keyboard
extern CandidatePopup g_candidate_popup;  // the candidate window, on its own thread

// The running program's folder; empty when it cannot be read.
std::wstring ExeDir();
// The per-user data folder, created when missing; empty without a roaming folder, and callers then
// skip their file work.
std::wstring AppDataDir();

// Whether a file (not a folder) is at the path: the test the program's file searches use.
bool IsFileOnDisk(const std::wstring& path);

// The first existing place of a sound file (data folder, then beside the program); empty when
// there is none.
std::wstring FindSoundFile(const std::wstring& name);
// The program's sound of this kind (kSoundBangla, kSoundEnglish, kSoundVoiceStart, or
// kSoundOfSharedMode for the mode the shared block holds now), asynchronously.
void PlaySoundEffect(int kind);

// Opens a file, program or web address through the shell ("open", shown normally) with these
// parameters (may be empty); false when the shell could not. Tests put a recorder here: no test
// opens a browser, an editor or the system's keyboard.
using ShellLauncher =
    std::function<bool(const std::wstring& target, const std::wstring& parameters)>;
ShellLauncher& ShellLauncherInUse();
bool OpenWithShell(const std::wstring& target, const std::wstring& parameters = L"");
// Starts an installer with administrator rights, the user asked first; false when it did not start
// (the elevation refused, or no such program).
bool StartElevated(const std::wstring& program, const wchar_t* parameters);

// Reads settings.json and puts it into effect: the translation client's consent, the engine's
// learning and whether words are composed. The first call applies the defaults when there is no
// readable file; later calls without one change nothing.
void LoadSettings();

// --- The hidden main window (main_window.cpp) ---

// The hidden main window's procedure.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Creates g_window and lets other programs' messages reach it; false when it cannot be made.
bool CreateMainWindow();
// The settings timer, and the start-up update check's timer when settings.json asks for checks.
void StartTimers();
void StopTimers();
// The registered hot keys, for when the keyboard hook does not take the keys: Ctrl+Alt+L pauses,
// Ctrl+Alt+E and Ctrl+Alt+Space switch the mode, Ctrl+Alt+V starts or stops voice typing.
void RegisterHotKeys();
void UnregisterHotKeys();
inline constexpr int kPauseHotKeyId = 161;
inline constexpr int kTranslationHotKeyId = 162;
inline constexpr int kModeHotKeyId = 163;
inline constexpr int kVoiceHotKeyId = 164;
// Ctrl+Alt+L: typing stops or goes on until the next press or program start; settings.json is
// not written.
void TogglePause();
// Ends the program in order, as Exit does: the main window goes, its message loop ends and the
// entry point shuts down, so that the engine writes what it learned.
void RequestExit();
// Ends the program in order and starts it again once this copy has let go of everything: the
// entry point starts the new copy after its shut-down (RestartRequested).
void RequestRestart();
bool RestartRequested();

// --- The tray icons (tray_icons.cpp) ---

// The icons' callback messages; the low word of lParam carries the mouse message.
inline constexpr UINT kHotkeyTrayMessage = WM_APP + 1;
inline constexpr UINT kPinTrayMessage = WM_APP + 3;
// Shell_NotifyIconW as the program calls it; a test puts a recorder in its place, as Wine answers
// every call with success without a tray to show the icons in.
using TrayNotifier = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;
TrayNotifier& TrayNotifierInUse();
// The hot-key icon: icon.ico, else a drawn badge.
void AddHotkeyTrayIcon();
// The language-pin icon, which shows the shared mode.
void AddLanguagePinTrayIcon();
// Explorer started again and forgot both icons ("TaskbarCreated").
void ReAddTrayIcons();
void RemoveTrayIcons();
// Brings both icons' tips and the pin's badge up to date with the shared mode; nothing before the
// icons exist.
void UpdateTray();
// The pin's badge for a mode, owned by the caller; null when drawing failed.
HICON CreateModeIcon(ModeTarget mode);
// Explorer's announcement that it made a new taskbar.
UINT TaskbarCreatedMessage();

// --- The tray menus and their commands (tray_commands.cpp) ---

// A popup menu with these entries on a white background, owned by the caller.
HMENU CreatePopupMenuFrom(const std::vector<MenuItem>& items);
// The two tray menus as they would open now.
HMENU CreateTrayMenu();
HMENU CreateLanguagePinMenu();
// Opens the menu at the pointer and acts on the entry chosen.
void ShowTrayMenu();
void ShowLanguagePinMenu();
// Acts on a tray menu's command.
void RunTrayCommand(unsigned command);

// --- The top bar as the main window and the tray icons drive it (topbar_actions.cpp) ---

// "QorvaShowTopBarMessage" to the main window: shows the bar where it was, centred at the top when
// it lies far off the screen's sides, raises it and saves its place.
void ShowTopBarOnRequest();
// "QorvaResetTopBarMessage" to the main window: the bar shown centred at the top, raised, saved.
void ResetTopBarOnRequest();
// A click on the hot-key icon: a hidden bar is shown and saved; the bar is raised either way.
void RaiseTopBar();
// Hides a shown bar and shows a hidden one, saving its display choice.
void ToggleTopBar();
// The bar back at the top centre and shown, without raising it.
void ResetTopBarPosition();
// Puts the bar's window topmost at (x, y) at its full size and brings it to the front: the
// answer to another program that asked to see it.
void PlaceAndRaiseTopBar(HWND bar, int x, int y);

// --- The update checks (update_checks.cpp) ---

// Posted to the main window with a check's result code in wParam and, in lParam, a heap
// qorva::ReleaseInfo (or null) that the window frees.
inline constexpr UINT kUpdateResultMessage = WM_APP + 2;
// The release that a check found in this run; empty before.
extern std::wstring g_latest_update_version;
extern std::string g_latest_update_url;
// The check after start: at most once a day and never for a dismissed version; every result is
// posted to `window`.
void StartStartupUpdateCheck(HWND window);
// The tray's check, asked for by the user: a found release is posted to `window`, any other result
// is told in a message box on the checking thread.
void StartTrayUpdateCheck(HWND window);
// The window's handling of kUpdateResultMessage: a found release is offered in the update
// dialogs, which run modal on this thread.
void OnUpdateResult(WPARAM result, LPARAM record);
// The top bar's check, asked for by the user: runs on a detached thread that offers a found
// release in the update dialogs, reports that the program is up to date, or offers the maker's
// update page when the servers cannot be reached; `owner` owns every box and dialog it shows.
void CheckForUpdatesManual(HWND owner);

// "--test-update-popup": offers a built-in sample release in the update dialogs; accepting it
// downloads from the maker's real address.
void RunUpdateDialogTest();

// --- The diagnostics run (diagnostics_run.cpp) ---

// "--check": writes universal_check.txt in the per-user data folder and prints it to a redirected
// standard output (UTF-8) or else the console of the program that started this one, if any. Its
// engine is its own, over the lexicon alone, so that no learned file is read or written; installs
// no lasting hook, window or timer.
void RunDiagnostics();

// --- Clean uninstall (clean_uninstall.cpp) ---

// After the user agreed: the text input processor beside the program unregisters itself, Bengali
// leaves the user's language list and its per-user profile key goes. Runs on the main thread.
void PrepareCleanUninstall(HWND owner);
// After the user agreed: starts the installer elevated with "/uninstall /clean" and, once it runs,
// ends the program in order. A missing installer is reported; a refused elevation changes nothing.
void PerformCleanUninstall(HWND owner);
// The main window's command for the clean uninstall: the top bar's entry runs the same steps over
// the bar itself; a window of another process (a test's) posts this to ask the running program.
inline constexpr unsigned kCleanUninstallCommand = 505;

// Appends a line to universal.log in the per-user data folder; nothing without that folder.
void Log(const std::string& message);

// --- The keyboard and mouse hooks (keyboard_hook.cpp) ---

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);
// Installs both low-level hooks on this thread; true when the keyboard hook is in place.
bool InstallHooks();
void RemoveHooks();
// Typing is handled for the foreground application (not paused, not English, not served by the
// text input processor).
bool ShouldHandleNow();
// The text input processor's module is loaded in the foreground process, or the process cannot be
// looked into.
bool TsfLoadedInForegroundProcess();
// The foreground process would refuse the keys this program types (a higher integrity level).
bool ForegroundRefusesTypedKeys();
// Drops the word being typed when another window came to the foreground since the last look.
void ResetIfFocusChanged();
// The screen point of the last left-button press anywhere; (0, 0) before the first.
POINT LastClickPoint();

// Keys the program types for the user's typing (a word's letters, its commit): queued, and sent by
// the message loop once the hook has returned, in order with the user's own keys.
void QueueTypedKeys(const Keystrokes& keys);
// Sends the queued keys and handles the user's keys that wait behind them.
void SendTypedKeys();
inline constexpr UINT kSendTypedKeysMessage = WM_APP + 0x75;

// --- The candidate window and the commit (typing_commit.cpp) ---

// The rows shown: a word's candidates or, while g_is_predicting_next_word, next-word predictions.
extern std::vector<std::wstring> g_current_candidates;
extern bool g_is_predicting_next_word;

// Shows the candidates of the word being typed, or closes the list.
void UpdateCandidateWindow();
// Shows the engine's next-word predictions, or closes the list.
void ShowNextWordPredictions();
// Commits row `index` of the shown list: a key or a click chose it.
void CommitCandidateByIndex(size_t index);
// The word ended with a boundary key: erases its letters and types the chosen word and the
// boundary in one burst; the next-word predictions follow when `predictionsAllowed`.
void CommitWordAtBoundary(const TypingAction& action, bool predictionsAllowed);
// Hides the window and empties the list; the next-word banner goes with it.
void CloseCandidateList();
// Closes the list and forgets that it held predictions.
void ClosePredictions();
// Where the candidate window opens, in screen coordinates, given the last click the hook saw. Any
// thread may ask.
RECT GetCurrentCaretRect(POINT lastClick);

// --- The mode toggles (mode_toggles.cpp) ---

// Bangla/English: F12, Ctrl+Space, Ctrl+Alt+Space.
void TriggerModeToggle();
// Bangla/translation: Ctrl+Alt+E.
void TriggerTranslationToggle();
// What follows a switch: its sound, its log line, the tray and the top bar.
void ShowToggleFeedback(ModeToggle toggle);
inline constexpr UINT kToggleFeedbackMessage = WM_APP + 0x76;
// A click on the candidate window's Bangla or English header.
void OnConversionTargetChanged(qorva_tsf::CandidateWindow::ConversionTarget target);

}  // namespace qorva::universal
