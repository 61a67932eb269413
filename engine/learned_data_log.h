#pragma once

#include <string>

namespace bangla {

// A save that could not write a learned-data file is never silent: it leaves
// a line in learned_data.log in the data folder, local time first, saying
// which file and where its changes went. The log starts over once it passes
// 64 KB, so it never grows without bound.
void LogUnsavedLearnedData(const std::string& folder, const std::string& fileName, bool lockHeld,
                           bool keptAside);

// Any other event of the learned data worth a line in that log: `message`
// after the time.
void LogLearnedDataEvent(const std::string& folder, const std::string& message);

}  // namespace bangla
