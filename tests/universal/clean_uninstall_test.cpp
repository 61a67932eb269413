// Preparing for an uninstall under Wine, from a test program with the real qorva_tsf.dll beside
// it, as the universal program finds it beside itself: the profile the module registered is gone
// afterwards, the user's language list has lost Bengali and the Bengali profile key is deleted.
// The list and the key are the test user's own: each test puts them back.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tests/support/box_answer.h"
#include "tests/support/temp_app_data.h"
#include "tests/tsf/registration_probe.h"
#include "universal/universal_host.h"

namespace qorva_test {
namespace {

constexpr wchar_t kUserProfileKey[] = L"Control Panel\\International\\User Profile";
constexpr wchar_t kBengaliKey[] = L"Control Panel\\International\\User Profile\\bn-BD";
constexpr wchar_t kPrepareCaption[] = L"Prepare for Uninstall / Clean Update";
constexpr wchar_t kPreparedCaption[] = L"Qorva Clean Preparation Complete";
constexpr wchar_t kPrepared[] =
    L"ক্লিন প্রিপারেশন সফল হয়েছে! উইন্ডোজ কীবোর্ড তালিকা পরিষ্কার করা হয়েছে।";

std::wstring MultiString(std::initializer_list<const wchar_t*> strings) {
    std::wstring text;
    for (const wchar_t* s : strings) text += std::wstring(s) + L'\0';
    return text + L'\0';
}

// The "Languages" value's UTF-16 units; "(none)" when it is missing.
std::wstring ReadLanguages() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserProfileKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return L"(none)";
    }
    DWORD bytes = 0;
    std::wstring value;
    if (RegQueryValueExW(key, L"Languages", nullptr, nullptr, nullptr, &bytes) == ERROR_SUCCESS) {
        value.resize(bytes / sizeof(wchar_t));
        RegQueryValueExW(key, L"Languages", nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                         &bytes);
    } else {
        value = L"(none)";
    }
    RegCloseKey(key);
    return value;
}

void WriteLanguages(const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kUserProfileKey, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Languages", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(value.data()),
                   static_cast<DWORD>(value.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

void DeleteLanguages() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserProfileKey, 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    RegDeleteValueW(key, L"Languages");
    RegCloseKey(key);
}

bool KeyExists(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A Bengali profile key with a subkey of its own, as Windows keeps one per language.
void CreateBengaliProfileKey() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kBengaliKey) + L"\\0845:x").c_str(),
                              0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::wstring ModuleBesideThisProgram() { return qorva::universal::ExeDir() + L"\\qorva_tsf.dll"; }

class PrepareCleanUninstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        savedLanguages_ = ReadLanguages();
        ASSERT_NE(GetFileAttributesW(ModuleBesideThisProgram().c_str()), INVALID_FILE_ATTRIBUTES)
            << "the build puts qorva_tsf.dll beside the test program";
    }
    void TearDown() override {
        RunRegsvr32(L"/u /s", ModuleBesideThisProgram());
        if (savedLanguages_ == L"(none)") {
            DeleteLanguages();
        } else {
            WriteLanguages(savedLanguages_);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, kBengaliKey);
        CoUninitialize();
    }

    // Runs the command the way the bar's menu does, answering its question with `answer`, on a
    // thread that has never initialised COM, as the program's main thread has not. The
    // completion box's text; empty when none showed.
    static std::wstring Prepare(int answer) {
        BoxAnswer question(kPrepareCaption, answer);
        std::wstring completion;
        std::thread command([&] {
            if (answer == IDYES) {
                BoxAnswer done(kPreparedCaption, IDOK);
                qorva::universal::PrepareCleanUninstall(nullptr);
                completion = done.Answered() ? done.Text() : L"";
            } else {
                qorva::universal::PrepareCleanUninstall(nullptr);
            }
        });
        command.join();
        EXPECT_TRUE(question.Answered());
        return completion;
    }

    TempAppData appData_;
    std::wstring savedLanguages_;
};

TEST_F(PrepareCleanUninstallTest, UnregistersTheProfileAndTakesBengaliOutOfTheLanguageList) {
    ASSERT_EQ(RunRegsvr32(L"/s", ModuleBesideThisProgram()), 0u);
    ASSERT_TRUE(ProfileListed());
    WriteLanguages(MultiString({L"bn-BD", L"en-US", L"bn"}));
    CreateBengaliProfileKey();

    EXPECT_EQ(Prepare(IDYES), kPrepared);
    EXPECT_FALSE(ProfileListed());
    EXPECT_EQ(ReadLanguages(), MultiString({L"en-US"}));
    EXPECT_FALSE(KeyExists(kBengaliKey));
    EXPECT_TRUE(KeyExists(kUserProfileKey));
}

TEST_F(PrepareCleanUninstallTest, DecliningChangesNothing) {
    ASSERT_EQ(RunRegsvr32(L"/s", ModuleBesideThisProgram()), 0u);
    WriteLanguages(MultiString({L"bn-BD", L"en-US"}));
    CreateBengaliProfileKey();

    EXPECT_EQ(Prepare(IDNO), L"");
    EXPECT_TRUE(ProfileListed());
    EXPECT_EQ(ReadLanguages(), MultiString({L"bn-BD", L"en-US"}));
    EXPECT_TRUE(KeyExists(kBengaliKey));
}

// Without the module the rest still runs; a list too long to read whole is left as it is rather
// than cut.
TEST_F(PrepareCleanUninstallTest, WithoutTheModuleTheListIsStillCleanedButALongOneIsLeftAlone) {
    const std::wstring module = ModuleBesideThisProgram();
    const std::wstring away = module + L".away";
    ASSERT_TRUE(MoveFileW(module.c_str(), away.c_str()));
    std::wstring longList;
    for (int i = 0; i < 120; ++i) longList += L"x-private-" + std::to_wstring(i) + L'\0';
    longList += std::wstring(L"bn-BD") + L'\0' + L'\0';
    ASSERT_GT(longList.size() * sizeof(wchar_t), 2048u);
    const struct {
        std::wstring stored;
        std::wstring left;
    } cases[] = {
        {MultiString({L"bn-IN"}), MultiString({L"en-US"})},
        {MultiString({L"BN-BD", L"fr-FR", L"bn-BD"}), MultiString({L"BN-BD", L"fr-FR"})},
        {longList, longList},
    };
    for (const auto& c : cases) {
        WriteLanguages(c.stored);
        CreateBengaliProfileKey();
        EXPECT_EQ(Prepare(IDYES), kPrepared);
        EXPECT_EQ(ReadLanguages(), c.left);
        EXPECT_FALSE(KeyExists(kBengaliKey));
    }
    EXPECT_TRUE(MoveFileW(away.c_str(), module.c_str()));
}

// No installer under Program Files, beside the program or in the data folder: the user is told
// where to uninstall instead, and the program runs on.
TEST(PerformCleanUninstallTest, WithoutAnInstallerTheUserIsToldToUseWindowsSettings) {
    TempAppData appData;
    BoxAnswer yes(L"Qorva Clean Uninstall (ক্লিন আনইনস্টল)", IDYES);
    BoxAnswer warning(L"Qorva Uninstall", IDOK);
    qorva::universal::PerformCleanUninstall(nullptr);
    EXPECT_TRUE(yes.Answered());
    ASSERT_TRUE(warning.Answered());
    EXPECT_EQ(warning.Text(),
              L"QorvaSetup.exe খুঁজে পাওয়া যায়নি। অনুগ্রহ করে Windows Settings > Apps থেকে "
              L"আনইনস্টল করুন।");
}

}  // namespace
}  // namespace qorva_test
