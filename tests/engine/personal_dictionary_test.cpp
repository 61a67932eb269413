#include "engine/personal_dictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/support/file_size_limit.h"

namespace bangla {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
const std::string kNewline = "\r\n";
#else
const std::string kNewline = "\n";
#endif

const std::string kAmi = "\u0986\u09AE\u09BF";
const std::string kTumi = "\u09A4\u09C1\u09AE\u09BF";
const std::string kBhalo = "\u09AD\u09BE\u09B2\u09CB";

uint64_t Now() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count());
}

// The observable fields of a word, for comparisons.
using Word =
    std::tuple<std::string, std::string, uint32_t, bool>;  // roman, text, frequency, learned

Word Observed(const UserWordEntry& entry) {
    return Word{entry.roman, entry.text, entry.frequency, entry.autoLearned};
}

std::vector<Word> Observed(std::vector<UserWordEntry> entries) {
    std::vector<Word> words;
    for (const UserWordEntry& entry : entries) words.push_back(Observed(entry));
    std::sort(words.begin(), words.end());
    return words;
}

// --- Operations --------------------------------------------------------------

enum class Op { Add, Learn, Use, Remove, ClearAll, ClearLearned, ClearExplicit };

struct Step {
    Op op;
    std::string roman;
    std::string text;
    std::size_t result;  // the operation's bool as 0/1, or the number removed
};

struct OperationCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<Word> all;                   // every word afterwards
    std::string lookupKey;                   // then looked up under this key
    std::vector<std::string> textsUnderKey;  // in index order
};

std::ostream& operator<<(std::ostream& os, const OperationCase& c) { return os << c.name; }

std::size_t Perform(PersonalDictionary& dictionary, const Step& step) {
    switch (step.op) {
        case Op::Add: return dictionary.AddWord(step.roman, step.text, false);
        case Op::Learn: return dictionary.AddWord(step.roman, step.text, true);
        case Op::Use: return dictionary.IncrementFrequency(step.text);
        case Op::Remove: return dictionary.RemoveWord(step.roman, step.text);
        case Op::ClearAll: return dictionary.ClearAll();
        case Op::ClearLearned: return dictionary.ClearAutoLearned();
        case Op::ClearExplicit: return dictionary.ClearExplicitUserWords();
    }
    return 0;
}

std::vector<std::string> TextsUnder(const PersonalDictionary& dictionary,
                                    const std::string& roman) {
    std::vector<std::string> texts;
    for (const UserWordEntry& entry : dictionary.GetWordsByRomanKey(roman))
        texts.push_back(entry.text);
    return texts;
}

class DictionaryOperationTest : public ::testing::TestWithParam<OperationCase> {};

TEST_P(DictionaryOperationTest, ChangesWordsAsExpected) {
    const OperationCase& c = GetParam();
    PersonalDictionary dictionary;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        EXPECT_EQ(Perform(dictionary, c.steps[i]), c.steps[i].result) << "step " << i;
    }
    EXPECT_EQ(Observed(dictionary.GetAllEntries()), c.all);
    EXPECT_EQ(TextsUnder(dictionary, c.lookupKey), c.textsUnderKey);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DictionaryOperationTest,
    ::testing::Values(
        OperationCase{
            "add_new_word", {{Op::Add, "ami", kAmi, 1}}, {{"ami", kAmi, 1, false}}, "ami", {kAmi}},
        OperationCase{"add_again_counts",
                      {{Op::Add, "ami", kAmi, 1}, {Op::Add, "ami", kAmi, 1}},
                      {{"ami", kAmi, 2, false}},
                      "ami",
                      {kAmi}},
        OperationCase{"other_key_is_a_second_spelling",
                      {{Op::Add, "ami", kAmi, 1}, {Op::Add, "aami", kAmi, 1}},
                      {{"aami", kAmi, 1, false}, {"ami", kAmi, 1, false}},
                      "aami",
                      {kAmi}},
        OperationCase{
            "use_counts_the_first_spelling",
            {{Op::Add, "ami", kAmi, 1}, {Op::Add, "aami", kAmi, 1}, {Op::Use, "", kAmi, 1}},
            {{"aami", kAmi, 1, false}, {"ami", kAmi, 2, false}},
            "ami",
            {kAmi}},
        OperationCase{
            "removing_one_spelling_keeps_the_other",
            {{Op::Add, "ami", kAmi, 1}, {Op::Add, "aami", kAmi, 1}, {Op::Remove, "aami", kAmi, 1}},
            {{"ami", kAmi, 1, false}},
            "aami",
            {}},
        OperationCase{
            "removing_under_another_key_removes_every_spelling",
            {{Op::Add, "ami", kAmi, 1}, {Op::Add, "aami", kAmi, 1}, {Op::Remove, "amii", kAmi, 1}},
            {},
            "ami",
            {}},
        OperationCase{"explicit_add_makes_learned_word_explicit",
                      {{Op::Learn, "ami", kAmi, 1}, {Op::Add, "ami", kAmi, 1}},
                      {{"ami", kAmi, 2, false}},
                      "ami",
                      {kAmi}},
        OperationCase{"learning_keeps_explicit_word_explicit",
                      {{Op::Add, "ami", kAmi, 1}, {Op::Learn, "ami", kAmi, 1}},
                      {{"ami", kAmi, 2, false}},
                      "ami",
                      {kAmi}},
        OperationCase{"learned_word_stays_learned",
                      {{Op::Learn, "ami", kAmi, 1}, {Op::Learn, "ami", kAmi, 1}},
                      {{"ami", kAmi, 2, true}},
                      "ami",
                      {kAmi}},
        OperationCase{
            "words_of_one_key_in_added_order",
            {{Op::Add, "t", kTumi, 1}, {Op::Learn, "t", kAmi, 1}, {Op::Add, "b", kBhalo, 1}},
            {{"b", kBhalo, 1, false}, {"t", kAmi, 1, true}, {"t", kTumi, 1, false}},
            "t",
            {kTumi, kAmi}},
        OperationCase{
            "unstorable_arguments_refused",
            {{Op::Add, "", kAmi, 0},
             {Op::Add, "ami", "", 0},
             {Op::Learn, "a\tmi", kAmi, 0},
             {Op::Add, "ami", kAmi + "\n", 0},
             {Op::Add, "ami", "\xE0\xA6", 0},
             {Op::Add, "ami", std::string(PersonalDictionary::kMaxFieldBytes + 1, 'x'), 0}},
            {},
            "ami",
            {}},
        OperationCase{
            "use_counts_stored_word_only",
            {{Op::Learn, "ami", kAmi, 1}, {Op::Use, "", kAmi, 1}, {Op::Use, "", kTumi, 0}},
            {{"ami", kAmi, 2, true}},
            "ami",
            {kAmi}},
        OperationCase{
            "remove_under_own_key",
            {{Op::Add, "ami", kAmi, 1}, {Op::Remove, "ami", kAmi, 1}, {Op::Remove, "ami", kAmi, 0}},
            {},
            "ami",
            {}},
        OperationCase{
            "remove_under_foreign_key_still_removes",
            {{Op::Add, "ami", kAmi, 1}, {Op::Add, "t", kTumi, 1}, {Op::Remove, "t", kAmi, 1}},
            {{"t", kTumi, 1, false}},
            "ami",
            {}},
        OperationCase{
            "remove_keeps_other_words_of_key",
            {{Op::Add, "t", kTumi, 1}, {Op::Add, "t", kAmi, 1}, {Op::Remove, "t", kTumi, 1}},
            {{"t", kAmi, 1, false}},
            "t",
            {kAmi}},
        OperationCase{
            "clear_all",
            {{Op::Add, "ami", kAmi, 1}, {Op::Learn, "t", kTumi, 1}, {Op::ClearAll, "", "", 2}},
            {},
            "t",
            {}},
        OperationCase{"clear_learned_keeps_explicit",
                      {{Op::Add, "t", kAmi, 1},
                       {Op::Learn, "t", kTumi, 1},
                       {Op::Learn, "b", kBhalo, 1},
                       {Op::ClearLearned, "", "", 2}},
                      {{"t", kAmi, 1, false}},
                      "t",
                      {kAmi}},
        OperationCase{
            "clear_explicit_keeps_learned",
            {{Op::Add, "t", kAmi, 1}, {Op::Learn, "t", kTumi, 1}, {Op::ClearExplicit, "", "", 1}},
            {{"t", kTumi, 1, true}},
            "t",
            {kTumi}},
        OperationCase{"clear_rebuild_drops_stale_listing",
                      {{Op::Add, "ami", kAmi, 1},
                       {Op::Remove, "x", kAmi, 1},
                       {Op::Add, "ami", kAmi, 1},
                       {Op::ClearLearned, "", "", 0}},
                      {{"ami", kAmi, 1, false}},
                      "ami",
                      {kAmi}}));

TEST(PersonalDictionaryWords, AddAndUseStampTheCurrentTime) {
    PersonalDictionary dictionary;
    const uint64_t before = Now();
    dictionary.AddWord("ami", kAmi, true);
    dictionary.IncrementFrequency(kAmi);
    const uint64_t after = Now();
    const auto words = dictionary.GetAllEntries();
    ASSERT_EQ(words.size(), 1u);
    EXPECT_GE(words[0].lastUsed, before);
    EXPECT_LE(words[0].lastUsed, after);
}

TEST(PersonalDictionaryWords, BoostGrowsWithUseUpToOne) {
    PersonalDictionary dictionary;
    dictionary.AddWord("ami", kAmi, false);
    dictionary.AddWord("t", kTumi, false);
    for (int i = 0; i < 1000; ++i) dictionary.IncrementFrequency(kTumi);
    const auto boosts = dictionary.GetUserBoosts();
    ASSERT_EQ(boosts.size(), 2u);
    EXPECT_NEAR(boosts.at(kAmi), 0.30103f / 3.0f + 0.2f, 1e-5f);
    EXPECT_FLOAT_EQ(boosts.at(kTumi), 1.0f);
}

// --- Files -----------------------------------------------------------------

class PersonalDictionaryFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::path(::testing::TempDir()) /
                 (std::string("qorva_dict_") + info->test_suite_name() + "_" + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = PathOf("user_dict.txt");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::string PathOf(const std::string& name) const {
        return (folder / fs::u8path(name)).u8string();
    }

    static void WriteBytes(const std::string& utf8Path, const std::string& bytes) {
        std::ofstream out(fs::u8path(utf8Path), std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    static std::string ReadBytes(const std::string& utf8Path) {
        std::ifstream in(fs::u8path(utf8Path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(folder))
            names.push_back(item.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
    std::string path;
};

TEST_F(PersonalDictionaryFileTest, SavesOneTabSeparatedLinePerWord) {
    PersonalDictionary dictionary;
    const uint64_t before = Now();
    dictionary.AddWord("ami", kAmi, true);
    ASSERT_TRUE(dictionary.SaveToFile(path));
    const std::string bytes = ReadBytes(path);
    const std::string prefix = "ami\t" + kAmi + "\t1\t";
    ASSERT_EQ(bytes.compare(0, prefix.size(), prefix), 0) << bytes;
    const std::string suffix = "\t1" + kNewline;
    ASSERT_GT(bytes.size(), prefix.size() + suffix.size());
    EXPECT_EQ(bytes.substr(bytes.size() - suffix.size()), suffix);
    const uint64_t written = std::stoull(bytes.substr(prefix.size()));
    EXPECT_GE(written, before);
    EXPECT_LE(written, Now());
}

TEST_F(PersonalDictionaryFileTest, RoundTripKeepsEveryField) {
    PersonalDictionary saved;
    saved.AddWord("ami", kAmi, false);
    saved.AddWord("tumi", kTumi, true);
    saved.IncrementFrequency(kTumi);
    saved.AddWord("", kBhalo, false);  // refused: not saved either
    saved.AddWord("bhalo", kBhalo, true);
    ASSERT_TRUE(saved.SaveToFile(path));

    PersonalDictionary loaded;
    loaded.AddWord("old", "\u0995", false);  // replaced by the file's words
    ASSERT_TRUE(loaded.LoadFromFile(path));
    auto byText = [](const UserWordEntry& a, const UserWordEntry& b) { return a.text < b.text; };
    auto expected = saved.GetAllEntries();
    auto actual = loaded.GetAllEntries();
    std::sort(expected.begin(), expected.end(), byText);
    std::sort(actual.begin(), actual.end(), byText);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(Observed(actual[i]), Observed(expected[i]));
        EXPECT_EQ(actual[i].lastUsed, expected[i].lastUsed);
    }
    EXPECT_EQ(TextsUnder(loaded, "tumi"), std::vector<std::string>{kTumi});
    EXPECT_TRUE(TextsUnder(loaded, "old").empty());
}

TEST_F(PersonalDictionaryFileTest, ReadsWindowsLineEndings) {
    WriteBytes(path, "ami\t" + kAmi + "\t5\t100\t1\r\ntumi\t" + kTumi + "\r\n\r\nbhalo\t" + kBhalo +
                         "\t7\r\n");
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    EXPECT_EQ(Observed(dictionary.GetAllEntries()),
              (std::vector<Word>{
                  {"ami", kAmi, 5, true}, {"bhalo", kBhalo, 7, false}, {"tumi", kTumi, 1, false}}));
}

struct LineCase {
    const char* name;
    std::string line;
    bool loads;
    Word word;  // when it loads
    uint64_t lastUsed;
};

std::ostream& operator<<(std::ostream& os, const LineCase& c) { return os << c.name; }

class DictionaryLineTest : public PersonalDictionaryFileTest,
                           public ::testing::WithParamInterface<LineCase> {};

// Each line sits between two good lines, which must load whatever it holds.
TEST_P(DictionaryLineTest, ReadsOrSkipsOneLine) {
    const LineCase& c = GetParam();
    const std::string before = "tumi\t" + kTumi + "\t3\t30\t0\n";
    const std::string after = "bhalo\t" + kBhalo + "\t4\t40\t1";  // no final newline
    WriteBytes(path, before + c.line + "\n" + after);
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    std::vector<Word> expected = {{"tumi", kTumi, 3, false}, {"bhalo", kBhalo, 4, true}};
    if (c.loads) expected.push_back(c.word);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Observed(dictionary.GetAllEntries()), expected);
    if (c.loads) {
        const auto words = dictionary.GetWordsByRomanKey(std::get<0>(c.word));
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words[0].lastUsed, c.lastUsed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DictionaryLineTest,
    ::testing::Values(
        LineCase{"five_columns", "ami\t" + kAmi + "\t5\t100\t1", true, {"ami", kAmi, 5, true}, 100},
        LineCase{
            "explicit_flag", "ami\t" + kAmi + "\t5\t100\t0", true, {"ami", kAmi, 5, false}, 100},
        LineCase{"two_columns", "ami\t" + kAmi, true, {"ami", kAmi, 1, false}, 0},
        LineCase{
            "add_word_dialog_line", "ami\t" + kAmi + "\t100", true, {"ami", kAmi, 100, false}, 0},
        LineCase{"blanks_between_counters",
                 "ami\t" + kAmi + "\t5  100 \t 1",
                 true,
                 {"ami", kAmi, 5, true},
                 100},
        LineCase{"long_flag_is_explicit",
                 "ami\t" + kAmi + "\t5\t100\t10",
                 true,
                 {"ami", kAmi, 5, false},
                 100},
        LineCase{"frequency_not_a_number",
                 "ami\t" + kAmi + "\tabc\t100\t1",
                 true,
                 {"ami", kAmi, 0, false},
                 0},
        LineCase{"negative_frequency",
                 "ami\t" + kAmi + "\t-5\t100\t1",
                 true,
                 {"ami", kAmi, 0, false},
                 0},
        LineCase{"time_not_a_number",
                 "ami\t" + kAmi + "\t5\tnever\t1",
                 true,
                 {"ami", kAmi, 5, false},
                 0},
        LineCase{"empty_roman_key", "\t" + kAmi + "\t2", true, {"", kAmi, 2, false}, 0},
        LineCase{"largest_counts",
                 "ami\t" + kAmi + "\t4294967295\t18446744073709551615\t1",
                 true,
                 {"ami", kAmi, 4294967295u, true},
                 18446744073709551615ull},
        LineCase{"no_tab", "ami " + kAmi, false, {}, 0},
        LineCase{"tab_at_end", "ami\t", false, {}, 0},
        LineCase{"empty_word", "ami\t\t5", false, {}, 0},
        LineCase{"frequency_too_large_is_held_at_the_largest",
                 "ami\t" + kAmi + "\t4294967296",
                 true,
                 {"ami", kAmi, 4294967295u, false},
                 0},
        LineCase{"absurd_frequency_is_held_at_the_largest",
                 "ami\t" + kAmi + "\t99999999999999999999999999\t7\t1",
                 true,
                 {"ami", kAmi, 4294967295u, true},
                 7},
        LineCase{"time_too_large_is_held_at_the_largest",
                 "ami\t" + kAmi + "\t5\t18446744073709551616\t1",
                 true,
                 {"ami", kAmi, 5, true},
                 18446744073709551615ull},
        LineCase{"bad_utf8_word", "ami\t\xE0\xA6\t5", false, {}, 0},
        LineCase{"bad_utf8_key", "a\xFFmi\t" + kAmi, false, {}, 0},
        LineCase{"overlong_utf8", "ami\t\xC0\xAF", false, {}, 0},
        LineCase{"nul_in_word", "ami\t" + kAmi + std::string(1, '\0') + "x\t5", false, {}, 0},
        LineCase{"comment", "# the words I taught", false, {}, 0},
        LineCase{"carriage_return_inside_a_field", "ami\r\t" + kAmi + "\t5", false, {}, 0},
        LineCase{"more_columns_than_known",
                 "ami\t" + kAmi + "\t5\t100\t1\tnote\t7",
                 true,
                 {"ami", kAmi, 5, true},
                 100},
        LineCase{"ten_megabyte_line",
                 "ami\t" + std::string(10 * 1024 * 1024, 'x') + "\t5",
                 false,
                 {},
                 0}));

// A save that another word's change sets off writes the line back as it was, whatever it holds;
// only a line too long to hold goes to a side file, which learned_data.log names.
TEST_P(DictionaryLineTest, SaveKeepsTheLineInItsPlace) {
    const LineCase& c = GetParam();
    const std::string before = "tumi\t" + kTumi + "\t3\t30\t0";
    const std::string after = "bhalo\t" + kBhalo + "\t4\t40\t1";
    WriteBytes(path, before + "\n" + c.line + "\n" + after + "\n");
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    dictionary.AddWord("notun", "\u09A8\u09A4\u09C1\u09A8", true);
    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    std::vector<std::string> lines;
    std::istringstream written(ReadBytes(path));
    for (std::string line; std::getline(written, line);) {
        if (!line.empty() && line.back() == '\r' && kNewline == "\r\n") line.pop_back();
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), c.line.size() > PersonalDictionary::kMaxLineBytes ? 3u : 4u);
    EXPECT_EQ(lines[0], before);
    if (c.line.size() > PersonalDictionary::kMaxLineBytes) {
        EXPECT_EQ(lines[1], after);
        std::string setAside;
        for (const std::string& name : FolderContents())
            if (name.find("user_dict.txt.overlong-") == 0) setAside = name;
        ASSERT_FALSE(setAside.empty());
        EXPECT_EQ(ReadBytes(PathOf(setAside)), c.line + "\n");
        EXPECT_NE(ReadBytes(PathOf("learned_data.log")).find(setAside), std::string::npos);
    } else {
        EXPECT_EQ(lines[1], c.line);
        EXPECT_EQ(lines[2], after);
    }
    EXPECT_EQ(lines.back().compare(0, 6, "notun\t"), 0) << lines.back();
}

// Spellings of one word that the user taught, in any order, all stay.
TEST_F(PersonalDictionaryFileTest, EverySpellingOfAWordLoadsAndIsKept) {
    const std::string text = "ami\t" + kAmi + kNewline + "bhalo\t" + kBhalo + kNewline + "aami\t" +
                             kAmi + "\t4" + kNewline;
    WriteBytes(path, text);
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    EXPECT_EQ(TextsUnder(dictionary, "ami"), std::vector<std::string>{kAmi});
    EXPECT_EQ(TextsUnder(dictionary, "aami"), std::vector<std::string>{kAmi});
    dictionary.AddWord("tumi", kTumi, false);
    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    EXPECT_EQ(ReadBytes(path).compare(0, text.size(), text), 0) << ReadBytes(path);
}

// A line that ends in a CR of its own (CR CR LF in the file) is written back so that it reads the
// same: its CR is not taken for part of the line end, which would make "1\r" a time of 1.
TEST_F(PersonalDictionaryFileTest, LineEndingInACarriageReturnReadsTheSameAfterASave) {
    const std::string line = "tumi\t" + kTumi + "\t2\t\t1\r\r\n";
    WriteBytes(path, line);
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    dictionary.AddWord("ami", kAmi, false);
    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    EXPECT_EQ(ReadBytes(path).compare(0, line.size(), line), 0);
    PersonalDictionary reloaded;
    ASSERT_TRUE(reloaded.LoadFromFile(path));
    const std::vector<UserWordEntry> tumi = reloaded.GetWordsByRomanKey("tumi");
    ASSERT_EQ(tumi.size(), 1u);
    EXPECT_EQ(tumi[0].frequency, 2u);
    EXPECT_EQ(tumi[0].lastUsed, 0u);
}

TEST_F(PersonalDictionaryFileTest, LaterLineOfOneWordWins) {
    WriteBytes(path, "ami\t" + kAmi + "\t5\t100\t1\nami\t" + kAmi + "\t9\t200\t0\n");
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    EXPECT_EQ(Observed(dictionary.GetAllEntries()), (std::vector<Word>{{"ami", kAmi, 9, false}}));
}

TEST_F(PersonalDictionaryFileTest, MissingFileKeepsWordsEmptyFileClearsThem) {
    PersonalDictionary dictionary;
    dictionary.AddWord("ami", kAmi, false);
    EXPECT_FALSE(dictionary.LoadFromFile(PathOf("missing.txt")));
    EXPECT_EQ(dictionary.GetAllEntries().size(), 1u);
    WriteBytes(path, "");
    EXPECT_TRUE(dictionary.LoadFromFile(path));
    EXPECT_TRUE(dictionary.GetAllEntries().empty());
}

TEST_F(PersonalDictionaryFileTest, UnreadablePathKeepsWords) {
    fs::create_directories(fs::u8path(path));  // a folder where the file should be
    PersonalDictionary dictionary;
    dictionary.AddWord("ami", kAmi, false);
    EXPECT_FALSE(dictionary.LoadFromFile(path));
    EXPECT_EQ(Observed(dictionary.GetAllEntries()), (std::vector<Word>{{"ami", kAmi, 1, false}}));
}

TEST_F(PersonalDictionaryFileTest, EmptyDictionarySavesEmptyFile) {
    WriteBytes(path, "old\tline\n");
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.SaveToFile(path));
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"user_dict.txt"});
}

TEST_F(PersonalDictionaryFileTest, NonAsciiFolderRoundTrips) {
    const std::string subfolder = PathOf("\u09AC\u09BE\u0982\u09B2\u09BE \u00E9");
    fs::create_directories(fs::u8path(subfolder));
    const std::string nonAsciiPath = subfolder + "/user_dict.txt";
    PersonalDictionary saved;
    saved.AddWord("ami", kAmi, false);
    ASSERT_TRUE(saved.SaveToFile(nonAsciiPath));
    PersonalDictionary loaded;
    ASSERT_TRUE(loaded.LoadFromFile(nonAsciiPath));
    EXPECT_EQ(Observed(loaded.GetAllEntries()), (std::vector<Word>{{"ami", kAmi, 1, false}}));
}

TEST_F(PersonalDictionaryFileTest, SaveIntoMissingFolderFails) {
    PersonalDictionary dictionary;
    dictionary.AddWord("ami", kAmi, false);
    EXPECT_FALSE(dictionary.SaveToFile(PathOf("no/such/folder/user_dict.txt")));
    EXPECT_EQ(FolderContents(), std::vector<std::string>{});
}

TEST_F(PersonalDictionaryFileTest, FailedReplaceReportsFailureAndLeavesNoTemporaryFile) {
    fs::create_directories(fs::u8path(path));  // a folder where the file should go
    PersonalDictionary dictionary;
    dictionary.AddWord("ami", kAmi, false);
    EXPECT_FALSE(dictionary.SaveToFile(path));
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"user_dict.txt"});
    EXPECT_TRUE(fs::is_directory(fs::u8path(path)));
}

#ifndef _WIN32
// A full disk, imitated by a file size limit: the old file must survive whole.
TEST_F(PersonalDictionaryFileTest, FullDiskKeepsThePreviousFile) {
    const std::string previous = "ami\t" + kAmi + "\t5\t100\t0\n";
    WriteBytes(path, previous);
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    for (int i = 0; i < 2000; ++i)
        dictionary.AddWord("w" + std::to_string(i), "\u0995" + std::to_string(i), true);

    bool saved;
    {
        const qorva_test::FileSizeLimit fullDisk(4096);
        saved = dictionary.SaveToFile(path);
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(path), previous);
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"user_dict.txt"});
}
#endif

// --- Merging onto what the file holds at save time -----------------------------

class PersonalDictionaryMergeTest : public PersonalDictionaryFileTest {
protected:
    std::vector<Word> FileWords() const {
        PersonalDictionary reader;
        EXPECT_TRUE(reader.LoadFromFile(path));
        return Observed(reader.GetAllEntries());
    }
};

TEST_F(PersonalDictionaryMergeTest, KeepsLinesAppendedByOthersAfterLoad) {
    WriteBytes(path, "ami\t" + kAmi + "\t5\t100\t1\n");
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    dictionary.IncrementFrequency(kAmi);
    dictionary.AddWord("tumi", kTumi, true);
    WriteBytes(path, ReadBytes(path) + "bhalo\t" + kBhalo + "\t100\n");  // the add-word dialog

    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    const std::vector<Word> expected = {
        {"ami", kAmi, 6, true}, {"bhalo", kBhalo, 100, false}, {"tumi", kTumi, 1, true}};
    EXPECT_EQ(FileWords(), expected);
    EXPECT_EQ(Observed(dictionary.GetAllEntries()), expected);  // memory adopts the merged words
}

TEST_F(PersonalDictionaryMergeTest, TwoWritersKeepEachOthersChanges) {
    WriteBytes(path, "ami\t" + kAmi + "\t5\t100\t1\ntumi\t" + kTumi + "\t2\t100\t1\n");
    PersonalDictionary first;
    PersonalDictionary second;
    ASSERT_TRUE(first.LoadFromFile(path));
    ASSERT_TRUE(second.LoadFromFile(path));
    first.IncrementFrequency(kAmi);
    first.AddWord("bhalo", kBhalo, false);
    second.IncrementFrequency(kAmi);
    second.IncrementFrequency(kAmi);
    second.RemoveWord("tumi", kTumi);

    ASSERT_TRUE(first.MergeChangesIntoFile(path));
    ASSERT_TRUE(second.MergeChangesIntoFile(path));
    EXPECT_EQ(FileWords(),
              (std::vector<Word>{{"ami", kAmi, 8, true}, {"bhalo", kBhalo, 1, false}}));
}

TEST_F(PersonalDictionaryMergeTest, MergingTwiceCountsOnce) {
    PersonalDictionary dictionary;
    dictionary.AddWord("ami", kAmi, true);
    dictionary.AddWord("ami", kAmi, true);
    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));  // no file yet: counts as empty
    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    EXPECT_EQ(FileWords(), (std::vector<Word>{{"ami", kAmi, 2, true}}));
    dictionary.IncrementFrequency(kAmi);
    ASSERT_TRUE(dictionary.SaveToFile(path));  // saving also settles the changes
    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    EXPECT_EQ(FileWords(), (std::vector<Word>{{"ami", kAmi, 3, true}}));
}

struct ReplayCase {
    const char* name;
    std::vector<Step> steps;  // done after loading the file
    std::string othersLines;  // appended to the file by another writer before the merge
    std::vector<Word> merged;
};

std::ostream& operator<<(std::ostream& os, const ReplayCase& c) { return os << c.name; }

// The changes reach the file by the dictionary's own merge, or through a side
// file that another dictionary merges later (as when the writers' lock could
// not be had): the result is the same.
class MergeReplayTest : public PersonalDictionaryMergeTest,
                        public ::testing::WithParamInterface<std::tuple<ReplayCase, bool>> {};

// The file starts with আমি (explicit, 5) and তুমি (learned, 2).
TEST_P(MergeReplayTest, ReplaysChangesInOrder) {
    const auto& [c, viaSideFile] = GetParam();
    WriteBytes(path, "ami\t" + kAmi + "\t5\t100\t0\ntumi\t" + kTumi + "\t2\t100\t1\n");
    PersonalDictionary dictionary;
    ASSERT_TRUE(dictionary.LoadFromFile(path));
    for (const Step& step : c.steps) Perform(dictionary, step);
    if (viaSideFile) {
        ASSERT_TRUE(dictionary.SavePendingChanges(path, false));
        WriteBytes(path, ReadBytes(path) + c.othersLines);
        PersonalDictionary later;
        ASSERT_TRUE(later.LoadFromFile(path));
        EXPECT_EQ(Observed(later.GetAllEntries()), c.merged) << "side files are read on loading";
        ASSERT_TRUE(later.MergeChangesIntoFile(path));
        EXPECT_EQ(FolderContents(), std::vector<std::string>{"user_dict.txt"});
    } else {
        WriteBytes(path, ReadBytes(path) + c.othersLines);
        ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    }
    EXPECT_EQ(FileWords(), c.merged);
}

const std::string kOthersLearnedBhalo = "bhalo\t" + kBhalo + "\t3\t100\t1\n";
const std::string kOthersExplicitBhalo = "bhalo\t" + kBhalo + "\t3\t100\t0\n";

const std::vector<ReplayCase> kReplayCases = {
    ReplayCase{"nothing_changed_takes_others_words",
               {},
               kOthersLearnedBhalo,
               {{"ami", kAmi, 5, false}, {"bhalo", kBhalo, 3, true}, {"tumi", kTumi, 2, true}}},
    ReplayCase{"learned_word_also_added_by_other_counts_both",
               {{Op::Learn, "bhalo", kBhalo, 1}, {Op::Use, "", kBhalo, 1}},
               kOthersExplicitBhalo,
               {{"ami", kAmi, 5, false}, {"bhalo", kBhalo, 5, false}, {"tumi", kTumi, 2, true}}},
    ReplayCase{"explicit_add_makes_others_learned_word_explicit",
               {{Op::Add, "bhalo", kBhalo, 1}},
               kOthersLearnedBhalo,
               {{"ami", kAmi, 5, false}, {"bhalo", kBhalo, 4, false}, {"tumi", kTumi, 2, true}}},
    ReplayCase{"remove_then_add_again",
               {{Op::Use, "", kAmi, 1}, {Op::Remove, "ami", kAmi, 1}, {Op::Learn, "ami", kAmi, 1}},
               "",
               {{"ami", kAmi, 1, true}, {"tumi", kTumi, 2, true}}},
    ReplayCase{"clear_learned_spares_others_explicit_words",
               {{Op::ClearLearned, "", "", 1}, {Op::Learn, "x", "\u0995", 1}},
               kOthersExplicitBhalo,
               {{"ami", kAmi, 5, false}, {"bhalo", kBhalo, 3, false}, {"x", "\u0995", 1, true}}},
    ReplayCase{"clear_explicit",
               {{Op::ClearExplicit, "", "", 1}},
               kOthersExplicitBhalo,
               {{"tumi", kTumi, 2, true}}},
    ReplayCase{"clear_all_then_learn",
               {{Op::ClearAll, "", "", 2}, {Op::Learn, "tumi", kTumi, 1}},
               kOthersLearnedBhalo,
               {{"tumi", kTumi, 1, true}}},
    ReplayCase{"use_adds_to_the_file_count",
               {{Op::Use, "", kTumi, 1}},
               "",
               {{"ami", kAmi, 5, false}, {"tumi", kTumi, 3, true}}}};

INSTANTIATE_TEST_SUITE_P(Cases, MergeReplayTest,
                         ::testing::Combine(::testing::ValuesIn(kReplayCases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_via_side_file" : "");
                         });

TEST_F(PersonalDictionaryMergeTest, FailedMergeKeepsChangesForTheNextAttempt) {
    PersonalDictionary dictionary;
    dictionary.AddWord("ami", kAmi, false);
    fs::create_directories(fs::u8path(path));  // a folder where the file should go
    EXPECT_FALSE(dictionary.MergeChangesIntoFile(path));
    EXPECT_EQ(dictionary.GetAllEntries().size(), 1u);
    fs::remove(fs::u8path(path));
    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    EXPECT_EQ(FileWords(), (std::vector<Word>{{"ami", kAmi, 1, false}}));
}

// --- Threads -------------------------------------------------------------------

TEST_F(PersonalDictionaryFileTest, ConcurrentUseKeepsEveryCount) {
    PersonalDictionary dictionary;
    constexpr int kThreads = 6;
    constexpr int kRounds = 300;
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t]() {
            while (!go.load()) std::this_thread::yield();
            const std::string own = "\u0995" + std::to_string(t);
            for (int i = 0; i < kRounds; ++i) {
                dictionary.AddWord("shared", kAmi, (i % 2) == 0);
                dictionary.AddWord("own" + std::to_string(t), own, true);
                dictionary.IncrementFrequency(kAmi);
                const std::string temporary = own + "-" + std::to_string(i);
                dictionary.AddWord("tmp", temporary, true);
                dictionary.RemoveWord("tmp", temporary);
                dictionary.GetWordsByRomanKey("shared");
                dictionary.GetUserBoosts();
                if (i % 50 == 0) {
                    dictionary.ClearExplicitUserWords();
                    dictionary.GetAllEntries();
                    dictionary.SaveToFile(path);
                }
                if (i % 75 == 0) dictionary.MergeChangesIntoFile(path);
            }
        });
    }
    go = true;
    for (std::thread& thread : threads) thread.join();

    for (int t = 0; t < kThreads; ++t) {
        const auto own = dictionary.GetWordsByRomanKey("own" + std::to_string(t));
        ASSERT_EQ(own.size(), 1u);
        EXPECT_EQ(own[0].frequency, static_cast<uint32_t>(kRounds));
    }
    EXPECT_TRUE(dictionary.GetWordsByRomanKey("tmp").empty());
    ASSERT_TRUE(dictionary.MergeChangesIntoFile(path));
    PersonalDictionary reader;
    ASSERT_TRUE(reader.LoadFromFile(path));
    EXPECT_EQ(Observed(reader.GetAllEntries()), Observed(dictionary.GetAllEntries()));
}

}  // namespace
}  // namespace bangla
