#include "settings/personal_word_list.h"

#include <cerrno>
#include <cstdio>

#include "common/file_path.h"
#include "common/text.h"

namespace qorva {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";

std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    return text;
}

std::optional<std::string> ReadBytes(const std::string& path) {
    errno = 0;
    std::FILE* file = OpenFile(path, "rb");
    if (!file) {
        // Only a file that is not there is an empty list; one that is there but cannot be opened
        // (held by another program, a folder) is not.
        if (errno == ENOENT) return std::string();
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, read);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

// The non-empty lines of the bytes without their line ends, as bytes.
std::vector<std::string> EntryLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = bytes.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        size_t lineEnd = end;
        if (lineEnd > start && bytes[lineEnd - 1] == '\r') --lineEnd;
        if (lineEnd > start) lines.push_back(bytes.substr(start, lineEnd - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::vector<std::wstring> ParseWordList(const std::string& bytes) {
    std::vector<std::wstring> entries;
    for (const std::string& line : EntryLines(bytes)) entries.push_back(Utf8ToUtf16(line));
    return entries;
}

std::wstring WordListEntry(const std::wstring& key, const std::wstring& word) {
    return OneLine(CutUtf16(key, kWordFieldLimit)) + L'\t' +
           OneLine(CutUtf16(word, kWordFieldLimit));
}

std::optional<std::vector<std::wstring>> ReadWordList(const std::wstring& path) {
    const std::optional<std::string> bytes = ReadBytes(Utf16ToUtf8(path));
    if (!bytes) return std::nullopt;
    return ParseWordList(*bytes);
}

bool AppendWordListEntry(const std::wstring& path, const std::wstring& key,
                         const std::wstring& word) {
    if (key.empty() || word.empty()) return false;
    return AppendLine(Utf16ToUtf8(path), Utf16ToUtf8(WordListEntry(key, word)), kLineEnd);
}

bool RemoveWordListEntry(const std::wstring& path, const std::wstring& entry) {
    const std::string utf8Path = Utf16ToUtf8(path);
    const std::optional<std::string> bytes = ReadBytes(utf8Path);
    if (!bytes) return false;
    // Kept lines are written back as they were read, so bytes that are no valid UTF-8 survive.
    std::string kept;
    for (const std::string& line : EntryLines(*bytes)) {
        if (Utf8ToUtf16(line) != entry) kept += line + kLineEnd;
    }
    return WriteWholeFile(utf8Path, kept);
}

}  // namespace qorva
