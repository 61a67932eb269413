#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cwchar>

#include "common/file_path.h"

namespace qorva {
namespace {

// How long a replace keeps trying while another program holds a file without
// letting it be replaced: long enough for a virus scanner, an indexer or a
// backup tool to let go, short enough for a save on the way out.
constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplacePauseMilliseconds = 100;

// False for bytes that are not valid UTF-8.
bool WidenUtf8(const std::string& utf8, std::wstring& wide) {
    wide.clear();
    if (utf8.empty()) return true;
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                           static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) return false;
    wide.resize(static_cast<size_t>(length));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                               static_cast<int>(utf8.size()), &wide[0], length) == length;
}

std::wstring WidenAscii(const char* ascii) {
    std::wstring wide;
    for (; *ascii != '\0'; ++ascii)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*ascii));
    return wide;
}

bool IsReadOnlyMode(const char* mode) {
    return mode[0] == 'r' && std::strchr(mode, '+') == nullptr;
}

// Opens for reading the way every other holder of the file should: sharing
// reading, writing and deletion, so that a writer can still replace the file
// while it is read (the C runtime's own open does not share deletion). A
// missing file sets errno to ENOENT, any other failure to EACCES.
std::FILE* OpenForReading(const std::wstring& path, const char* mode) {
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        errno = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return nullptr;
    }
    const bool binary = std::strchr(mode, 'b') != nullptr;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                           _O_RDONLY | (binary ? _O_BINARY : _O_TEXT));
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, binary ? "rb" : "r");
    if (file == nullptr) _close(descriptor);
    return file;
}

bool IsHeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

// A plain writable file, which may be moved aside to be replaced; a folder or
// a read-only file refuses the replace for good reasons and keeps refusing.
bool IsReplaceableFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// What ends the name of a file moved aside: "<name>.<process id>.<counter>.replaced".
constexpr wchar_t kAsideEnding[] = L".replaced";

std::wstring AsidePath(const std::wstring& destination) {
    static std::atomic<unsigned long> s_counter{0};
    return destination + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(s_counter.fetch_add(1)) + kAsideEnding;
}

// The process id an aside name carries, or 0 when the name is not one of ours.
DWORD AsideOwner(const std::wstring& asideName, size_t destinationNameLength) {
    const std::wstring suffix = kAsideEnding;
    if (asideName.size() <= destinationNameLength + suffix.size() ||
        asideName.compare(asideName.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::wstring middle = asideName.substr(
        destinationNameLength + 1, asideName.size() - suffix.size() - destinationNameLength - 1);
    const size_t dot = middle.find(L'.');
    if (dot == 0 || dot == std::wstring::npos ||
        middle.find_first_not_of(L"0123456789.") != std::wstring::npos)
        return 0;
    return static_cast<DWORD>(std::wcstoul(middle.substr(0, dot).c_str(), nullptr, 10));
}

bool IsRunning(DWORD processId) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process != nullptr) {
        CloseHandle(process);
        return true;
    }
    // Another user's process refuses access but is running all the same.
    return GetLastError() != ERROR_INVALID_PARAMETER;
}

// An old file that stepped aside is normally deleted at once; a program that
// ended between the two steps leaves it behind. The next replace of the same
// file clears those of programs no longer running, so they never pile up.
void RemoveAsidesLeftByEndedPrograms(const std::wstring& destination) {
    const size_t slash = destination.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? L"" : destination.substr(0, slash + 1);
    const size_t nameLength = destination.size() - folder.size();
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((destination + L".*" + kAsideEnding).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const DWORD owner = AsideOwner(found.cFileName, nameLength);
        if (owner != 0 && owner != GetCurrentProcessId() && !IsRunning(owner))
            DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

enum class ReplaceOutcome { kReplaced, kHeld, kRefused };

// One attempt. A file that a reader holds open, even one that shares
// deletion, cannot be renamed over; it can be renamed itself, though. So the
// old file steps aside, the new one takes its name, and the old one is
// deleted (it goes once its last reader closes it).
ReplaceOutcome ReplaceOnce(const std::wstring& source, const std::wstring& destination) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (MoveFileExW(source.c_str(), destination.c_str(), flags)) return ReplaceOutcome::kReplaced;
    if (!IsHeldByAnother(GetLastError())) return ReplaceOutcome::kRefused;
    if (GetFileAttributesW(destination.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ReplaceOutcome::kHeld;  // the new file itself is held, by a scanner say
    if (!IsReplaceableFile(destination)) return ReplaceOutcome::kRefused;
    const std::wstring aside = AsidePath(destination);
    if (!MoveFileExW(destination.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH))
        return ReplaceOutcome::kHeld;  // by a program that does not share deletion
    if (MoveFileExW(source.c_str(), destination.c_str(), flags)) {
        DeleteFileW(aside.c_str());
        return ReplaceOutcome::kReplaced;
    }
    // The old file goes back, unless another writer's file has taken its place meanwhile.
    if (!MoveFileExW(aside.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH))
        DeleteFileW(aside.c_str());
    return ReplaceOutcome::kHeld;
}

}  // namespace

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
    std::wstring widePath;
    if (!WidenUtf8(utf8Path, widePath)) return std::fopen(utf8Path.c_str(), mode);
    if (IsReadOnlyMode(mode)) return OpenForReading(widePath, mode);
    return _wfopen(widePath.c_str(), WidenAscii(mode).c_str());
}

bool FileExists(const std::string& utf8Path) {
    std::wstring widePath;
    const DWORD attributes = WidenUtf8(utf8Path, widePath) ? GetFileAttributesW(widePath.c_str())
                                                           : GetFileAttributesA(utf8Path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsReadOnlyFile(const std::string& utf8Path) {
    std::wstring widePath;
    const DWORD attributes = WidenUtf8(utf8Path, widePath) ? GetFileAttributesW(widePath.c_str())
                                                           : GetFileAttributesA(utf8Path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ==
               FILE_ATTRIBUTE_READONLY;
}

bool RemoveFile(const std::string& utf8Path) {
    std::wstring widePath;
    if (!WidenUtf8(utf8Path, widePath)) return std::remove(utf8Path.c_str()) == 0;
    return _wremove(widePath.c_str()) == 0;
}

// A file held by another program (a scanner looking at the new file, a
// reader of the old one) is waited for a moment, as such holds are short.
bool MoveFileReplacing(const std::string& utf8SourcePath, const std::string& utf8DestinationPath) {
    std::wstring wideSource;
    std::wstring wideDestination;
    if (!WidenUtf8(utf8SourcePath, wideSource) ||
        !WidenUtf8(utf8DestinationPath, wideDestination)) {
        return MoveFileExA(utf8SourcePath.c_str(), utf8DestinationPath.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    for (int attempt = 1;; ++attempt) {
        const ReplaceOutcome outcome = ReplaceOnce(wideSource, wideDestination);
        if (outcome == ReplaceOutcome::kReplaced) {
            RemoveAsidesLeftByEndedPrograms(wideDestination);
            return true;
        }
        if (outcome == ReplaceOutcome::kRefused || attempt == kReplaceAttempts) return false;
        Sleep(kReplacePauseMilliseconds);
    }
}

bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

}  // namespace qorva
