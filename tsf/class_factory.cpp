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

STDMETHODIMP BanglaClassFactory::CreateInstance(IUnknown* outer, REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    const ComPtr<TextService> service = AdoptReference(TextService::Create(makeHandler_));
    if (!service) return E_OUTOFMEMORY;
    // An interface the service does not answer leaves no object alive.
    return service->QueryInterface(interfaceId, out);
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
    const auto factory = qorva_tsf::AdoptReference(
        qorva_tsf::CreateClassFactory(qorva_tsf::kModuleCompositionHandler));
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(interfaceId, out);
}

STDAPI DllCanUnloadNow() { return qorva_tsf::IsModuleInUse() ? S_FALSE : S_OK; }
