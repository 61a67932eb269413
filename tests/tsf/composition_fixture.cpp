#include "tests/tsf/composition_fixture.h"

#include <memory>

namespace qorva_tsf_test {
namespace {

constexpr TfClientId kClientId = 7;

qorva_tsf::ManagedCompositionHandler* g_madeHandler = nullptr;
const qorva_tsf::OnlineServices* g_onlineServices = nullptr;

std::unique_ptr<qorva_tsf::CompositionHandler> MakeHandlerForTest(qorva_tsf::TextService& service) {
    auto handler =
        std::make_unique<qorva_tsf::ManagedCompositionHandler>(service, *g_onlineServices);
    g_madeHandler = handler.get();
    return handler;
}

WPARAM NamedKey(const std::string& name) {
    if (name == "enter") return VK_RETURN;
    if (name == "esc") return VK_ESCAPE;
    if (name == "bs") return VK_BACK;
    if (name == "up") return VK_UP;
    if (name == "down") return VK_DOWN;
    ADD_FAILURE() << "unknown key {" << name << "}";
    return 0;
}

WPARAM KeyOf(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<WPARAM>(c - 'a' + 'A');
    if (c == ' ') return VK_SPACE;
    if (c == '.') return VK_OEM_PERIOD;
    return static_cast<WPARAM>(c);  // digits and capital letters are their own keys
}

}  // namespace

std::vector<bangla::LexiconEntry> SmallLexicon() {
    return {
        {u8"আমি", "ami", 90000, 1},  {u8"তুমি", "tumi", 80000, 1}, {u8"আমরা", "amra", 70000, 1},
        {u8"কাল", "kal", 60000, 1},  {u8"কল", "kal", 50000, 1},   {u8"খাল", "kal", 40000, 1},
        {u8"ভাত", "bhat", 30000, 1}, {u8"খাই", "khai", 20000, 1},
    };
}

void CompositionServiceTest::SetUp() {
    // Tests never reach the network: no online transliteration, no translation consent.
    SetEnvironmentVariableW(L"QORVA_CLOUD_TRANSLIT_OFF", L"1");
    appData_.WriteSettings(
        "{\n  \"english_translation\": false,\n  \"online_suggestions\": false\n}\n");
    appData_.WriteLexicon(SmallLexicon());
    BYTE keyboard[256] = {};
    SetKeyboardState(keyboard);
    qorva::ModeIpc::Instance().SetMode(qorva::ModeTarget::Bangla);

    g_onlineServices = &online_;
    service_ = qorva_tsf::TextService::Create(MakeHandlerForTest);
    ASSERT_NE(service_, nullptr);
    handler_ = g_madeHandler;
    ASSERT_NE(handler_, nullptr);
    threadMgr_ = new FakeThreadMgr();
    document_ = new FakeContext();
    Focus(document_);
    Activate();
}

void CompositionServiceTest::TearDown() {
    Deactivate();
    if (service_) service_->Release();
    if (document_) document_->Release();
    if (threadMgr_) threadMgr_->Release();
    SetEnvironmentVariableW(L"QORVA_CLOUD_TRANSLIT_OFF", nullptr);
}

void CompositionServiceTest::Activate() {
    ASSERT_EQ(service_->Activate(threadMgr_, kClientId), S_OK);
    active_ = true;
}

void CompositionServiceTest::Deactivate() {
    if (!active_) return;
    service_->Deactivate();
    active_ = false;
}

void CompositionServiceTest::Press(const std::string& keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == '{') {
            const size_t close = keys.find('}', i);
            ASSERT_NE(close, std::string::npos) << keys;
            threadMgr_->Press(NamedKey(keys.substr(i + 1, close - i - 1)));
            i = close;
        } else {
            threadMgr_->Press(KeyOf(keys[i]));
        }
    }
}

}  // namespace qorva_tsf_test
