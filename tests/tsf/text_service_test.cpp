#include "tsf/text_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tsf/tsf_doubles.h"
#include "tsf/dll_main.h"
#include "tsf/edit_session.h"

namespace qorva_tsf {
namespace {

using qorva_tsf_test::FakeContext;
using qorva_tsf_test::FakeDocumentMgr;
using qorva_tsf_test::FakeThreadMgr;
using qorva_tsf_test::Held;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr TfClientId kClientId = 42;

// Interfaces the text service must not claim; the cross headers do not declare their ids.
constexpr IID kTextInputProcessorEx = {
    0x6e4e2102, 0xf9cd, 0x433d, {0xb4, 0x96, 0x30, 0x3c, 0xe0, 0x3a, 0x65, 0x07}};
constexpr IID kDisplayAttributeProvider = {
    0xfee47777, 0x163c, 0x4769, {0x99, 0x6a, 0x6e, 0x9c, 0x50, 0xad, 0x8f, 0x54}};

// Composition logic that logs every call and echoes typed letters into the document through edit
// sessions, so that a test sees both the path a key took and what the document holds.
class RecordingComposition final : public CompositionHandler {
public:
    explicit RecordingComposition(TextService& service) : service_(service) {}
    ~RecordingComposition() override {
        if (destroyed) *destroyed = true;
    }

    std::vector<std::string> calls;
    // Set when the text service that owns this logic is destroyed.
    bool* destroyed = nullptr;
    bool composing = false;
    size_t candidateCount = 0;
    bool initializeSucceeds = true;

    bool Initialize(HINSTANCE) override { return Log("Initialize"), initializeSucceeds; }
    void Shutdown() override { Log("Shutdown"); }
    void SetAutoCorrectEnabled(bool on) override { Log("AutoCorrect " + Flag(on)); }
    void SetMaxCandidates(uint32_t count) override {
        Log("MaxCandidates " + std::to_string(count));
    }
    void SetPersonalLearningEnabled(bool on) override { Log("Learning " + Flag(on)); }
    void SetSuggestionsEnabled(bool on) override { Log("Suggestions " + Flag(on)); }
    void SetEnglishTranslationEnabled(bool on) override { Log("Translation " + Flag(on)); }
    void SetCloudTranslitEnabled(bool on) override { Log("Cloud " + Flag(on)); }
    void SyncConversionTargetFromIpc() override { ++modeReads; }
    void ToggleConversionTarget() override { Log("ToggleTarget"); }
    void ToggleVoice() override { Log("ToggleVoice"); }
    void OnFocusLost(ITfContext* context) override { Log(context ? "FocusLost ctx" : "FocusLost"); }
    void OnCompositionTerminated(ITfContext* context, ITfComposition* composition) override {
        Log(std::string("Terminated") + (context ? " ctx" : "") + (composition ? " comp" : ""));
    }
    bool IsComposing() const override { return composing; }
    bool HasCandidates() const override { return candidateCount > 0; }
    bool CanSelectCandidate(char digit) override {
        return digit >= '1' && static_cast<size_t>(digit - '0') <= candidateCount;
    }
    bool OnCharacter(ITfContext* context, char letter) override {
        Log(std::string("Character ") + letter);
        composing = true;
        candidateCount = 2;
        Write(context, std::wstring(1, static_cast<wchar_t>(letter)));
        return true;
    }
    bool OnSpace(ITfContext*) override { return Commit("Space"); }
    bool OnEscape(ITfContext*) override { return Commit("Escape"); }
    bool OnBackspace(ITfContext*) override { return Log("Backspace"), true; }
    bool OnEnter(ITfContext*) override { return Commit("Enter"); }
    bool OnDigit(ITfContext*, char digit) override { return Commit(std::string("Digit ") + digit); }
    bool OnBengaliDigit(ITfContext* context, wchar_t digit) override {
        Log("BengaliDigit");
        Write(context, std::wstring(1, digit));
        return true;
    }
    bool OnArrow(ITfContext*, bool down) override { return Log(down ? "Down" : "Up"), true; }
    bool OnPunctuation(ITfContext* context, char mark) override {
        Log(std::string("Punctuation ") + mark);
        Write(context, L"\u0964");
        return true;
    }

    int modeReads = 0;

private:
    static std::string Flag(bool on) { return on ? "on" : "off"; }
    void Log(const std::string& call) { calls.push_back(call); }
    bool Commit(const std::string& call) {
        Log(call);
        composing = false;
        candidateCount = 0;
        return true;
    }
    void Write(ITfContext* context, std::wstring text) {
        service_.RequestEditSession(
            context,
            [context, text](TfEditCookie cookie) {
                return InsertTextAtSelection(context, cookie, text);
            },
            WhenRefused::RetryAsync);
    }

    TextService& service_;
};

RecordingComposition* g_lastComposition = nullptr;

std::unique_ptr<CompositionHandler> MakeRecordingComposition(TextService& service) {
    auto composition = std::make_unique<RecordingComposition>(service);
    g_lastComposition = composition.get();
    return composition;
}

// Sets the thread's keyboard state, which the text service reads with GetKeyState.
class KeyboardState {
public:
    KeyboardState() { GetKeyboardState(saved_); }
    ~KeyboardState() { SetKeyboardState(saved_); }
    void Hold(std::initializer_list<int> keys) {
        BYTE state[256] = {};
        for (int key : keys) state[key] = 0x80;
        state[VK_CAPITAL] = capsLock_ ? 1 : 0;
        state[VK_NUMLOCK] = numLock_ ? 1 : 0;
        SetKeyboardState(state);
    }
    void CapsLock(bool on) {
        capsLock_ = on;
        Hold({});
    }
    void NumLock(bool on) {
        numLock_ = on;
        Hold({});
    }

private:
    BYTE saved_[256] = {};
    bool capsLock_ = false;
    bool numLock_ = false;
};

class TextServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"QORVA_CLOUD_TRANSLIT_OFF", nullptr);
        keyboard_.Hold({});
        service_ = TextService::Create(MakeRecordingComposition);
        composition_ = g_lastComposition;
        threadMgr_ = new FakeThreadMgr();
        context_ = new FakeContext();
        threadMgr_->focus = context_;
    }

    void TearDown() override {
        service_->Deactivate();
        EXPECT_EQ(service_->Release(), 0u);
        context_->Release();
        threadMgr_->Release();
    }

    void ActivateAndForgetStartup() {
        ASSERT_EQ(service_->Activate(threadMgr_, kClientId), S_OK);
        composition_->calls.clear();
    }

    // Typed text as the application would see it: eaten keys went to the composition, the others
    // reach the application as typed characters.
    void Type(const std::string& letters) {
        for (char letter : letters) threadMgr_->Press(static_cast<WPARAM>(toupper(letter)));
    }

    KeyboardState keyboard_;
    TextService* service_ = nullptr;
    RecordingComposition* composition_ = nullptr;
    FakeThreadMgr* threadMgr_ = nullptr;
    FakeContext* context_ = nullptr;
};

TEST_F(TextServiceTest, ActivationAdvisesBothSinksAndDeactivationUnadvisesThem) {
    ASSERT_EQ(service_->Activate(threadMgr_, kClientId), S_OK);
    EXPECT_NE(threadMgr_->threadSink, nullptr);
    ASSERT_NE(threadMgr_->keySink, nullptr);
    EXPECT_EQ(threadMgr_->keySinkClient, kClientId);
    EXPECT_TRUE(threadMgr_->keySinkForeground);
    EXPECT_EQ(service_->ClientId(), kClientId);
    ASSERT_FALSE(composition_->calls.empty());
    EXPECT_EQ(composition_->calls.front(), "Initialize");
    // Online transliteration is decided last, after whatever settings.json the prefix holds.
    EXPECT_EQ(composition_->calls.back().rfind("Cloud ", 0), 0u) << composition_->calls.back();

    composition_->calls.clear();
    EXPECT_EQ(service_->Deactivate(), S_OK);
    EXPECT_EQ(threadMgr_->threadSink, nullptr);
    EXPECT_EQ(threadMgr_->keySink, nullptr);
    EXPECT_EQ(service_->ClientId(), 0u);
    EXPECT_THAT(composition_->calls, ElementsAre("Shutdown"));
    // Nothing but the test holds the service or the thread manager any more.
    EXPECT_EQ(service_->AddRef(), 2u);
    service_->Release();
    EXPECT_EQ(threadMgr_->RefCount(), 1);
}

TEST_F(TextServiceTest, ActivationWithoutThreadManagerIsRefused) {
    EXPECT_EQ(service_->Activate(nullptr, kClientId), E_INVALIDARG);
    EXPECT_THAT(composition_->calls, IsEmpty());
    EXPECT_EQ(service_->ClientId(), 0u);
}

struct FailedActivationCase {
    const char* name;
    HRESULT adviseSink;
    HRESULT adviseKeySink;
    bool initializeSucceeds;
};

TEST_F(TextServiceTest, FailedActivationReleasesEverythingTaken) {
    const FailedActivationCase cases[] = {
        {"thread manager sink refused", E_FAIL, S_OK, true},
        {"key sink refused", S_OK, E_FAIL, true},
        {"composition failed to start", S_OK, S_OK, false},
    };
    for (const FailedActivationCase& c : cases) {
        SCOPED_TRACE(c.name);
        threadMgr_->adviseSinkResult = c.adviseSink;
        threadMgr_->adviseKeySinkResult = c.adviseKeySink;
        composition_->initializeSucceeds = c.initializeSucceeds;
        composition_->calls.clear();

        EXPECT_EQ(service_->Activate(threadMgr_, kClientId), E_FAIL);
        EXPECT_EQ(threadMgr_->threadSink, nullptr);
        EXPECT_EQ(threadMgr_->keySink, nullptr);
        EXPECT_EQ(threadMgr_->RefCount(), 1);
        EXPECT_EQ(composition_->calls.back(), "Shutdown");
        // A second deactivation from TSF is harmless.
        EXPECT_EQ(service_->Deactivate(), S_OK);
    }
}

TEST_F(TextServiceTest, ActivatingTwiceKeepsOneSetOfSinks) {
    ASSERT_EQ(service_->Activate(threadMgr_, kClientId), S_OK);
    ASSERT_EQ(service_->Activate(threadMgr_, kClientId + 1), S_OK);
    EXPECT_EQ(threadMgr_->keySinkClient, kClientId + 1);
    service_->Deactivate();
    EXPECT_EQ(threadMgr_->RefCount(), 1);
}

TEST_F(TextServiceTest, CloudTransliterationFollowsSettingsAndEnvironment) {
    SetEnvironmentVariableW(L"QORVA_CLOUD_TRANSLIT_OFF", L"");
    ASSERT_EQ(service_->Activate(threadMgr_, kClientId), S_OK);
    EXPECT_EQ(composition_->calls.back(), "Cloud off");
    SetEnvironmentVariableW(L"QORVA_CLOUD_TRANSLIT_OFF", nullptr);
}

TEST_F(TextServiceTest, AnswersItsFourInterfacesOnly) {
    const IID answered[] = {IID_IUnknown, IID_ITfTextInputProcessor, IID_ITfThreadMgrEventSink,
                            IID_ITfKeyEventSink, IID_ITfCompositionSink};
    for (const IID& iid : answered) {
        void* out = nullptr;
        EXPECT_EQ(service_->QueryInterface(iid, &out), S_OK);
        ASSERT_NE(out, nullptr);
        static_cast<IUnknown*>(out)->Release();
    }
    const IID refused[] = {kTextInputProcessorEx, kDisplayAttributeProvider, IID_ITfEditSession};
    for (const IID& iid : refused) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(service_->QueryInterface(iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(service_->QueryInterface(IID_IUnknown, nullptr), E_INVALIDARG);
}

TEST_F(TextServiceTest, TypedLettersReachTheDocumentThroughEditSessions) {
    ActivateAndForgetStartup();
    Type("ami");
    EXPECT_EQ(context_->text, L"ami");
    EXPECT_THAT(composition_->calls, ElementsAre("Character a", "Character m", "Character i"));
    ASSERT_FALSE(context_->requests.empty());
    EXPECT_EQ(context_->requests.front().clientId, kClientId);
    EXPECT_EQ(context_->requests.front().flags, static_cast<DWORD>(TF_ES_SYNC | TF_ES_READWRITE));
}

TEST_F(TextServiceTest, CapsLockTypesUpperCaseLetters) {
    ActivateAndForgetStartup();
    keyboard_.CapsLock(true);
    Type("ab");
    EXPECT_EQ(context_->text, L"AB");
}

TEST_F(TextServiceTest, RefusedSynchronousEditsArriveLater) {
    ActivateAndForgetStartup();
    context_->syncGrant = qorva_tsf_test::SyncGrant::RefusedInResult;
    Type("k");
    EXPECT_EQ(context_->text, L"");
    EXPECT_EQ(context_->RunQueuedSessions(), 1u);
    EXPECT_EQ(context_->text, L"k");
}

TEST_F(TextServiceTest, EditQueuedInAnEarlierActivationIsDropped) {
    ActivateAndForgetStartup();
    context_->syncGrant = qorva_tsf_test::SyncGrant::RefusedInResult;
    Type("k");
    service_->Deactivate();
    ASSERT_EQ(service_->Activate(threadMgr_, kClientId), S_OK);
    EXPECT_EQ(context_->RunQueuedSessions(), 1u);
    EXPECT_EQ(context_->text, L"");

    Type("m");
    EXPECT_EQ(context_->RunQueuedSessions(), 1u);
    EXPECT_EQ(context_->text, L"m");
}

// The host deactivates and releases the service while TSF still holds an edit session it queued.
TEST(TextServiceLifetimeTest, QueuedEditKeepsTheReleasedServiceAliveAndDoesNothing) {
    ASSERT_FALSE(IsModuleInUse());
    TextService* service = TextService::Create(MakeRecordingComposition);
    bool destroyed = false;
    g_lastComposition->destroyed = &destroyed;
    Held<FakeThreadMgr> threadMgr(new FakeThreadMgr());
    Held<FakeContext> context(new FakeContext());
    threadMgr->focus = context.get();
    context->syncGrant = qorva_tsf_test::SyncGrant::RefusedInResult;
    ASSERT_EQ(service->Activate(threadMgr.get(), kClientId), S_OK);
    threadMgr->Press('K');
    ASSERT_EQ(context->QueuedSessions(), 1u);

    service->Deactivate();
    service->Release();
    EXPECT_FALSE(destroyed);

    EXPECT_EQ(context->RunQueuedSessions(), 1u);
    EXPECT_EQ(context->text, L"");
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsModuleInUse());
}

// One key-down and what it did: whether it was eaten and which handlers ran.
struct KeyPathCase {
    const char* name;
    bool composing;
    std::initializer_list<int> held;
    WPARAM key;
    bool eaten;
    std::vector<std::string> calls;
};

TEST_F(TextServiceTest, KeysTakeTheirDecidedPaths) {
    const KeyPathCase cases[] = {
        {"space commits while composing", true, {}, VK_SPACE, true, {"Space"}},
        {"space passes when idle", false, {}, VK_SPACE, false, {}},
        {"enter commits while composing", true, {}, VK_RETURN, true, {"Enter"}},
        {"enter passes when idle", false, {}, VK_RETURN, false, {}},
        {"escape cancels while composing", true, {}, VK_ESCAPE, true, {"Escape"}},
        {"backspace while composing", true, {}, VK_BACK, true, {"Backspace"}},
        {"backspace passes when idle", false, {}, VK_BACK, false, {}},
        {"digit selects a shown candidate", true, {}, '2', true, {"Digit 2"}},
        {"digit beyond the list commits and passes", true, {}, '5', false, {"Enter"}},
        {"digit passes when idle", false, {}, '5', false, {}},
        {"shift letter commits and passes", true, {VK_SHIFT}, 'A', false, {"Enter"}},
        {"shift alone passes without commit", true, {VK_SHIFT}, VK_SHIFT, false, {}},
        {"ctrl letter passes when idle", false, {VK_CONTROL}, 'C', false, {}},
        {"tab commits and passes", true, {}, VK_TAB, false, {"Enter"}},
        {"down arrow moves the selection", true, {}, VK_DOWN, true, {"Down"}},
        {"up arrow moves the selection", true, {}, VK_UP, true, {"Up"}},
        {"full stop when idle", false, {}, VK_OEM_PERIOD, true, {"Punctuation ."}},
        {"comma commits and passes", true, {}, VK_OEM_COMMA, false, {"Enter"}},
        {"ctrl alt e toggles the target", true, {VK_CONTROL, VK_MENU}, 'E', true, {"ToggleTarget"}},
        {"ctrl alt v toggles voice", false, {VK_CONTROL, VK_MENU}, 'V', true, {"ToggleVoice"}},
        {"ctrl shift alt v is no hot key",
         true,
         {VK_CONTROL, VK_MENU, VK_SHIFT},
         'V',
         false,
         {"Enter"}},
    };
    ActivateAndForgetStartup();
    for (const KeyPathCase& c : cases) {
        SCOPED_TRACE(c.name);
        composition_->composing = c.composing;
        composition_->candidateCount = c.composing ? 3 : 0;
        composition_->calls.clear();
        keyboard_.Hold(c.held);

        EXPECT_EQ(threadMgr_->Press(c.key), c.eaten);
        EXPECT_EQ(composition_->calls, c.calls);
    }
}

TEST_F(TextServiceTest, NumpadDigitCommitsThenTypesABengaliDigit) {
    ActivateAndForgetStartup();
    keyboard_.NumLock(true);
    Type("ek");
    composition_->calls.clear();
    EXPECT_TRUE(threadMgr_->Press(VK_NUMPAD3));
    EXPECT_THAT(composition_->calls, ElementsAre("Enter", "BengaliDigit"));
    EXPECT_EQ(context_->text, L"ek\u09E9");
}

TEST_F(TextServiceTest, NumpadDigitWithoutNumLockPasses) {
    ActivateAndForgetStartup();
    EXPECT_FALSE(threadMgr_->Press(VK_NUMPAD3));
    EXPECT_THAT(composition_->calls, IsEmpty());
}

TEST_F(TextServiceTest, KeyDownWithoutKeyTestStillCommitsFirst) {
    ActivateAndForgetStartup();
    composition_->composing = true;
    keyboard_.Hold({VK_SHIFT});
    BOOL eaten = TRUE;
    EXPECT_EQ(threadMgr_->KeyDown('B', 1, &eaten), S_OK);
    EXPECT_FALSE(eaten);
    EXPECT_THAT(composition_->calls, ElementsAre("Enter"));
    EXPECT_FALSE(composition_->composing);
}

TEST_F(TextServiceTest, WithoutFocusedDocumentEveryKeyPasses) {
    ActivateAndForgetStartup();
    composition_->composing = true;
    threadMgr_->focus = nullptr;
    for (WPARAM key : {WPARAM('A'), WPARAM(VK_SPACE), WPARAM(VK_OEM_PERIOD), WPARAM(VK_TAB)}) {
        BOOL eaten = TRUE;
        EXPECT_EQ(threadMgr_->TestKeyDown(key, 1, &eaten), S_OK);
        EXPECT_FALSE(eaten);
        eaten = TRUE;
        EXPECT_EQ(threadMgr_->KeyDown(key, 1, &eaten), S_OK);
        EXPECT_FALSE(eaten);
    }
    EXPECT_THAT(composition_->calls, IsEmpty());
}

TEST_F(TextServiceTest, HotKeyRepeatIsEatenWithoutToggling) {
    ActivateAndForgetStartup();
    keyboard_.Hold({VK_CONTROL, VK_MENU});
    constexpr LPARAM kRepeat = 0x40000001;
    EXPECT_TRUE(threadMgr_->Press('V', 1));
    EXPECT_TRUE(threadMgr_->Press('V', kRepeat));
    EXPECT_TRUE(threadMgr_->Press('V', kRepeat));
    EXPECT_THAT(composition_->calls, ElementsAre("ToggleVoice"));
}

TEST_F(TextServiceTest, SharedModeIsReadBeforeEveryKeyTest) {
    ActivateAndForgetStartup();
    Type("ab");
    EXPECT_EQ(composition_->modeReads, 2);
}

TEST_F(TextServiceTest, KeyUpsAndPreservedKeysAreNeverEaten) {
    ActivateAndForgetStartup();
    composition_->composing = true;
    BOOL eaten = TRUE;
    EXPECT_EQ(service_->OnTestKeyUp(context_, 'A', 1, &eaten), S_OK);
    EXPECT_FALSE(eaten);
    eaten = TRUE;
    EXPECT_EQ(service_->OnKeyUp(context_, VK_SPACE, 1, &eaten), S_OK);
    EXPECT_FALSE(eaten);
    eaten = TRUE;
    EXPECT_EQ(service_->OnPreservedKey(context_, GUID_NULL, &eaten), S_OK);
    EXPECT_FALSE(eaten);
    EXPECT_THAT(composition_->calls, IsEmpty());
}

TEST_F(TextServiceTest, NullEatenFlagIsRefused) {
    ActivateAndForgetStartup();
    EXPECT_EQ(service_->OnTestKeyDown(context_, 'A', 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(service_->OnKeyDown(context_, 'A', 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(service_->OnTestKeyUp(context_, 'A', 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(service_->OnKeyUp(context_, 'A', 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(service_->OnPreservedKey(context_, GUID_NULL, nullptr), E_INVALIDARG);
    EXPECT_THAT(composition_->calls, IsEmpty());
}

TEST_F(TextServiceTest, FocusLeavingTheDocumentEndsTheComposition) {
    ActivateAndForgetStartup();
    Held<FakeDocumentMgr> document(new FakeDocumentMgr(context_));
    threadMgr_->threadSink->OnSetFocus(document.get(), nullptr);
    EXPECT_THAT(composition_->calls, IsEmpty());
    threadMgr_->threadSink->OnSetFocus(nullptr, document.get());
    threadMgr_->keySink->OnSetFocus(TRUE);
    threadMgr_->keySink->OnSetFocus(FALSE);
    EXPECT_THAT(composition_->calls, ElementsAre("FocusLost", "FocusLost"));
}

TEST_F(TextServiceTest, CompositionEndedByTheApplicationIsPassedOn) {
    ActivateAndForgetStartup();
    ITfComposition* composition = reinterpret_cast<ITfComposition*>(context_);
    EXPECT_EQ(service_->OnCompositionTerminated(7, composition), S_OK);
    EXPECT_THAT(composition_->calls, ElementsAre("Terminated comp"));
}

TEST(TextServiceWithoutCompositionTest, ActivatesAndPassesEveryKey) {
    TextService* service = TextService::Create(nullptr);
    ASSERT_NE(service, nullptr);
    Held<FakeThreadMgr> threadMgr(new FakeThreadMgr());
    Held<FakeContext> context(new FakeContext());
    threadMgr->focus = context.get();
    ASSERT_EQ(service->Activate(threadMgr.get(), kClientId), S_OK);
    EXPECT_FALSE(threadMgr->Press('A'));
    EXPECT_FALSE(threadMgr->Press(VK_OEM_PERIOD));
    EXPECT_TRUE(context->requests.empty());
    service->Deactivate();
    EXPECT_EQ(service->Release(), 0u);
}

std::unique_ptr<CompositionHandler> FailToMakeComposition(TextService&) { throw std::bad_alloc(); }

TEST(TextServiceWithoutCompositionTest, FailingToMakeTheCompositionLeavesAWorkingService) {
    TextService* service = TextService::Create(FailToMakeComposition);
    ASSERT_NE(service, nullptr);
    BOOL eaten = TRUE;
    Held<FakeContext> context(new FakeContext());
    EXPECT_EQ(service->OnTestKeyDown(context.get(), 'A', 1, &eaten), S_OK);
    EXPECT_FALSE(eaten);
    EXPECT_EQ(service->Release(), 0u);
}

// --- settings.json ---

std::vector<std::string> Applied(const std::string& text, bool* onlineSuggestions) {
    TextService* service = TextService::Create(MakeRecordingComposition);
    RecordingComposition* composition = g_lastComposition;
    std::istringstream settings(text);
    *onlineSuggestions = ApplySettings(settings, *composition);
    std::vector<std::string> calls = composition->calls;
    service->Release();
    return calls;
}

struct SettingsCase {
    const char* name;
    std::string text;
    std::vector<std::string> calls;
    bool onlineSuggestions;
};

TEST(ApplySettingsTest, KnownLinesReachTheComposition) {
    const SettingsCase cases[] = {
        {"empty file", "", {}, true},
        {"settings program layout",
         "{\r\n  \"auto_correct\": true,\r\n  \"max_candidates\": 4,\r\n"
         "  \"personal_learning\": false,\r\n  \"show_suggestions\": true,\r\n"
         "  \"online_suggestions\": false,\r\n  \"english_translation\": false\r\n}\r\n",
         {"AutoCorrect on", "MaxCandidates 4", "Learning off", "Suggestions on", "Translation off"},
         false},
        {"one line applies the groups in order",
         "{\"english_translation\": true, \"max_candidates\": 5, \"auto_correct\": false}",
         {"AutoCorrect off", "MaxCandidates 5", "Translation on"},
         true},
        {"a later line overrides",
         "\"max_candidates\": 3\n\n\"max_candidates\": 5\n",
         {"MaxCandidates 3", "MaxCandidates 5"},
         true},
        {"thirty selects three by substring", "\"max_candidates\": 30", {"MaxCandidates 3"}, true},
        {"unknown values are ignored", "\"max_candidates\": 9\n\"auto_correct\":true", {}, true},
        {"hidden suggestions switch online ones off",
         "\"show_suggestions\": false",
         {"Suggestions off"},
         false},
        {"online suggestions after hidden ones switch back on",
         "\"show_suggestions\": false,\n\"online_suggestions\": true",
         {"Suggestions off"},
         true},
        {"the older key name works too", "\"cloud_suggestions\": false", {}, false},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.name);
        bool online = !c.onlineSuggestions;
        EXPECT_EQ(Applied(c.text, &online), c.calls);
        EXPECT_EQ(online, c.onlineSuggestions);
    }
}

}  // namespace
}  // namespace qorva_tsf
