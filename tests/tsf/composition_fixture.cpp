#include "tests/tsf/composition_fixture.h"

#include <fstream>
#include <iterator>
#include <memory>

#include "tools/lib/lexicon_writer.h"
#include "tsf/dll_main.h"

namespace qorva_tsf_test {
namespace {

constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kAppDataValue[] = L"AppData";
constexpr TfClientId kClientId = 7;

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

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

TempAppData::TempAppData() {
    folder_ = Widen(temp_.Path());
    if (!folder_.empty() && (folder_.back() == L'\\' || folder_.back() == L'/')) folder_.pop_back();
    CreateDirectoryW(DataFolder().c_str(), nullptr);

    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ | KEY_WRITE, &key) ==
        ERROR_SUCCESS) {
        DWORD size = 0;
        if (RegQueryValueExW(key, kAppDataValue, nullptr, &savedShellFolderType_, nullptr, &size) ==
            ERROR_SUCCESS) {
            savedShellFolder_.resize(size);
            hadShellFolder_ = RegQueryValueExW(key, kAppDataValue, nullptr, &savedShellFolderType_,
                                               savedShellFolder_.data(), &size) == ERROR_SUCCESS;
        }
        RegSetValueExW(key, kAppDataValue, 0, REG_EXPAND_SZ,
                       reinterpret_cast<const BYTE*>(folder_.c_str()),
                       static_cast<DWORD>((folder_.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    savedCurrentFolder_ = current;
    SetCurrentDirectoryW(folder_.c_str());
}

TempAppData::~TempAppData() {
    SetCurrentDirectoryW(savedCurrentFolder_.c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    if (hadShellFolder_) {
        RegSetValueExW(key, kAppDataValue, 0, savedShellFolderType_, savedShellFolder_.data(),
                       static_cast<DWORD>(savedShellFolder_.size()));
    } else {
        RegDeleteValueW(key, kAppDataValue);
    }
    RegCloseKey(key);
}

void TempAppData::WriteSettings(const std::string& json) const {
    WriteFileBytes(DataFile(L"settings.json"), json);
}

void TempAppData::WriteLexicon(const std::vector<bangla::LexiconEntry>& entries) const {
    ASSERT_TRUE(
        bangla::WriteLexiconFile(qorva_tsf::Utf16ToUtf8(DataFile(L"lexicon.bin")), entries));
}

std::string TempAppData::ReadUserDictionary() const {
    return ReadFileBytes(DataFile(L"user_dict.txt"));
}

std::vector<bangla::LexiconEntry> SmallLexicon() {
    return {
        {u8"আমি", "ami", 90000, 1},  {u8"তুমি", "tumi", 80000, 1}, {u8"আমরা", "amra", 70000, 1},
        {u8"কাল", "kal", 60000, 1},  {u8"কল", "kal", 50000, 1},   {u8"খাল", "kal", 40000, 1},
        {u8"ভাত", "bhat", 30000, 1}, {u8"খাই", "khai", 20000, 1},
    };
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream file(qorva_tsf::Utf16ToUtf8(path), std::ios::binary | std::ios::trunc);
    file << bytes;
    ASSERT_TRUE(file.good()) << qorva_tsf::Utf16ToUtf8(path);
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream file(qorva_tsf::Utf16ToUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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
