// The built qorva_tsf.dll as a host sees it: its exports, its class factory, its registration
// through regsvr32, and a text service working against Wine's own framework objects.
#include <windows.h>
#include <msctf.h>
#include <olectl.h>
#include <textstor.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tsf/registration_probe.h"
#include "tests/tsf/tsf_doubles.h"
#include "tsf/edit_session.h"
#include "tsf/register.h"

namespace qorva_tsf {
namespace {

using qorva_tsf_test::FakeCom;
using qorva_tsf_test::Held;

const wchar_t kModulePath[] = L"" QORVA_TSF_DLL;

// The exports, reached the way COM and regsvr32 reach them.
class Module {
public:
    Module() : handle_(LoadLibraryW(kModulePath)) {}
    ~Module() {
        if (handle_) FreeLibrary(handle_);
    }
    bool loaded() const { return handle_ != nullptr; }

    HRESULT GetClassObject(REFCLSID classId, REFIID interfaceId, void** out) const {
        using Fn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        return Export<Fn>("DllGetClassObject")(classId, interfaceId, out);
    }
    HRESULT CanUnloadNow() const {
        using Fn = HRESULT(STDAPICALLTYPE*)();
        return Export<Fn>("DllCanUnloadNow")();
    }
    bool HasExport(const char* name) const { return GetProcAddress(handle_, name) != nullptr; }

    IClassFactory* Factory() const {
        IClassFactory* factory = nullptr;
        GetClassObject(CLSID_BanglaTextService, IID_IClassFactory,
                       reinterpret_cast<void**>(&factory));
        return factory;
    }

private:
    template <typename Fn>
    Fn Export(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle_, name)));
    }

    HMODULE handle_;
};

class ComApartment {
public:
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module_.loaded()) << "cannot load " << QORVA_TSF_DLL; }

    ComApartment apartment_;
    Module module_;
};

TEST_F(ServerTest, ExportsTheFourServerFunctions) {
    for (const char* name :
         {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"}) {
        EXPECT_TRUE(module_.HasExport(name)) << name;
    }
}

TEST_F(ServerTest, ClassObjectOnlyForTheTextServiceClass) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(module_.GetClassObject(GUID_BanglaProfile, IID_IClassFactory, &out),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(module_.GetClassObject(CLSID_BanglaTextService, IID_IClassFactory, nullptr),
              E_INVALIDARG);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(module_.GetClassObject(CLSID_BanglaTextService, IID_ITfTextInputProcessor, &out),
              E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(module_.CanUnloadNow(), S_OK);
}

TEST_F(ServerTest, FactoryIsHandedOverWithOneReference) {
    IClassFactory* factory = module_.Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->AddRef(), 2u);
    factory->Release();
    EXPECT_EQ(module_.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(module_.CanUnloadNow(), S_OK);
}

TEST_F(ServerTest, ModuleStaysWhileLockedOrWhileATextServiceLives) {
    Held<IClassFactory> factory(module_.Factory());
    ASSERT_NE(factory.get(), nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);

    ITfTextInputProcessor* service = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITfTextInputProcessor,
                                      reinterpret_cast<void**>(&service)),
              S_OK);
    EXPECT_EQ(service->AddRef(), 2u);
    service->Release();

    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    *factory.out() = nullptr;
    EXPECT_EQ(module_.CanUnloadNow(), S_FALSE);  // the service still lives
    service->Release();
    EXPECT_EQ(module_.CanUnloadNow(), S_OK);
}

TEST_F(ServerTest, CreateInstanceRefusesAggregationAndUnknownInterfaces) {
    Held<IClassFactory> factory(module_.Factory());
    ASSERT_NE(factory.get(), nullptr);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(factory.get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_ITfEditSession, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_INVALIDARG);
    factory->Release();
    *factory.out() = nullptr;
    EXPECT_EQ(module_.CanUnloadNow(), S_OK);  // no object was left behind
}

// --- registration ---

// The texts that name registry keys (also those the settings program removes) spell the ids that
// the module registers.
TEST(RegistrationIds, TextsSpellTheRegisteredGuids) {
    wchar_t text[64] = {};
    ASSERT_GT(StringFromGUID2(CLSID_BanglaTextService, text, 64), 0);
    EXPECT_STREQ(text, kClassIdText);
    ASSERT_GT(StringFromGUID2(GUID_BanglaProfile, text, 64), 0);
    EXPECT_STREQ(text, kProfileIdText);
}

const std::wstring kClassKey = std::wstring(L"Software\\Classes\\CLSID\\") + kClassIdText;
const std::wstring kServerKey = kClassKey + L"\\InprocServer32";

DWORD RunRegsvr32(const std::wstring& arguments) {
    return qorva_test::RunRegsvr32(arguments, kModulePath);
}

bool KeyExists(HKEY root, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Every value of a key as name -> string data, plus its subkey names.
struct KeyContents {
    std::vector<std::pair<std::wstring, std::wstring>> values;
    std::vector<std::wstring> subkeys;
};

KeyContents ReadKey(HKEY root, const std::wstring& name) {
    KeyContents contents;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return contents;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD nameLength = 256;
        wchar_t data[1024] = {};
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        if (RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                          reinterpret_cast<BYTE*>(data), &dataBytes) != ERROR_SUCCESS) {
            break;
        }
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << valueName;
        // Stored with the terminating NUL counted.
        EXPECT_EQ(dataBytes, (wcslen(data) + 1) * sizeof(wchar_t)) << valueName;
        contents.values.emplace_back(valueName, data);
    }
    for (DWORD index = 0;; ++index) {
        wchar_t subkey[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        contents.subkeys.emplace_back(subkey);
    }
    RegCloseKey(key);
    return contents;
}

std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path, MAX_PATH, full, nullptr);
    return full;
}

using qorva_test::ProfileListed;

class RegistrationTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        ASSERT_EQ(RunRegsvr32(L"/u /s"), 0u);
    }
    void TearDown() override { RunRegsvr32(L"/u /s"); }
};

TEST_F(RegistrationTest, Regsvr32WritesAndRemovesExactlyTheUserClassKeys) {
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));

    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    const KeyContents classKey = ReadKey(HKEY_CURRENT_USER, kClassKey);
    EXPECT_EQ(classKey.values,
              (std::vector<std::pair<std::wstring, std::wstring>>{{L"", kDisplayName}}));
    EXPECT_EQ(classKey.subkeys, std::vector<std::wstring>{L"InprocServer32"});

    const KeyContents serverKey = ReadKey(HKEY_CURRENT_USER, kServerKey);
    ASSERT_EQ(serverKey.values.size(), 2u);
    EXPECT_EQ(serverKey.values[0].first, L"");
    EXPECT_EQ(_wcsicmp(serverKey.values[0].second.c_str(), FullPath(kModulePath).c_str()), 0)
        << "registered path differs from the module";
    EXPECT_EQ(serverKey.values[1],
              (std::pair<std::wstring, std::wstring>{L"ThreadingModel", L"Apartment"}));
    EXPECT_TRUE(serverKey.subkeys.empty());
    // Nothing machine-wide.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
    EXPECT_TRUE(ProfileListed());

    ASSERT_EQ(RunRegsvr32(L"/u /s"), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
    EXPECT_FALSE(ProfileListed());
}

TEST_F(RegistrationTest, RegisteringTwiceKeepsOneClassKey) {
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    EXPECT_EQ(ReadKey(HKEY_CURRENT_USER, kClassKey).subkeys.size(), 1u);
    EXPECT_EQ(ReadKey(HKEY_CURRENT_USER, kServerKey).values.size(), 2u);
    EXPECT_TRUE(ProfileListed());
}

TEST_F(RegistrationTest, ForeignSubkeyKeepsTheClassKeyAlive) {
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    HKEY foreign = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (kClassKey + L"\\Foreign").c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &foreign, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(foreign);

    ASSERT_EQ(RunRegsvr32(L"/u /s"), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kServerKey));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kClassKey));

    RegDeleteKeyW(HKEY_CURRENT_USER, (kClassKey + L"\\Foreign").c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kClassKey.c_str());
}

// --- against Wine's own framework ---

// A one-string document behind Wine's context: Wine's context hands every edit to the text store.
class TextStore final : public FakeCom<ITextStoreACP> {
public:
    std::wstring text;

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override {
        if (!out) return E_INVALIDARG;
        *out = nullptr;
        if (!IsEqualIID(interfaceId, IID_IUnknown) && !IsEqualIID(interfaceId, IID_ITextStoreACP)) {
            return E_NOINTERFACE;
        }
        *out = static_cast<ITextStoreACP*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP AdviseSink(REFIID interfaceId, IUnknown* sink, DWORD) override {
        if (!IsEqualIID(interfaceId, IID_ITextStoreACPSink)) return E_INVALIDARG;
        if (sink_) sink_->Release();
        return sink->QueryInterface(IID_ITextStoreACPSink, reinterpret_cast<void**>(&sink_));
    }
    STDMETHODIMP UnadviseSink(IUnknown*) override {
        if (sink_) sink_->Release();
        sink_ = nullptr;
        return S_OK;
    }
    // Always granted at once, in the mode asked for.
    STDMETHODIMP RequestLock(DWORD flags, HRESULT* sessionResult) override {
        if (!sink_ || !sessionResult) return E_FAIL;
        *sessionResult = sink_->OnLockGranted(flags & TS_LF_READWRITE);
        return S_OK;
    }
    STDMETHODIMP GetStatus(TS_STATUS* status) override {
        if (!status) return E_INVALIDARG;
        status->dwDynamicFlags = 0;
        status->dwStaticFlags = 0;
        return S_OK;
    }
    STDMETHODIMP QueryInsert(LONG start, LONG end, ULONG, LONG* resultStart,
                             LONG* resultEnd) override {
        *resultStart = start;
        *resultEnd = end;
        return S_OK;
    }
    STDMETHODIMP GetSelection(ULONG, ULONG, TS_SELECTION_ACP* selection, ULONG* fetched) override {
        if (!selection || !fetched) return E_INVALIDARG;
        selection->acpStart = selection->acpEnd = static_cast<LONG>(text.size());
        selection->style.ase = TS_AE_END;
        selection->style.fInterimChar = FALSE;
        *fetched = 1;
        return S_OK;
    }
    STDMETHODIMP SetSelection(ULONG, const TS_SELECTION_ACP*) override { return S_OK; }
    STDMETHODIMP GetText(LONG, LONG, WCHAR*, ULONG, ULONG*, TS_RUNINFO*, ULONG, ULONG*,
                         LONG*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetText(DWORD, LONG, LONG, const WCHAR*, ULONG, TS_TEXTCHANGE*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetFormattedText(LONG, LONG, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP GetEmbedded(LONG, REFGUID, REFIID, IUnknown**) override { return E_NOTIMPL; }
    STDMETHODIMP QueryInsertEmbedded(const GUID*, const FORMATETC*, BOOL*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP InsertEmbedded(DWORD, LONG, LONG, IDataObject*, TS_TEXTCHANGE*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP InsertTextAtSelection(DWORD, const WCHAR* inserted, ULONG length, LONG* start,
                                       LONG* end, TS_TEXTCHANGE* change) override {
        const LONG at = static_cast<LONG>(text.size());
        text.append(inserted, length);
        const LONG after = static_cast<LONG>(text.size());
        if (start) *start = at;
        if (end) *end = after;
        if (change) *change = {at, at, after};
        return S_OK;
    }
    STDMETHODIMP InsertEmbeddedAtSelection(DWORD, IDataObject*, LONG*, LONG*,
                                           TS_TEXTCHANGE*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RequestSupportedAttrs(DWORD, ULONG, const TS_ATTRID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RequestAttrsAtPosition(LONG, ULONG, const TS_ATTRID*, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RequestAttrsTransitioningAtPosition(LONG, ULONG, const TS_ATTRID*,
                                                     DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP FindNextAttrTransition(LONG, LONG, ULONG, const TS_ATTRID*, DWORD, LONG*, BOOL*,
                                        LONG*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RetrieveRequestedAttrs(ULONG, TS_ATTRVAL*, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP GetEndACP(LONG* end) override {
        *end = static_cast<LONG>(text.size());
        return S_OK;
    }
    STDMETHODIMP GetActiveView(TsViewCookie* view) override {
        *view = 1;
        return S_OK;
    }
    STDMETHODIMP GetACPFromPoint(TsViewCookie, const POINT*, DWORD, LONG*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetTextExt(TsViewCookie, LONG, LONG, RECT*, BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetScreenExt(TsViewCookie, RECT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetWnd(TsViewCookie, HWND* window) override {
        *window = nullptr;
        return S_OK;
    }

private:
    ~TextStore() override {
        if (sink_) sink_->Release();
    }

    ITextStoreACPSink* sink_ = nullptr;
};

class WineFrameworkTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        ASSERT_EQ(CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITfThreadMgr, reinterpret_cast<void**>(threadMgr_.out())),
                  S_OK);
        ASSERT_EQ(threadMgr_->Activate(&clientId_), S_OK);
    }
    void TearDown() override {
        if (threadMgr_.get()) threadMgr_->Deactivate();
    }

    Held<ITfThreadMgr> threadMgr_;
    TfClientId clientId_ = 0;
};

TEST_F(WineFrameworkTest, RefusedKeySinkFailsActivationAndReleasesTheSinks) {
    // Wine's class loader ignores classes registered only per user; a class object registered in
    // the process stands in for it.
    Held<IClassFactory> factory(module_.Factory());
    ASSERT_NE(factory.get(), nullptr);
    DWORD registration = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_BanglaTextService, factory.get(), CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &registration),
              S_OK);
    Held<ITfTextInputProcessor> service;
    ASSERT_EQ(CoCreateInstance(CLSID_BanglaTextService, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ITfTextInputProcessor, reinterpret_cast<void**>(service.out())),
              S_OK);
    CoRevokeClassObject(registration);

    // The framework refuses a key sink for a client id that no text service of it owns.
    const TfClientId unknownClient = clientId_ + 1000;
    EXPECT_EQ(service->Activate(threadMgr_.get(), unknownClient), E_FAIL);
    // The thread manager's event sink was unadvised again: only the test holds the service.
    EXPECT_EQ(service->AddRef(), 2u);
    service->Release();
    EXPECT_EQ(service->Deactivate(), S_OK);
}

TEST_F(WineFrameworkTest, EditSessionInsertsTextAtTheSelection) {
    Held<ITfDocumentMgr> document;
    ASSERT_EQ(threadMgr_->CreateDocumentMgr(document.out()), S_OK);
    TextStore* store = new TextStore();
    Held<TextStore> storeHolder(store);
    Held<ITfContext> context;
    TfEditCookie storeCookie = 0;
    ASSERT_EQ(document->CreateContext(clientId_, 0, static_cast<ITextStoreACP*>(store),
                                      context.out(), &storeCookie),
              S_OK);
    ASSERT_EQ(document->Push(context.get()), S_OK);

    const std::wstring word = L"\u0986\u09AE\u09BF";  // আমি
    ITfContext* target = context.get();
    const EditSessionResult result = RequestEditSession(
        target, clientId_,
        [target, word](TfEditCookie cookie) {
            Held<ITfInsertAtSelection> insert;
            HRESULT hr = target->QueryInterface(IID_ITfInsertAtSelection,
                                                reinterpret_cast<void**>(insert.out()));
            if (FAILED(hr)) return hr;
            Held<ITfRange> range;
            return insert->InsertTextAtSelection(cookie, TF_IAS_NOQUERY, word.c_str(),
                                                 static_cast<LONG>(word.size()), range.out());
        },
        WhenRefused::RetryAsync);
    EXPECT_EQ(result.request, S_OK);
    EXPECT_EQ(result.session, S_OK);
    EXPECT_EQ(store->text, word);

    document->Pop(TF_POPF_ALL);
}

}  // namespace
}  // namespace qorva_tsf
