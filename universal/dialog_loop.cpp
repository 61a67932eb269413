#include "universal/dialog_loop.h"

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

LoopEnd RunDialogLoop(HWND dialog, const bool& running, DialogKeys keys) {
    MSG message;
    while (running && IsWindow(dialog)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return {true, static_cast<int>(message.wParam)};
        if (got == -1) break;
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
