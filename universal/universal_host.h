// The universal program's process-wide state and the host functions its parts share. Everything
// here belongs to the message-loop thread, which also runs the windows, timers and hooks; the
// translation client's consent flag is the one value another thread reads.
#pragma once

#include <windows.h>

#include <string>

#include "common/engine_host.h"
#include "services/translation_service.h"
#include "settings/universal_settings.h"
#include "tsf/candidate_window.h"
#include "universal/universal_typing.h"

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

}  // namespace qorva::universal
