// The start-up Run value "QorvaUniversal" under the current user's
// Software\Microsoft\Windows\CurrentVersion\Run key, which starts the universal program at log-on.
// Windows only.
#pragma once

#include <string>

namespace qorva {

// Sets the value to the program's path in double quotes; true when it was written.
bool SetStartupRunValue(const std::wstring& programPath);
// Removes the value; true when none is left (a missing value is fine).
bool DeleteStartupRunValue();

}  // namespace qorva
