// The Windows side of the keyboard hook's end-to-end test. The driver script (hook_end_to_end.py)
// runs it inside the test prefix for what only a Windows program can do:
//
//   hook_probe hold-app-data FOLDER   points the session's application-data folder at FOLDER,
//                                     writes FOLDER\held, and puts the old one back once
//                                     FOLDER\release appears
//   hook_probe write-lexicon PATH     writes the test's small lexicon.bin
//   hook_probe rows LEXICON WORD OUT [TYPED=CHOSEN...]
//                                     writes the rows the candidate window shows for WORD with a
//                                     fresh engine on LEXICON, one UTF-8 line each, once the words
//                                     before it were chosen and committed as the program does
//                                     (they rank the next word's rows)
//   hook_probe edit OUT [--inject TEXT]
//                                     shows a multi-line Edit in the foreground and writes its text
//                                     as UTF-8 to OUT at every change; writes OUT.ready once it has
//                                     the keyboard focus, then, with --inject, types TEXT itself
//                                     through SendInput as plain key presses
//   hook_probe close-window CLASS     posts WM_CLOSE to the window of that class
//   hook_probe post CLASS MESSAGE LPARAM
//                                     posts the message (decimal) to the window of that class
//   hook_probe menu-keys CLASS VK...  waits until the thread of the window of that class shows a
//                                     popup menu, then posts it the keys (decimal virtual keys)
//   hook_probe text-of CLASS OUT      writes the text of the text control in the top-level window
//                                     of that class (another program's Edit or rich edit) as UTF-8
//   hook_probe text-point CLASS OUT   writes "x y", a screen point inside that text control, for a
//                                     click into it
//   hook_probe has-focus CLASS        exits with 0 when the window of that class is in the
//                                     foreground with the keyboard focus in its text control
//   hook_probe count-processes NAME   exits with the number of running processes of that name
//   hook_probe mode                   exits with the shared typing mode
//
// Exit status 0 on success, 2 for a usage error, 1 for a failure.
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "common/engine_host.h"
#include "common/file_path.h"
#include "common/text.h"
#include "tests/support/app_data_override.h"
#include "tools/lib/lexicon_writer.h"
#include "universal/keystrokes.h"
#include "universal/mode_ipc.h"
#include "universal/word_choice.h"

namespace {

using qorva::Utf16ToUtf8;

constexpr DWORD kPollMs = 50;
constexpr DWORD kHoldLimitMs = 30 * 60 * 1000;
constexpr DWORD kMenuWaitMs = 120 * 1000;
constexpr UINT_PTR kFocusTimer = 1;
constexpr int kEditId = 1;

bool Exists(const std::wstring& path) { return qorva::FileExists(Utf16ToUtf8(path)); }

bool Write(const std::wstring& path, const std::string& bytes) {
    return qorva::WriteWholeFile(Utf16ToUtf8(path), bytes);
}

int HoldAppData(const std::wstring& folder) {
    const qorva_test::AppDataOverride appData(folder);
    if (!Write(folder + L"\\held", "")) return 1;
    for (DWORD waited = 0; !Exists(folder + L"\\release") && waited < kHoldLimitMs;
         waited += kPollMs) {
        Sleep(kPollMs);
    }
    return 0;
}

int WriteLexicon(const std::wstring& path) {
    const std::vector<bangla::LexiconEntry> entries = {
        {"\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF", "ami", 900, 1},                // আমি
        {"\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA7\x80", "ami", 300, 0},                // আমী
        {"\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xB0\xE0\xA6\xBE", "amra", 500, 1},   // আমরা
        {"\xE0\xA6\xA4\xE0\xA7\x81\xE0\xA6\xAE\xE0\xA6\xBF", "tumi", 800, 1},   // তুমি
        {"\xE0\xA6\xAD\xE0\xA6\xBE\xE0\xA6\xB2\xE0\xA7\x8B", "bhalo", 700, 1},  // ভালো
        {"\xE0\xA6\x95\xE0\xA7\x87\xE0\xA6\xAE\xE0\xA6\xA8", "kemon", 600, 1},  // কেমন
        {"\xE0\xA6\x86\xE0\xA6\x9B\xE0\xA6\xBF", "achi", 500, 1},               // আছি
    };
    return bangla::WriteLexiconFile(Utf16ToUtf8(path), entries) ? 0 : 1;
}

int Rows(const std::wstring& lexicon, const std::wstring& word, const std::wstring& out,
         const std::vector<std::wstring>& before) {
    qorva::EngineFiles files;
    files.lexiconPath = Utf16ToUtf8(lexicon);
    const qorva::EnginePtr engine = qorva::CreateEngine(files, qorva::EngineSettings{});
    if (!engine) return 1;
    for (const std::wstring& choice : before) {
        const size_t equals = choice.find(L'=');
        if (equals == std::wstring::npos) return 2;
        const std::string chosen = Utf16ToUtf8(choice.substr(equals + 1));
        BanglaEngine_LearnWord(engine.get(), Utf16ToUtf8(choice.substr(0, equals)).c_str(),
                               chosen.c_str());
        BanglaEngine_CommitWord(engine.get(), chosen.c_str());
    }
    std::string lines;
    for (const std::wstring& row : qorva::universal::WordCandidates(engine.get(), word)) {
        lines += Utf16ToUtf8(row) + "\n";
    }
    return Write(out, lines) ? 0 : 1;
}

// The test window: an Edit filling a top-level window.
struct EditWindow {
    std::wstring out;
    std::wstring inject;
    HWND frame = nullptr;
    HWND edit = nullptr;
    bool ready = false;
};
EditWindow g_edit;

void SaveEditText() {
    const int length = GetWindowTextLengthW(g_edit.edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(g_edit.edit, text.data(), length + 1)));
    Write(g_edit.out, Utf16ToUtf8(text));
}

void TypeInjected(const std::wstring& text) {
    qorva::universal::Keystrokes keys;
    for (wchar_t c : text) {
        const uint16_t vk = c == L' ' ? VK_SPACE : static_cast<uint16_t>(towupper(c));
        qorva::universal::AppendVirtualKey(keys, vk);
    }
    qorva::universal::SendKeystrokes(keys);
}

// Ready once this window is in the foreground with the keyboard focus in the Edit: only then do
// typed keys reach it.
void CheckFocus(HWND frame) {
    if (GetForegroundWindow() != frame) SetForegroundWindow(frame);
    if (GetFocus() != g_edit.edit) SetFocus(g_edit.edit);
    if (GetForegroundWindow() != frame || GetFocus() != g_edit.edit) return;
    KillTimer(frame, kFocusTimer);
    SaveEditText();
    Write(g_edit.out + L".ready", "");
    if (!g_edit.inject.empty()) TypeInjected(g_edit.inject);
}

LRESULT CALLBACK EditFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) SaveEditText();
            return 0;
        case WM_TIMER:
            if (wParam == kFocusTimer) CheckFocus(window);
            return 0;
        case WM_SIZE:
            if (g_edit.edit) MoveWindow(g_edit.edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Edit(const std::wstring& out, const std::wstring& inject) {
    g_edit.out = out;
    g_edit.inject = inject;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = EditFrameProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    windowClass.lpszClassName = L"QorvaHookTestWindow";
    RegisterClassW(&windowClass);
    g_edit.frame =
        CreateWindowExW(0, windowClass.lpszClassName, L"Qorva hook test", WS_OVERLAPPEDWINDOW, 200,
                        200, 600, 300, nullptr, nullptr, instance, nullptr);
    if (!g_edit.frame) return 1;
    RECT client{};
    GetClientRect(g_edit.frame, &client);
    g_edit.edit = CreateWindowExW(
        0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0,
        0, client.right, client.bottom, g_edit.frame,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance, nullptr);
    if (!g_edit.edit) return 1;
    ShowWindow(g_edit.frame, SW_SHOWNORMAL);
    SetForegroundWindow(g_edit.frame);
    SetFocus(g_edit.edit);
    SetTimer(g_edit.frame, kFocusTimer, kPollMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int CloseWindow(const std::wstring& className) {
    const HWND window = FindWindowW(className.c_str(), nullptr);
    return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int Post(const std::wstring& className, const std::wstring& message, const std::wstring& lParam) {
    const HWND window = FindWindowW(className.c_str(), nullptr);
    return window && PostMessageW(window, static_cast<UINT>(std::stoul(message)), 0,
                                  static_cast<LPARAM>(std::stoll(lParam)))
               ? 0
               : 1;
}

struct MenuSearch {
    DWORD thread;
    bool found;
};

BOOL CALLBACK FindShownMenu(HWND window, LPARAM search) {
    auto* menu = reinterpret_cast<MenuSearch*>(search);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32768") == 0 && IsWindowVisible(window) &&
        GetWindowThreadProcessId(window, nullptr) == menu->thread) {
        menu->found = true;
        return FALSE;
    }
    return TRUE;
}

// An open menu takes the keys of its thread's queue, whichever of its windows they were posted to.
int MenuKeys(const std::wstring& className, const std::vector<std::wstring>& keys) {
    const HWND window = FindWindowW(className.c_str(), nullptr);
    if (!window) return 1;
    MenuSearch search{GetWindowThreadProcessId(window, nullptr), false};
    for (DWORD waited = 0; waited < kMenuWaitMs; waited += kPollMs) {
        EnumWindows(FindShownMenu, reinterpret_cast<LPARAM>(&search));
        if (search.found) break;
        Sleep(kPollMs);
    }
    if (!search.found) return 1;
    // A typed key as it reaches a queue: Enter also as the character that a menu chooses on.
    for (const std::wstring& key : keys) {
        const WPARAM vk = std::stoul(key);
        if (!PostMessageW(window, WM_KEYDOWN, vk, 1) ||
            (vk == VK_RETURN && !PostMessageW(window, WM_CHAR, L'\r', 1)) ||
            !PostMessageW(window, WM_KEYUP, vk, 0xC0000001)) {
            return 1;
        }
    }
    return 0;
}

// The text control of a top-level window: its first direct child whose class holds "Edit" or
// "Rich", as Notepad's Edit and WordPad's rich edit are. Controls nested deeper (the edit field of
// WordPad's font box) are not the document.
HWND TextControlOf(const std::wstring& className) {
    const HWND frame = FindWindowW(className.c_str(), nullptr);
    if (!frame) return nullptr;
    for (HWND child = FindWindowExW(frame, nullptr, nullptr, nullptr); child;
         child = FindWindowExW(frame, child, nullptr, nullptr)) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        _wcsupr(name);
        if (wcsstr(name, L"EDIT") || wcsstr(name, L"RICH")) return child;
    }
    return nullptr;
}

int TextOf(const std::wstring& className, const std::wstring& out) {
    const HWND control = TextControlOf(className);
    if (!control) return 1;
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return 1;
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                             &copied)) {
        return 1;
    }
    text.resize(copied);
    return Write(out, Utf16ToUtf8(text)) ? 0 : 1;
}

int TextPoint(const std::wstring& className, const std::wstring& out) {
    const HWND control = TextControlOf(className);
    RECT client{};
    if (!control || !GetClientRect(control, &client)) return 1;
    POINT point{client.left + 60, client.top + 12};
    if (!ClientToScreen(control, &point)) return 1;
    return Write(out, std::to_string(point.x) + " " + std::to_string(point.y)) ? 0 : 1;
}

int HasFocus(const std::wstring& className) {
    const HWND control = TextControlOf(className);
    const HWND foreground = GetForegroundWindow();
    if (!control || foreground != GetAncestor(control, GA_ROOT)) return 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info)) return 1;
    return info.hwndFocus == control ? 0 : 1;
}

int CountProcesses(const std::wstring& name) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        count += _wcsicmp(entry.szExeFile, name.c_str()) == 0;
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const std::wstring command = args.empty() ? L"" : args[0];
    if (command == L"hold-app-data" && args.size() == 2) return HoldAppData(args[1]);
    if (command == L"write-lexicon" && args.size() == 2) return WriteLexicon(args[1]);
    if (command == L"rows" && args.size() >= 4) {
        return Rows(args[1], args[2], args[3],
                    std::vector<std::wstring>(args.begin() + 4, args.end()));
    }
    if (command == L"edit" && args.size() == 2) return Edit(args[1], L"");
    if (command == L"edit" && args.size() == 4 && args[2] == L"--inject") {
        return Edit(args[1], args[3]);
    }
    if (command == L"close-window" && args.size() == 2) return CloseWindow(args[1]);
    if (command == L"post" && args.size() == 4) return Post(args[1], args[2], args[3]);
    if (command == L"menu-keys" && args.size() >= 3) {
        return MenuKeys(args[1], std::vector<std::wstring>(args.begin() + 2, args.end()));
    }
    if (command == L"text-of" && args.size() == 3) return TextOf(args[1], args[2]);
    if (command == L"text-point" && args.size() == 3) return TextPoint(args[1], args[2]);
    if (command == L"has-focus" && args.size() == 2) return HasFocus(args[1]);
    if (command == L"count-processes" && args.size() == 2) return CountProcesses(args[1]);
    if (command == L"mode" && args.size() == 1) {
        return static_cast<int>(qorva::ModeIpc::Instance().GetMode());
    }
    return 2;
}
