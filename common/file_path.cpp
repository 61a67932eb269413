#include "common/file_path.h"

#include <atomic>

#include "common/platform.h"

namespace qorva {
namespace {

// The process id tells processes apart, the counter the writers of one process.
std::string UniqueTemporaryPath(const std::string& utf8Path) {
    static std::atomic<unsigned long> counter{0};
    return utf8Path + "." + std::to_string(platform::ProcessId()) + "." +
           std::to_string(counter.fetch_add(1)) + ".tmp";
}

bool WriteAndClose(std::FILE* file, const std::string& bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = written && FlushToDisk(file);
    const bool closed = std::fclose(file) == 0;
    return flushed && closed;
}

// Whether the file has bytes and the last is no line feed.
bool EndsInsideLine(const std::string& utf8Path) {
    std::FILE* file = OpenFile(utf8Path, "rb");
    if (file == nullptr) return false;
    bool inside = false;
    if (std::fseek(file, -1, SEEK_END) == 0) inside = std::fgetc(file) != '\n';
    std::fclose(file);
    return inside;
}

}  // namespace

bool WriteWholeFile(const std::string& utf8Path, const std::string& bytes) {
    if (IsReadOnlyFile(utf8Path)) return false;
    const std::string temporaryPath = UniqueTemporaryPath(utf8Path);
    std::FILE* file = OpenFile(temporaryPath, "wb");
    if (file == nullptr) return false;
    if (WriteAndClose(file, bytes) && MoveFileReplacing(temporaryPath, utf8Path)) return true;
    RemoveFile(temporaryPath);
    return false;
}

bool AppendLine(const std::string& utf8Path, const std::string& line, const char* lineEnd) {
    std::string bytes = EndsInsideLine(utf8Path) ? lineEnd : "";
    bytes += line;
    bytes += lineEnd;
    std::FILE* file = OpenFile(utf8Path, "ab");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace qorva
