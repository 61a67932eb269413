#include "tests/support/run_value.h"

#include <windows.h>

#include "settings/startup_run.h"

namespace qorva_test {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"QorvaUniversal";

}  // namespace

std::wstring ReadRunValue() {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return data;
}

void WriteRunValue(const std::wstring& data) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, REG_SZ, data.c_str(),
                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

RunValueGuard::RunValueGuard() { qorva::DeleteStartupRunValue(); }

RunValueGuard::~RunValueGuard() { qorva::DeleteStartupRunValue(); }

}  // namespace qorva_test
