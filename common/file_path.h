// File access by UTF-8 path. The programs keep paths in UTF-8 or UTF-16; on Windows the narrow C
// runtime functions would read UTF-8 bytes in the ANSI code page and fail for a user folder with
// non-ASCII characters, so these helpers convert to UTF-16 and use the wide functions there.
// Elsewhere the bytes go to the C runtime unchanged. A path that is not valid UTF-8 is passed to
// the narrow functions as it stands, so a caller that still hands over an ANSI code-page path keeps
// working.
#pragma once

#include <cstdio>
#include <string>

namespace qorva {

// Same modes as fopen; returns null when the file cannot be opened, with errno
// ENOENT when it does not exist. On Windows a file opened only for reading
// shares reading, writing and deletion, so that it can be replaced meanwhile.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode);

// True when the path names an existing file that is not a directory.
bool FileExists(const std::string& utf8Path);

// True when the path names an existing file marked read-only: on Windows its read-only attribute,
// elsewhere a mode that lets nobody write it.
bool IsReadOnlyFile(const std::string& utf8Path);

// Deletes the file; false when it did not exist or could not be deleted.
bool RemoveFile(const std::string& utf8Path);

// Moves a finished file over its destination in one step, replacing an existing destination, so
// readers see either the old or the new file and never a half-written one. Write the new content to
// a temporary file in the destination's folder, close it, then call this. On Windows a destination
// that readers hold open is replaced all the same when they share deletion, and one that another
// program holds without sharing it is tried again for about a second.
bool MoveFileReplacing(const std::string& utf8SourcePath, const std::string& utf8DestinationPath);

// Pushes what was written to the open file through the C runtime and the system's caches to the
// disk, so that a file moved into place after a power cut is not found empty.
bool FlushToDisk(std::FILE* file);

// Replaces the file's whole content with `bytes`: they go to a temporary file beside it whose name
// no other writer (process or thread) uses at the same time, reach the disk, and the temporary file
// then replaces the target. True when the new content is in place; on any failure the old file is
// left as it was and the temporary file is removed. A read-only target is refused: the rename would
// otherwise replace a file the user marked to be kept as it is.
bool WriteWholeFile(const std::string& utf8Path, const std::string& bytes);

// Appends `line` and then `lineEnd` to the file, creating it when missing. A file whose last byte
// is no line feed (an editor may save it so) gets `lineEnd` first, so that the line does not join
// the last one. True when everything was written.
bool AppendLine(const std::string& utf8Path, const std::string& line, const char* lineEnd);

}  // namespace qorva
