#include "tsf/class_factory.h"

#include <new>

#include "tsf/composition_handler.h"
#include "tsf/dll_main.h"
#include "tsf/register.h"

namespace qorva_tsf {
namespace {

// The composition logic that text services made through DllGetClassObject embed.
constexpr CompositionHandlerFactory kModuleCompositionHandler = MakeManagedCompositionHandler;

}  // namespace

BanglaClassFactory::BanglaClassFactory(CompositionHandlerFactory makeHandler)
    : makeHandler_(makeHandler) {
    ModuleAddRef();
}

BanglaClassFactory::~BanglaClassFactory() { ModuleRelease(); }

STDMETHODIMP BanglaClassFactory::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (!IsEqualIID(interfaceId, IID_IUnknown) && !IsEqualIID(interfaceId, IID_IClassFactory)) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) BanglaClassFactory::AddRef() { return InterlockedIncrement(&refCount_); }

STDMETHODIMP_(ULONG) BanglaClassFactory::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0) delete this;
    return count;
}

STDMETHODIMP BanglaClassFactory::CreateInstance(IUnknown* outer, REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    TextService* service = TextService::Create(makeHandler_);
    if (!service) return E_OUTOFMEMORY;
    // An interface the service does not answer leaves no object alive.
    const HRESULT result = service->QueryInterface(interfaceId, out);
    service->Release();
    return result;
}

STDMETHODIMP BanglaClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ModuleAddRef();
    } else {
        ModuleRelease();
    }
    return S_OK;
}

BanglaClassFactory* CreateClassFactory(CompositionHandlerFactory makeHandler) {
    return new (std::nothrow) BanglaClassFactory(makeHandler);
}

}  // namespace qorva_tsf

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, LPVOID* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (!IsEqualCLSID(classId, qorva_tsf::CLSID_BanglaTextService))
        return CLASS_E_CLASSNOTAVAILABLE;
    qorva_tsf::BanglaClassFactory* factory =
        qorva_tsf::CreateClassFactory(qorva_tsf::kModuleCompositionHandler);
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(interfaceId, out);
    factory->Release();
    return result;
}

STDAPI DllCanUnloadNow() { return qorva_tsf::IsModuleInUse() ? S_FALSE : S_OK; }
