// The rows the candidate window shows and what a commit types and learns, over a real engine on a
// small lexicon and a translation client whose network is a fake.
#include "universal/word_choice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "tests/services/fake_http_transport.h"
#include "tests/support/engine_fixtures.h"

namespace qorva::universal {
namespace {

using bangla::testing_support::MakeEngine;
using bangla::testing_support::Word;
using qorva::testing::FakeHttpTransport;

const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";               // আমি
const std::string kAmii = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA7\x80";              // আমী
const std::string kTumi = "\xE0\xA6\xA4\xE0\xA7\x81\xE0\xA6\xAE\xE0\xA6\xBF";  // তুমি

EngineCandidateList ListOf(const std::vector<std::string>& texts) {
    EngineCandidateList list{};
    for (const std::string& text : texts) {
        std::strncpy(list.candidates[list.count].text, text.c_str(),
                     sizeof(list.candidates[0].text) - 1);
        ++list.count;
    }
    return list;
}

std::vector<std::string> Utf8(const std::vector<std::wstring>& rows) {
    std::vector<std::string> out;
    for (const std::wstring& row : rows) out.push_back(Utf16ToUtf8(row));
    return out;
}

TEST(CandidateRowsTest, EngineWordsOnceEachAtMostFiveThenTheTypedWordOnce) {
    struct Case {
        const char* name;
        std::vector<std::string> engine;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"the typed word follows the engine's words", {kAmi, kAmii}, {kAmi, kAmii, "ami"}},
        {"duplicates and empty slots are skipped",
         {kAmi, "", kAmi, kAmii, ""},
         {kAmi, kAmii, "ami"}},
        {"the engine's sixth word is not shown",
         {"1", "2", "3", "4", "5", "6"},
         {"1", "2", "3", "4", "5", "ami"}},
        {"duplicates do not take a place among the five",
         {"1", "1", "2", "3", "4", "5"},
         {"1", "2", "3", "4", "5", "ami"}},
        {"the typed word offered by the engine is not repeated", {kAmi, "ami"}, {kAmi, "ami"}},
        {"nothing from the engine", {}, {"ami"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8(CandidateRows(ListOf(c.engine), L"ami")), c.rows) << c.name;
    }
}

TEST(CandidateRowsTest, PredictionsHaveNoTypedWord) {
    EXPECT_EQ(Utf8(PredictionRows(ListOf({kTumi, "", kTumi, kAmi}))),
              (std::vector<std::string>{kTumi, kAmi}));
}

// A count that reaches its target once, for the worker's results.
class Latch {
public:
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    bool Wait(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

class CommitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bangla::WriteLexiconFile(folder_.File("lexicon.bin"),
                                             {Word(kAmi, "ami", 900), Word(kAmii, "ami", 300)}));
        engine_ = MakeEngine(folder_.File("lexicon.bin"), folder_.File("user_dict.txt"));
        ASSERT_TRUE(engine_);
        translation_.consent = true;
        translation_.Start();
    }

    // The words learned under the Latin key.
    std::vector<std::string> Learned(const char* roman) {
        EngineUserWord words[4];
        const int32_t count = BanglaEngine_GetUserWords(engine_.get(), roman, words, 4);
        std::vector<std::string> texts;
        for (int32_t i = 0; i < count; ++i) texts.emplace_back(words[i].text);
        return texts;
    }

    CommitOutcome Commit(const std::string& chosen, ModeTarget mode) {
        return CommitChosenWord({L"ami", Utf8ToUtf16(chosen), 3, L" "}, mode, engine_.get(),
                                translation_);
    }

    // What the keys type, when they are a Backspace burst followed by Unicode text.
    static std::string Typed(const Keystrokes& keys, uint32_t* backspaces) {
        std::wstring text;
        *backspaces = 0;
        for (const KeyRecord& key : keys) {
            if (key.flags & kKeyUp) continue;
            if (key.virtualKey == kBackspaceKey) ++*backspaces;
            if (key.flags & kUnicode) text += static_cast<wchar_t>(key.scanCode);
        }
        return Utf16ToUtf8(text);
    }

    bangla::TempFolder folder_{"word_choice"};
    bangla::testing_support::EnginePtr engine_;
    std::shared_ptr<FakeHttpTransport> transport_ = std::make_shared<FakeHttpTransport>();
    TranslationService translation_{transport_, HttpEndpoint{"localhost", 8443, true}};
};

TEST_F(CommitTest, TheEngineOffersItsWordsAndTheTypedWordLast) {
    EXPECT_EQ(Utf8(WordCandidates(engine_.get(), L"ami")).front(), kAmi);
    EXPECT_EQ(Utf8(WordCandidates(engine_.get(), L"ami")).back(), "ami");
    EXPECT_EQ(Utf16ToUtf8(TopCandidate(engine_.get(), L"ami")), kAmi);
    EXPECT_TRUE(WordCandidates(nullptr, L"ami").empty());
    EXPECT_TRUE(TopCandidate(nullptr, L"ami").empty());
}

TEST_F(CommitTest, AWordWithNothingButItselfToOfferStaysAsTyped) {
    // The user's own word spelled as the Latin letters, in capitals: the engine offers only that.
    ASSERT_TRUE(BanglaEngine_AddUserWord(engine_.get(), "xyz", "XYZ"));
    ASSERT_EQ(Utf8(WordCandidates(engine_.get(), L"xyz")).front(), "XYZ");
    EXPECT_TRUE(TopCandidate(engine_.get(), L"xyz").empty());

    const CommitOutcome outcome =
        CommitChosenWord({L"xyz", L"", 3, L","}, ModeTarget::Bangla, engine_.get(), translation_);
    uint32_t backspaces = 0;
    EXPECT_EQ(Typed(outcome.keys, &backspaces), ",");
    EXPECT_EQ(backspaces, 0u);
    EXPECT_FALSE(outcome.predictionsFollow);
}

TEST_F(CommitTest, BanglaRowIsTypedLearnedAndPredictionsFollow) {
    const CommitOutcome outcome = Commit(kAmi, ModeTarget::Bangla);
    uint32_t backspaces = 0;
    EXPECT_EQ(Typed(outcome.keys, &backspaces), kAmi + " ");
    EXPECT_EQ(backspaces, 3u);
    EXPECT_TRUE(outcome.predictionsFollow);
    EXPECT_EQ(Learned("ami"), std::vector<std::string>{kAmi});
}

TEST_F(CommitTest, TheLatinLastRowIsTypedAgainAndNotLearned) {
    const CommitOutcome outcome = Commit("ami", ModeTarget::Bangla);
    uint32_t backspaces = 0;
    EXPECT_EQ(Typed(outcome.keys, &backspaces), "ami ");
    EXPECT_EQ(backspaces, 3u);
    EXPECT_TRUE(Learned("ami").empty());
}

TEST_F(CommitTest, TranslationModeTypesTheCachedEnglishAndLearnsNothing) {
    transport_->SetResponder(
        [](const HttpRequest&) { return FakeHttpTransport::Reply(200, R"([["I",null]])"); });
    ASSERT_TRUE(translation_.TranslateDirect(Utf8ToUtf16(kAmi), 1000).success);

    const CommitOutcome outcome = Commit(kAmi, ModeTarget::BanglishToEnglish);
    uint32_t backspaces = 0;
    EXPECT_EQ(Typed(outcome.keys, &backspaces), "I ");
    EXPECT_EQ(backspaces, 3u);
    EXPECT_FALSE(outcome.predictionsFollow);
    EXPECT_TRUE(Learned("ami").empty());
    EXPECT_EQ(transport_->Requests().size(), 1u);  // only the one that filled the cache
}

TEST_F(CommitTest, TranslationMissTypesBanglaAtOnceAndCachesTheEnglishForNextTime) {
    Latch release;
    transport_->SetResponder([&](const HttpRequest&) {
        release.Wait();
        return FakeHttpTransport::Reply(200, R"([["I",null]])");
    });

    // The reply is held back: a commit that waited for it would type English, and late.
    const CommitOutcome first = Commit(kAmi, ModeTarget::BanglishToEnglish);
    uint32_t backspaces = 0;
    EXPECT_EQ(Typed(first.keys, &backspaces), kAmi + " ");
    EXPECT_EQ(Learned("ami"), std::vector<std::string>{kAmi});
    ASSERT_TRUE(transport_->WaitForRequests(1));
    release.Open();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::wstring english;
    while (!translation_.LookupCache(Utf8ToUtf16(kAmi), english) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(Typed(Commit(kAmi, ModeTarget::BanglishToEnglish).keys, &backspaces), "I ");
    EXPECT_EQ(transport_->Requests().size(), 1u);
}

TEST_F(CommitTest, TranslationWithoutConsentSendsNothing) {
    translation_.consent = false;
    const CommitOutcome outcome = Commit(kAmi, ModeTarget::BanglishToEnglish);
    uint32_t backspaces = 0;
    EXPECT_EQ(Typed(outcome.keys, &backspaces), kAmi + " ");
    // Longer than the worker's settling time: a request would have gone out by then.
    EXPECT_FALSE(transport_->WaitForRequests(1, std::chrono::milliseconds(600)));
}

TEST_F(CommitTest, EnglishModeTypesButNeitherLearnsNorPredicts) {
    const CommitOutcome outcome = Commit(kAmi, ModeTarget::English);
    EXPECT_FALSE(outcome.predictionsFollow);
    EXPECT_TRUE(Learned("ami").empty());
}

TEST_F(CommitTest, AChosenPredictionIsTypedWithASpaceAndNotLearned) {
    uint32_t backspaces = 0;
    EXPECT_EQ(Typed(CommitPrediction(Utf8ToUtf16(kTumi), engine_.get()), &backspaces), kTumi + " ");
    EXPECT_EQ(backspaces, 0u);
    EXPECT_TRUE(Learned("tumi").empty());
}

}  // namespace
}  // namespace qorva::universal
