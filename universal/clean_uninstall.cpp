// Preparing the machine for removing or cleanly reinstalling the input method: the text input
// processor unregisters itself and Bengali leaves the user's language list; and the clean
// uninstall, which starts the installer's removal and ends the program in order.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "universal/language_list.h"
#include "universal/program_folders.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

constexpr wchar_t kPrepareQuestion[] =
    L"আপনি কি Qorva ক্লিন আপডেট বা আনইনস্টলের জন্য উইন্ডোজ কীবোর্ড তালিকা ও সেটিংস প্রস্তুত করতে "
    L"চান?\n\nএটি উইন্ডোজ লেআউট তালিকা (bn-BD) ও ক্যাশ পরিষ্কার করবে। আপনার ব্যক্তিগত ডিকশনারি ও "
    L"সেটিংস নিরাপদ থাকবে।";
constexpr wchar_t kPrepareCaption[] = L"Prepare for Uninstall / Clean Update";
constexpr wchar_t kPrepared[] =
    L"ক্লিন প্রিপারেশন সফল হয়েছে! উইন্ডোজ কীবোর্ড তালিকা পরিষ্কার করা হয়েছে।";
constexpr wchar_t kPreparedCaption[] = L"Qorva Clean Preparation Complete";
constexpr wchar_t kUninstallQuestion[] =
    L"Are you sure you want to completely uninstall Qorva (Clean Uninstall)?\n\nThis will cleanly "
    L"unregister the Bangla Text Service (TSF), stop background services, and remove application "
    L"binaries according to Microsoft Store & Windows standards.\n\n(Your personal dictionary, "
    L"custom words, and learning data will remain 100% safe & preserved.)";
constexpr wchar_t kUninstallCaption[] = L"Qorva Clean Uninstall (ক্লিন আনইনস্টল)";
constexpr wchar_t kNoInstaller[] =
    L"QorvaSetup.exe খুঁজে পাওয়া যায়নি। অনুগ্রহ করে Windows Settings > Apps থেকে আনইনস্টল "
    L"করুন।";
constexpr wchar_t kNoInstallerCaption[] = L"Qorva Uninstall";
constexpr wchar_t kUninstallParameters[] = L"/uninstall /clean";

constexpr wchar_t kUserProfileKey[] = L"Control Panel\\International\\User Profile";
constexpr wchar_t kBengaliProfileKey[] = L"Control Panel\\International\\User Profile\\bn-BD";
constexpr wchar_t kLanguagesValue[] = L"Languages";
// A longer list is left as it is rather than cut.
constexpr DWORD kLanguagesReadBytes = 2048;

// The text input processor's own unregistration. Its framework steps need COM on the calling
// thread, which the universal program otherwise never uses.
void UnregisterTextInputProcessor() {
    const std::wstring module = ExeDir() + L"\\qorva_tsf.dll";
    if (ExeDir().empty() || !IsFileOnDisk(module)) return;
    const HMODULE library = LoadLibraryW(module.c_str());
    if (!library) return;
    using Unregister = HRESULT(STDAPICALLTYPE*)();
    const auto unregister = reinterpret_cast<Unregister>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllUnregisterServer")));
    if (unregister) {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        unregister();
        if (SUCCEEDED(com)) CoUninitialize();
    }
    FreeLibrary(library);
}

void RemoveBengaliFromLanguageList() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserProfileKey, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    std::wstring stored(kLanguagesReadBytes / sizeof(wchar_t), L'\0');
    DWORD bytes = kLanguagesReadBytes;
    if (RegQueryValueExW(key, kLanguagesValue, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(stored.data()), &bytes) == ERROR_SUCCESS) {
        stored.resize(bytes / sizeof(wchar_t));
        const std::wstring list = LanguageListWithoutBengali(stored);
        RegSetValueExW(key, kLanguagesValue, 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(list.data()),
                       static_cast<DWORD>(list.size() * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

std::wstring ProgramFilesFolder() {
    wchar_t folder[MAX_PATH] = {};
    return SUCCEEDED(
               SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder))
               ? std::wstring(folder)
               : std::wstring();
}

}  // namespace

void PrepareCleanUninstall(HWND owner) {
    if (MessageBoxW(owner, kPrepareQuestion, kPrepareCaption,
                    MB_TOPMOST | MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return;
    }
    UnregisterTextInputProcessor();
    RemoveBengaliFromLanguageList();
    RegDeleteTreeW(HKEY_CURRENT_USER, kBengaliProfileKey);
    MessageBoxW(owner, kPrepared, kPreparedCaption, MB_TOPMOST | MB_ICONINFORMATION);
}

void PerformCleanUninstall(HWND owner) {
    if (MessageBoxW(owner, kUninstallQuestion, kUninstallCaption,
                    MB_TOPMOST | MB_DEFBUTTON2 | MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return;
    }
    const std::wstring installer = FirstExisting(
        InstallerCandidates(ProgramFilesFolder(), ExeDir(), AppDataDir()), IsFileOnDisk);
    if (installer.empty()) {
        MessageBoxW(owner, kNoInstaller, kNoInstallerCaption, MB_TOPMOST | MB_ICONWARNING);
        return;
    }
    // A refused elevation leaves the program running. Once the uninstaller runs, the program ends
    // as Exit ends it, so that the engine writes what it learned before the files go.
    if (StartElevated(installer, kUninstallParameters)) RequestExit();
}

}  // namespace qorva::universal
