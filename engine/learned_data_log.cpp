#include "engine/learned_data_log.h"

#include <cstdio>
#include <ctime>

#include "common/file_path.h"
#include "engine/learned_data_format.h"

namespace bangla {

namespace {

constexpr const char* kLogName = "learned_data.log";
constexpr long kMaxLogBytes = 64 * 1024;

std::string LocalTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &local);
    return stamp;
}

bool LogIsFull(const std::string& path) {
    std::FILE* file = qorva::OpenFile(path, "rb");
    if (file == nullptr) return false;
    const bool full = std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) > kMaxLogBytes;
    std::fclose(file);
    return full;
}

}  // namespace

void LogUnsavedLearnedData(const std::string& folder, const std::string& fileName, bool lockHeld,
                           bool keptAside) {
    LogLearnedDataEvent(folder, fileName + " not written: " +
                                    (lockHeld ? "the file could not be read or replaced"
                                              : "the writers' lock was busy") +
                                    "; " +
                                    (keptAside ? "the changes wait in a side file for the next save"
                                               : "the changes could not be kept aside"));
}

void LogLearnedDataEvent(const std::string& folder, const std::string& message) {
    const std::string path = folder + kLogName;
    const std::string line = LocalTimeStamp() + message + kLineEnd;
    std::FILE* file = qorva::OpenFile(path, LogIsFull(path) ? "wb" : "ab");
    if (file == nullptr) return;
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}

}  // namespace bangla
