// settings.json on disk: Windows' bytes on every platform, LF text in memory, and no file when the
// write cannot happen; and the writers' patch of their keys, which leaves every file it did not
// read whole, does not understand or finds read-only exactly as it was.
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "tests/settings/default_settings_file.h"
#include "tests/support/engine_fixtures.h"
#include "tests/support/read_only_mark.h"
#include "tools/lib/temp_folder.h"

namespace qorva {
namespace {

using bangla::testing_support::ReadFileBytes;
using bangla::testing_support::WriteTextFile;

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

// --- The writers' patch over hostile files ---

// What the table's writer sets: a key the files hold and one they lack.
const std::vector<SettingsKeyValue> kOwnedValues = {{"topbar_x", "300"},
                                                    {"topbar_dock", "\"right\""}};
constexpr char kNewFileText[] = "{\n  \"topbar_x\": 300\n}\n";

std::string RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// A sound settings file of exactly `size` bytes: the user's keys, then a long note.
std::string PaddedSettings(size_t size) {
    const std::string head = "{\r\n  \"theme\": 2,\r\n  \"topbar_x\": -1,\r\n  \"notes\": \"";
    const std::string tail = "\"\r\n}\r\n";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

// The user's own keys around the writer's, in an order of their own, a comma inside a value.
constexpr char kUsersFile[] =
    "{\n  \"zeta\": 1,\n  \"topbar_x\": -1,\n  \"alpha\": \"a, b}\",\n  \"theme\": 2\n}\n";
constexpr char kUsersFilePatched[] =
    "{\n  \"zeta\": 1,\n  \"topbar_x\": 300,\n  \"alpha\": \"a, b}\",\n  \"theme\": 2,\n"
    "  \"topbar_dock\": \"right\"\n}\n";

struct HostileCase {
    std::string name;
    std::function<std::string()> before;
    bool readOnly;
    SettingsWrite outcome;
    // The bytes expected from those before; none: the file unchanged.
    std::function<std::string(std::string)> after;
};

std::ostream& operator<<(std::ostream& os, const HostileCase& c) { return os << c.name; }

class HostileSettingsFileTest : public ::testing::TestWithParam<HostileCase> {
protected:
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
            names.push_back(entry.path().filename().string());
        return names;
    }
    bangla::TempFolder folder_{"hostile_settings"};
};

TEST_P(HostileSettingsFileTest, OnlyAFileReadWholeAndUnderstoodIsPatched) {
    const HostileCase& c = GetParam();
    const std::string path = folder_.File("settings.json");
    const std::string before = c.before();
    WriteTextFile(path, before, "wb");
    SettingsWrite outcome;
    {
        std::optional<qorva_test::ReadOnlyMark> mark;
        if (c.readOnly) mark.emplace(path);
        outcome = SetSettingsKeys(Utf8ToUtf16(path), kOwnedValues, kNewFileText);
    }
    EXPECT_EQ(outcome, c.outcome) << SettingsWriteReason(outcome);
    const std::string expected = c.after ? c.after(before) : before;
    const std::string bytes = ReadFileBytes(path);
    // Compared without printing: some files are megabytes long.
    EXPECT_TRUE(bytes == expected) << bytes.size() << " bytes, expected " << expected.size();
    EXPECT_EQ(Names(), std::vector<std::string>{"settings.json"});
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileSettingsFileTest,
    ::testing::Values(
        HostileCase{"FiftyMegabytes", [] { return PaddedSettings(50 << 20); }, false,
                    SettingsWrite::TooLarge, nullptr},
        HostileCase{"OneBytePastTheLimit", [] { return PaddedSettings(kSettingsFileLimit + 1); },
                    false, SettingsWrite::TooLarge, nullptr},
        HostileCase{"ExactlyTheLimit", [] { return PaddedSettings(kSettingsFileLimit); }, false,
                    SettingsWrite::Written,
                    [](std::string bytes) {
                        bytes.replace(bytes.find("-1"), 2, "300");
                        bytes.insert(bytes.rfind("\r\n}"), ",\r\n  \"topbar_dock\": \"right\"");
                        return bytes;
                    }},
        HostileCase{"RandomBytes", [] { return RandomBytes(64 << 10, 1); }, false,
                    SettingsWrite::NotUnderstood, nullptr},
        HostileCase{"RandomBytesBetweenBraces", [] { return "{" + RandomBytes(64 << 10, 2) + "}"; },
                    false, SettingsWrite::NotUnderstood, nullptr},
        HostileCase{"CutShort",
                    [] { return std::string("{\r\n  \"theme\": 2,\r\n  \"topbar_x\": -"); }, false,
                    SettingsWrite::NotUnderstood, nullptr},
        HostileCase{"LfFileKeepsLfAndTheUsersKeysInTheirOrder",
                    [] { return std::string(kUsersFile); }, false, SettingsWrite::Written,
                    [](const std::string&) { return std::string(kUsersFilePatched); }},
        HostileCase{"CrLfFileKeepsCrLf", [] { return ToDiskLineEnds(kUsersFile); }, false,
                    SettingsWrite::Written,
                    [](const std::string&) { return ToDiskLineEnds(kUsersFilePatched); }},
        HostileCase{"ByteOrderMarkAndBanglaKept",
                    [] {
                        return std::string(
                            "\xEF\xBB\xBF{\r\n  \"name\": \"\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\","
                            "\r\n  \"topbar_x\": 7\r\n}\r\n");
                    },
                    false, SettingsWrite::Written,
                    [](const std::string&) {
                        return std::string(
                            "\xEF\xBB\xBF{\r\n  \"name\": \"\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\","
                            "\r\n  \"topbar_x\": 300,\r\n  \"topbar_dock\": \"right\"\r\n}\r\n");
                    }},
        HostileCase{"ReadOnly", [] { return std::string(kUsersFile); }, true,
                    SettingsWrite::ReadOnly, nullptr},
        HostileCase{"ReadOnlyAndHostile", [] { return RandomBytes(64 << 10, 3); }, true,
                    SettingsWrite::ReadOnly, nullptr},
        HostileCase{"EmptyFileIsFilledLikeAMissingOne", [] { return std::string(); }, false,
                    SettingsWrite::Written,
                    [](const std::string&) { return ToDiskLineEnds(kNewFileText); }}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

TEST_F(SettingsStoreTest, MissingFileIsCreatedWithCrLfAndAFolderInItsPlaceIsLeftAlone) {
    EXPECT_EQ(SetSettingsKeys(Path("settings.json"), kOwnedValues, kNewFileText),
              SettingsWrite::Written);
    EXPECT_EQ(ReadFileBytes(folder_.File("settings.json")), ToDiskLineEnds(kNewFileText));

    std::filesystem::create_directory(folder_.File("folder.json"));
    EXPECT_EQ(SetSettingsKeys(Path("folder.json"), kOwnedValues, kNewFileText),
              SettingsWrite::Unreadable);
    EXPECT_TRUE(std::filesystem::is_directory(folder_.File("folder.json")));
    EXPECT_EQ(SetSettingsKeys(Path("missing/settings.json"), kOwnedValues, kNewFileText),
              SettingsWrite::Failed);
    EXPECT_EQ(SetSettingsKeys(L"", kOwnedValues, kNewFileText), SettingsWrite::Failed);
}

}  // namespace
}  // namespace qorva
