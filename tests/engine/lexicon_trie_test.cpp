#include "engine/lexicon_trie.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "common/file_path.h"
#include "engine/fuzzy_normalizer.h"
#include "tools/lib/lexicon_writer.h"

namespace bangla {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

MATCHER_P3(EntryIs, word, roman, frequency, "") {
    return arg.word == word && arg.roman == roman &&
           arg.frequency == static_cast<uint32_t>(frequency);
}

MATCHER_P(WordIs, word, "") { return arg.word == word; }

std::vector<uint8_t> ImageOf(const std::vector<LexiconEntry>& entries) {
    std::vector<uint8_t> image;
    EXPECT_TRUE(BuildLexiconImage(entries, image));
    return image;
}

bool LoadImage(LexiconTrie& trie, const std::vector<uint8_t>& image) {
    return trie.LoadFromBytes(image.data(), image.size());
}

// A folder of its own for each test, removed again afterwards.
class TempFolder {
public:
    TempFolder() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path = fs::temp_directory_path() / "qorva_lexicon_test" / name;
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }

    std::string File(const std::string& utf8Name) const {
        return (path / fs::u8path(utf8Name)).u8string();
    }

    fs::path path;
};

bool WriteBytes(const std::string& utf8Path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = qorva::OpenFile(utf8Path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

const std::vector<LexiconEntry> kSmallLexicon = {
    {"আমি", "ami", 1000, 1},        {"আমী", "ami", 50, 0},         {"আমির", "amir", 300, 0},
    {"ভালো", "bhalo", 900, 1},      {"ভাল", "bhalo", 500, 0},      {"ভালো", "valo", 900, 1},
    {"ব্যাটারি", "battery", 400, 0}, {"ব্যাটারী", "batery", 100, 0}, {"সমস্যা", "somossha", 700, 0},
};

class LoadedLexiconTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadImage(trie, ImageOf(kSmallLexicon))); }

    LexiconTrie trie;
    FuzzyNormalizer normalizer;
};

// ---------------------------------------------------------------- loading

TEST(LexiconLoadTest, HeaderOnlyFileLoadsAsEmptyLexicon) {
    TempFolder folder;
    const std::string path = folder.File("lexicon.bin");
    ASSERT_TRUE(WriteLexiconFile(path, {}));
    ASSERT_EQ(fs::file_size(fs::u8path(path)), 16u);
    LexiconTrie trie;
    EXPECT_TRUE(trie.LoadFromFile(path));
    EXPECT_EQ(trie.EntryCount(), 0u);
    EXPECT_EQ(trie.Find(""), nullptr);
    EXPECT_THAT(trie.SearchPrefix("", 5), IsEmpty());
}

TEST(LexiconLoadTest, LoadsFileAndAnswersLookups) {
    TempFolder folder;
    const std::string path = folder.File("lexicon.bin");
    ASSERT_TRUE(WriteLexiconFile(path, kSmallLexicon));
    LexiconTrie trie;
    ASSERT_TRUE(trie.LoadFromFile(path));
    EXPECT_EQ(trie.EntryCount(), kSmallLexicon.size());
    const LexiconEntry* found = trie.Find("আমির");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->frequency, 300u);
}

TEST(LexiconLoadTest, LoadsFromFolderWithNonAsciiName) {
    TempFolder folder;
    fs::create_directories(folder.path / fs::u8path("ব্যবহারকারী Jürgen"));
    const std::string path = folder.File("ব্যবহারকারী Jürgen/lexicon.bin");
    ASSERT_TRUE(WriteLexiconFile(path, kSmallLexicon));
    LexiconTrie trie;
    EXPECT_TRUE(trie.LoadFromFile(path));
    EXPECT_EQ(trie.EntryCount(), kSmallLexicon.size());
}

// Failures that happen before the file is read keep what was loaded.
class EarlyLoadFailureTest : public LoadedLexiconTest {
protected:
    void ExpectSmallLexiconStillLoaded() {
        EXPECT_EQ(trie.EntryCount(), kSmallLexicon.size());
        EXPECT_NE(trie.Find("আমি"), nullptr);
    }
    TempFolder folder;
};

TEST_F(EarlyLoadFailureTest, MissingFile) {
    EXPECT_FALSE(trie.LoadFromFile(folder.File("absent.bin")));
    ExpectSmallLexiconStillLoaded();
}

TEST_F(EarlyLoadFailureTest, FileShorterThanHeader) {
    std::vector<uint8_t> image = ImageOf({});
    image.pop_back();
    ASSERT_TRUE(WriteBytes(folder.File("short.bin"), image));
    EXPECT_FALSE(trie.LoadFromFile(folder.File("short.bin")));
    EXPECT_FALSE(LoadImage(trie, image));
    ExpectSmallLexiconStillLoaded();
}

TEST_F(EarlyLoadFailureTest, FileAboveSizeCapIsRefusedBeforeReading) {
    const std::string path = folder.File("huge.bin");
    std::FILE* file = qorva::OpenFile(path, "wb");
    ASSERT_NE(file, nullptr);
    const std::vector<uint8_t> header = ImageOf({});
    std::fwrite(header.data(), 1, header.size(), file);
    std::fseek(file, static_cast<long>(LexiconTrie::kMaxFileBytes), SEEK_SET);
    std::fputc(0, file);
    ASSERT_EQ(std::fclose(file), 0);
    EXPECT_FALSE(trie.LoadFromFile(path));
    ExpectSmallLexiconStillLoaded();
}

TEST_F(EarlyLoadFailureTest, FolderInsteadOfFile) {
    EXPECT_FALSE(trie.LoadFromFile(folder.path.u8string()));
    ExpectSmallLexiconStillLoaded();
}

TEST_F(EarlyLoadFailureTest, NullBuffer) {
    EXPECT_FALSE(trie.LoadFromBytes(nullptr, 16));
    ExpectSmallLexiconStillLoaded();
}

// A file that is read but turns out bad leaves the lexicon empty, also when
// one was loaded before; lookups then find nothing in the file.
struct BadImageCase {
    const char* name;
    void (*damage)(std::vector<uint8_t>& image);
};

std::ostream& operator<<(std::ostream& out, const BadImageCase& c) { return out << c.name; }

uint32_t PoolSizeOf(const std::vector<uint8_t>& image) {
    return static_cast<uint32_t>(image[12] | image[13] << 8 | image[14] << 16 | image[15] << 24);
}

LexiconImageLayout LayoutOfSmallLexicon(const std::vector<uint8_t>& image) {
    return LexiconLayoutOf(static_cast<uint32_t>(kSmallLexicon.size()), PoolSizeOf(image));
}

uint64_t RecordField(const std::vector<uint8_t>& image, uint32_t record, uint64_t field) {
    return LayoutOfSmallLexicon(image).recordTable + LexiconFormat::kRecordBytes * record + field;
}

const BadImageCase kBadImages[] = {
    {"MagicReversed", [](std::vector<uint8_t>& image) { StoreU32(image, 0, 0x424E474C); }},
    {"Version1", [](std::vector<uint8_t>& image) { StoreU32(image, 4, 1); }},
    {"Version3", [](std::vector<uint8_t>& image) { StoreU32(image, 4, 3); }},
    {"RomanIndexTruncatedByOneByte",
     [](std::vector<uint8_t>& image) {
         image.resize(LayoutOfSmallLexicon(image).skeletonIndex - 1);
     }},
    {"RecordTableTruncated",
     [](std::vector<uint8_t>& image) {
         image.resize(LayoutOfSmallLexicon(image).recordTable + 30);
     }},
    {"CountLargerThanTables", [](std::vector<uint8_t>& image) { StoreU32(image, 8, 10); }},
    {"CountNearTwoToThe32", [](std::vector<uint8_t>& image) { StoreU32(image, 8, 0xFFFFFFFF); }},
    // 28 * N wraps to 4 in 32-bit arithmetic, which would let a tiny file pass.
    {"TablesWrapAround32Bits", [](std::vector<uint8_t>& image) { StoreU32(image, 8, 0x24924925); }},
    {"PoolSizeNearTwoToThe32",
     [](std::vector<uint8_t>& image) { StoreU32(image, 12, 0xFFFFFFF0); }},
    {"PoolLargerThanFile",
     [](std::vector<uint8_t>& image) { StoreU32(image, 12, static_cast<uint32_t>(image.size())); }},
    {"WordOffsetPastPool",
     [](std::vector<uint8_t>& image) {
         StoreU32(image, RecordField(image, 3, LexiconFormat::kWordOffset), PoolSizeOf(image));
     }},
    {"WordRunsPastPool",
     [](std::vector<uint8_t>& image) {
         StoreU32(image, RecordField(image, 0, LexiconFormat::kWordOffset), PoolSizeOf(image) - 1);
     }},
    // offset + length wraps to a small number in 32-bit arithmetic.
    {"WordOffsetWrapsAround32Bits",
     [](std::vector<uint8_t>& image) {
         StoreU32(image, RecordField(image, 8, LexiconFormat::kWordOffset), 0xFFFFFFFF);
     }},
    {"RomanOffsetPastPool",
     [](std::vector<uint8_t>& image) {
         StoreU32(image, RecordField(image, 5, LexiconFormat::kRomanOffset), 0x80000000);
     }},
    {"RomanLengthPastPool",
     [](std::vector<uint8_t>& image) {
         StoreU16(image, RecordField(image, 8, LexiconFormat::kRomanLength), 0xFFFF);
     }},
    {"WordIndexEntryEqualToCount",
     [](std::vector<uint8_t>& image) {
         StoreU32(image, LayoutOfSmallLexicon(image).wordIndex + 4,
                  static_cast<uint32_t>(kSmallLexicon.size()));
     }},
    {"RomanIndexEntryHuge",
     [](std::vector<uint8_t>& image) {
         StoreU32(image, LayoutOfSmallLexicon(image).romanIndex, 0xFFFFFFFF);
     }},
};

class BadImageTest : public LoadedLexiconTest, public ::testing::WithParamInterface<BadImageCase> {
protected:
    std::vector<uint8_t> DamagedImage() const {
        std::vector<uint8_t> image = ImageOf(kSmallLexicon);
        GetParam().damage(image);
        return image;
    }

    void ExpectFileLexiconGone() {
        EXPECT_EQ(trie.EntryCount(), 0u);
        EXPECT_EQ(trie.Find("আমি"), nullptr);
        EXPECT_THAT(trie.SearchRoman("ami", 5), IsEmpty());
        EXPECT_THAT(trie.SearchRomanFuzzy("AMI", normalizer, 5), IsEmpty());
        EXPECT_THAT(trie.SearchPrefix("", 5), IsEmpty());
    }
};

TEST_P(BadImageTest, RejectedFromMemory) {
    EXPECT_FALSE(LoadImage(trie, DamagedImage()));
    ExpectFileLexiconGone();
}

TEST_P(BadImageTest, RejectedFromFile) {
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File("bad.bin"), DamagedImage()));
    EXPECT_FALSE(trie.LoadFromFile(folder.File("bad.bin")));
    ExpectFileLexiconGone();
}

TEST_P(BadImageTest, InsertedEntriesSurvive) {
    trie.Insert("নতুন", "notun", 5, 0);
    EXPECT_FALSE(LoadImage(trie, DamagedImage()));
    const LexiconEntry* inserted = trie.Find("নতুন");
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(inserted->roman, "notun");
}

INSTANTIATE_TEST_SUITE_P(Damage, BadImageTest, ::testing::ValuesIn(kBadImages),
                         [](const ::testing::TestParamInfo<BadImageCase>& info) {
                             return info.param.name;
                         });

TEST(LexiconLoadTest, EmptyTextAtEndOfPoolIsInside) {
    LexiconTrie trie;
    std::vector<uint8_t> image = ImageOf({{"ক", "k", 1, 0}});
    const uint32_t pool = PoolSizeOf(image);
    StoreU32(image, LexiconLayoutOf(1, pool).recordTable + LexiconFormat::kRomanOffset, pool);
    StoreU16(image, LexiconLayoutOf(1, pool).recordTable + LexiconFormat::kRomanLength, 0);
    ASSERT_TRUE(LoadImage(trie, image));
    EXPECT_THAT(trie.SearchRoman("", 5), ElementsAre(EntryIs("ক", "", 1)));
}

TEST_F(LoadedLexiconTest, SecondLoadReplacesFirstButKeepsInsertedEntries) {
    trie.Insert("নতুন", "notun", 5, 0);
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"বই", "boi", 42, 0}})));
    EXPECT_EQ(trie.EntryCount(), 1u);
    EXPECT_EQ(trie.Find("আমি"), nullptr);
    EXPECT_THAT(trie.SearchRoman("boi", 5), ElementsAre(EntryIs("বই", "boi", 42)));
    EXPECT_NE(trie.Find("নতুন"), nullptr);
}

TEST(LexiconLoadTest, BytesAfterRomanIndexAreIgnored) {
    std::vector<uint8_t> image = ImageOf(kSmallLexicon);
    image.insert(image.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x00});
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, image));
    EXPECT_THAT(trie.SearchRoman("bhalo", 5),
                ElementsAre(EntryIs("ভালো", "bhalo", 900), EntryIs("ভাল", "bhalo", 500)));
}

TEST(LexiconLoadTest, ExtremeFieldValuesAreCarriedUnchanged) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"ক", "k", 4294967295u, 0xFFFF}})));
    const std::vector<LexiconEntry> found = trie.SearchRoman("k", 1);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].frequency, 4294967295u);
    EXPECT_EQ(found[0].tag, 0xFFFF);
    const LexiconEntry* entry = trie.Find("ক");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->tag, 0xFFFF);
}

// Runs each test in a fresh current folder, as an application that hosts
// the input method would have one.
class DefaultVocabularyTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = fs::current_path();
        fs::create_directories(folder.path / "app" / "bin");
        fs::current_path(folder.path / "app" / "bin");
    }
    void TearDown() override { fs::current_path(previous); }

    void WriteLexiconAt(const fs::path& relative, const std::vector<LexiconEntry>& entries) {
        fs::create_directories((folder.path / relative).parent_path());
        ASSERT_TRUE(WriteLexiconFile((folder.path / relative).u8string(), entries));
    }

    TempFolder folder;
    fs::path previous;
    LexiconTrie trie;
};

TEST_F(DefaultVocabularyTest, NoFileLeavesLexiconEmpty) {
    trie.LoadDefaultVocabulary();
    EXPECT_EQ(trie.EntryCount(), 0u);
}

TEST_F(DefaultVocabularyTest, FindsFileBesideCurrentFolder) {
    WriteLexiconAt("app/bin/engine/data/lexicon.bin", {{"এক", "ek", 1, 0}});
    WriteLexiconAt("engine/data/lexicon.bin", {{"দুই", "dui", 1, 0}, {"তিন", "tin", 1, 0}});
    trie.LoadDefaultVocabulary();
    EXPECT_EQ(trie.EntryCount(), 1u);
}

TEST_F(DefaultVocabularyTest, FallsBackOneAndTwoFoldersUp) {
    WriteLexiconAt("app/engine/data/lexicon.bin", {{"এক", "ek", 1, 0}, {"দুই", "dui", 1, 0}});
    WriteLexiconAt("engine/data/lexicon.bin", {{"তিন", "tin", 1, 0}});
    trie.LoadDefaultVocabulary();
    EXPECT_EQ(trie.EntryCount(), 2u);
    fs::remove(folder.path / "app/engine/data/lexicon.bin");
    trie.LoadDefaultVocabulary();
    EXPECT_EQ(trie.EntryCount(), 1u);
}

// ---------------------------------------------------------------- writer

TEST(LexiconWriterTest, RejectsTextsLongerThanARecordCanHold) {
    std::vector<uint8_t> image{1, 2, 3};
    EXPECT_FALSE(BuildLexiconImage({{std::string(65536, 'a'), "a", 1, 0}}, image));
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(BuildLexiconImage({{"ক", std::string(65536, 'a'), 1, 0}}, image));
    ASSERT_TRUE(BuildLexiconImage({{std::string(65535, 'a'), "a", 1, 0}}, image));
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, image));
    EXPECT_NE(trie.Find(std::string(65535, 'a')), nullptr);
}

TEST(LexiconWriterTest, StoresEachTextOnce) {
    const std::vector<uint8_t> image =
        ImageOf({{"ভালো", "bhalo", 1, 0}, {"ভালো", "valo", 2, 0}, {"ভাল", "bhalo", 3, 0}});
    // ভাল is the start of ভালো and lies inside it.
    EXPECT_EQ(PoolSizeOf(image), std::string("ভালো").size() + 5 + 4);
    // bhalo and valo share a skeleton: one skeleton entry for ভালো, one for ভাল.
    EXPECT_EQ(image.size(),
              LexiconLayoutOf(3, PoolSizeOf(image)).skeletonIndex + SkeletonIndexBytes(2));
}

// Texts that start or end another text are stored inside it, also through a
// chain (ma starts maro, which ends amaro); each record still reads back its
// own word and key.
TEST(LexiconWriterTest, TextsInsideOtherTextsReadBackUnchanged) {
    const std::vector<LexiconEntry> entries = {
        {"আমারও", "amaro", 1, 0}, {"আমার", "amar", 2, 0}, {"মার", "maro", 3, 0}, {"আম", "ma", 4, 0},
        {"মারও", "ar", 5, 0},     {"আমা", "am", 6, 0},    {"মা", "mar", 7, 0},
    };
    const std::vector<uint8_t> image = ImageOf(entries);
    // Roots: আমারও (মারও, মার, মা lie in its end), amaro and ar.
    EXPECT_EQ(PoolSizeOf(image), std::string("আমারও").size() + 5 + 2);
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, image));
    for (const LexiconEntry& entry : entries) {
        EXPECT_THAT(trie.SearchRoman(entry.roman, 8),
                    ElementsAre(EntryIs(entry.word, entry.roman, entry.frequency)))
            << entry.roman;
        const LexiconEntry* found = trie.Find(entry.word);
        ASSERT_NE(found, nullptr) << entry.word;
        EXPECT_EQ(found->roman, entry.roman);
    }
}

// ---------------------------------------------------------------- Find

TEST(LexiconFindTest, EmptyLexiconFindsNothing) {
    const LexiconTrie trie;
    EXPECT_EQ(trie.Find("আমি"), nullptr);
    EXPECT_EQ(trie.Find(""), nullptr);
}

TEST_F(LoadedLexiconTest, FindReturnsTheRecord) {
    const LexiconEntry* entry = trie.Find("ভাল");
    ASSERT_NE(entry, nullptr);
    EXPECT_THAT(*entry, EntryIs("ভাল", "bhalo", 500));
    EXPECT_EQ(trie.Find("ভা"), nullptr);
    EXPECT_EQ(trie.Find("ভালোবাসা"), nullptr);
    EXPECT_EQ(trie.Find(""), nullptr);
}

TEST_F(LoadedLexiconTest, EveryWordIsFound) {
    for (const LexiconEntry& expected : kSmallLexicon) {
        const LexiconEntry* entry = trie.Find(expected.word);
        ASSERT_NE(entry, nullptr) << expected.word;
        EXPECT_EQ(entry->frequency, expected.frequency);
    }
}

TEST_F(LoadedLexiconTest, NextFileHitOverwritesTheReturnedEntry) {
    const LexiconEntry* first = trie.Find("আমি");
    ASSERT_NE(first, nullptr);
    trie.Find("সমস্যা");
    EXPECT_EQ(first->word, "সমস্যা");
}

TEST(LexiconFindTest, RecordWithEmptyWordIsFound) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"", "x", 7, 0}, {"ক", "k", 1, 0}})));
    const LexiconEntry* entry = trie.Find("");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->frequency, 7u);
}

TEST_F(LoadedLexiconTest, InsertedEntriesAnswerWhatTheFileLacks) {
    trie.Insert("নতুন", "notun", 5, 2);
    trie.Insert("আমি", "ami", 1, 0);
    trie.Insert("", "empty", 1, 0);
    const LexiconEntry* inserted = trie.Find("নতুন");
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(inserted->tag, 2);
    EXPECT_EQ(trie.Find("আমি")->frequency, 1000u);
    EXPECT_EQ(trie.Find(""), nullptr);
}

// Enough texts for the lookups' index samples to matter: words and keys that
// share their first eight bytes with hundreds of others (কখগ..., kolkatanagar...)
// beside short ones, and words under two keys. `salt` changes the frequencies.
std::vector<LexiconEntry> NumberedLexicon(uint32_t count, uint32_t salt) {
    std::vector<LexiconEntry> entries;
    for (uint32_t i = 0; i < count; ++i) {
        const std::string number = std::to_string(i);
        const bool crowded = i % 2 == 0;
        entries.push_back({(crowded ? "কখগ" : "ক") + number,
                           (crowded ? "kolkatanagar" : "k") + number, 1 + i * 7 + salt, 0});
        if (i % 50 == 0)
            entries.push_back({entries.back().word, "t" + number, 1 + i * 7 + salt, 0});
    }
    return entries;
}

void ExpectEveryTextAnswers(const LexiconTrie& trie, const std::vector<LexiconEntry>& entries) {
    for (const LexiconEntry& expected : entries) {
        const LexiconEntry* found = trie.Find(expected.word);
        ASSERT_NE(found, nullptr) << expected.word;
        EXPECT_EQ(found->frequency, expected.frequency) << expected.word;
        EXPECT_THAT(trie.SearchRoman(expected.roman, 5), ElementsAre(WordIs(expected.word)))
            << expected.roman;
        // k3, k33 and k333 share an outline: the more frequent may come first.
        EXPECT_THAT(trie.SearchSkeleton(expected.roman, 5), Contains(WordIs(expected.word)))
            << expected.roman;
        EXPECT_EQ(trie.Find(expected.word + "0x"), nullptr) << expected.word;
        EXPECT_THAT(trie.SearchRoman(expected.roman + "z", 5), IsEmpty()) << expected.roman;
    }
}

TEST(LexiconLookupTest, EveryTextOfALargeLexiconAnswersAlsoAfterAReload) {
    const std::vector<LexiconEntry> first = NumberedLexicon(900, 0);
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf(first)));
    ExpectEveryTextAnswers(trie, first);
    EXPECT_EQ(trie.Find("কখগ"), nullptr);
    EXPECT_EQ(trie.Find(""), nullptr);
    EXPECT_THAT(trie.SearchRoman("kolkatanagar", 5), IsEmpty());
    // A smaller lexicon, looked up right after the texts of the first.
    const std::vector<LexiconEntry> second = NumberedLexicon(300, 5);
    ASSERT_TRUE(LoadImage(trie, ImageOf(second)));
    ExpectEveryTextAnswers(trie, second);
    EXPECT_EQ(trie.Find("কখগ898"), nullptr);
    EXPECT_THAT(trie.SearchRoman("k899", 5), IsEmpty());
}

// ---------------------------------------------------------------- SearchRoman

std::vector<LexiconEntry> TenWordsUnderOneKey() {
    // Index order equals list order for equal keys; the later ones are more frequent.
    std::vector<LexiconEntry> entries;
    const char* words[] = {"ক", "খ", "গ", "ঘ", "ঙ", "চ", "ছ", "জ", "ঝ", "ঞ"};
    const uint32_t frequencies[] = {10, 30, 20, 30, 5, 100, 200, 300, 400, 500};
    for (int i = 0; i < 10; ++i) entries.push_back({words[i], "ko", frequencies[i], 0});
    entries.push_back({"কা", "kob", 1000, 0});
    entries.push_back({"কি", "k", 1000, 0});
    return entries;
}

TEST(LexiconSearchRomanTest, TakesFirstRecordsOfRunThenSortsByFrequency) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf(TenWordsUnderOneKey())));
    EXPECT_THAT(trie.SearchRoman("ko", 5),
                ElementsAre(WordIs("খ"), WordIs("ঘ"), WordIs("গ"), WordIs("ক"), WordIs("ঙ")));
    EXPECT_EQ(trie.SearchRoman("ko", 50).size(), 10u);
    EXPECT_THAT(trie.SearchRoman("ko", 0), IsEmpty());
}

TEST_F(LoadedLexiconTest, SearchRomanMatchesWholeKeyExactly) {
    struct Case {
        const char* key;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"ami", {"আমি", "আমী"}},
        {"bhalo", {"ভালো", "ভাল"}},
        {"amir", {"আমির"}},
        {"am", {}},
        {"amiri", {}},
        {"AMI", {}},  // case matters
        {"", {}},
        {"zzz", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words;
        for (const LexiconEntry& entry : trie.SearchRoman(c.key, 8)) words.push_back(entry.word);
        EXPECT_EQ(words, c.words) << c.key;
    }
}

TEST(LexiconSearchRomanTest, EmptyKeyMatchesOnlyEmptyKeys) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"ক", "", 1, 0}, {"খ", "a", 2, 0}})));
    EXPECT_THAT(trie.SearchRoman("", 5), ElementsAre(EntryIs("ক", "", 1)));
}

TEST(LexiconSearchRomanTest, EqualFrequenciesKeepIndexOrder) {
    LexiconTrie trie;
    ASSERT_TRUE(
        LoadImage(trie, ImageOf({{"খ", "ka", 3, 0}, {"ক", "ka", 3, 0}, {"গ", "ka", 4, 0}})));
    EXPECT_THAT(trie.SearchRoman("ka", 5), ElementsAre(WordIs("গ"), WordIs("খ"), WordIs("ক")));
}

TEST(LexiconSearchRomanTest, KeysCompareAsUnsignedBytes) {
    // 0xC3 sorts after 'z' only when bytes compare unsigned.
    LexiconTrie trie;
    ASSERT_TRUE(
        LoadImage(trie, ImageOf({{"ক", "\xC3\xA9", 1, 0}, {"খ", "z", 2, 0}, {"গ", "a", 3, 0}})));
    EXPECT_THAT(trie.SearchRoman("\xC3\xA9", 5), ElementsAre(WordIs("ক")));
    EXPECT_THAT(trie.SearchRoman("z", 5), ElementsAre(WordIs("খ")));
    EXPECT_EQ(trie.Find("ক")->roman, "\xC3\xA9");
}

struct InsertedCompetitorCase {
    uint32_t insertedFrequency;
    bool kept;
};

std::ostream& operator<<(std::ostream& out, const InsertedCompetitorCase& c) {
    return out << "frequency " << c.insertedFrequency;
}

class InsertedCompetitorTest : public ::testing::TestWithParam<InsertedCompetitorCase> {};

TEST_P(InsertedCompetitorTest, InsertedEntryCompetesWithFullList) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"ক", "ka", 50, 0},
                                         {"খ", "ka", 40, 0},
                                         {"গ", "ka", 30, 0},
                                         {"ঘ", "ka", 20, 0},
                                         {"ঙ", "ka", 10, 0}})));
    trie.Insert("নতুন", "ka", GetParam().insertedFrequency, 0);
    const std::vector<LexiconEntry> found = trie.SearchRoman("ka", 5);
    ASSERT_EQ(found.size(), 5u);
    const bool kept = std::any_of(found.begin(), found.end(),
                                  [](const LexiconEntry& e) { return e.word == "নতুন"; });
    EXPECT_EQ(kept, GetParam().kept);
    EXPECT_EQ(found.back().word, GetParam().kept ? "নতুন" : "ঙ");
}

INSTANTIATE_TEST_SUITE_P(Frequencies, InsertedCompetitorTest,
                         ::testing::Values(InsertedCompetitorCase{11, true},
                                           InsertedCompetitorCase{10, false},
                                           InsertedCompetitorCase{9, false}));

TEST(LexiconSearchRomanTest, InsertedEntriesAloneAreSearched) {
    LexiconTrie trie;
    trie.Insert("ক", "ka", 1, 0);
    trie.Insert("খ", "ka", 2, 0);
    trie.Insert("গ", "kha", 3, 0);
    EXPECT_THAT(trie.SearchRoman("ka", 5),
                ElementsAre(EntryIs("খ", "ka", 2), EntryIs("ক", "ka", 1)));
    EXPECT_THAT(trie.SearchRoman("ka", 1), ElementsAre(EntryIs("ক", "ka", 1)));
}

// ---------------------------------------------------------------- SearchRomanFuzzy

TEST_F(LoadedLexiconTest, FuzzySearchFindsWordsOfSpellingVariants) {
    struct Case {
        const char* key;
        uint64_t limit;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"ami", 5, {"আমি", "আমী"}},
        // Caps Lock: the lower-cased key is searched too.
        {"AMI", 5, {"আমি", "আমী"}},
        {"Bhallo", 5, {"ভালো", "ভাল"}},
        // battary -> battery -> batery: both rewrites are searched, most frequent first.
        {"battary", 5, {"ব্যাটারি", "ব্যাটারী"}},
        {"BATTARY", 1, {"ব্যাটারি"}},
        {"somossa", 5, {"সমস্যা"}},
        {"xyz", 5, {}},
        {"AMI", 0, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words;
        for (const LexiconEntry& entry : trie.SearchRomanFuzzy(c.key, normalizer, c.limit)) {
            words.push_back(entry.word);
        }
        EXPECT_EQ(words, c.words) << c.key << " limit " << c.limit;
    }
}

TEST_F(LoadedLexiconTest, FuzzyEntriesKeepTheVariantAsKey) {
    EXPECT_THAT(trie.SearchRomanFuzzy("AMI", normalizer, 5),
                ElementsAre(EntryIs("আমি", "ami", 1000), EntryIs("আমী", "ami", 50)));
    EXPECT_THAT(trie.SearchRomanFuzzy("battary", normalizer, 5),
                ElementsAre(EntryIs("ব্যাটারি", "battery", 400), EntryIs("ব্যাটারী", "batery", 100)));
}

TEST(LexiconFuzzySearchTest, FullExactListIsReturnedUnchanged) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(
        trie, ImageOf({{"ক", "bhallo", 1, 0}, {"খ", "bhallo", 2, 0}, {"গ", "bhalo", 900, 0}})));
    const FuzzyNormalizer normalizer;
    EXPECT_THAT(trie.SearchRomanFuzzy("bhallo", normalizer, 2),
                ElementsAre(WordIs("খ"), WordIs("ক")));
}

TEST(LexiconFuzzySearchTest, TopsUpWithMostFrequentNewWordOfVariant) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"ক", "bhallo", 5, 0},
                                         {"খ", "bhallo", 50, 0},
                                         {"গ", "bhalo", 10, 0},
                                         {"ঘ", "bhalo", 20, 0},
                                         {"ঙ", "bhalo", 30, 0}})));
    const FuzzyNormalizer normalizer;
    EXPECT_THAT(trie.SearchRomanFuzzy("bhallo", normalizer, 3),
                ElementsAre(EntryIs("খ", "bhallo", 50), EntryIs("ঙ", "bhalo", 30),
                            EntryIs("ক", "bhallo", 5)));
}

TEST(LexiconFuzzySearchTest, NeverRepeatsAWordFoundUnderAnotherKey) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"ক", "bhallo", 5, 0},
                                         {"ক", "bhalo", 1000, 0},
                                         {"খ", "bhalo", 3, 0},
                                         {"খ", "BHALLO", 3, 0}})));
    const FuzzyNormalizer normalizer;
    EXPECT_THAT(trie.SearchRomanFuzzy("bhallo", normalizer, 5),
                ElementsAre(EntryIs("ক", "bhallo", 5), EntryIs("খ", "bhalo", 3)));
    // Typed in capitals: the lower-cased key comes first among the variants.
    EXPECT_THAT(trie.SearchRomanFuzzy("BHALLO", normalizer, 5),
                ElementsAre(EntryIs("ক", "bhallo", 5), EntryIs("খ", "BHALLO", 3)));
}

TEST(LexiconFuzzySearchTest, EqualFrequenciesKeepTypedKeyFirst) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(
        trie, ImageOf({{"গ", "batery", 7, 0}, {"খ", "battery", 7, 0}, {"ক", "battary", 7, 0}})));
    const FuzzyNormalizer normalizer;
    EXPECT_THAT(trie.SearchRomanFuzzy("battary", normalizer, 5),
                ElementsAre(WordIs("ক"), WordIs("খ"), WordIs("গ")));
}

// ---------------------------------------------------------------- SearchPrefix

TEST_F(LoadedLexiconTest, SearchPrefixListsWordsBeginningWithPrefix) {
    struct Case {
        const char* prefix;
        uint64_t limit;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"আম", 5, {"আমি", "আমির", "আমী"}},
        {"আমি", 5, {"আমি", "আমির"}},
        // "ভালো" is stored twice (two keys); both records are words of the index.
        {"ভা", 5, {"ভালো", "ভালো", "ভাল"}},
        {"ভালোবাসা", 5, {}},
        {"ক", 5, {}},
        {"আম", 0, {}},
        // Only the first 2 x limit words in byte order compete: আমি, আমির.
        {"আম", 1, {"আমি"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words;
        for (const LexiconEntry& entry : trie.SearchPrefix(c.prefix, c.limit))
            words.push_back(entry.word);
        EXPECT_EQ(words, c.words) << c.prefix << " limit " << c.limit;
    }
}

TEST(LexiconPrefixSearchTest, CollectsTwiceTheLimitInByteOrder) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"a", "", 1, 0},
                                         {"b", "", 2, 0},
                                         {"c", "", 3, 0},
                                         {"d", "", 4, 0},
                                         {"e", "", 100, 0}})));
    // Only a, b, c, d are collected for limit 2, so e never competes.
    EXPECT_THAT(trie.SearchPrefix("", 2), ElementsAre(WordIs("d"), WordIs("c")));
}

TEST(LexiconPrefixSearchTest, IgnoresInsertedEntries) {
    LexiconTrie trie;
    trie.Insert("আমি", "ami", 1, 0);
    EXPECT_THAT(trie.SearchPrefix("আ", 5), IsEmpty());
}

// ---------------------------------------------------------------- SearchSkeleton

std::vector<std::string> SkeletonWords(const LexiconTrie& trie, const std::string& roman,
                                       uint64_t limit) {
    std::vector<std::string> words;
    for (const LexiconEntry& entry : trie.SearchSkeleton(roman, limit)) words.push_back(entry.word);
    return words;
}

TEST_F(LoadedLexiconTest, SearchSkeletonFindsWordsSpelledOtherwise) {
    struct Case {
        const char* typed;
        uint64_t limit;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"shomosa", 5, {"সমস্যা"}},
        {"VALLO", 5, {"ভালো", "ভাল"}},
        {"emi", 5, {"আমি", "আমী"}},
        {"amiir", 5, {"আমির"}},
        // The nearer spelling beats the more frequent word: batery is ব্যাটারী's own key.
        {"batery", 1, {"ব্যাটারী"}},
        {"batari", 5, {"ব্যাটারী", "ব্যাটারি"}},
        // Nothing near enough: four times the frequency wins.
        {"bitter", 5, {"ব্যাটারি", "ব্যাটারী"}},
        {"kolom", 5, {}},
        {"", 5, {}},
        {"ami", 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SkeletonWords(trie, c.typed, c.limit), c.words) << c.typed;
}

TEST(LexiconSkeletonSearchTest, EachWordOnceThoughSeveralKeysShareTheOutline) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf({{"শান্তি", "shanti", 50, 0},
                                         {"শান্তি", "santi", 50, 0},
                                         {"শান্তি", "shantee", 50, 0},
                                         {"সন্তান", "sontan", 80, 0}})));
    EXPECT_EQ(SkeletonWords(trie, "shaanti", 5), std::vector<std::string>{"শান্তি"});
}

TEST(LexiconSkeletonSearchTest, ReadsOnlyTheMostFrequentWordsOfACrowdedOutline) {
    std::vector<LexiconEntry> entries;
    for (uint32_t i = 0; i < 500; ++i)
        entries.push_back({"ক" + std::to_string(i), "kan", 1000 + i, 0});
    entries.push_back({"কান", "kaan", 1, 0});
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf(entries)));
    const std::vector<std::string> words = SkeletonWords(trie, "kaan", 500);
    EXPECT_LT(words.size(), 500u);
    EXPECT_EQ(std::count(words.begin(), words.end(), "কান"), 0);
    EXPECT_EQ(words.front(), "ক499");
}

// Files from before the skeleton index, and files whose skeleton index is
// damaged, load whole; only the skeleton search is off.
TEST(LexiconSkeletonSearchTest, MissingOrDamagedIndexLeavesTheRestWorking) {
    const std::vector<uint8_t> image = ImageOf(kSmallLexicon);
    const uint64_t section = LayoutOfSmallLexicon(image).skeletonIndex;
    const struct {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
    } cases[] = {
        {"absent", [&](std::vector<uint8_t>& bytes) { bytes.resize(section); }},
        {"header cut short", [&](std::vector<uint8_t>& bytes) { bytes.resize(section + 11); }},
        {"other magic", [&](std::vector<uint8_t>& bytes) { StoreU32(bytes, section, 0x12345678); }},
        {"other version", [&](std::vector<uint8_t>& bytes) { StoreU32(bytes, section + 4, 2); }},
        {"count past the file",
         [&](std::vector<uint8_t>& bytes) { StoreU32(bytes, section + 8, 0xFFFFFFFF); }},
        {"entry past the records",
         [&](std::vector<uint8_t>& bytes) {
             StoreU32(bytes, section + 12, static_cast<uint32_t>(kSmallLexicon.size()));
         }},
        {"entries cut short", [&](std::vector<uint8_t>& bytes) { bytes.pop_back(); }},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> damaged = image;
        c.damage(damaged);
        LexiconTrie trie;
        ASSERT_TRUE(LoadImage(trie, damaged)) << c.name;
        EXPECT_FALSE(trie.HasSkeletonIndex()) << c.name;
        EXPECT_THAT(trie.SearchSkeleton("ami", 5), IsEmpty()) << c.name;
        EXPECT_THAT(trie.SearchRoman("ami", 5), ElementsAre(WordIs("আমি"), WordIs("আমী")))
            << c.name;
    }
}

TEST(LexiconSkeletonSearchTest, ReloadWithoutIndexDropsTheOldOne) {
    LexiconTrie trie;
    ASSERT_TRUE(LoadImage(trie, ImageOf(kSmallLexicon)));
    ASSERT_TRUE(trie.HasSkeletonIndex());
    std::vector<uint8_t> bare = ImageOf({{"ক", "ko", 1, 0}});
    bare.resize(LexiconLayoutOf(1, PoolSizeOf(bare)).skeletonIndex);
    ASSERT_TRUE(LoadImage(trie, bare));
    EXPECT_FALSE(trie.HasSkeletonIndex());
}

}  // namespace
}  // namespace bangla
