#include "settings/settings_store.h"

#include <cstdio>

#include "common/file_path.h"
#include "common/text.h"

namespace qorva {
namespace {

constexpr size_t kSettingsFileLimit = 1 << 20;

}  // namespace

std::wstring SettingsFilePath(const std::wstring& dataFolder) {
    return dataFolder.empty() ? std::wstring() : dataFolder + L"\\settings.json";
}

std::optional<std::string> ReadSettingsFile(const std::wstring& path) {
    if (path.empty()) return std::nullopt;
    std::FILE* file = OpenFile(Utf16ToUtf8(path), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    size_t read = 0;
    while (bytes.size() < kSettingsFileLimit && (read = std::fread(chunk, 1, sizeof chunk, file))) {
        bytes.append(chunk, read);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return FromDiskLineEnds(bytes);
}

bool WriteSettingsFile(const std::wstring& path, const std::string& text) {
    return WriteWholeFile(Utf16ToUtf8(path), ToDiskLineEnds(text));
}

}  // namespace qorva
