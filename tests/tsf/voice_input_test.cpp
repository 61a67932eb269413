// Voice typing in the text service: the voice row's messages, transcripts inserted at the caret,
// and transcription workers that outlive their activation.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "common/text.h"
#include "tests/tsf/online_fixture.h"
#include "tsf/dll_main.h"

namespace qorva_tsf_test {
namespace {

constexpr char kOfflineSettings[] =
    "{\n  \"english_translation\": false,\n  \"online_suggestions\": false\n}\n";
const std::wstring kListening = L"শুনছি...  (Ctrl+Alt+V)";
const std::wstring kTranscribing = L"লিখছি...";

class VoiceInputTest : public OnlineCompositionTest {
protected:
    // Activates again with voice.json naming the Gemini service and this API key; no key, no file.
    void ActivateWithVoiceKey(const std::string& key) {
        if (!key.empty()) {
            WriteFileBytes(appData_.DataFile(L"voice.json"),
                           "{\n  \"provider\": \"gemini\",\n  \"api_key\": \"" + key + "\"\n}\n");
        }
        Reactivate(kOfflineSettings);
    }

    std::wstring VoiceRow() { return Manager().Window().VoiceLabel(); }

    // A word committed first makes the document the one that transcripts go to.
    void CommitAWord() {
        Press("ami{enter}");
        ASSERT_EQ(document_->text, L"আমি");
    }

    // What a transcription worker does with its result, from a thread of its own.
    void DeliverFromWorker(const std::wstring& text, const std::wstring& error) {
        qorva_tsf::CandidateWindow& window = Manager().Window();
        std::thread([&] { window.PostVoiceResult(text, error); }).join();
        ASSERT_TRUE(DeliverOne(qorva_tsf::WM_APP_VOICE_RESULT));
    }
};

TEST_F(VoiceInputTest, WithoutAnApiKeyTheHotKeyOnlyAsksForOne) {
    ActivateWithVoiceKey("");
    PressWithCtrlAlt('V');
    EXPECT_EQ(VoiceRow(), L"voice.json এ API key দিন");
    EXPECT_TRUE(Manager().Window().visible);
    EXPECT_FALSE(Manager().IsVoiceBusy());
}

TEST_F(VoiceInputTest, WithoutAMicrophoneTheRowSaysSoAfterCommittingTheFirstCandidate) {
    if (waveInGetNumDevs() != 0) GTEST_SKIP() << "this run has a recording device";
    ActivateWithVoiceKey("ok");
    EXPECT_EQ(VoiceRow(), L"ভয়েস ইনপুট  (Ctrl+Alt+V)");
    Press("kal{down}");
    ASSERT_EQ(Manager().SelectedIndex(), 1u);
    const std::wstring first = Manager().Candidates().front();

    PressWithCtrlAlt('V');
    EXPECT_FALSE(Manager().IsComposing());
    EXPECT_EQ(document_->text, first);
    EXPECT_EQ(VoiceRow(), L"microphone could not be opened (is one connected?)");
    EXPECT_TRUE(Manager().Window().visible);
    EXPECT_FALSE(Manager().IsVoiceBusy());
}

struct TranscriptCase {
    const wchar_t* transcript;
    const wchar_t* inserted;
};

TEST_F(VoiceInputTest, TranscriptIsInsertedAtTheCaretWithOneSpaceAfterIt) {
    const TranscriptCase cases[] = {
        {L"আমি ভালো", L"আমি ভালো "},
        {L"আছি ", L"আছি "},
        {L"তুমি\n", L"তুমি\n"},
    };
    ActivateWithVoiceKey("ok");
    CommitAWord();
    for (const TranscriptCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.transcript)));
        const std::wstring before = document_->text;
        DeliverFromWorker(c.transcript, L"");
        EXPECT_EQ(document_->text, before + c.inserted);
        EXPECT_FALSE(Manager().Window().visible);  // nothing left to show outside a composition
    }
}

struct FailureCase {
    const wchar_t* error;
    const wchar_t* shown;
};

TEST_F(VoiceInputTest, FailedTranscriptionShowsItsMessage) {
    const FailureCase cases[] = {
        {L"the speech service returned no text", L"the speech service returned no text"},
        {L"", L"লেখা আসলো না"},
    };
    ActivateWithVoiceKey("ok");
    CommitAWord();
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.error)));
        DeliverFromWorker(L"", c.error);
        EXPECT_EQ(VoiceRow(), c.shown);
        EXPECT_TRUE(Manager().Window().visible);
        EXPECT_EQ(document_->text, L"আমি");
    }
}

// Runs only where the test run provides a recording device (QORVA_TEST_MICROPHONE): the silent
// device records zeros, which the loopback speech service answers all the same.
class VoiceRecordingTest : public VoiceInputTest {
protected:
    void SetUp() override {
        if (!std::getenv("QORVA_TEST_MICROPHONE")) GTEST_SKIP() << "run by tsf_voice_device_tests";
        ASSERT_GT(waveInGetNumDevs(), 0u) << "the test device is missing";
        VoiceInputTest::SetUp();
    }

    // Records for a moment and stops: the recording goes to a transcription worker.
    void RecordAndStop() {
        PressWithCtrlAlt('V');
        ASSERT_EQ(VoiceRow(), kListening);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        PressWithCtrlAlt('V');
        ASSERT_TRUE(Manager().IsVoiceBusy()) << qorva::Utf16ToUtf8(VoiceRow());
        EXPECT_EQ(VoiceRow(), kTranscribing);
    }
};

TEST_F(VoiceRecordingTest, RecordingIsTranscribedAndInsertedAtTheCaret) {
    ActivateWithVoiceKey("ok");
    CommitAWord();
    RecordAndStop();

    ASSERT_TRUE(PumpUntil([&] { return !Manager().IsVoiceBusy(); }));
    EXPECT_EQ(document_->text, L"আমিআমি ভালো আছি ");
    const auto requests = NewRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().target, "/v1beta/models/gemini-3.6-flash:generateContent?key=ok");
}

// The worker keeps running this module's code after the service is gone: the module stays in
// use until the worker has ended, and its late transcript is dropped.
TEST_F(VoiceRecordingTest, DeactivationDuringATranscriptionDropsItsResult) {
    ActivateWithVoiceKey("slow");
    CommitAWord();
    RecordAndStop();
    ASSERT_TRUE(PumpUntil([&] { return !NewRequests().empty(); }));

    Deactivate();
    service_->Release();
    service_ = nullptr;
    EXPECT_TRUE(qorva_tsf::IsModuleInUse());

    EXPECT_TRUE(PumpUntil([] { return !qorva_tsf::IsModuleInUse(); }));
    EXPECT_EQ(document_->text, L"আমি");
}

// The next activation has a window of its own, which a worker of the earlier one never reaches.
// The loopback service answers after a second; the wait only gives it time to do so.
TEST_F(VoiceRecordingTest, TranscriptOfAnEarlierActivationIsNotInsertedInTheNextOne) {
    ActivateWithVoiceKey("slow");
    CommitAWord();
    RecordAndStop();
    ASSERT_TRUE(PumpUntil([&] { return !NewRequests().empty(); }));

    Deactivate();
    Activate();
    EXPECT_FALSE(Manager().IsVoiceBusy());
    PumpFor(std::chrono::milliseconds(1500));
    EXPECT_EQ(document_->text, L"আমি");
    EXPECT_NE(VoiceRow(), kTranscribing);
}

}  // namespace
}  // namespace qorva_tsf_test
