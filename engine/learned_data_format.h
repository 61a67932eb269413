#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>

namespace bangla {

// What the readers and writers of the learned-data files share: lines read
// with a bound on their length, decimal fields clamped to their type, counts
// that saturate instead of wrapping, and the platform's line end.

// The folder part of a path: up to and including its last '\\' or '/'; empty
// when it has neither (the file is then named relative to the current folder).
std::string FolderOf(const std::string& path);

// The line end the files are written with: CR LF on Windows, as the files
// have always been stored there; the readers accept both.
#ifdef _WIN32
inline constexpr const char* kLineEnd = "\r\n";
#else
inline constexpr const char* kLineEnd = "\n";
#endif

// Splits a stream of bytes into lines. Each line goes to the callback
// without its "\n" and without a CR before it; empty lines are not handed
// out. A line longer than the limit is damage, or an attack on the reader's
// memory: it is dropped without ever being held whole.
//
// Given onOverlong, the bytes of such a line go there instead, piece by piece
// as they come, with its "\n" last: a reader about to replace the file can
// keep the line elsewhere without holding it.
class LineSplitter {
public:
    using OnLine = std::function<void(const std::string& line)>;
    using OnOverlongPiece = std::function<void(const char* data, std::size_t size)>;

    LineSplitter(std::size_t maxLineBytes, OnLine onLine, OnOverlongPiece onOverlong = {});

    void Feed(const char* data, std::size_t size);
    // Hands out a last line that has no "\n".
    void Finish();

private:
    void EndLine();

    const std::size_t maxLineBytes;
    const OnLine onLine;
    const OnOverlongPiece onOverlong;
    std::string line;
    bool overlong = false;
};

// How reading a whole file went.
enum class FileReadResult {
    kRead,        // every line was handed out
    kMissing,     // there is no such file: nothing was learned yet
    kUnreadable,  // it exists but could not be opened or read to its end; what
                  // was handed out is not the file and must not replace it
};

// Reads the file in binary mode (the same bytes give the same lines on every
// platform, and a stray 0x1A does not end the file early) and hands its lines
// to onLine as LineSplitter does.
FileReadResult ReadFileLines(const std::string& utf8Path, std::size_t maxLineBytes,
                             const LineSplitter::OnLine& onLine,
                             const LineSplitter::OnOverlongPiece& onOverlong = {});

// Keeps the over-long lines of a file being read in a side file at `path`,
// which is created only when there is one.
class OverlongLineSink {
public:
    explicit OverlongLineSink(std::string path);
    ~OverlongLineSink();
    OverlongLineSink(const OverlongLineSink&) = delete;
    OverlongLineSink& operator=(const OverlongLineSink&) = delete;

    LineSplitter::OnOverlongPiece Receiver();
    // The lines received.
    std::size_t Lines() const { return lines; }
    // Closes the side file; false when any of it could not be written.
    bool Close();

private:
    void Receive(const char* data, std::size_t size);

    const std::string path;
    std::FILE* file = nullptr;
    std::size_t lines = 0;
    bool failed = false;
};

// Reads a run of decimal digits. A value above the limit is clamped to it:
// a damaged or absurd count must not cost the user the word it belongs to.
// False when digits is empty or holds anything but '0' to '9'.
bool ParseClampedDecimal(const std::string& digits, uint64_t limit, uint64_t& value);

// a + b, held at the type's maximum: a count that has reached it stays there.
template <typename Unsigned>
Unsigned SaturatingAdd(Unsigned a, Unsigned b) {
    const Unsigned room = std::numeric_limits<Unsigned>::max() - a;
    return b > room ? std::numeric_limits<Unsigned>::max() : static_cast<Unsigned>(a + b);
}

}  // namespace bangla
