#pragma once

#include <string>
#include <vector>

namespace bangla {

// Side files of learned changes. An engine that cannot rewrite a shared
// learned-data file safely (the writers' lock cannot be had, the file cannot
// be read or written) must not drop what it learned: it writes its changes to
// a side file of its own beside the shared file, and the next save that holds
// the lock and can read the shared file merges every side file into it and
// deletes them. Starting engines read them too, so nothing learned is out of
// sight meanwhile.
//
// A side file is named after its shared file: "<file>.pending-<time>-<unique>",
// so that names sort in the order the files were made.

// A fresh side-file path for the shared file at utf8MainPath.
std::string NewPendingChangesPath(const std::string& utf8MainPath);

// A fresh path "<file><marker><time>-<unique>" beside the shared file, for
// other kinds of side file.
std::string NewSideFilePath(const std::string& utf8MainPath, const char* marker);

// The side files of the shared file that exist now, oldest first.
std::vector<std::string> PendingChangesPaths(const std::string& utf8MainPath);

}  // namespace bangla
