// The universal program's process-wide state and the host functions its parts share. Everything
// here belongs to the message-loop thread, which also runs the windows, timers and hooks; the
// translation client's consent flag is the one value another thread reads.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/engine_host.h"
#include "services/translation_service.h"
#include "settings/universal_settings.h"
#include "tsf/candidate_window.h"
#include "universal/universal_typing.h"
#include "universal/virtual_keyboard_window.h"
#include "universal/word_choice.h"

namespace qorva::universal {

inline constexpr wchar_t kMainWindowClass[] = L"QorvaUniversalModeWindow";
inline constexpr wchar_t kMainWindowTitle[] = L"Qorva Universal Mode";
inline constexpr wchar_t kTopBarClass[] = L"QorvaFloatingTopBar";
inline constexpr wchar_t kProgramFileName[] = L"qorva_universal.exe";

// Timer of the main window that re-reads settings.json.
inline constexpr UINT_PTR kSettingsTimer = 1;
inline constexpr UINT kSettingsTimerMs = 3000;

extern HINSTANCE g_instance;
extern HWND g_window;                 // the hidden main window
extern EnginePtr g_engine;            // null when no engine could be made
extern UniversalTyping g_typing;      // the word being typed
extern UniversalSettings g_settings;  // what settings.json last said, and the pause hot key
extern TranslationService g_translation_service;
extern VirtualKeyboardWindow g_osk;  // the on-screen keyboard
extern qorva_tsf::CandidateWindow g_candidate_window;

// The running program's folder; empty when it cannot be read.
std::wstring ExeDir();
// The per-user data folder, created when missing; empty without a roaming folder, and callers then
// skip their file work.
std::wstring AppDataDir();

// The first existing place of a sound file (data folder, then beside the program); empty when
// there is none.
std::wstring FindSoundFile(const std::wstring& name);
// The click of a mode switch: kind 1 when Bangla or translation was switched on, else English.
void PlaySoundEffect(int kind);

// Reads settings.json and puts it into effect: the translation client's consent, the engine's
// learning and whether words are composed. The first call applies the defaults when there is no
// readable file; later calls without one change nothing.
void LoadSettings();

// The hidden main window's procedure.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

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
// Drops the word being typed when another window came to the foreground since the last look.
void ResetIfFocusChanged();
// The screen point of the last left-button press anywhere; (0, 0) before the first.
POINT LastClickPoint();

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
// boundary in one burst.
void CommitWordAtBoundary(const TypingAction& action);
// Hides the window and empties the list; the next-word banner goes with it.
void CloseCandidateList();
// Closes the list and forgets that it held predictions.
void ClosePredictions();
// Where the candidate window opens, in screen coordinates.
RECT GetCurrentCaretRect();

// --- The mode toggles (mode_toggles.cpp) ---

// Bangla/English: F12, Ctrl+Space, Ctrl+Alt+Space.
void TriggerModeToggle();
// Bangla/translation: Ctrl+Alt+E.
void TriggerTranslationToggle();
// A click on the candidate window's Bangla or English header.
void OnConversionTargetChanged(qorva_tsf::CandidateWindow::ConversionTarget target);
// The registered hot keys of the toggles, for when the hook does not take the keys.
void RegisterToggleHotKeys();
void UnregisterToggleHotKeys();
// Hot key ids of WM_HOTKEY.
inline constexpr int kTranslationHotKeyId = 162;
inline constexpr int kModeHotKeyId = 163;

}  // namespace qorva::universal
