#include "tsf/edit_session.h"

#include <new>
#include <utility>

#include "common/call_guarded.h"

namespace qorva_tsf {

ActionEditSession::ActionEditSession(ITfContext* context, EditAction action)
    : EditSessionBase(context), action_(std::move(action)) {}

// Members go before the base: the action (which may hold the last copy of what it captured) is
// destroyed before the context is released.
ActionEditSession::~ActionEditSession() = default;

STDMETHODIMP ActionEditSession::DoEditSession(TfEditCookie cookie) {
    if (!action_) return S_OK;
    return qorva::CallGuarded<HRESULT>(E_FAIL, [&] { return action_(cookie); });
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
    const ComPtr<ActionEditSession> session =
        AdoptReference(new (std::nothrow) ActionEditSession(context, std::move(action)));
    if (!session) return {E_OUTOFMEMORY, E_FAIL};

    result.session = initialSessionResult;
    result.request =
        context->RequestEditSession(clientId, session.Get(), kSyncReadWrite, &result.session);
    if (whenRefused == WhenRefused::RetryAsync && RefusedSynchronously(result)) {
        result.session = initialSessionResult;
        result.request =
            context->RequestEditSession(clientId, session.Get(), TF_ES_READWRITE, &result.session);
    }
    return result;
}

HRESULT InsertTextAtSelection(ITfContext* context, TfEditCookie cookie, const std::wstring& text) {
    ComPtr<ITfInsertAtSelection> insert;
    if (FAILED(context->QueryInterface(IID_PPV_ARGS(&insert))) || !insert) return E_FAIL;
    ComPtr<ITfRange> range;
    return insert->InsertTextAtSelection(cookie, 0, text.c_str(), static_cast<LONG>(text.size()),
                                         &range);
}

}  // namespace qorva_tsf
