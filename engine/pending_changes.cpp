#include "engine/pending_changes.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "engine/learned_data_format.h"

namespace bangla {

namespace {

constexpr const char* kPendingMarker = ".pending-";

// Hex digits and one '-': the temporary files that a side file is written
// through carry a further suffix and are not side files yet.
bool IsPendingSuffix(const std::string& suffix) {
    return !suffix.empty() && suffix.find_first_not_of("0123456789abcdef-") == std::string::npos;
}

}  // namespace

std::string NewPendingChangesPath(const std::string& utf8MainPath) {
    return NewSideFilePath(utf8MainPath, kPendingMarker);
}

std::string NewSideFilePath(const std::string& utf8MainPath, const char* marker) {
    static std::atomic<uint64_t> s_counter{0};
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const uint64_t milliseconds = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
    std::random_device device;
    const uint64_t unique =
        (static_cast<uint64_t>(device()) << 32) ^ device() ^ (++s_counter * 0x9E3779B97F4A7C15ull);
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "%016llx-%016llx",
                  static_cast<unsigned long long>(milliseconds),
                  static_cast<unsigned long long>(unique));
    return utf8MainPath + marker + suffix;
}

std::vector<std::string> PendingChangesPaths(const std::string& utf8MainPath) {
    namespace fs = std::filesystem;
    const std::string folder = FolderOf(utf8MainPath);
    const std::string prefix = utf8MainPath.substr(folder.size()) + kPendingMarker;
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entries(fs::u8path(folder.empty() ? "." : folder), error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().u8string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        if (!IsPendingSuffix(name.substr(prefix.size()))) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) paths.push_back(folder + name);
    return paths;
}

}  // namespace bangla
