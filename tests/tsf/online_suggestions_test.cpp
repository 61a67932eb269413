// Online transliteration and translation in the text service: requested while typing, merged into
// the list only while they are current, and never requested when switched off or when the field
// keeps its text private.
#include <windows.h>
#include <msctf.h>
#include <inputscope.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tsf/online_fixture.h"
#include "tsf/candidate_window.h"
#include "universal/mode_ipc.h"

namespace qorva_tsf_test {
namespace {

using ::testing::ElementsAre;

constexpr char kEverythingOn[] =
    "{\n  \"english_translation\": true,\n  \"online_suggestions\": true,\n"
    "  \"show_suggestions\": true\n}\n";

// A field's input scopes, as the framework hands them out: a fresh copy for each caller.
class FakeInputScope final : public FakeCom<ITfInputScope> {
public:
    explicit FakeInputScope(std::vector<InputScope> scopes) : scopes_(std::move(scopes)) {}

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override {
        if (!out) return E_INVALIDARG;
        *out = nullptr;
        if (!IsEqualIID(interfaceId, IID_IUnknown) &&
            !IsEqualIID(interfaceId, __uuidof(ITfInputScope))) {
            return E_NOINTERFACE;
        }
        AddRef();
        *out = static_cast<ITfInputScope*>(this);
        return S_OK;
    }
    STDMETHODIMP GetInputScopes(InputScope** scopes, UINT* count) override {
        *scopes = static_cast<InputScope*>(CoTaskMemAlloc(sizeof(InputScope) * scopes_.size()));
        std::copy(scopes_.begin(), scopes_.end(), *scopes);
        *count = static_cast<UINT>(scopes_.size());
        return S_OK;
    }
    STDMETHODIMP GetPhrase(BSTR**, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetRegularExpression(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSRGS(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetXML(BSTR*) override { return E_NOTIMPL; }

private:
    std::vector<InputScope> scopes_;
};

// The input scope property of a document whose every range carries the same scopes.
class FakeInputScopeProperty final : public FakeCom<ITfProperty> {
public:
    explicit FakeInputScopeProperty(std::vector<InputScope> scopes) : scopes_(std::move(scopes)) {}

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override {
        if (!out) return E_INVALIDARG;
        *out = nullptr;
        if (!IsEqualIID(interfaceId, IID_IUnknown) && !IsEqualIID(interfaceId, IID_ITfProperty) &&
            !IsEqualIID(interfaceId, IID_ITfReadOnlyProperty)) {
            return E_NOINTERFACE;
        }
        AddRef();
        *out = static_cast<ITfProperty*>(this);
        return S_OK;
    }
    STDMETHODIMP GetValue(TfEditCookie, ITfRange*, VARIANT* value) override {
        VariantInit(value);
        value->vt = VT_UNKNOWN;
        value->punkVal = new FakeInputScope(scopes_);
        return S_OK;
    }
    STDMETHODIMP GetType(GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumRanges(TfEditCookie, IEnumTfRanges**, ITfRange*) override { return E_NOTIMPL; }
    STDMETHODIMP GetContext(ITfContext**) override { return E_NOTIMPL; }
    STDMETHODIMP FindRange(TfEditCookie, ITfRange*, ITfRange**, TfAnchor) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetValueStore(TfEditCookie, ITfRange*, ITfPropertyStore*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetValue(TfEditCookie, ITfRange*, const VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP Clear(TfEditCookie, ITfRange*) override { return E_NOTIMPL; }

private:
    std::vector<InputScope> scopes_;
};

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

// What reached the server of the letters and the sentence typed.
struct TypedTextRequests {
    size_t transliterations = 0;
    size_t translations = 0;
};

class OnlineSuggestionsTest : public OnlineCompositionTest {
protected:
    // Types a Bangla word and an English sentence and cancels each once the workers had time to
    // send whatever they were asked for.
    void TypeInBothTargets() {
        Press("kal");
        PumpFor(std::chrono::milliseconds(400));
        Press("{esc}");
        qorva::ModeIpc::Instance().SetMode(qorva::ModeTarget::English);
        Press("ami bhat khai");
        PumpFor(std::chrono::milliseconds(400));
        Press("{esc}");
        qorva::ModeIpc::Instance().SetMode(qorva::ModeTarget::Bangla);
    }

    TypedTextRequests TypedTextRequestsSince(size_t seen) const {
        const auto all = Server().Requests();
        TypedTextRequests found;
        for (size_t i = seen; i < all.size(); ++i) {
            if (StartsWith(all[i].target, "/request?text=kal&")) ++found.transliterations;
            if (StartsWith(all[i].target, "/translate_a/t")) ++found.translations;
        }
        return found;
    }
};

TEST_F(OnlineSuggestionsTest, SuggestionsForTheCurrentLettersReplaceTheList) {
    Reactivate(kEverythingOn);
    Press("kal");
    const std::vector<std::wstring> offline = Manager().Candidates();

    ASSERT_TRUE(PumpUntil([&] { return Manager().Candidates() != offline; }));
    // The first five online words, then the Latin letters themselves.
    EXPECT_THAT(Manager().Candidates(),
                ElementsAre(L"খাল", L"কাল", L"কালো", L"কলা", L"কালি", L"kal"));
    EXPECT_EQ(document_->text, L"খাল");
    EXPECT_EQ(Manager().SelectedIndex(), 0u);
    EXPECT_TRUE(Manager().Window().visible);

    Press("{enter}");
    EXPECT_EQ(document_->text, L"খাল");
}

struct PersonalWordCase {
    const char* name;
    const char* userDictionary;
    std::vector<std::wstring> merged;
};

// A word the user chose more than once moves to the front when the service offers it too.
TEST_F(OnlineSuggestionsTest, PersonalWordChosenMoreThanOnceGoesFirst) {
    const PersonalWordCase cases[] = {
        {"chosen twice", "kal\tকলা\t2\t0\t1\n", {L"কলা", L"খাল", L"কাল", L"কালো", L"কালি", L"kal"}},
        {"chosen once", "kal\tকলা\t1\t0\t1\n", {L"খাল", L"কাল", L"কালো", L"কলা", L"কালি", L"kal"}},
        {"not among the online words",
         "kal\tকল\t5\t0\t1\n",
         {L"খাল", L"কাল", L"কালো", L"কলা", L"কালি", L"kal"}},
    };
    for (const PersonalWordCase& c : cases) {
        SCOPED_TRACE(c.name);
        Deactivate();
        WriteFileBytes(appData_.DataFile(L"user_dict.txt"), c.userDictionary);
        Reactivate(kEverythingOn);
        Press("kal");
        ASSERT_TRUE(PumpUntil([&] { return Manager().Candidates().size() == c.merged.size(); }));
        EXPECT_EQ(Manager().Candidates(), c.merged);
        Press("{esc}");
    }
}

TEST_F(OnlineSuggestionsTest, SuggestionForAnOlderGenerationIsDropped) {
    Reactivate(kEverythingOn);
    Press("kal");
    const std::vector<std::wstring> offline = Manager().Candidates();
    ASSERT_TRUE(WaitForPosted(qorva_tsf::WM_APP_CLOUD_RESULT));

    // The same letters typed again: the queued answer is for the letters, but for an older request.
    Press("{bs}l");
    ASSERT_TRUE(DeliverOne(qorva_tsf::WM_APP_CLOUD_RESULT));
    EXPECT_EQ(Manager().Candidates(), offline);
    EXPECT_EQ(document_->text, offline.front());

    // The newer request is answered as well, and that answer is current.
    ASSERT_TRUE(PumpUntil([&] { return Manager().Candidates() != offline; }));
    EXPECT_EQ(Manager().Candidates().front(), L"খাল");
}

TEST_F(OnlineSuggestionsTest, SuggestionArrivingAfterTheCommitIsDropped) {
    Reactivate(kEverythingOn);
    Press("kal");
    const std::wstring offlineFirst = Manager().Candidates().front();
    ASSERT_TRUE(WaitForPosted(qorva_tsf::WM_APP_CLOUD_RESULT));
    Press("{enter}");
    ASSERT_TRUE(DeliverOne(qorva_tsf::WM_APP_CLOUD_RESULT));
    EXPECT_FALSE(Manager().IsComposing());
    EXPECT_EQ(document_->text, offlineFirst);
}

TEST_F(OnlineSuggestionsTest, TranslationFillsTheEnglishTarget) {
    Reactivate(kEverythingOn);
    qorva::ModeIpc::Instance().SetMode(qorva::ModeTarget::English);
    Press("ami bhat khai");
    ASSERT_EQ(Manager().Candidates().front(), L"আমি ভাত খাই");

    // The client polishes the service's answer into a sentence.
    ASSERT_TRUE(PumpUntil([&] { return Manager().Candidates().front() == L"I eat rice."; }));
    EXPECT_THAT(Manager().Candidates(),
                ElementsAre(L"I eat rice.", L"আমি ভাত খাই", L"ami bhat khai"));
    EXPECT_EQ(document_->text, L"I eat rice.");

    // Typed again, the sentence is translated from the cache at once.
    Press("{esc}ami bhat khai");
    EXPECT_EQ(Manager().Candidates().front(), L"I eat rice.");
}

TEST_F(OnlineSuggestionsTest, TranslationArrivingInTheBanglaTargetIsDropped) {
    Reactivate(kEverythingOn);
    qorva::ModeIpc::Instance().SetMode(qorva::ModeTarget::English);
    Press("ami bhat khai");
    ASSERT_TRUE(WaitForPosted(qorva_tsf::WM_APP_TRANSLATION_RESULT));
    Manager().SetConversionTarget(qorva_tsf::CandidateConversionTarget::Bangla);
    const std::vector<std::wstring> bangla = Manager().Candidates();
    ASSERT_TRUE(DeliverOne(qorva_tsf::WM_APP_TRANSLATION_RESULT));
    EXPECT_EQ(Manager().Candidates(), bangla);
}

struct SwitchCase {
    const char* name;
    const char* settings;
};

TEST_F(OnlineSuggestionsTest, SwitchedOffHelpersSendNothing) {
    const SwitchCase cases[] = {
        {"online suggestions and translation off",
         "{\n  \"english_translation\": false,\n  \"online_suggestions\": false\n}\n"},
        {"candidate window off, translation off",
         "{\n  \"english_translation\": false,\n  \"show_suggestions\": false\n}\n"},
        {"cloud suggestions off, translation off",
         "{\n  \"english_translation\": false,\n  \"cloud_suggestions\": false\n}\n"},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reactivate(c.settings);
        const size_t seen = Server().Requests().size();
        TypeInBothTargets();
        EXPECT_EQ(Server().Requests().size(), seen);
    }
}

struct ScopeCase {
    const char* name;
    InputScope scope;
    bool sendsTypedText;
};

// The field that takes typing last is the one whose text would be sent: the cases that must send
// nothing come first, before the answers are cached.
TEST_F(OnlineSuggestionsTest, PrivateFieldsSendNothingTypedThere) {
    const ScopeCase cases[] = {
        {"password", IS_PASSWORD, false},
        {"private", IS_PRIVATE, false},
        {"numeric PIN", IS_NUMERIC_PIN, false},
        {"e-mail address", IS_EMAIL_SMTPEMAILADDRESS, true},
    };
    Reactivate(kEverythingOn);
    for (const ScopeCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (document_->inputScopeProperty) document_->inputScopeProperty->Release();
        document_->inputScopeProperty = new FakeInputScopeProperty({IS_DEFAULT, c.scope});
        const size_t seen = Server().Requests().size();
        TypeInBothTargets();
        const TypedTextRequests sent = TypedTextRequestsSince(seen);
        EXPECT_EQ(sent.transliterations > 0, c.sendsTypedText);
        EXPECT_EQ(sent.translations > 0, c.sendsTypedText);
    }
}

}  // namespace
}  // namespace qorva_tsf_test
