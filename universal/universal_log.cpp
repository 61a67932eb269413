#include "universal/universal_log.h"

#include <cstdio>

#include "common/file_path.h"

namespace qorva::universal {
namespace {

// The size of the file, or 0 when it cannot be read.
uint64_t FileBytes(const std::string& utf8Path) {
    std::FILE* file = OpenFile(utf8Path, "rb");
    if (!file) return 0;
    const bool sought = std::fseek(file, 0, SEEK_END) == 0;
    const long size = sought ? std::ftell(file) : -1;
    std::fclose(file);
    return size > 0 ? static_cast<uint64_t>(size) : 0;
}

}  // namespace

std::string LogLinePrefix(const LocalTime& t) {
    char prefix[64];
    std::snprintf(prefix, sizeof(prefix), "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return prefix;
}

void AppendLogLine(const std::string& utf8Path, const LocalTime& time, const std::string& message) {
    if (FileBytes(utf8Path) > kLogRestartBytes) RemoveFile(utf8Path);
    std::FILE* file = OpenFile(utf8Path, "ab");
    if (!file) return;
    // Written as Windows' text mode would, on every platform, so the tests see the bytes on disk.
    const std::string line = LogLinePrefix(time) + message + "\r\n";
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}

}  // namespace qorva::universal
