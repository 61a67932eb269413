#include <windows.h>
#include <io.h>

#include "common/file_path.h"

namespace qorva {
namespace {

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

}  // namespace

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
    std::wstring widePath;
    if (!WidenUtf8(utf8Path, widePath)) return std::fopen(utf8Path.c_str(), mode);
    return _wfopen(widePath.c_str(), WidenAscii(mode).c_str());
}

bool FileExists(const std::string& utf8Path) {
    std::wstring widePath;
    const DWORD attributes = WidenUtf8(utf8Path, widePath) ? GetFileAttributesW(widePath.c_str())
                                                           : GetFileAttributesA(utf8Path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool RemoveFile(const std::string& utf8Path) {
    std::wstring widePath;
    if (!WidenUtf8(utf8Path, widePath)) return std::remove(utf8Path.c_str()) == 0;
    return _wremove(widePath.c_str()) == 0;
}

bool MoveFileReplacing(const std::string& utf8SourcePath, const std::string& utf8DestinationPath) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    std::wstring wideSource;
    std::wstring wideDestination;
    if (!WidenUtf8(utf8SourcePath, wideSource) ||
        !WidenUtf8(utf8DestinationPath, wideDestination)) {
        return MoveFileExA(utf8SourcePath.c_str(), utf8DestinationPath.c_str(), flags) != 0;
    }
    return MoveFileExW(wideSource.c_str(), wideDestination.c_str(), flags) != 0;
}

bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

}  // namespace qorva
