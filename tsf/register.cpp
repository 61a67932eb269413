#include "tsf/register.h"

#include <msctf.h>

#include <string>

#include "common/call_guarded.h"
#include "tsf/com_object.h"
#include "tsf/dll_main.h"
#include "tsf/profile_ids.h"

namespace qorva_tsf {

// {6E2D81C4-3A95-4B17-8D60-F1C2A7E94B35}
const CLSID CLSID_BanglaTextService = {
    0x6e2d81c4, 0x3a95, 0x4b17, {0x8d, 0x60, 0xf1, 0xc2, 0xa7, 0xe9, 0x4b, 0x35}};
// {9C47E0B2-5D18-4F63-A2B9-3E8D6C1F70A4}
const GUID GUID_BanglaProfile = {
    0x9c47e0b2, 0x5d18, 0x4f63, {0xa2, 0xb9, 0x3e, 0x8d, 0x6c, 0x1f, 0x70, 0xa4}};

namespace {

constexpr DWORD kModulePathCapacity = 260;

std::wstring ClassKeyName() { return std::wstring(L"Software\\Classes\\CLSID\\") + kClassIdText; }

std::wstring InprocServerKeyName() { return ClassKeyName() + L"\\InprocServer32"; }

// The module's path, empty when the system cannot give it.
std::wstring ModulePath(HINSTANCE module) {
    wchar_t path[kModulePathCapacity] = {};
    const DWORD length = GetModuleFileNameW(module, path, kModulePathCapacity);
    return std::wstring(path, length);
}

HKEY CreateUserKey(const std::wstring& name) {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_WRITE,
                                        nullptr, &key, nullptr);
    return status == ERROR_SUCCESS ? key : nullptr;
}

// Registry strings are stored with their terminating NUL counted.
void SetString(HKEY key, const wchar_t* valueName, const std::wstring& data) {
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes);
}

// Null when the object cannot be made; `result` then says why (a success code when COM made none).
template <typename Interface>
ComPtr<Interface> CreateInproc(const CLSID& classId, HRESULT* result) {
    ComPtr<Interface> object;
    *result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
    return SUCCEEDED(*result) ? object : nullptr;
}

}  // namespace

HRESULT RegisterCOMServer(HINSTANCE module) {
    const std::wstring modulePath = ModulePath(module);
    if (modulePath.empty()) {
        const DWORD error = GetLastError();
        return HRESULT_FROM_WIN32(error);
    }

    HKEY classKey = CreateUserKey(ClassKeyName());
    if (!classKey) return E_FAIL;
    SetString(classKey, nullptr, kDisplayName);
    RegCloseKey(classKey);

    HKEY serverKey = CreateUserKey(InprocServerKeyName());
    if (!serverKey) return E_FAIL;
    SetString(serverKey, nullptr, modulePath);
    SetString(serverKey, L"ThreadingModel", L"Apartment");
    RegCloseKey(serverKey);
    return S_OK;
}

HRESULT UnregisterCOMServer() {
    // RegDeleteKeyW refuses a key that still has subkeys: the server key goes first.
    RegDeleteKeyW(HKEY_CURRENT_USER, InprocServerKeyName().c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, ClassKeyName().c_str());
    return S_OK;
}

HRESULT RegisterTSFProfiles(HINSTANCE module) {
    const std::wstring modulePath = ModulePath(module);

    HRESULT result = S_OK;
    const auto profiles =
        CreateInproc<ITfInputProcessorProfiles>(CLSID_TF_InputProcessorProfiles, &result);
    if (!profiles) return result;
    if (SUCCEEDED(profiles->Register(CLSID_BanglaTextService))) {
        profiles->AddLanguageProfile(CLSID_BanglaTextService, kBengaliBangladesh,
                                     GUID_BanglaProfile, kDisplayName,
                                     static_cast<ULONG>(wcslen(kDisplayName)), modulePath.c_str(),
                                     static_cast<ULONG>(modulePath.size()), 0);
    }

    const auto categories = CreateInproc<ITfCategoryMgr>(CLSID_TF_CategoryMgr, &result);
    if (!categories) return S_OK;
    categories->RegisterCategory(CLSID_BanglaTextService, GUID_TFCAT_TIP_KEYBOARD,
                                 CLSID_BanglaTextService);
    // The text service supplies no display attributes.
    categories->UnregisterCategory(CLSID_BanglaTextService, GUID_TFCAT_DISPLAYATTRIBUTEPROVIDER,
                                   CLSID_BanglaTextService);
    return S_OK;
}

HRESULT UnregisterTSFProfiles() {
    HRESULT result = S_OK;
    const auto profiles =
        CreateInproc<ITfInputProcessorProfiles>(CLSID_TF_InputProcessorProfiles, &result);
    // Unregistering the class also removes its language profiles.
    if (profiles) profiles->Unregister(CLSID_BanglaTextService);

    const auto categories = CreateInproc<ITfCategoryMgr>(CLSID_TF_CategoryMgr, &result);
    if (!categories) return S_OK;
    categories->UnregisterCategory(CLSID_BanglaTextService, GUID_TFCAT_TIP_KEYBOARD,
                                   CLSID_BanglaTextService);
    categories->UnregisterCategory(CLSID_BanglaTextService, GUID_TFCAT_DISPLAYATTRIBUTEPROVIDER,
                                   CLSID_BanglaTextService);
    return S_OK;
}

}  // namespace qorva_tsf

STDAPI DllRegisterServer() {
    return qorva::CallGuarded<HRESULT>(E_UNEXPECTED, [] {
        const HRESULT result = qorva_tsf::RegisterCOMServer(qorva_tsf::g_hInstance);
        if (FAILED(result)) return result;
        return qorva_tsf::RegisterTSFProfiles(qorva_tsf::g_hInstance);
    });
}

STDAPI DllUnregisterServer() {
    qorva_tsf::GuardedMethod([] {
        qorva_tsf::UnregisterTSFProfiles();
        qorva_tsf::UnregisterCOMServer();
    });
    return S_OK;
}
