// Ending a running copy of a program the way its user would: ask it to close, so it saves what it
// holds, and force only what does not end in time. The universal program uses it when a second
// start finds the first without its top bar; the dashboard before it starts the program afresh.
// Windows only.
#pragma once

#include <cstdint>
#include <string>

namespace qorva {

// Posts WM_CLOSE to the top-level windows of class `mainWindowClass` of every other running
// process whose executable is `exeName` (case ignored), waits up to `waitMs` in all for them to
// end, then terminates with exit code 0 those still running. A process that cannot be opened is
// left alone.
void CloseOtherInstances(const std::wstring& exeName, const std::wstring& mainWindowClass,
                         uint32_t waitMs);

}  // namespace qorva
