#include "tsf/edit_session.h"

#include <new>
#include <utility>

#include "tsf/dll_main.h"

namespace qorva_tsf {

EditSessionBase::EditSessionBase(ITfContext* context) : context_(context) {
    if (context_) context_->AddRef();
    ModuleAddRef();
}

EditSessionBase::~EditSessionBase() {
    if (context_) context_->Release();
    ModuleRelease();
}

STDMETHODIMP EditSessionBase::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_ITfEditSession)) {
        *out = static_cast<ITfEditSession*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EditSessionBase::AddRef() { return InterlockedIncrement(&refCount_); }

STDMETHODIMP_(ULONG) EditSessionBase::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0) delete this;
    return count;
}

ActionEditSession::ActionEditSession(ITfContext* context, EditAction action)
    : EditSessionBase(context), action_(std::move(action)) {}

// Members go before the base: the action (which may hold the last copy of what it captured) is
// destroyed before the context is released.
ActionEditSession::~ActionEditSession() = default;

STDMETHODIMP ActionEditSession::DoEditSession(TfEditCookie cookie) {
    if (!action_) return S_OK;
    return action_(cookie);
}

namespace {

constexpr DWORD kSyncReadWrite = TF_ES_SYNC | TF_ES_READWRITE;

bool RefusedSynchronously(const EditSessionResult& result) {
    return result.request == kSynchronousRefused || result.session == kSynchronousRefused;
}

}  // namespace

EditSessionResult RequestEditSession(ITfContext* context, TfClientId clientId, EditAction action,
                                     WhenRefused whenRefused, HRESULT initialSessionResult) {
    EditSessionResult result;
    if (!context) return {E_INVALIDARG, E_FAIL};
    ActionEditSession* session = new (std::nothrow) ActionEditSession(context, std::move(action));
    if (!session) return {E_OUTOFMEMORY, E_FAIL};

    result.session = initialSessionResult;
    result.request =
        context->RequestEditSession(clientId, session, kSyncReadWrite, &result.session);
    if (whenRefused == WhenRefused::RetryAsync && RefusedSynchronously(result)) {
        result.session = initialSessionResult;
        result.request =
            context->RequestEditSession(clientId, session, TF_ES_READWRITE, &result.session);
    }
    session->Release();
    return result;
}

HRESULT InsertTextAtSelection(ITfContext* context, TfEditCookie cookie, const std::wstring& text) {
    ITfInsertAtSelection* insert = nullptr;
    if (FAILED(
            context->QueryInterface(IID_ITfInsertAtSelection, reinterpret_cast<void**>(&insert))) ||
        !insert) {
        return E_FAIL;
    }
    ITfRange* range = nullptr;
    const HRESULT result = insert->InsertTextAtSelection(cookie, 0, text.c_str(),
                                                         static_cast<LONG>(text.size()), &range);
    if (range) range->Release();
    insert->Release();
    return result;
}

}  // namespace qorva_tsf
