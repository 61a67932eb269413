// Points the roaming application-data folder of the user's Windows session at another folder while
// the object lives, through the per-user shell-folder setting, and puts back what was there. Every
// process started meanwhile finds its per-user data folder under that folder, so tests never touch
// the user's real data. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qorva_test {

class AppDataOverride {
public:
    explicit AppDataOverride(const std::wstring& folder);
    ~AppDataOverride();
    AppDataOverride(const AppDataOverride&) = delete;
    AppDataOverride& operator=(const AppDataOverride&) = delete;

private:
    std::vector<BYTE> saved_;
    DWORD savedType_ = REG_EXPAND_SZ;
    bool hadValue_ = false;
};

}  // namespace qorva_test
