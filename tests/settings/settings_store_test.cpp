// settings.json on disk: Windows' bytes on every platform, LF text in memory, and no file when the
// write cannot happen.
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "tests/settings/default_settings_file.h"
#include "tests/support/engine_fixtures.h"
#include "tools/lib/temp_folder.h"

namespace qorva {
namespace {

using bangla::testing_support::ReadFileBytes;

class SettingsStoreTest : public ::testing::Test {
protected:
    std::wstring Path(const std::string& name) const { return Utf8ToUtf16(folder_.File(name)); }
    bangla::TempFolder folder_{"settings_store"};
};

TEST_F(SettingsStoreTest, WritesCrLfAndReadsBackLf) {
    const std::string text = FormatSettingsFile(DashboardSettings{});
    ASSERT_TRUE(WriteSettingsFile(Path("settings.json"), text));
    EXPECT_EQ(ReadFileBytes(folder_.File("settings.json")), qorva_test::kDefaultSettingsFile);
    EXPECT_EQ(ReadSettingsFile(Path("settings.json")), text);
}

TEST_F(SettingsStoreTest, RewriteReplacesTheWholeFile) {
    ASSERT_TRUE(WriteSettingsFile(Path("settings.json"), std::string(5000, 'x') + "\n"));
    ASSERT_TRUE(WriteSettingsFile(Path("settings.json"), "{\n}\n"));
    EXPECT_EQ(ReadFileBytes(folder_.File("settings.json")), "{\r\n}\r\n");
}

TEST_F(SettingsStoreTest, MissingFileOrFolderGivesNothing) {
    EXPECT_EQ(ReadSettingsFile(Path("none.json")), std::nullopt);
    EXPECT_EQ(SettingsFilePath(L""), L"");
    EXPECT_EQ(ReadSettingsFile(SettingsFilePath(L"")), std::nullopt);
    EXPECT_EQ(ReadSettingsFile(Utf8ToUtf16(folder_.Path())), std::nullopt);
    EXPECT_FALSE(WriteSettingsFile(Path("missing/settings.json"), "{\n}\n"));
}

}  // namespace
}  // namespace qorva
