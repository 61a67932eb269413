// The top bar's add-word dialog: a small modal window that asks for a Latin key and a Bangla word
// and adds the pair to the dashboard's word list, to user_dict.txt and to the running engine.
#pragma once

#include <windows.h>

namespace qorva::universal {

inline constexpr wchar_t kAddWordDialogClass[] = L"QorvaAddWordDlgClass";
// The dialog's controls.
inline constexpr int kAddWordKeyEdit = 101;
inline constexpr int kAddWordWordEdit = 102;
inline constexpr int kAddWordAddButton = IDOK;
inline constexpr int kAddWordCancelButton = IDCANCEL;

// Runs the dialog modally over `parent` (the bar window, `barWidth` wide), which is disabled
// meanwhile, and returns once it is closed. A quit message that arrives meanwhile closes the dialog
// and is posted again for the program's own loop.
void ShowAddWordDialog(HWND parent, int barWidth);

}  // namespace qorva::universal
