#include "common/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/text.h"

#ifdef _WIN32
#include "tests/support/temp_app_data.h"
#else
#include <unistd.h>

#include <cstdlib>

#include "tools/lib/temp_folder.h"
#endif

namespace qorva {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr wchar_t kSeparator = L'\\';

// The shell's roaming folder comes from the per-user shell-folder setting.
class FakeRoamingFolder {
public:
    FakeRoamingFolder() { fs::remove(fs::path(appData_.DataFolder())); }
    const std::wstring& Folder() const { return appData_.Folder(); }

private:
    qorva_test::TempAppData appData_;
};
#else
constexpr wchar_t kSeparator = L'/';

// The development build takes the roaming folder from APPDATA; without it there is none. The
// current folder is the temporary one meanwhile, for the relative fallback.
class FakeRoamingFolder {
public:
    explicit FakeRoamingFolder(bool known = true) {
        const char* previous = std::getenv("APPDATA");
        if (previous) previous_ = previous;
        hadPrevious_ = previous != nullptr;
        folder_ = Utf8ToUtf16(temp_.Path().substr(0, temp_.Path().size() - 1));
        if (known) {
            setenv("APPDATA", Utf16ToUtf8(folder_).c_str(), 1);
        } else {
            unsetenv("APPDATA");
        }
        savedCurrent_ = fs::current_path();
        fs::current_path(fs::path(Utf16ToUtf8(folder_)));
    }
    ~FakeRoamingFolder() {
        fs::current_path(savedCurrent_);
        if (hadPrevious_) {
            setenv("APPDATA", previous_.c_str(), 1);
        } else {
            unsetenv("APPDATA");
        }
    }
    const std::wstring& Folder() const { return folder_; }

private:
    bangla::TempFolder temp_{"roaming"};
    std::wstring folder_;
    std::string previous_;
    bool hadPrevious_ = false;
    fs::path savedCurrent_;
};
#endif

bool IsFolder(const std::wstring& path) { return fs::is_directory(fs::path(Utf16ToUtf8(path))); }

TEST(FolderOfTest, CutsBeforeTheLastSeparator) {
    EXPECT_EQ(FolderOf(L"C:\\Program Files\\Qorva\\qorva_tsf.dll"), L"C:\\Program Files\\Qorva");
    EXPECT_EQ(FolderOf(L"/opt/qorva/bin"), L"/opt/qorva");
    EXPECT_EQ(FolderOf(L"a/b\\c"), L"a/b");
    EXPECT_EQ(FolderOf(L"C:\\x"), L"C:");
    EXPECT_EQ(FolderOf(L"qorva.exe"), L"");
    EXPECT_EQ(FolderOf(L""), L"");
}

TEST(ProgramFolderTest, IsAnExistingFolder) {
    const std::wstring folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(IsFolder(folder)) << Utf16ToUtf8(folder);
}

// Every fallback gives the same folder while the roaming folder is known, and it is created.
TEST(DataFolderTest, IsPelorinInTheRoamingFolderAndIsCreated) {
    for (const DataFolderFallback fallback :
         {DataFolderFallback::RelativeDataFolder, DataFolderFallback::None,
          DataFolderFallback::CurrentFolder}) {
        FakeRoamingFolder roaming;
        const std::wstring expected = roaming.Folder() + kSeparator + L"Pelorin";
        ASSERT_FALSE(IsFolder(expected));
        EXPECT_EQ(DataFolder(fallback), expected);
        EXPECT_TRUE(IsFolder(expected));
        EXPECT_EQ(DataFolder(fallback), expected);  // an existing folder is no error
    }
}

#ifndef _WIN32
TEST(DataFolderTest, WithoutRoamingFolderEachProgramHasItsFallback) {
    FakeRoamingFolder unknown(false);
    EXPECT_EQ(DataFolder(DataFolderFallback::None), L"");
    EXPECT_EQ(DataFolder(DataFolderFallback::CurrentFolder), L".");
    EXPECT_FALSE(IsFolder(L"Pelorin"));
    EXPECT_EQ(DataFolder(DataFolderFallback::RelativeDataFolder), L"Pelorin");
    EXPECT_TRUE(IsFolder(L"Pelorin"));
}
#endif

}  // namespace
}  // namespace qorva
