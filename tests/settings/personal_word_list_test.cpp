// personal_dict.txt through the helpers that the dashboard's Add and Delete and the top bar's
// add-word dialog share.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/text.h"
#include "settings/personal_word_list.h"
#include "tools/lib/temp_folder.h"

namespace qorva {
namespace {

class PersonalWordListTest : public ::testing::Test {
protected:
    std::wstring Path() const { return Utf8ToUtf16(folder_.File("personal_dict.txt")); }

    std::string Bytes() const {
        std::ifstream file(folder_.File("personal_dict.txt"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    void SetBytes(const std::string& bytes) const {
        std::ofstream(folder_.File("personal_dict.txt"), std::ios::binary) << bytes;
    }

    bangla::TempFolder folder_{"word_list"};
};

TEST_F(PersonalWordListTest, AddWritesUtf8LinesWithCrLfAtTheEnd) {
    ASSERT_TRUE(AppendWordListEntry(Path(), L"ami", L"আমি"));
    EXPECT_EQ(Bytes(), "ami\t\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\r\n");  // no byte order mark
    ASSERT_TRUE(AppendWordListEntry(Path(), L"ami", L"আমি"));
    EXPECT_EQ(ReadWordList(Path()),
              (std::vector<std::wstring>{L"ami\tআমি", L"ami\tআমি"}));  // duplicates are kept
}

TEST_F(PersonalWordListTest, AddShapesTheEntry) {
    const std::wstring longKey(200, L'k');
    const struct {
        const char* name;
        std::wstring key, word;
        std::wstring entry;
    } cases[] = {
        {"key of 200 units", longKey, L"ক", std::wstring(127, L'k') + L"\tক"},
        {"line breaks", L"a\r\nb", L"ক\nখ", L"a  b\tক খ"},
        {"tab kept", L"a\tb", L"ক", L"a\tb\tক"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetBytes("");
        ASSERT_TRUE(AppendWordListEntry(Path(), c.key, c.word));
        EXPECT_EQ(ReadWordList(Path()), std::vector<std::wstring>{c.entry});
    }
}

TEST_F(PersonalWordListTest, AddWithAnEmptyFieldWritesNothing) {
    EXPECT_FALSE(AppendWordListEntry(Path(), L"", L"আমি"));
    EXPECT_FALSE(AppendWordListEntry(Path(), L"ami", L""));
    EXPECT_FALSE(std::filesystem::exists(folder_.File("personal_dict.txt")));
}

// An editor may leave the file with a byte order mark, LF line ends, blank lines and no final line
// end: the entries read the same, an added entry gets its own line, and a Delete writes the file
// back clean.
TEST_F(PersonalWordListTest, ReadsAndRewritesWhatEditorsLeave) {
    SetBytes(
        "\xEF\xBB\xBF"
        "ami\tx\n\n\r\ntumi\ty\r\n\nse\tz");
    EXPECT_EQ(ReadWordList(Path()), (std::vector<std::wstring>{L"ami\tx", L"tumi\ty", L"se\tz"}));
    ASSERT_TRUE(AppendWordListEntry(Path(), L"ora", L"w"));
    EXPECT_EQ(ReadWordList(Path())->back(), L"ora\tw");
    ASSERT_TRUE(RemoveWordListEntry(Path(), L"tumi\ty"));
    EXPECT_EQ(Bytes(), "ami\tx\r\nse\tz\r\nora\tw\r\n");
}

TEST_F(PersonalWordListTest, DeleteDropsEveryEqualEntryAndKeepsOtherBytes) {
    // The second line is no valid UTF-8: it is shown with a replacement character but kept as it
    // was; an entry that only starts like the selection stays.
    SetBytes("ami\tx\r\nbad\t\xFF\r\nami\tx\r\nami\txy\r\n");
    ASSERT_TRUE(RemoveWordListEntry(Path(), L"ami\tx"));
    EXPECT_EQ(Bytes(), "bad\t\xFF\r\nami\txy\r\n");
    ASSERT_TRUE(RemoveWordListEntry(Path(), L"nothing"));
    EXPECT_EQ(Bytes(), "bad\t\xFF\r\nami\txy\r\n");
    ASSERT_TRUE(RemoveWordListEntry(Path(), L"bad\t\uFFFD"));
    EXPECT_EQ(Bytes(), "ami\txy\r\n");
}

TEST_F(PersonalWordListTest, FailuresAreReported) {
    const std::wstring inMissingFolder = Utf8ToUtf16(folder_.File("absent/personal_dict.txt"));
    EXPECT_FALSE(AppendWordListEntry(inMissingFolder, L"ami", L"আমি"));
    EXPECT_FALSE(RemoveWordListEntry(inMissingFolder, L"ami\tআমি"));
    EXPECT_EQ(ReadWordList(inMissingFolder), std::vector<std::wstring>{});  // missing: empty

    // A file that cannot be read is not an empty list, and is never rewritten as one.
    std::filesystem::create_directory(folder_.File("personal_dict.txt"));
    EXPECT_EQ(ReadWordList(Path()), std::nullopt);
    EXPECT_FALSE(RemoveWordListEntry(Path(), L"ami\tআমি"));
}

}  // namespace
}  // namespace qorva
