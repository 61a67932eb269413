#include "engine/learned_data_format.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "common/file_path.h"

namespace bangla {

namespace {

constexpr std::size_t kReadChunkBytes = 64 * 1024;

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

LineSplitter::LineSplitter(std::size_t maxLineBytes, OnLine onLine, OnOverlongPiece onOverlong)
    : maxLineBytes(maxLineBytes), onLine(std::move(onLine)), onOverlong(std::move(onOverlong)) {}

void LineSplitter::Feed(const char* data, std::size_t size) {
    const char* position = data;
    const char* const end = data + size;
    while (position < end) {
        const char* newline = static_cast<const char*>(std::memchr(position, '\n', end - position));
        const char* pieceEnd = newline != nullptr ? newline : end;
        const std::size_t piece = static_cast<std::size_t>(pieceEnd - position);
        if (!overlong) {
            // One byte of room for the CR that a Windows line end puts before "\n".
            if (line.size() + piece > maxLineBytes + 1) {
                overlong = true;
                if (onOverlong) onOverlong(line.data(), line.size());
                line.clear();
                line.shrink_to_fit();
            } else {
                line.append(position, piece);
            }
        }
        if (overlong && onOverlong) onOverlong(position, piece);
        if (newline == nullptr) return;
        EndLine();
        position = newline + 1;
    }
}

void LineSplitter::Finish() { EndLine(); }

void LineSplitter::EndLine() {
    if (overlong && onOverlong) onOverlong("\n", 1);
    if (!overlong) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.size() <= maxLineBytes) onLine(line);
    }
    line.clear();
    overlong = false;
}

FileReadResult ReadFileLines(const std::string& utf8Path, std::size_t maxLineBytes,
                             const LineSplitter::OnLine& onLine,
                             const LineSplitter::OnOverlongPiece& onOverlong) {
    errno = 0;
    std::FILE* file = qorva::OpenFile(utf8Path, "rb");
    if (file == nullptr)
        return errno == ENOENT ? FileReadResult::kMissing : FileReadResult::kUnreadable;
    LineSplitter splitter(maxLineBytes, onLine, onOverlong);
    std::vector<char> chunk(kReadChunkBytes);
    std::size_t read;
    while ((read = std::fread(chunk.data(), 1, chunk.size(), file)) > 0)
        splitter.Feed(chunk.data(), read);
    // A folder opens on some systems and fails only here; a disk error may
    // come midway. Either way the lines seen are not the file.
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return FileReadResult::kUnreadable;
    splitter.Finish();
    return FileReadResult::kRead;
}

OverlongLineSink::OverlongLineSink(std::string path) : path(std::move(path)) {}

OverlongLineSink::~OverlongLineSink() { Close(); }

LineSplitter::OnOverlongPiece OverlongLineSink::Receiver() {
    return [this](const char* data, std::size_t size) { Receive(data, size); };
}

void OverlongLineSink::Receive(const char* data, std::size_t size) {
    if (failed || size == 0) return;
    if (file == nullptr) {
        file = qorva::OpenFile(path, "wb");
        if (file == nullptr) {
            failed = true;
            return;
        }
    }
    if (std::fwrite(data, 1, size, file) != size) failed = true;
    if (size == 1 && *data == '\n') ++lines;
}

bool OverlongLineSink::Close() {
    if (file != nullptr) {
        if (std::fflush(file) != 0) failed = true;
        if (std::fclose(file) != 0) failed = true;
        file = nullptr;
    }
    return !failed;
}

bool ParseClampedDecimal(const std::string& digits, uint64_t limit, uint64_t& value) {
    if (digits.empty()) return false;
    value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        const bool fits = digit <= limit && value <= (limit - digit) / 10;
        value = fits ? value * 10 + digit : limit;
    }
    return true;
}

}  // namespace bangla
