#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "common/platform.h"
#include "common/text.h"

namespace qorva::platform {

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

std::wstring RoamingAppDataFolder() {
    const char* folder = std::getenv("APPDATA");
    return folder ? Utf8ToUtf16(folder) : std::wstring();
}

void CreateFolder(const std::wstring& path) { mkdir(Utf16ToUtf8(path).c_str(), 0755); }

std::wstring ModulePath(const void*) {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return {};
    return Utf8ToUtf16(std::string(path, static_cast<size_t>(length)));
}

}  // namespace qorva::platform
