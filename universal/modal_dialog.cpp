#include "universal/modal_dialog.h"

namespace qorva::universal {
namespace {

bool IsDialogKey(const MSG& message, HWND dialog) {
    return message.message == WM_KEYDOWN &&
           (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
           (message.hwnd == dialog || IsChild(dialog, message.hwnd));
}

void Dispatch(MSG& message) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

void RegisterDialogClass(const wchar_t* className, WNDPROC procedure, HBRUSH background) {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
}

HWND CreateModalDialog(const wchar_t* className, const wchar_t* title, int width, int height,
                       HWND owner, void* state, const POINT* topLeft) {
    const POINT centred{(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                        (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
    const POINT at = topLeft ? *topLeft : centred;
    const HWND window =
        CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, className, title,
                        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, at.x, at.y, width, height,
                        owner, nullptr, GetModuleHandleW(nullptr), state);
    if (!window) return nullptr;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetForegroundWindow(window);
    return window;
}

HWND MakeDialogButton(HWND dialog, const wchar_t* text, DWORD style, int x, int y, int width,
                      int height, int id) {
    return CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y,
                           width, height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

LRESULT TransparentControlColours(WPARAM dc, COLORREF ink) {
    SetBkMode(reinterpret_cast<HDC>(dc), TRANSPARENT);
    SetTextColor(reinterpret_cast<HDC>(dc), ink);
    return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
}

LoopEnd RunDialogLoop(HWND dialog, DialogKeys keys) {
    MSG message;
    while (IsWindow(dialog)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return {true, static_cast<int>(message.wParam)};
        if (got == -1) break;
        if (keys == DialogKeys::DialogManager && IsDialogMessageW(dialog, &message)) continue;
        if (keys == DialogKeys::ToDialog && IsDialogKey(message, dialog)) message.hwnd = dialog;
        Dispatch(message);
    }
    return {};
}

LoopEnd WaitDispatching(HANDLE event) {
    LoopEnd end;
    for (;;) {
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) return end;
        if (woken != WAIT_OBJECT_0 + 1) {
            // The wait itself failed: waiting without messages still ends.
            WaitForSingleObject(event, INFINITE);
            return end;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                if (!end.quit) end = {true, static_cast<int>(message.wParam)};
                continue;
            }
            Dispatch(message);
        }
    }
}

void RepostQuit(const LoopEnd& loop, const LoopEnd& wait) {
    if (loop.quit) {
        PostQuitMessage(loop.exitCode);
    } else if (wait.quit) {
        PostQuitMessage(wait.exitCode);
    }
}

}  // namespace qorva::universal
