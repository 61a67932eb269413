#include "common/engine_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/file_path.h"
#include "common/text.h"
#include "tests/support/engine_fixtures.h"

namespace qorva {
namespace {

using Candidates = std::vector<std::string>;

TEST(InputProcessorLexiconSearchTest, TriesModuleThenDataThenCurrentFolder) {
    struct Case {
        const char* name;
        std::wstring moduleFolder;
        std::wstring dataFolder;
        Candidates expected;
    };
    const Case cases[] = {
        {"both folders known",
         L"C:\\Qorva",
         L"D:\\Pelorin",
         {"C:\\Qorva\\data\\lexicon.bin", "C:\\Qorva\\lexicon.bin",
          "C:\\Qorva\\..\\engine\\data\\lexicon.bin", "D:\\Pelorin\\lexicon.bin",
          "engine/data/lexicon.bin", "lexicon.bin"}},
        {"no module",
         L"",
         L"D:\\Pelorin",
         {"D:\\Pelorin\\lexicon.bin", "engine/data/lexicon.bin", "lexicon.bin"}},
        {"no roaming folder",
         L"C:\\Qorva",
         L"",
         {"C:\\Qorva\\data\\lexicon.bin", "C:\\Qorva\\lexicon.bin",
          "C:\\Qorva\\..\\engine\\data\\lexicon.bin", "engine/data/lexicon.bin", "lexicon.bin"}},
        {"non-ASCII folder",
         L"",
         Utf8ToUtf16("C:\\জন\\Pelorin"),
         {"C:\\জন\\Pelorin\\lexicon.bin", "engine/data/lexicon.bin", "lexicon.bin"}},
    };
    for (const Case& c : cases) {
        const LexiconSearch search = InputProcessorLexiconSearch(c.moduleFolder, c.dataFolder);
        EXPECT_EQ(search.candidates, c.expected) << c.name;
        EXPECT_EQ(search.fallback, "engine/data/lexicon.bin") << c.name;
    }
}

TEST(FindLexiconTest, TakesTheFirstExistingFileElseTheFallback) {
    bangla::TempFolder folder("find_lexicon");
    const std::string first = folder.File("first.bin");
    const std::string second = folder.File("second.bin");
    const LexiconSearch search{{first, second}, "fallback.bin"};

    EXPECT_EQ(FindLexicon(search), "fallback.bin");
    ASSERT_TRUE(WriteWholeFile(second, "x"));
    EXPECT_EQ(FindLexicon(search), second);
    ASSERT_TRUE(WriteWholeFile(first, "x"));
    EXPECT_EQ(FindLexicon(search), first);
}

TEST(BuildConfigTest, CarriesSettingsAndOnlyNonEmptyPaths) {
    const EngineFiles files{"lexicon.bin", "user_dict.txt"};
    const EngineConfig full = BuildConfig(files, {true, 3, false}, true);
    EXPECT_TRUE(full.autoCorrect);
    EXPECT_EQ(full.maxCandidates, 3);
    EXPECT_EQ(full.lexiconPath, files.lexiconPath.c_str());
    EXPECT_EQ(full.userDictPath, files.userDictPath.c_str());

    EngineConfig defaults;
    BanglaEngine_GetDefaultConfig(&defaults);
    const EngineConfig withoutLexicon = BuildConfig(files, {}, false);
    EXPECT_EQ(withoutLexicon.lexiconPath, defaults.lexiconPath);
    EXPECT_EQ(withoutLexicon.autoCorrectThreshold, defaults.autoCorrectThreshold);
    const EngineConfig noFiles = BuildConfig(EngineFiles{}, {}, true);
    EXPECT_EQ(noFiles.lexiconPath, defaults.lexiconPath);
    EXPECT_EQ(noFiles.userDictPath, defaults.userDictPath);
}

// A lexicon that is not there does not cost the user their engine, and the learning switch follows
// the settings from the start.
TEST(CreateEngineTest, MakesAnEngineWithTheLearningSwitchOfTheSettings) {
    bangla::TempFolder folder("engine_host");
    const EngineFiles files{folder.File("absent.bin"), folder.File("user_dict.txt")};
    for (const bool learning : {true, false}) {
        EnginePtr engine = CreateEngine(files, {false, 5, learning});
        ASSERT_NE(engine, nullptr);
        EXPECT_EQ(BanglaEngine_IsLearningEnabled(engine.get()), learning);
    }
}

// The engine writes what it learned when the pointer lets it go.
TEST(CreateEngineTest, DestroyingTheEngineWritesItsLearnedWords) {
    bangla::TempFolder folder("engine_host");
    const EngineFiles files{bangla::testing_support::EmptyLexiconPath(),
                            folder.File("user_dict.txt")};
    {
        EnginePtr engine = CreateEngine(files, {});
        ASSERT_NE(engine, nullptr);
        ASSERT_TRUE(
            BanglaEngine_LearnWord(engine.get(), "ami", "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF"));
        EXPECT_FALSE(FileExists(files.userDictPath));
    }
    EXPECT_NE(bangla::testing_support::ReadFileBytes(files.userDictPath).find("ami"),
              std::string::npos);
}

}  // namespace
}  // namespace qorva
