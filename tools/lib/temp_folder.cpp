#include "tools/lib/temp_folder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace bangla {

namespace {

std::atomic<unsigned> folderSerial{0};

}  // namespace

TempFolder::TempFolder(const std::string& label) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return;
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("qorva_" + label + "_" + std::to_string(ticks) + "_" +
                                           std::to_string(folderSerial++));
        if (fs::create_directory(candidate, error) && !error) {
            path = candidate.string();
            path += static_cast<char>(fs::path::preferred_separator);
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (path.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(path), error);
}

}  // namespace bangla
