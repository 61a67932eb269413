// What the universal program's modal windows share: their creation, the state their window
// procedure works on, and their message loops. The loops run on the caller's thread and dispatch
// every message of that thread, so that its other windows (on the main thread: the hidden window,
// the top bar and the keyboard hook) keep working while a dialog is open. A quit message that ends
// a loop is handed back, to be posted again once the dialog has let go of everything, so that the
// caller's own loop still ends on it.
#pragma once

#include <windows.h>

namespace qorva::universal {

// A window procedure over the dialog's state, whose address is the creation parameter: `Handle`
// sees every message from WM_CREATE to WM_NCDESTROY, after which the window lets go of the state.
template <typename State, LRESULT (*Handle)(HWND, UINT, WPARAM, LPARAM, State&)>
LRESULT CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = Handle(window, message, wParam, lParam, *state);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        // A dialog destroyed inside a message sent from another thread goes while GetMessageW
        // waits, which would go on waiting: this wakes the dialog's loop to see it gone.
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    return result;
}

// Registers the class once; a later call fails harmlessly.
void RegisterDialogClass(const wchar_t* className, WNDPROC procedure, HBRUSH background);

// Creates a topmost modal frame, at `topLeft` or else centred on the primary screen, shows it and
// brings it forward; null when it cannot be made. `state` is the creation parameter.
HWND CreateModalDialog(const wchar_t* className, const wchar_t* title, int width, int height,
                       HWND owner, void* state, const POINT* topLeft = nullptr);

// A control of class "BUTTON" in the dialog, tab stop and visible, with its id.
HWND MakeDialogButton(HWND dialog, const wchar_t* text, DWORD style, int x, int y, int width,
                      int height, int id);

// The answer to WM_CTLCOLORSTATIC: the control draws its text in `ink` over what the dialog
// painted.
LRESULT TransparentControlColours(WPARAM dc, COLORREF ink);

struct LoopEnd {
    bool quit = false;  // a WM_QUIT was taken from the queue
    int exitCode = 0;   // its exit code
};

// Whether Enter and Escape pressed in the dialog or in any of its controls go to the dialog
// itself: its controls would swallow them, as no dialog manager routes keys here. With
// `DialogManager` the system's dialog manager takes the keys: Tab moves between the controls, Enter
// presses IDOK and Escape IDCANCEL.
enum class DialogKeys { ToControls, ToDialog, DialogManager };

// Runs the thread's messages while `dialog` exists. A retrieval error ends the loop too.
LoopEnd RunDialogLoop(HWND dialog, DialogKeys keys);

// Dispatches the thread's messages until `event` is signalled.
LoopEnd WaitDispatching(HANDLE event);

// Posts again the quit that one of the loops took (the first one's when both took one).
void RepostQuit(const LoopEnd& loop, const LoopEnd& wait = {});

}  // namespace qorva::universal
