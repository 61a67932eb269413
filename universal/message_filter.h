// Windows' message filter between integrity levels, for the windows that other programs talk to.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace qorva::universal {

// Lets these messages reach `window` from programs at a lower integrity level too. The filter
// function is looked up at run time, as Windows before 7 lacks it; without it nothing is done.
void AllowMessagesFromOtherPrograms(HWND window, std::initializer_list<UINT> messages);

}  // namespace qorva::universal
