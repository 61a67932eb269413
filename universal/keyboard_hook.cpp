// The universal program's low-level keyboard and mouse hooks. They run on the message-loop thread
// for every key and click of the session, so everything here answers at once: the decisions are
// made by hook_decision, and the costly look at the foreground process's modules is cached.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <vector>

#include "common/call_guarded.h"
#include "universal/hook_decision.h"
#include "universal/mode_ipc.h"
#include "universal/served_process_cache.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

constexpr wchar_t kInputProcessorModule[] = L"qorva_tsf.dll";
constexpr DWORD kModuleSlots = 1024;
// ToUnicodeEx leaves the keyboard state as it is, so a dead key the user pressed still reaches the
// application's own translation.
constexpr UINT kKeepKeyboardState = 0x4;

HHOOK g_keyboard_hook = nullptr;
HHOOK g_mouse_hook = nullptr;
HWND g_last_foreground = nullptr;
POINT g_last_click_pt{0, 0};
ServedProcessCache g_served_cache;

bool IsDown(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

HookKey ReadKey(const KBDLLHOOKSTRUCT& info) {
    HookKey key;
    key.vk = info.vkCode;
    key.ctrl = IsDown(VK_CONTROL);
    key.alt = IsDown(VK_MENU);
    key.shift = IsDown(VK_SHIFT);
    key.win = IsDown(VK_LWIN) || IsDown(VK_RWIN);
    return key;
}

DWORD ForegroundThread(HWND foreground, DWORD* processId = nullptr) {
    return foreground ? GetWindowThreadProcessId(foreground, processId) : 0;
}

// The layout the foreground application types with; null when there is none to ask.
HKL ForegroundLayout() {
    const DWORD thread = ForegroundThread(GetForegroundWindow());
    return thread ? GetKeyboardLayout(thread) : nullptr;
}

// What the key types in the foreground's layout with the modifiers and Caps Lock as they are: one
// UTF-16 unit, 0 for a dead key, and the plain letter or digit when the layout gives nothing
// usable.
wchar_t KeyCharacter(const KBDLLHOOKSTRUCT& info, const HookKey& key) {
    BYTE state[256] = {};
    if (key.shift) state[VK_SHIFT] = 0x80;
    if (key.ctrl) state[VK_CONTROL] = 0x80;
    if (key.alt) state[VK_MENU] = 0x80;
    const bool capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    state[VK_CAPITAL] = capsLock ? 1 : 0;
    wchar_t units[8] = {};
    const int produced = ToUnicodeEx(info.vkCode, info.scanCode, state, units, 8,
                                     kKeepKeyboardState, ForegroundLayout());
    if (produced == 1) return units[0];
    if (produced < 0) return 0;
    if (info.vkCode >= 'A' && info.vkCode <= 'Z') {
        const wchar_t upper = static_cast<wchar_t>(info.vkCode);
        return key.shift != capsLock ? upper : static_cast<wchar_t>(upper - L'A' + L'a');
    }
    if (info.vkCode >= '0' && info.vkCode <= '9') return static_cast<wchar_t>(info.vkCode);
    return 0;
}

void CarryOut(const HookDecision& decision) {
    if (decision.clearPredicting) g_is_predicting_next_word = false;
    if (decision.closeList) CloseCandidateList();
    switch (decision.command) {
        case HookDecision::Command::None: break;
        case HookDecision::Command::SelectNext: g_candidate_window.SelectNext(); break;
        case HookDecision::Command::SelectPrev: g_candidate_window.SelectPrev(); break;
        case HookDecision::Command::CommitRow: CommitCandidateByIndex(decision.row); break;
        case HookDecision::Command::UpdateCandidates: UpdateCandidateWindow(); break;
        case HookDecision::Command::CommitWord:
            CommitWordAtBoundary(decision.commit, decision.predictionsFollow);
            break;
    }
}

// True when the key is eaten.
bool HandleKeyDown(const KBDLLHOOKSTRUCT& info) {
    HookKey key = ReadKey(info);
    if (const std::optional<ModeToggle> toggle = HotKeyToggle(key)) {
        if (*toggle == ModeToggle::BanglaEnglish) {
            TriggerModeToggle();
        } else {
            TriggerTranslationToggle();
        }
        return true;
    }
    ResetIfFocusChanged();
    HookView view;
    view.handleNow = ShouldHandleNow();
    view.windowVisible = g_candidate_window.visible;
    view.selected = g_candidate_window.selected;
    view.listSize = g_current_candidates.size();
    view.predicting = g_is_predicting_next_word;
    view.suggestionsPaused = g_topbar.State().suggestionsPaused;
    if (view.handleNow) key.character = KeyCharacter(info, key);
    const HookDecision decision = DecideKey(key, view, g_typing);
    CarryOut(decision);
    return decision.eat;
}

// The candidate window handles clicks on its rows itself, and the top bar's buttons act on the
// word on their own.
bool IsOwnPopup(HWND window) {
    if (!window) return false;
    if (window == g_candidate_window.Handle()) return true;
    wchar_t className[64] = {};
    GetClassNameW(GetAncestor(window, GA_ROOT), className, 64);
    return wcscmp(className, kTopBarClassName) == 0;
}

void HandleMouseDown(WPARAM message, const MSLLHOOKSTRUCT* info) {
    if (message == WM_LBUTTONDOWN && info) g_last_click_pt = info->pt;
    if (info && g_candidate_window.visible && IsOwnPopup(WindowFromPoint(info->pt))) return;
    // The click may move the caret: the letters stay as typed and the word is forgotten.
    g_typing.Reset();
    if (g_candidate_window.visible) CloseCandidateList();
}

bool ModulesHoldInputProcessor(DWORD processId) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return true;  // elevated or protected: taken as served
    std::vector<HMODULE> modules(kModuleSlots);
    DWORD bytes = 0;
    bool found = false;
    if (EnumProcessModules(process, modules.data(), kModuleSlots * sizeof(HMODULE), &bytes)) {
        const DWORD count = std::min<DWORD>(bytes / sizeof(HMODULE), kModuleSlots);
        for (DWORD i = 0; i < count && !found; ++i) {
            wchar_t name[MAX_PATH] = {};
            found = GetModuleBaseNameW(process, modules[i], name, MAX_PATH) > 0 &&
                    _wcsicmp(name, kInputProcessorModule) == 0;
        }
    }
    CloseHandle(process);
    return found;
}

}  // namespace

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    // Key-ups, and every key this program injects itself, reach the application untouched.
    const bool typedKeyDown = code == HC_ACTION &&
                              (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN) && info &&
                              (info->flags & LLKHF_INJECTED) == 0;
    if (typedKeyDown && CallGuarded(false, [&] { return HandleKeyDown(*info); })) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const bool pressOrWheel = wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN ||
                              wParam == WM_MBUTTONDOWN || wParam == WM_MOUSEWHEEL ||
                              wParam == WM_MOUSEHWHEEL;
    if (code == HC_ACTION && pressOrWheel) {
        CallGuarded(
            [&] { HandleMouseDown(wParam, reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)); });
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool InstallHooks() {
    g_keyboard_hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, g_instance, 0);
    g_mouse_hook = SetWindowsHookExW(WH_MOUSE_LL, MouseHookProc, g_instance, 0);
    return g_keyboard_hook != nullptr;
}

void RemoveHooks() {
    if (g_keyboard_hook) UnhookWindowsHookEx(g_keyboard_hook);
    if (g_mouse_hook) UnhookWindowsHookEx(g_mouse_hook);
    g_keyboard_hook = nullptr;
    g_mouse_hook = nullptr;
}

bool ShouldHandleNow() {
    const HKL layout = ForegroundLayout();
    const bool bengaliLayout =
        layout && LOWORD(reinterpret_cast<UINT_PTR>(layout)) == kBengaliLanguage;
    return ShouldHandleTyping(g_settings.hostEnabled, g_typing.Enabled(),
                              ModeIpc::Instance().GetMode(), bengaliLayout,
                              TsfLoadedInForegroundProcess);
}

bool TsfLoadedInForegroundProcess() {
    const HWND foreground = GetForegroundWindow();
    DWORD processId = 0;
    if (!ForegroundThread(foreground, &processId) || !processId) return true;
    return g_served_cache.Served(reinterpret_cast<UINT_PTR>(foreground), processId, GetTickCount(),
                                 [processId] { return ModulesHoldInputProcessor(processId); });
}

void ResetIfFocusChanged() {
    const HWND foreground = GetForegroundWindow();
    if (foreground == g_last_foreground) return;
    g_last_foreground = foreground;
    g_typing.Reset();
    if (g_candidate_window.visible) CloseCandidateList();
    g_is_predicting_next_word = false;
}

POINT LastClickPoint() { return g_last_click_pt; }

}  // namespace qorva::universal
