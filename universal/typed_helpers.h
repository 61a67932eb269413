// Small things the top bar can type for the user, without the window system: today's date, the
// time, and the shortcut that opens Windows' emoji panel. Portable.
#pragma once

#include <string>

#include "universal/keystrokes.h"

namespace qorva::universal {

// "dd/mm/yyyy", with the Bengali digits ০ to ৯ when `bengaliDigits`.
std::wstring DateText(int day, int month, int year, bool bengaliDigits);

// "h:mm AM" or "h:mm PM" on a 12-hour clock: hour 0 and hour 12 read 12.
std::wstring TimeText(int hour, int minute);

// Win held while the full stop is pressed: Windows opens its emoji panel.
Keystrokes EmojiPanelKeystrokes();

}  // namespace qorva::universal
