// The message loops of the universal program's modal windows. They run on the caller's thread and
// dispatch every message of that thread, so that its other windows (on the main thread: the hidden
// window, the top bar and the keyboard hook) keep working while a dialog is open. A quit message
// that ends a loop is handed back, to be posted again once the dialog has let go of everything,
// so that the caller's own loop still ends on it.
#pragma once

#include <windows.h>

namespace qorva::universal {

struct LoopEnd {
    bool quit = false;  // a WM_QUIT was taken from the queue
    int exitCode = 0;   // its exit code
};

// Whether Enter and Escape pressed in the dialog or in any of its controls go to the dialog
// itself: its controls would swallow them, as no dialog manager routes keys here.
enum class DialogKeys { ToControls, ToDialog };

// Runs the thread's messages while `running` holds and `dialog` exists. A retrieval error ends the
// loop too.
LoopEnd RunDialogLoop(HWND dialog, const bool& running, DialogKeys keys);

// Dispatches the thread's messages until `event` is signalled.
LoopEnd WaitDispatching(HANDLE event);

// Posts again the quit that one of the loops took (the first one's when both took one).
void RepostQuit(const LoopEnd& loop, const LoopEnd& wait = {});

}  // namespace qorva::universal
