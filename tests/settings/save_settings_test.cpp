// The dashboard's save under Windows: the exact bytes on disk and the start-up Run value kept in
// step, the user's own keys, order and line ends kept, and nothing changed when the file cannot
// be written or is marked read-only.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/text.h"
#include "settings/settings_store.h"
#include "tests/settings/default_settings_file.h"
#include "tests/support/read_only_mark.h"
#include "tests/support/run_value.h"
#include "tests/support/temp_app_data.h"

namespace qorva_test {
namespace {

using qorva::DashboardSettings;
using qorva::SettingsWrite;

class SaveSettingsTest : public ::testing::Test {
protected:
    std::wstring SettingsPath() const { return appData_.DataFile(L"settings.json"); }

    RunValueGuard runValue_;
    TempAppData appData_;
};

TEST_F(SaveSettingsTest, DefaultsAreWrittenWithWindowsLineEndsAndTheRunValueIsDeleted) {
    WriteRunValue(L"\"C:\\old\\qorva_universal.exe\"");
    ASSERT_EQ(qorva::SaveSettings(SettingsPath(), DashboardSettings{}, appData_.DataFolder()),
              SettingsWrite::Written);
    const std::string bytes = ReadFileBytes(SettingsPath());
    EXPECT_EQ(bytes, kDefaultSettingsFile);
    EXPECT_EQ(ReadRunValue(), L"");
}

TEST_F(SaveSettingsTest, StartWithWindowsPointsAtTheDataFoldersCopyOrTheInstalledProgram) {
    DashboardSettings settings;
    settings.launchStartup = true;
    ASSERT_EQ(qorva::SaveSettings(SettingsPath(), settings, appData_.DataFolder()),
              SettingsWrite::Written);
    EXPECT_EQ(ReadRunValue(), L"\"C:\\Program Files\\Qorva\\qorva_universal.exe\"");

    WriteFileBytes(appData_.DataFile(L"qorva_universal.exe"), "MZ");
    ASSERT_EQ(qorva::SaveSettings(SettingsPath(), settings, appData_.DataFolder()),
              SettingsWrite::Written);
    EXPECT_EQ(ReadRunValue(), L"\"" + appData_.DataFile(L"qorva_universal.exe") + L"\"");
}

TEST_F(SaveSettingsTest, UnwritablePathLeavesFileAndRunValueAlone) {
    WriteRunValue(L"\"C:\\kept\\qorva_universal.exe\"");
    DashboardSettings settings;
    const std::wstring missingFolder = appData_.DataFolder() + L"\\missing\\settings.json";
    EXPECT_EQ(qorva::SaveSettings(missingFolder, settings, appData_.DataFolder()),
              SettingsWrite::Failed);
    EXPECT_EQ(GetFileAttributesW(missingFolder.c_str()), INVALID_FILE_ATTRIBUTES);

    // A folder standing where the file should be: the save fails and the folder stays.
    const std::wstring folderInTheWay = appData_.DataFile(L"in_the_way");
    ASSERT_TRUE(CreateDirectoryW(folderInTheWay.c_str(), nullptr));
    EXPECT_EQ(qorva::SaveSettings(folderInTheWay, settings, appData_.DataFolder()),
              SettingsWrite::Unreadable);
    EXPECT_NE(GetFileAttributesW(folderInTheWay.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadRunValue(), L"\"C:\\kept\\qorva_universal.exe\"");
}

// A file the top bar and the user shaped: the dashboard sets its own keys where they are, adds the
// ones missing after them, and keeps the other keys, their order and the file's LF line ends.
TEST_F(SaveSettingsTest, TheUsersFileKeepsItsOtherKeysTheirOrderAndItsLineEnds) {
    WriteFileBytes(SettingsPath(),
                   "{\n  \"universal_mode\": false,\n  \"topbar_x\": 300,\n  \"theme\": 2,\n"
                   "  \"topbar_compact\": true\n}\n");
    ASSERT_EQ(qorva::SaveSettings(SettingsPath(), DashboardSettings{}, appData_.DataFolder()),
              SettingsWrite::Written);
    std::string expected =
        "{\n  \"universal_mode\": false,\n  \"topbar_x\": -1,\n  \"theme\": 0,\n"
        "  \"topbar_compact\": true";
    for (const qorva::SettingsKeyValue& row : qorva::DashboardSettingsValues(DashboardSettings{})) {
        if (row.key != "topbar_x" && row.key != "theme")
            expected += ",\n  \"" + row.key + "\": " + row.value;
    }
    expected += "\n}\n";
    EXPECT_EQ(ReadFileBytes(SettingsPath()), expected);
}

// The read-only attribute the user set: the file is not replaced, the save says so, and the Run
// value stays as for any file that cannot be written. Files it cannot read whole or does not
// understand are left alone the same way.
TEST_F(SaveSettingsTest, AFileItMayNotWriteKeepsItsBytesAndTheRunValue) {
    const struct {
        const char* name;
        std::string bytes;
        bool readOnly;
        SettingsWrite outcome;
    } cases[] = {
        {"read-only", kDefaultSettingsFile, true, SettingsWrite::ReadOnly},
        {"two megabytes", "{\r\n  \"notes\": \"" + std::string(2 << 20, 'x') + "\"\r\n}\r\n", false,
         SettingsWrite::TooLarge},
        {"not settings text", std::string("\x89PNG\r\n\x1A\n\0\0", 10), false,
         SettingsWrite::NotUnderstood},
    };
    WriteRunValue(L"\"C:\\kept\\qorva_universal.exe\"");
    DashboardSettings settings;
    settings.launchStartup = true;
    settings.theme = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(SettingsPath(), c.bytes);
        {
            std::optional<ReadOnlyMark> mark;
            if (c.readOnly) mark.emplace(qorva::Utf16ToUtf8(SettingsPath()));
            EXPECT_EQ(qorva::SaveSettings(SettingsPath(), settings, appData_.DataFolder()),
                      c.outcome);
        }
        EXPECT_TRUE(ReadFileBytes(SettingsPath()) == c.bytes);
        EXPECT_EQ(ReadRunValue(), L"\"C:\\kept\\qorva_universal.exe\"");
    }
}

}  // namespace
}  // namespace qorva_test
