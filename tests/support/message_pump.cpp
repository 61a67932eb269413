#include "tests/support/message_pump.h"

namespace qorva_test {
namespace {

thread_local bool t_pumped_quit = false;

void DispatchWaiting() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            t_pumped_quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD waitMs) {
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;) {
        DispatchWaiting();
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool PumpedQuit() { return t_pumped_quit; }

void ForgetPumpedQuit() { t_pumped_quit = false; }

}  // namespace qorva_test
