#pragma once

#include <cstdio>
#include <string>

namespace bangla {

// File access by UTF-8 path. The hosts hand the engine UTF-8 paths; on
// Windows the narrow C runtime functions would read those bytes in the ANSI
// code page and fail for a user folder with non-ASCII characters, so these
// helpers convert to UTF-16 and use the wide functions there. Elsewhere the
// bytes go to the C runtime unchanged. A path that is not valid UTF-8 is
// passed to the narrow functions as it stands, so a caller that still hands
// over an ANSI code-page path keeps working.

// Same modes as fopen; returns null when the file cannot be opened.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode);

// True when the path names an existing file that is not a directory.
bool FileExists(const std::string& utf8Path);

// Deletes the file; false when it did not exist or could not be deleted.
bool RemoveFile(const std::string& utf8Path);

// Moves a finished file over its destination in one step, replacing an
// existing destination, so readers see either the old or the new file and
// never a half-written one. Write the new content to a temporary file in the
// destination's folder, close it, then call this.
bool MoveFileReplacing(const std::string& utf8SourcePath, const std::string& utf8DestinationPath);

}  // namespace bangla
