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

// Each typing program looks in its own places, in its own order.
TEST(LexiconSearchTest, EachProgramTriesItsPlacesInOrder) {
    const std::string inputProcessorFallback = "engine/data/lexicon.bin";
    struct Case {
        const char* name;
        LexiconSearch search;
        Candidates expected;
        std::string fallback;
    };
    const Case cases[] = {
        {"input processor, both folders known",
         InputProcessorLexiconSearch(L"C:\\Qorva", L"D:\\Pelorin"),
         {"C:\\Qorva\\data\\lexicon.bin", "C:\\Qorva\\lexicon.bin",
          "C:\\Qorva\\..\\engine\\data\\lexicon.bin", "D:\\Pelorin\\lexicon.bin",
          "engine/data/lexicon.bin", "lexicon.bin"},
         inputProcessorFallback},
        {"input processor, no module",
         InputProcessorLexiconSearch(L"", L"D:\\Pelorin"),
         {"D:\\Pelorin\\lexicon.bin", "engine/data/lexicon.bin", "lexicon.bin"},
         inputProcessorFallback},
        {"input processor, no roaming folder",
         InputProcessorLexiconSearch(L"C:\\Qorva", L""),
         {"C:\\Qorva\\data\\lexicon.bin", "C:\\Qorva\\lexicon.bin",
          "C:\\Qorva\\..\\engine\\data\\lexicon.bin", "engine/data/lexicon.bin", "lexicon.bin"},
         inputProcessorFallback},
        {"input processor, non-ASCII folder",
         InputProcessorLexiconSearch(L"", Utf8ToUtf16("C:\\জন\\Pelorin")),
         {"C:\\জন\\Pelorin\\lexicon.bin", "engine/data/lexicon.bin", "lexicon.bin"},
         inputProcessorFallback},
        {"universal program, both folders known",
         UniversalLexiconSearch(L"C:\\Qorva", L"D:\\Pelorin"),
         {"C:\\Qorva\\data\\lexicon.bin", "C:\\Qorva\\lexicon.bin",
          "C:\\Qorva\\..\\release_package\\data\\lexicon.bin",
          "C:\\Qorva\\..\\..\\release_package\\data\\lexicon.bin", "D:\\Pelorin\\lexicon.bin"},
         ""},
        {"universal program, no program folder",
         UniversalLexiconSearch(L"", L"D:\\Pelorin"),
         {"D:\\Pelorin\\lexicon.bin"},
         ""},
        {"universal program, no roaming folder",
         UniversalLexiconSearch(L"C:\\Qorva", L""),
         {"C:\\Qorva\\data\\lexicon.bin", "C:\\Qorva\\lexicon.bin",
          "C:\\Qorva\\..\\release_package\\data\\lexicon.bin",
          "C:\\Qorva\\..\\..\\release_package\\data\\lexicon.bin"},
         ""},
        {"universal program, neither folder", UniversalLexiconSearch(L"", L""), {}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.search.candidates, c.expected) << c.name;
        EXPECT_EQ(c.search.fallback, c.fallback) << c.name;
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
