// The universal program's low-level keyboard and mouse hooks. They run on the message-loop thread
// for every key and click of the session, so everything here answers at once: the decisions are
// made by hook_decision, the costly looks at the foreground process are cached, the keys the
// program types are sent after the hook returned (typing_order keeps them and the user's keys in
// order), and the candidate window is only told what to show (its own thread shows it).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "common/call_guarded.h"
#include "universal/foreground_process_cache.h"
#include "universal/hook_decision.h"
#include "universal/hook_timings.h"
#include "universal/keystrokes.h"
#include "universal/mode_ipc.h"
#include "universal/typing_order.h"
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
ForegroundProcessCache g_served_cache;
ForegroundProcessCache g_refusal_cache;
HookTimings g_hook_timings;
TypingOrder g_typing_order;
bool g_send_posted = false;

// Microseconds since `start`, a QueryPerformanceCounter reading.
uint32_t MicrosSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<uint32_t>((now.QuadPart - start.QuadPart) * 1'000'000 / frequency.QuadPart);
}

bool IsDown(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

WaitingKey ReadKey(const KBDLLHOOKSTRUCT& info) {
    WaitingKey typed;
    typed.scanCode = static_cast<uint16_t>(info.scanCode);
    typed.extended = (info.flags & LLKHF_EXTENDED) != 0;
    HookKey& key = typed.key;
    key.vk = info.vkCode;
    key.ctrl = IsDown(VK_CONTROL);
    key.alt = IsDown(VK_MENU);
    key.shift = IsDown(VK_SHIFT);
    key.win = IsDown(VK_LWIN) || IsDown(VK_RWIN);
    return typed;
}

// The foreground window, its thread and process and the layout it types with (null when there is
// none to ask).
struct Foreground {
    HWND window = nullptr;
    DWORD thread = 0;
    DWORD processId = 0;
    HKL layout = nullptr;
};

Foreground ReadForeground() {
    Foreground foreground;
    foreground.window = GetForegroundWindow();
    if (!foreground.window) return foreground;
    foreground.thread = GetWindowThreadProcessId(foreground.window, &foreground.processId);
    if (foreground.thread) foreground.layout = GetKeyboardLayout(foreground.thread);
    return foreground;
}

// While a key is handled the foreground is read once: each question about it is a round trip to
// the window server on some systems, and the handling of one key asks several.
std::optional<Foreground> g_key_foreground;

class ForegroundForOneKey {
public:
    ForegroundForOneKey() : outer(g_key_foreground) { g_key_foreground = ReadForeground(); }
    ~ForegroundForOneKey() { g_key_foreground = outer; }
    ForegroundForOneKey(const ForegroundForOneKey&) = delete;
    ForegroundForOneKey& operator=(const ForegroundForOneKey&) = delete;

private:
    std::optional<Foreground> outer;
};

Foreground CurrentForeground() { return g_key_foreground ? *g_key_foreground : ReadForeground(); }

// What the key types in the foreground's layout with the modifiers and Caps Lock as they are: one
// UTF-16 unit, 0 for a dead key, and the plain letter or digit when the layout gives nothing
// usable.
wchar_t KeyCharacter(const WaitingKey& typed) {
    const HookKey& key = typed.key;
    BYTE state[256] = {};
    if (key.shift) state[VK_SHIFT] = 0x80;
    if (key.ctrl) state[VK_CONTROL] = 0x80;
    if (key.alt) state[VK_MENU] = 0x80;
    const bool capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    state[VK_CAPITAL] = capsLock ? 1 : 0;
    wchar_t units[8] = {};
    const int produced = ToUnicodeEx(key.vk, typed.scanCode, state, units, 8, kKeepKeyboardState,
                                     CurrentForeground().layout);
    if (produced == 1) return units[0];
    if (produced < 0) return 0;
    if (key.vk >= 'A' && key.vk <= 'Z') {
        const wchar_t upper = static_cast<wchar_t>(key.vk);
        return key.shift != capsLock ? upper : static_cast<wchar_t>(upper - L'A' + L'a');
    }
    if (key.vk >= '0' && key.vk <= '9') return static_cast<wchar_t>(key.vk);
    return 0;
}

// True when the key is eaten. A letter that joined the word is typed by the program in its place.
bool CarryOut(const HookDecision& decision) {
    if (decision.clearPredicting) g_is_predicting_next_word = false;
    if (decision.closeList) CloseCandidateList();
    switch (decision.command) {
        case HookDecision::Command::None: break;
        case HookDecision::Command::SelectNext: g_candidate_popup.SelectNext(); break;
        case HookDecision::Command::SelectPrev: g_candidate_popup.SelectPrev(); break;
        case HookDecision::Command::CommitRow: CommitCandidateByIndex(decision.row); break;
        case HookDecision::Command::UpdateCandidates: UpdateCandidateWindow(); break;
        case HookDecision::Command::CommitWord:
            CommitWordAtBoundary(decision.commit, decision.predictionsFollow);
            break;
    }
    if (decision.typeLetter) {
        Keystrokes letter;
        AppendUnicode(letter, std::wstring_view(&decision.typeLetter, 1));
        QueueTypedKeys(letter);
    }
    return decision.eat;
}

// True when the key is eaten.
bool HandleKeyDown(WaitingKey typed) {
    HookKey& key = typed.key;
    if (const std::optional<ModeToggle> toggle = HotKeyToggle(key)) {
        if (*toggle == ModeToggle::BanglaEnglish) {
            TriggerModeToggle();
        } else {
            TriggerTranslationToggle();
        }
        return true;
    }
    const ForegroundForOneKey foreground;
    ResetIfFocusChanged();
    HookView view;
    view.handleNow = ShouldHandleNow();
    view.windowVisible = g_candidate_popup.Visible();
    view.selected = g_candidate_popup.Selected();
    view.listSize = g_current_candidates.size();
    view.predicting = g_is_predicting_next_word;
    view.suggestionsPaused = g_topbar.State().suggestionsPaused;
    if (view.handleNow) key.character = KeyCharacter(typed);
    return CarryOut(DecideKey(key, view, g_typing));
}

// Asks the message loop to send the queued keys; without a window to post to (it is gone) they are
// sent at once.
void RequestSend() {
    if (g_send_posted) return;
    g_send_posted = g_window && PostMessageW(g_window, kSendTypedKeysMessage, 0, 0);
    if (!g_send_posted) SendTypedKeys();
}

// The keys the program typed could not be sent (input is blocked): the word is dropped, so that
// nothing is erased for letters that never arrived.
void DropWordAfterRefusedKeys() {
    g_typing.Reset();
    CloseCandidateList();
    g_is_predicting_next_word = false;
}

// A user's key-down: handled now, or after the program's keys that are still to be sent.
bool OnTypedKeyDown(const KBDLLHOOKSTRUCT& info) {
    if (!g_typing_order.MustWait(info.vkCode)) return HandleKeyDown(ReadKey(info));
    g_typing_order.Wait(ReadKey(info));
    RequestSend();
    return true;
}

// The candidate window handles clicks on its rows itself, and the top bar's buttons act on the
// word on their own.
bool IsOwnPopup(HWND window) {
    if (!window) return false;
    if (window == g_candidate_popup.Handle()) return true;
    wchar_t className[64] = {};
    GetClassNameW(GetAncestor(window, GA_ROOT), className, 64);
    return wcscmp(className, kTopBarClassName) == 0;
}

void HandleMouseDown(WPARAM message, const MSLLHOOKSTRUCT* info) {
    if (message == WM_LBUTTONDOWN && info) g_last_click_pt = info->pt;
    if (info && g_candidate_popup.Visible() && IsOwnPopup(WindowFromPoint(info->pt))) return;
    // The click may move the caret: the letters stay as typed and the word is forgotten.
    g_typing.Reset();
    if (g_candidate_popup.Visible()) CloseCandidateList();
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

// The mandatory integrity level of a process (the last part of its token's label); 0 when it cannot
// be read.
DWORD IntegrityLevel(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return 0;
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<BYTE> label(size);
    DWORD level = 0;
    if (size && GetTokenInformation(token, TokenIntegrityLevel, label.data(), size, &size)) {
        const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
        const UCHAR parts = *GetSidSubAuthorityCount(sid);
        if (parts > 0) level = *GetSidSubAuthority(sid, parts - 1);
    }
    CloseHandle(token);
    return level;
}

// Windows drops, without a word, the keys a program types into a process of a higher integrity
// level. A process whose level cannot be read counts as one: there the user's keys are left alone.
bool RefusesTypedKeys(DWORD processId) {
    static const DWORD ours = IntegrityLevel(GetCurrentProcess());
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return true;
    const DWORD theirs = IntegrityLevel(process);
    CloseHandle(process);
    return theirs == 0 || ours == 0 || theirs > ours;
}

// A fact about the foreground process, from `cache` while it is fresh, else from `look`;
// `withoutProcess` when there is no foreground process to ask about.
bool AskAboutForeground(ForegroundProcessCache& cache, bool withoutProcess,
                        bool (*look)(DWORD processId)) {
    const Foreground foreground = CurrentForeground();
    if (!foreground.thread || !foreground.processId) return withoutProcess;
    return cache.Answer(reinterpret_cast<UINT_PTR>(foreground.window), foreground.processId,
                        GetTickCount(), [&] { return look(foreground.processId); });
}

}  // namespace

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    // Key-ups, and every key this program injects itself, reach the application untouched.
    const bool typedKeyDown = code == HC_ACTION &&
                              (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN) && info &&
                              (info->flags & LLKHF_INJECTED) == 0;
    if (!typedKeyDown) return CallNextHookEx(nullptr, code, wParam, lParam);
    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    const bool eaten = CallGuarded(false, [&] { return OnTypedKeyDown(*info); });
    g_hook_timings.Add(MicrosSince(start));
    return eaten ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
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

void QueueTypedKeys(const Keystrokes& keys) {
    g_typing_order.Queue(keys);
    RequestSend();
}

void SendTypedKeys() {
    g_send_posted = false;
    TypingOrder::Actions actions;
    actions.send = SendKeystrokes;
    actions.handle = HandleKeyDown;
    actions.sendFailed = DropWordAfterRefusedKeys;
    g_typing_order.Drain(actions);
}

void RemoveHooks() {
    SendTypedKeys();  // what the user typed reaches the application before the hooks go
    if (const std::string timings = g_hook_timings.Describe(); !timings.empty()) Log(timings);
    if (g_keyboard_hook) UnhookWindowsHookEx(g_keyboard_hook);
    if (g_mouse_hook) UnhookWindowsHookEx(g_mouse_hook);
    g_keyboard_hook = nullptr;
    g_mouse_hook = nullptr;
}

bool ShouldHandleNow() {
    const HKL layout = CurrentForeground().layout;
    const bool bengaliLayout =
        layout && LOWORD(reinterpret_cast<UINT_PTR>(layout)) == kBengaliLanguage;
    return ShouldHandleTyping(g_settings.hostEnabled, g_typing.Enabled(),
                              ModeIpc::Instance().GetMode(), bengaliLayout,
                              TsfLoadedInForegroundProcess, ForegroundRefusesTypedKeys);
}

bool ForegroundRefusesTypedKeys() {
    return AskAboutForeground(g_refusal_cache, false, RefusesTypedKeys);
}

bool TsfLoadedInForegroundProcess() {
    return AskAboutForeground(g_served_cache, true, ModulesHoldInputProcessor);
}

void ResetIfFocusChanged() {
    const HWND foreground = CurrentForeground().window;
    if (foreground == g_last_foreground) return;
    g_last_foreground = foreground;
    g_typing.Reset();
    if (g_candidate_popup.Visible()) CloseCandidateList();
    g_is_predicting_next_word = false;
}

POINT LastClickPoint() { return g_last_click_pt; }

}  // namespace qorva::universal
