#include "tests/tsf/registration_probe.h"

#include <msctf.h>

#include "tsf/profile_ids.h"

namespace qorva_test {
namespace {

bool Spells(REFGUID id, const wchar_t* text) {
    wchar_t spelled[64] = {};
    return StringFromGUID2(id, spelled, 64) > 0 && wcscmp(spelled, text) == 0;
}

template <typename T>
void ReleaseIfSet(T* object) {
    if (object) object->Release();
}

}  // namespace

DWORD RunRegsvr32(const std::wstring& arguments, const std::wstring& modulePath) {
    std::wstring commandLine = L"regsvr32.exe " + arguments + L" \"" + modulePath + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return static_cast<DWORD>(-1);
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

bool ProfileListed() {
    ITfInputProcessorProfiles* profiles = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ITfInputProcessorProfiles,
                                reinterpret_cast<void**>(&profiles)))) {
        return false;
    }
    IEnumTfLanguageProfiles* list = nullptr;
    bool listed = false;
    if (SUCCEEDED(profiles->EnumLanguageProfiles(qorva_tsf::kBengaliBangladesh, &list)) && list) {
        TF_LANGUAGEPROFILE profile;
        ULONG fetched = 0;
        while (!listed && list->Next(1, &profile, &fetched) == S_OK && fetched == 1) {
            listed = Spells(profile.clsid, qorva_tsf::kClassIdText) &&
                     Spells(profile.guidProfile, qorva_tsf::kProfileIdText);
        }
    }
    ReleaseIfSet(list);
    profiles->Release();
    return listed;
}

}  // namespace qorva_test
