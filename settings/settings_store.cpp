#include "settings/settings_store.h"

#include <cerrno>
#include <cstdio>

#include "common/file_path.h"
#include "common/text.h"

namespace qorva {
namespace {

enum class ReadOutcome { Missing, Unreadable, TooLarge, Whole };

struct FileBytes {
    ReadOutcome outcome = ReadOutcome::Missing;
    std::string bytes;  // at most kSettingsFileLimit of them
};

// Reads one byte past the limit, which tells a file of exactly the limit from a larger one.
FileBytes ReadSettingsBytes(const std::wstring& path) {
    FileBytes result;
    if (path.empty()) {
        result.outcome = ReadOutcome::Unreadable;
        return result;
    }
    errno = 0;
    std::FILE* file = OpenFile(Utf16ToUtf8(path), "rb");
    if (!file) {
        result.outcome = errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Unreadable;
        return result;
    }
    char chunk[4096];
    size_t read = 0;
    while (result.bytes.size() <= kSettingsFileLimit &&
           (read = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        result.bytes.append(chunk, read);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        result.outcome = ReadOutcome::Unreadable;
    } else if (result.bytes.size() > kSettingsFileLimit) {
        result.outcome = ReadOutcome::TooLarge;
        result.bytes.resize(kSettingsFileLimit);
    } else {
        result.outcome = ReadOutcome::Whole;
    }
    return result;
}

SettingsWrite Outcome(bool written) {
    return written ? SettingsWrite::Written : SettingsWrite::Failed;
}

}  // namespace

std::wstring SettingsFilePath(const std::wstring& dataFolder) {
    return dataFolder.empty() ? std::wstring() : dataFolder + L"\\settings.json";
}

std::optional<std::string> ReadSettingsFile(const std::wstring& path) {
    const FileBytes file = ReadSettingsBytes(path);
    if (file.outcome == ReadOutcome::Missing || file.outcome == ReadOutcome::Unreadable)
        return std::nullopt;
    return FromDiskLineEnds(file.bytes);
}

bool WriteSettingsFile(const std::wstring& path, const std::string& text) {
    return WriteWholeFile(Utf16ToUtf8(path), ToDiskLineEnds(text));
}

const char* SettingsWriteReason(SettingsWrite outcome) {
    switch (outcome) {
        case SettingsWrite::Written: return "written";
        case SettingsWrite::TooLarge: return "it is larger than 1 MiB, so it was not read whole";
        case SettingsWrite::Unreadable: return "it could not be read";
        case SettingsWrite::NotUnderstood:
            return "it is not settings text (UTF-8 between \"{\" and \"}\")";
        case SettingsWrite::ReadOnly: return "it is read-only";
        case SettingsWrite::Failed: break;
    }
    return "the new content could not be written";
}

SettingsWrite SetSettingsKeys(const std::wstring& path, const std::vector<SettingsKeyValue>& values,
                              const std::string& newFileText) {
    if (path.empty()) return SettingsWrite::Failed;
    const std::string utf8Path = Utf16ToUtf8(path);
    if (IsReadOnlyFile(utf8Path)) return SettingsWrite::ReadOnly;
    FileBytes file = ReadSettingsBytes(path);
    switch (file.outcome) {
        case ReadOutcome::Missing: return Outcome(WriteSettingsFile(path, newFileText));
        case ReadOutcome::Unreadable: return SettingsWrite::Unreadable;
        case ReadOutcome::TooLarge: return SettingsWrite::TooLarge;
        case ReadOutcome::Whole: break;
    }
    // An empty file holds nothing of the user's; it is filled as a missing one would be.
    if (file.bytes.empty()) return Outcome(WriteSettingsFile(path, newFileText));
    if (!IsSettingsText(file.bytes)) return SettingsWrite::NotUnderstood;
    const std::string original = file.bytes;
    PatchSettingsKeys(file.bytes, values);
    // Nothing to change: the file already says it all.
    if (file.bytes == original) return SettingsWrite::Written;
    return Outcome(WriteWholeFile(utf8Path, file.bytes));
}

}  // namespace qorva
