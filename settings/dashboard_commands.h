// The decisions of the dashboard's commands that need no window: where Show TopBar and Reset Center
// put the bar, and what Clean Layout runs.
#pragma once

#include <string>

#include "settings/settings_file.h"

namespace qorva {

// The top bar's full size.
constexpr int kTopBarWidth = 262;
constexpr int kTopBarHeight = 24;

enum class TopBarCommand { Show, ResetCenter };

// Readies the settings for showing the bar on a primary screen `screenWidth` pixels wide: the bar
// is shown, and Reset Center always, Show only when the bar sits at the left edge (x 9 or less) or
// past the right edge (x W - 271 or more), centres it at the top.
void PrepareTopBarSettings(DashboardSettings& settings, int screenWidth, TopBarCommand command);

// The arguments of the elevated PowerShell that removes the text input processor's language
// profile from the system's layout list when no installer is at hand, then says so in a box.
std::wstring CleanLayoutPowerShellArguments();

// The installer's argument that makes it remove the language profile.
constexpr wchar_t kCleanTsfArgument[] = L"--clean-tsf";

}  // namespace qorva
