// The dashboard's save under Windows: the exact bytes on disk and the start-up Run value kept in
// step, and nothing changed when the file cannot be written.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_store.h"
#include "tests/settings/default_settings_file.h"
#include "tests/support/temp_app_data.h"
#include "tests/support/run_value.h"

namespace qorva_test {
namespace {

using qorva::DashboardSettings;

class SaveSettingsTest : public ::testing::Test {
protected:
    std::wstring SettingsPath() const { return appData_.DataFile(L"settings.json"); }

    RunValueGuard runValue_;
    TempAppData appData_;
};

TEST_F(SaveSettingsTest, DefaultsAreWrittenWithWindowsLineEndsAndTheRunValueIsDeleted) {
    WriteRunValue(L"\"C:\\old\\qorva_universal.exe\"");
    ASSERT_TRUE(qorva::SaveSettings(SettingsPath(), DashboardSettings{}, appData_.DataFolder()));
    const std::string bytes = ReadFileBytes(SettingsPath());
    EXPECT_EQ(bytes, kDefaultSettingsFile);
    EXPECT_EQ(ReadRunValue(), L"");
}

TEST_F(SaveSettingsTest, StartWithWindowsPointsAtTheDataFoldersCopyOrTheInstalledProgram) {
    DashboardSettings settings;
    settings.launchStartup = true;
    ASSERT_TRUE(qorva::SaveSettings(SettingsPath(), settings, appData_.DataFolder()));
    EXPECT_EQ(ReadRunValue(), L"\"C:\\Program Files\\Qorva\\qorva_universal.exe\"");

    WriteFileBytes(appData_.DataFile(L"qorva_universal.exe"), "MZ");
    ASSERT_TRUE(qorva::SaveSettings(SettingsPath(), settings, appData_.DataFolder()));
    EXPECT_EQ(ReadRunValue(), L"\"" + appData_.DataFile(L"qorva_universal.exe") + L"\"");
}

TEST_F(SaveSettingsTest, UnwritablePathLeavesFileAndRunValueAlone) {
    WriteRunValue(L"\"C:\\kept\\qorva_universal.exe\"");
    DashboardSettings settings;
    const std::wstring missingFolder = appData_.DataFolder() + L"\\missing\\settings.json";
    EXPECT_FALSE(qorva::SaveSettings(missingFolder, settings, appData_.DataFolder()));
    EXPECT_EQ(GetFileAttributesW(missingFolder.c_str()), INVALID_FILE_ATTRIBUTES);

    // A folder standing where the file should be: the save fails and the folder stays.
    const std::wstring folderInTheWay = appData_.DataFile(L"in_the_way");
    ASSERT_TRUE(CreateDirectoryW(folderInTheWay.c_str(), nullptr));
    EXPECT_FALSE(qorva::SaveSettings(folderInTheWay, settings, appData_.DataFolder()));
    EXPECT_NE(GetFileAttributesW(folderInTheWay.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadRunValue(), L"\"C:\\kept\\qorva_universal.exe\"");
}

}  // namespace
}  // namespace qorva_test
