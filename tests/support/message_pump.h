// Waiting in a Windows test while this thread's windows keep answering: stand-ins that other
// programs talk to, and windows under test whose work arrives as posted messages.
#pragma once

#include <windows.h>

#include <functional>

namespace qorva_test {

// Dispatches this thread's messages until `done` holds; false after `waitMs`, which only keeps a
// broken program from hanging the run. A WM_QUIT taken from the queue is remembered (PumpedQuit).
bool PumpUntil(const std::function<bool()>& done, DWORD waitMs = 30000);

// Whether PumpUntil took a WM_QUIT from this thread's queue since the last ForgetPumpedQuit.
bool PumpedQuit();
void ForgetPumpedQuit();

}  // namespace qorva_test
