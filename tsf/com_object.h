// The one IUnknown of the module's COM objects (text service, class factory, edit sessions), and
// how the module holds references to other people's COM objects.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include "common/call_guarded.h"
#include "tsf/dll_main.h"

namespace qorva_tsf {

using Microsoft::WRL::ComPtr;

// Takes over the one reference a new object starts with. mingw-w64's ComPtr::Attach adds a
// reference of its own (Microsoft's does not), so it is never used for that.
template <typename T>
ComPtr<T> AdoptReference(T* object) {
    ComPtr<T> held;
    *held.GetAddressOf() = object;
    return held;
}

// Reference counting with interlocked operations, starting at 1; the object deletes itself at 0.
// QueryInterface answers the listed interfaces and IUnknown (as the first one): E_INVALIDARG for a
// null out pointer, E_NOINTERFACE with the out pointer nulled for any other interface. No object
// of the module can be aggregated. Every object alive counts once on the module, so that
// DllCanUnloadNow keeps the module loaded while any of them is reachable.
template <typename Primary, typename... Others>
class ComObject : public Primary, public Others... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override {
        if (!out) return E_INVALIDARG;
        *out = IsEqualIID(interfaceId, IID_IUnknown) ? static_cast<Primary*>(this)
                                                     : Find<Primary, Others...>(interfaceId);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    STDMETHODIMP_(ULONG) AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refCount_));
    }

    STDMETHODIMP_(ULONG) Release() override {
        const LONG count = InterlockedDecrement(&refCount_);
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

protected:
    ComObject() { ModuleAddRef(); }
    virtual ~ComObject() { ModuleRelease(); }

private:
    // The first of the listed interfaces with this id; null when none has it.
    template <typename Interface, typename... Rest>
    void* Find(REFIID interfaceId) {
        if (IsEqualIID(interfaceId, __uuidof(Interface))) return static_cast<Interface*>(this);
        if constexpr (sizeof...(Rest) > 0) {
            return Find<Rest...>(interfaceId);
        } else {
            return nullptr;
        }
    }

    LONG refCount_ = 1;
};

// The body of a COM method that the host application calls. Nothing may unwind into the host:
// whatever the body throws ends here, and the caller is told the call failed.
template <typename Body>
HRESULT GuardedMethod(Body&& body) noexcept {
    return qorva::CallGuarded<HRESULT>(E_UNEXPECTED, [&] {
        body();
        return S_OK;
    });
}

}  // namespace qorva_tsf
