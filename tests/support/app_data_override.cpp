#include "tests/support/app_data_override.h"

namespace qorva_test {
namespace {

constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kAppDataValue[] = L"AppData";

}  // namespace

AppDataOverride::AppDataOverride(const std::wstring& folder) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ | KEY_WRITE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key, kAppDataValue, nullptr, &savedType_, nullptr, &size) ==
        ERROR_SUCCESS) {
        saved_.resize(size);
        hadValue_ = RegQueryValueExW(key, kAppDataValue, nullptr, &savedType_, saved_.data(),
                                     &size) == ERROR_SUCCESS;
    }
    RegSetValueExW(key, kAppDataValue, 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

AppDataOverride::~AppDataOverride() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    if (hadValue_) {
        RegSetValueExW(key, kAppDataValue, 0, savedType_, saved_.data(),
                       static_cast<DWORD>(saved_.size()));
    } else {
        RegDeleteValueW(key, kAppDataValue);
    }
    RegCloseKey(key);
}

}  // namespace qorva_test
