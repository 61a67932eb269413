#include "tools/lexicon_build/lexicon_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "engine/lexicon_trie.h"
#include "tools/lib/lexicon_writer.h"
#include "tools/lib/temp_folder.h"

namespace bangla {
namespace {

TEST(LexiconSourceTest, LineGivesOneEntryPerKeyAndMarkedKeyLeads) {
    std::vector<LexiconEntry> entries;
    std::string error;
    ASSERT_TRUE(LexiconSource::ParseLine("\xE0\xA6\x95\xE0\xA6\xBF\t512\tki!,kii", entries, error))
        << error;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].word, "\xE0\xA6\x95\xE0\xA6\xBF");
    EXPECT_EQ(entries[0].roman, "ki");
    EXPECT_EQ(entries[0].frequency, 512u);
    EXPECT_EQ(entries[0].tag, 1u);
    EXPECT_EQ(entries[1].roman, "kii");
    EXPECT_EQ(entries[1].tag, 0u);
}

TEST(LexiconSourceTest, MalformedLinesAreRefusedAndAddNothing) {
    const char* const lines[] = {
        "word\t1",               // no keys field
        "\t1\tki",               // empty word
        "word\t0\tki",           // frequency 0
        "word\t4294967296\tki",  // beyond 32 bits
        "word\t-3\tki",          // sign
        "word\t12x\tki",         // trailing garbage
        "word\t1\tKi",           // upper case key
        "word\t1\tki,,ko",       // empty key
        "word\t1\t!",            // marker alone
        "word\t1\tki!!",         // two markers
        "word\t1\tki\textra",    // extra field
    };
    for (const char* line : lines) {
        std::vector<LexiconEntry> entries{LexiconEntry{"x", "x", 1, 0}};
        std::string error;
        EXPECT_FALSE(LexiconSource::ParseLine(line, entries, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
        EXPECT_EQ(entries.size(), 1u) << line;
    }
}

TEST(LexiconSourceTest, KeyRunsStandByFrequencyThenWord) {
    std::vector<LexiconEntry> entries{
        {"b", "ki", 5, 0}, {"a", "ko", 9, 0}, {"c", "ki", 7, 0}, {"a", "ki", 5, 0}};
    LexiconSource::OrderKeyRuns(entries);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].word + entries[0].roman, "cki");
    EXPECT_EQ(entries[1].word + entries[1].roman, "aki");
    EXPECT_EQ(entries[2].word + entries[2].roman, "bki");
    EXPECT_EQ(entries[3].word + entries[3].roman, "ako");
}

class LexiconSourceFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& content) {
        const std::string path = folder.File(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    TempFolder folder{"lexicon_source"};
};

TEST_F(LexiconSourceFileTest, BuiltLexiconAnswersTheHighestFrequencyFirstAndMarksLeaders) {
    const std::string source = Write("source.tsv",
                                     "\xE0\xA6\x95\xE0\xA6\xBF\t900\tki!\r\n"
                                     "\xE0\xA6\x95\xE0\xA7\x80\t300\tki,kii\n"
                                     "\xE0\xA6\x95\t5\tko");
    std::vector<LexiconEntry> entries;
    std::string error;
    ASSERT_TRUE(LexiconSource::ReadFile(source, entries, error)) << error;
    LexiconSource::OrderKeyRuns(entries);
    const std::string bin = folder.File("lexicon.bin");
    ASSERT_TRUE(WriteLexiconFile(bin, entries));

    LexiconTrie lexicon;
    ASSERT_TRUE(lexicon.LoadFromFile(bin));
    EXPECT_EQ(lexicon.EntryCount(), 4u);
    const std::vector<LexiconEntry> found = lexicon.SearchRoman("ki", 1);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].word, "\xE0\xA6\x95\xE0\xA6\xBF");
    EXPECT_EQ(found[0].tag, 1u);
    const LexiconEntry* rare = lexicon.Find("\xE0\xA6\x95");
    ASSERT_NE(rare, nullptr);
    EXPECT_EQ(rare->frequency, 5u);
}

TEST_F(LexiconSourceFileTest, ErrorNamesTheLineAndMissingFileIsReported) {
    const std::string source = Write("bad.tsv", "a\t1\tka\nb\t1\tKA\n");
    std::vector<LexiconEntry> entries;
    std::string error;
    EXPECT_FALSE(LexiconSource::ReadFile(source, entries, error));
    EXPECT_NE(error.find(":2:"), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(LexiconSource::ReadFile(folder.File("missing.tsv"), entries, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace bangla
