// How a session's time-outs become WinHTTP's. Kept apart from the transport so that tests can read
// back what a handle was given.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "services/http_transport.h"

namespace qorva {

// Sets the bounds of every phase on a session or request handle: name resolution by `timeout`,
// connecting, sending and receiving by their own bound where one is given, else by `timeout`.
void ApplyWinHttpTimeouts(HINTERNET handle, const HttpSessionOptions& options);

}  // namespace qorva
