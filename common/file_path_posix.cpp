#include <sys/stat.h>
#include <unistd.h>

#include "common/file_path.h"

namespace qorva {

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
    return std::fopen(utf8Path.c_str(), mode);
}

bool FileExists(const std::string& utf8Path) {
    struct stat status;
    return stat(utf8Path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// The mode, not access(): a process running as root may write anything, yet the user's mark stands.
bool IsReadOnlyFile(const std::string& utf8Path) {
    struct stat status;
    return stat(utf8Path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode) &&
           (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool RemoveFile(const std::string& utf8Path) { return std::remove(utf8Path.c_str()) == 0; }

// rename replaces an existing destination atomically on POSIX systems.
bool MoveFileReplacing(const std::string& utf8SourcePath, const std::string& utf8DestinationPath) {
    return std::rename(utf8SourcePath.c_str(), utf8DestinationPath.c_str()) == 0;
}

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

}  // namespace qorva
