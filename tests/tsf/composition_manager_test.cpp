// The composition manager's lifecycle, engine settings and conversion target.
#include "tsf/composition_mgr.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "tests/tsf/composition_fixture.h"
#include "universal/mode_ipc.h"

namespace qorva_tsf_test {
namespace {

using qorva::ModeIpc;
using qorva::ModeTarget;
using qorva_tsf::CompositionManager;
using Target = qorva_tsf::CandidateConversionTarget;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

// The change counter of the session's mode block, read beside the accessor under test.
uint32_t ModeBlockCounter() {
    ModeIpc::Instance().EnsureMapped();
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, qorva::kModeBlockName);
    if (!mapping) return 0;
    const auto* block = static_cast<const qorva::ModeSharedBlock*>(
        MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(qorva::ModeSharedBlock)));
    const uint32_t counter = block ? static_cast<uint32_t>(block->counter) : 0;
    if (block) UnmapViewOfFile(block);
    CloseHandle(mapping);
    return counter;
}

void Type(CompositionManager& manager, const std::string& letters) {
    for (char letter : letters) manager.OnCharacter(nullptr, letter);
}

struct LexiconSearchCase {
    const char* name;
    bool inDataFolder;
    bool inCurrentFolder;
    bool inCurrentEngineFolder;
    const char* expectedEnd;
};

TEST(CompositionManagerLexicon, SearchPrefersTheDataFolderThenTheCurrentFolder) {
    const LexiconSearchCase cases[] = {
        {"data folder", true, true, true, "\\Pelorin\\lexicon.bin"},
        {"current folder only", false, true, false, "lexicon.bin"},
        {"engine folder beside it", false, true, true, "engine/data/lexicon.bin"},
        {"nowhere", false, false, false, "engine/data/lexicon.bin"},
    };
    for (const LexiconSearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppData appData;
        if (c.inDataFolder) appData.WriteLexicon(SmallLexicon());
        if (c.inCurrentFolder) WriteFileBytes(appData.Folder() + L"\\lexicon.bin", "x");
        if (c.inCurrentEngineFolder) {
            CreateDirectoryW((appData.Folder() + L"\\engine").c_str(), nullptr);
            CreateDirectoryW((appData.Folder() + L"\\engine\\data").c_str(), nullptr);
            WriteFileBytes(appData.Folder() + L"\\engine\\data\\lexicon.bin", "x");
        }
        CompositionManager manager(nullptr);
        EXPECT_TRUE(manager.Initialize(nullptr));
        EXPECT_TRUE(manager.HasEngine());
        EXPECT_THAT(manager.LexiconPath(), EndsWith(c.expectedEnd));
        if (std::string(c.expectedEnd).find('\\') == std::string::npos) {
            EXPECT_EQ(manager.LexiconPath(), c.expectedEnd);
        }
        manager.Shutdown();
    }
}

class CompositionManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        appData_.WriteLexicon(SmallLexicon());
        ModeIpc::Instance().SetMode(ModeTarget::Bangla);
        ASSERT_TRUE(manager_.Initialize(nullptr));
        manager_.SetEnglishTranslationEnabled(false);
    }
    void TearDown() override { manager_.Shutdown(); }

    TempAppData appData_;
    CompositionManager manager_{nullptr};
};

TEST_F(CompositionManagerTest, WithoutDocumentTheListIsComputedAndCommitLearns) {
    Type(manager_, "tumi");
    EXPECT_TRUE(manager_.IsComposing());
    ASSERT_FALSE(manager_.Candidates().empty());
    EXPECT_EQ(manager_.Candidates().front(), L"তুমি");
    EXPECT_TRUE(manager_.CommitCurrentComposition(nullptr, 0, L" "));
    EXPECT_FALSE(manager_.IsComposing());
    EXPECT_FALSE(manager_.CommitCurrentComposition(nullptr, 0, L" "));
    manager_.Shutdown();
    EXPECT_THAT(appData_.ReadUserDictionary(), HasSubstr("tumi\t" + std::string(u8"তুমি") + "\t"));
}

TEST_F(CompositionManagerTest, CommitWithIndexPastTheListCommitsTheShownText) {
    Type(manager_, "tumi");
    EXPECT_TRUE(manager_.CommitCurrentComposition(nullptr, 50, std::wstring()));
    manager_.Shutdown();
    EXPECT_THAT(appData_.ReadUserDictionary(), HasSubstr(u8"তুমি"));
}

TEST_F(CompositionManagerTest, TextsWithoutBengaliLettersAreNotLearned) {
    ModeIpc::Instance().SetMode(ModeTarget::English);
    Type(manager_, "tumi");
    ASSERT_EQ(manager_.Candidates().size(), 2u);
    ASSERT_EQ(manager_.Candidates()[1], L"tumi");  // the Latin row
    ASSERT_TRUE(manager_.CommitCurrentComposition(nullptr, 1, std::wstring()));
    manager_.Shutdown();
    EXPECT_THAT(appData_.ReadUserDictionary(), Not(HasSubstr("tumi\t")));
}

TEST_F(CompositionManagerTest, SettingsChangeKeepsWordsLearnedBefore) {
    Type(manager_, "tumi");
    ASSERT_TRUE(manager_.CommitCurrentComposition(nullptr, 0, std::wstring()));
    manager_.SetMaxCandidates(3);
    manager_.SetAutoCorrectEnabled(true);
    ASSERT_TRUE(manager_.HasEngine());
    Type(manager_, "kal");
    EXPECT_LE(manager_.Candidates().size(), 3u);
    manager_.CancelComposition(nullptr);
    manager_.Shutdown();
    EXPECT_THAT(appData_.ReadUserDictionary(), HasSubstr("tumi\t" + std::string(u8"তুমি") + "\t"));
}

TEST_F(CompositionManagerTest, LearningSwitchNeverRebuildsOrCreatesAnEngine) {
    manager_.Shutdown();
    ASSERT_FALSE(manager_.HasEngine());
    manager_.SetPersonalLearningEnabled(false);
    EXPECT_FALSE(manager_.HasEngine());
}

TEST_F(CompositionManagerTest, ShutdownTwiceAndReinitialiseWork) {
    manager_.Shutdown();
    manager_.Shutdown();
    EXPECT_FALSE(manager_.HasEngine());
    ASSERT_TRUE(manager_.Initialize(nullptr));
    EXPECT_TRUE(manager_.HasEngine());
}

TEST_F(CompositionManagerTest, EmptyBufferUpdateCancels) {
    Type(manager_, "a");
    ASSERT_TRUE(manager_.IsComposing());
    manager_.OnBackspace(nullptr);
    EXPECT_FALSE(manager_.IsComposing());
    EXPECT_TRUE(manager_.Candidates().empty());
}

TEST_F(CompositionManagerTest, ConversionTargetFollowsTheSharedMode) {
    struct Case {
        uint32_t stored;
        Target expected;
    };
    const Case cases[] = {{1, Target::English},
                          {0, Target::Bangla},
                          {2, Target::Bangla},
                          {1, Target::English},
                          {7, Target::Bangla}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ModeIpc::Instance().SetMode(static_cast<ModeTarget>(c.stored));
        manager_.SyncConversionTargetFromIpc();
        EXPECT_EQ(manager_.Target(), c.expected);
    }
}

TEST_F(CompositionManagerTest, ToggleFlipsTheSharedMode) {
    ModeIpc::Instance().SetMode(ModeTarget::BanglishToEnglish);
    manager_.ToggleConversionTarget();
    EXPECT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::English);
    EXPECT_EQ(manager_.Target(), Target::English);
    manager_.ToggleConversionTarget();
    EXPECT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::Bangla);
    EXPECT_EQ(manager_.Target(), Target::Bangla);
}

TEST_F(CompositionManagerTest, HeaderClickWritesOnlyAChange) {
    manager_.SyncConversionTargetFromIpc();
    ASSERT_EQ(manager_.Target(), Target::Bangla);
    const uint32_t before = ModeBlockCounter();
    manager_.SetConversionTarget(Target::Bangla);
    EXPECT_EQ(ModeBlockCounter(), before);
    manager_.SetConversionTarget(Target::English);
    EXPECT_EQ(ModeBlockCounter(), before + 1);
    EXPECT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::English);
    EXPECT_EQ(manager_.Target(), Target::English);
}

TEST_F(CompositionManagerTest, TargetChangeComposesTheSameLettersAgain) {
    Type(manager_, "ami");
    ASSERT_EQ(manager_.Candidates().front(), L"আমি");
    manager_.ToggleConversionTarget();
    ASSERT_EQ(manager_.Target(), Target::English);
    EXPECT_THAT(manager_.Candidates(), ElementsAre(L"আমি", L"ami"));
    manager_.ToggleConversionTarget();
    EXPECT_EQ(manager_.Candidates().front(), L"আমি");
}

TEST_F(CompositionManagerTest, EnglishTargetComposesWholeSentencesWithoutLearningThem) {
    ModeIpc::Instance().SetMode(ModeTarget::English);
    Type(manager_, "ami");
    manager_.OnSpace(nullptr);
    Type(manager_, "tumi");
    EXPECT_EQ(manager_.RomanBuffer(), "ami tumi");
    EXPECT_THAT(manager_.Candidates(), ElementsAre(L"আমি তুমি", L"ami tumi"));
    EXPECT_TRUE(manager_.OnEscape(nullptr));
    manager_.Shutdown();
    EXPECT_THAT(appData_.ReadUserDictionary(), Not(HasSubstr(u8"আমি")));
}

// Fifty words are far more than the first 512 bytes of the sentence buffer.
TEST_F(CompositionManagerTest, EnglishTargetShowsALongSentenceInBengali) {
    ModeIpc::Instance().SetMode(ModeTarget::English);
    std::wstring expected;
    for (int pair = 0; pair < 25; ++pair) {
        if (pair > 0) manager_.OnSpace(nullptr);
        Type(manager_, "ami");
        manager_.OnSpace(nullptr);
        Type(manager_, "tumi");
        expected += std::wstring(pair > 0 ? L" " : L"") + L"আমি তুমি";
    }
    ASSERT_GT(qorva::Utf16ToUtf8(expected).size(), 512u);
    ASSERT_FALSE(manager_.Candidates().empty());
    EXPECT_EQ(manager_.Candidates().front(), expected);
}

TEST_F(CompositionManagerTest, EnglishFullStopReplacesTheMarksOfTheChosenRow) {
    ModeIpc::Instance().SetMode(ModeTarget::English);
    Type(manager_, "ami");
    ASSERT_TRUE(manager_.OnArrow(nullptr, true));  // the Latin row
    EXPECT_EQ(manager_.SelectedIndex(), 1u);
    ASSERT_TRUE(manager_.OnPunctuation(nullptr, '.'));
    EXPECT_FALSE(manager_.IsComposing());
    EXPECT_FALSE(manager_.OnPunctuation(nullptr, '.'));
}

TEST_F(CompositionManagerTest, ClearingWordsNeedsAnEngine) {
    Type(manager_, "tumi");
    ASSERT_TRUE(manager_.CommitCurrentComposition(nullptr, 0, std::wstring()));
    EXPECT_EQ(manager_.ClearExplicitUserWords(), 0u);
    EXPECT_EQ(manager_.ClearLearnedData(), 1u);
    manager_.Shutdown();
    EXPECT_EQ(manager_.ClearLearnedData(), 0u);
}

TEST_F(CompositionManagerTest, WindowAndTranslationWorkerRunWithAModuleHandle) {
    manager_.Shutdown();
    ASSERT_TRUE(manager_.Initialize(GetModuleHandleW(nullptr)));
    manager_.SetEnglishTranslationEnabled(false);
    Type(manager_, "kal");
    EXPECT_TRUE(manager_.OnArrow(nullptr, false));
    EXPECT_EQ(manager_.SelectedIndex(), manager_.Candidates().size() - 1);
    manager_.OnCandidateWindowSelection(0);  // no document yet: nothing to commit into
    EXPECT_TRUE(manager_.IsComposing());
    manager_.Shutdown();
    manager_.Shutdown();
}

}  // namespace
}  // namespace qorva_tsf_test
