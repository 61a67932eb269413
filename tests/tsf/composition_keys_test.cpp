// Keys typed into a document through the real text service, composition manager and engine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "tests/tsf/composition_fixture.h"
#include "tsf/dll_main.h"

namespace qorva_tsf_test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct KeySequenceCase {
    const char* keys;
    const wchar_t* document;
};

class CompositionKeysTest : public CompositionServiceTest {
protected:
    // Types each sequence into an empty document; every sequence must end with nothing composing.
    void ExpectDocuments(const KeySequenceCase* begin, const KeySequenceCase* end) {
        for (const KeySequenceCase* c = begin; c != end; ++c) {
            SCOPED_TRACE(c->keys);
            document_->text.clear();
            document_->selectionStart = document_->selectionEnd = 0;
            Press(c->keys);
            EXPECT_EQ(document_->text, c->document);
            EXPECT_FALSE(Manager().IsComposing());
            EXPECT_EQ(document_->composition(), nullptr);
        }
    }
};

TEST_F(CompositionKeysTest, KeySequencesLeaveTheExpectedText) {
    const KeySequenceCase cases[] = {
        {"ami ", L"আমি "},
        {"ami tumi ", L"আমি তুমি "},
        {"ami{enter}", L"আমি"},
        {"ami1", L"আমি"},
        {"ami.", L"আমি।"},
        {".", L"।"},
        {"ami{esc}", L""},
        {"amx{bs}i ", L"আমি "},
        {"k{bs}", L""},
        {"ami{bs}{bs}{bs}tumi ", L"তুমি "},
        {"ami{down}{up} ", L"আমি "},
        {"ami{up}{down} ", L"আমি "},
    };
    ExpectDocuments(std::begin(cases), std::end(cases));
}

TEST_F(CompositionKeysTest, EnglishTargetKeySequencesComposeWholeSentences) {
    qorva::ModeIpc::Instance().SetMode(qorva::ModeTarget::English);
    const KeySequenceCase cases[] = {
        // The first Space separates words; the second in a row commits with one space.
        {"ami tumi  ", L"আমি তুমি "},
        {"ami tumi{enter}", L"আমি তুমি"},
        {"ami tumi.", L"আমি তুমি."},
        {"ami{down}{enter}", L"ami"},
        {"ami tumi{esc}", L""},
        // Outside a composition the full stop is the application's.
        {".", L""},
    };
    ExpectDocuments(std::begin(cases), std::end(cases));
}

TEST_F(CompositionKeysTest, CtrlAltEWhileComposingSwitchesTheTargetOfTheOpenComposition) {
    Press("ami");
    ASSERT_EQ(Manager().Target(), qorva_tsf::CandidateConversionTarget::Bangla);
    BYTE keyboard[256] = {};
    keyboard[VK_CONTROL] = keyboard[VK_MENU] = 0x80;
    SetKeyboardState(keyboard);
    EXPECT_TRUE(threadMgr_->Press('E'));
    EXPECT_EQ(qorva::ModeIpc::Instance().GetMode(), qorva::ModeTarget::English);
    EXPECT_EQ(Manager().Target(), qorva_tsf::CandidateConversionTarget::English);
    EXPECT_EQ(Manager().Candidates(), (std::vector<std::wstring>{L"আমি", L"ami"}));
    BYTE released[256] = {};
    SetKeyboardState(released);
    Press("{enter}");
    EXPECT_EQ(document_->text, L"আমি");
}

TEST_F(CompositionKeysTest, LettersComposeWithTheEnginesCandidates) {
    Press("ami");
    EXPECT_TRUE(Manager().IsComposing());
    ASSERT_FALSE(Manager().Candidates().empty());
    EXPECT_EQ(Manager().Candidates().front(), L"আমি");
    EXPECT_EQ(document_->text, L"আমি");
    ASSERT_NE(document_->composition(), nullptr);
    EXPECT_EQ(document_->composition()->range()->end(), 3);
}

TEST_F(CompositionKeysTest, DigitsAndArrowsChooseRows) {
    Press("kal");
    const std::vector<std::wstring> shown = Manager().Candidates();
    ASSERT_GE(shown.size(), 3u);
    Press("3");
    EXPECT_EQ(document_->text, shown[2]);

    document_->text.clear();
    document_->selectionStart = document_->selectionEnd = 0;
    Press("kal{down}{down} ");
    EXPECT_EQ(document_->text, shown[2] + L" ");

    // Up from the first row wraps to the last.
    document_->text.clear();
    document_->selectionStart = document_->selectionEnd = 0;
    Press("kal{up}{enter}");
    EXPECT_EQ(document_->text, shown.back());
}

TEST_F(CompositionKeysTest, DigitWithoutSuchRowReachesTheApplication) {
    Press("kal");
    const size_t rows = Manager().Candidates().size();
    ASSERT_LT(rows, 9u);
    EXPECT_TRUE(Manager().CanSelectCandidate(static_cast<char>('0' + rows)));
    EXPECT_FALSE(Manager().CanSelectCandidate(static_cast<char>('1' + rows)));
    EXPECT_FALSE(Manager().CanSelectCandidate('0'));
    EXPECT_FALSE(Manager().OnDigit(document_, '0'));
    EXPECT_TRUE(Manager().IsComposing());
}

TEST_F(CompositionKeysTest, BackspaceAndEscapeWithoutCompositionReachTheApplication) {
    BOOL eaten = TRUE;
    threadMgr_->TestKeyDown(VK_BACK, 1, &eaten);
    EXPECT_FALSE(eaten);
    threadMgr_->TestKeyDown(VK_ESCAPE, 1, &eaten);
    EXPECT_FALSE(eaten);
    EXPECT_FALSE(Manager().OnBackspace(document_));
    EXPECT_FALSE(Manager().OnEscape(document_));
}

TEST_F(CompositionKeysTest, CommittedWordsAreLearnedUnderTheirLatinLetters) {
    Press("tumi ");
    Deactivate();  // the engine saves what it learned
    EXPECT_THAT(appData_.ReadUserDictionary(), HasSubstr("tumi\t" + std::string(u8"তুমি") + "\t"));
}

TEST_F(CompositionKeysTest, NothingIsLearnedWithPersonalLearningOff) {
    Deactivate();
    appData_.WriteSettings(
        "{\n  \"english_translation\": false,\n  \"personal_learning\": false\n}\n");
    Activate();
    Press("tumi ");
    Deactivate();
    EXPECT_THAT(appData_.ReadUserDictionary(), Not(HasSubstr(u8"তুমি")));
}

TEST_F(CompositionKeysTest, WordsAreLearnedUnderLowerCaseLettersWhenTypedWithCapsLock) {
    BYTE keyboard[256] = {};
    keyboard[VK_CAPITAL] = 1;
    SetKeyboardState(keyboard);
    Press("ami");
    ASSERT_EQ(Manager().RomanBuffer(), "AMI");
    // The row the user picks is learned, whatever the engine made of the capitals.
    ASSERT_TRUE(Manager().CommitCurrentComposition(document_, 99, std::wstring()));
    Deactivate();
    const std::string learned = appData_.ReadUserDictionary();
    EXPECT_THAT(learned, HasSubstr("ami\t"));
    EXPECT_THAT(learned, Not(HasSubstr("AMI\t")));
}

TEST_F(CompositionKeysTest, FocusLossCommitsWithoutWritingAndTheNextDocumentGetsItsOwnComposition) {
    Press("ami");
    ASSERT_TRUE(Manager().IsComposing());
    ASSERT_NE(threadMgr_->threadSink, nullptr);
    {
        Held<FakeDocumentMgr> previous(new FakeDocumentMgr(document_));
        threadMgr_->threadSink->OnSetFocus(nullptr, previous.get());
    }
    EXPECT_FALSE(Manager().IsComposing());
    EXPECT_EQ(document_->text, L"আমি");

    Held<FakeContext> other(new FakeContext());
    Focus(other.get());
    Press("tumi");
    EXPECT_EQ(other->text, L"তুমি");
    EXPECT_EQ(document_->text, L"আমি");
    Press(" ");
    EXPECT_EQ(other->text, L"তুমি ");
    // The manager moved its hold to the new document.
    EXPECT_EQ(document_->RefCount(), 1);
    Focus(document_);
}

TEST_F(CompositionKeysTest, CompositionEndedByTheApplicationResetsTheManager) {
    Press("ami");
    document_->TerminateComposition();
    EXPECT_FALSE(Manager().IsComposing());
    EXPECT_TRUE(Manager().RomanBuffer().empty());
    Press("tumi ");
    EXPECT_EQ(document_->text, L"আমিতুমি ");
}

TEST_F(CompositionKeysTest, LastDocumentIsHeldUntilDeactivation) {
    Press("ami ");
    // One reference is the test's, one the manager's: a row click or a late result may still use
    // it.
    EXPECT_EQ(document_->RefCount(), 2);
    Deactivate();
    EXPECT_EQ(document_->RefCount(), 1);
}

TEST_F(CompositionKeysTest, RowClickCommitsIntoTheLastDocument) {
    Press("kal");
    const std::vector<std::wstring> shown = Manager().Candidates();
    ASSERT_GE(shown.size(), 2u);
    Manager().OnCandidateWindowSelection(1);
    EXPECT_EQ(document_->text, shown[1]);
    EXPECT_FALSE(Manager().IsComposing());
}

TEST_F(CompositionKeysTest, RefusedSynchronousEditsArriveLater) {
    document_->syncGrant = SyncGrant::RefusedInResult;
    Press("ami ");
    EXPECT_EQ(document_->text, L"");
    document_->RunQueuedSessions();
    EXPECT_EQ(document_->text, L"আমি ");
    EXPECT_EQ(document_->composition(), nullptr);
}

// The host may deactivate and release the service while the document still holds its queued edits.
TEST_F(CompositionKeysTest, EditsQueuedBeforeTheServiceWasReleasedChangeNothingLater) {
    document_->syncGrant = SyncGrant::RefusedInResult;
    Press("ami ");
    const size_t queued = document_->QueuedSessions();
    ASSERT_GT(queued, 0u);
    Deactivate();
    service_->Release();
    service_ = nullptr;

    EXPECT_EQ(document_->RunQueuedSessions(), queued);
    EXPECT_EQ(document_->text, L"");
    EXPECT_EQ(document_->composition(), nullptr);
    EXPECT_FALSE(qorva_tsf::IsModuleInUse());
}

TEST_F(CompositionKeysTest, FullStopOutsideCompositionPassesWhenTheDocumentRefuses) {
    document_->syncGrant = SyncGrant::RefusedInCall;
    BOOL eaten = FALSE;
    threadMgr_->KeyDown(VK_OEM_PERIOD, 1, &eaten);
    EXPECT_FALSE(eaten);
    EXPECT_EQ(document_->QueuedSessions(), 0u);
}

TEST_F(CompositionKeysTest, InsertTextAtCaretNeedsADocument) {
    EXPECT_FALSE(Manager().InsertTextAtCaret(L"কথা"));
    Press("ami ");
    EXPECT_FALSE(Manager().InsertTextAtCaret(L""));
    EXPECT_TRUE(Manager().InsertTextAtCaret(L"কথা"));
    EXPECT_EQ(document_->text, L"আমি কথা");
}

}  // namespace
}  // namespace qorva_tsf_test
