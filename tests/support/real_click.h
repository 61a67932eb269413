// Clicks that travel through the system's input queue like a user's mouse, for Windows tests of
// windows that must react to real input (and must not take the focus from it).
#pragma once

#include <windows.h>

#include <functional>

namespace qorva_test {

// Sends `times` left clicks at a screen point in one SendInput call. The pointer's move travels
// with the presses: under Wine a window just mapped under the pointer can otherwise move it back
// to where it was before.
bool SendClicksAt(POINT screenPoint, int times = 1);

// Clicks (`times` in a row) at the point and dispatches this thread's messages until `arrived`
// holds, clicking again when a click showed no effect for `waitEachMs`. A starved Wine desktop can
// drop the button presses of an injected click (the window sees the pointer arrive, never the
// press); a test that clicks once would then fail for the machine's load, not for the window under
// test.
bool ClickUntil(POINT screenPoint, const std::function<bool()>& arrived, int attempts = 5,
                DWORD waitEachMs = 3000, int times = 1);

}  // namespace qorva_test
