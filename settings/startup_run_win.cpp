#include "settings/startup_run.h"

#include <windows.h>

namespace qorva {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"QorvaUniversal";

// The Run key opened for `access`, closed when it goes out of scope.
class RunKey {
public:
    explicit RunKey(REGSAM access) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            key = nullptr;
        }
    }
    ~RunKey() {
        if (key) RegCloseKey(key);
    }
    RunKey(const RunKey&) = delete;
    RunKey& operator=(const RunKey&) = delete;

    HKEY key = nullptr;
};

}  // namespace

bool SetStartupRunValue(const std::wstring& programPath) {
    RunKey run(KEY_SET_VALUE);
    if (!run.key) return false;
    const std::wstring data = L"\"" + programPath + L"\"";
    return RegSetValueExW(run.key, kRunValue, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool DeleteStartupRunValue() {
    RunKey run(KEY_SET_VALUE);
    if (!run.key) return false;
    const LSTATUS status = RegDeleteValueW(run.key, kRunValue);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace qorva
