#pragma once

#include <string>

namespace bangla {

// A save that could not write a learned-data file is never silent: it leaves
// a line in learned_data.log in the data folder, local time first, saying
// which file and where its changes went. The log starts over once it passes
// 64 KB, so it never grows without bound.
void LogUnsavedLearnedData(const std::string& folder, const std::string& fileName, bool lockHeld,
                           bool keptAside);

}  // namespace bangla
