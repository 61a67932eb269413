// The built text input processor's registration as a test sees it from outside: regsvr32 run on a
// module as an installer runs it, and whether the framework lists the module's Bengali
// (Bangladesh) profile. Windows only.
#pragma once

#include <windows.h>

#include <string>

namespace qorva_test {

// Runs regsvr32 with the arguments ("/s", "/u /s") on the module; its exit code, -1 when it could
// not be started.
DWORD RunRegsvr32(const std::wstring& arguments, const std::wstring& modulePath);

// Whether the framework lists the text service's Bengali (Bangladesh) profile. Needs COM on the
// calling thread.
bool ProfileListed();

}  // namespace qorva_test
