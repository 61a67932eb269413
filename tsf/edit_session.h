// Document edits. TSF lets a text service read or change a document only inside an edit session
// that the document grants, either at once (synchronous) or later, after the requesting key
// handler has returned. Every change is therefore a callable that receives the edit cookie.
#pragma once

#include <windows.h>
#include <msctf.h>

#include <functional>
#include <string>

#include "tsf/com_object.h"

namespace qorva_tsf {

// The document cannot grant a synchronous session now (TF_E_SYNCHRONOUS).
constexpr HRESULT kSynchronousRefused = static_cast<HRESULT>(0x80040208L);

using EditAction = std::function<HRESULT(TfEditCookie)>;

class EditSessionBase : public ComObject<ITfEditSession> {
public:
    STDMETHODIMP DoEditSession(TfEditCookie cookie) override = 0;

protected:
    // Holds one reference on the context while the session lives; a null context stays null.
    explicit EditSessionBase(ITfContext* context) : context_(context) {}
    ~EditSessionBase() override = default;

    ITfContext* Context() const { return context_.Get(); }

private:
    ComPtr<ITfContext> context_;
};

// Runs an arbitrary action when the session is granted. A session granted later still has its
// action and its context: TSF keeps its own reference while the session is queued.
class ActionEditSession final : public EditSessionBase {
public:
    ActionEditSession(ITfContext* context, EditAction action);

    // The action runs inside the application's call into TSF: whatever it throws ends here and
    // becomes E_FAIL.
    STDMETHODIMP DoEditSession(TfEditCookie cookie) override;

private:
    ~ActionEditSession() override;

    EditAction action_;
};

// What to do when the document refuses a synchronous session.
enum class WhenRefused {
    Drop,        // the edit is not made
    RetryAsync,  // ask again for a read-write session that TSF may run at once or later
};

struct EditSessionResult {
    HRESULT request = S_OK;  // what RequestEditSession returned
    HRESULT session = S_OK;  // the session's own result (TF_S_ASYNC while it is queued)
};

// Requests a synchronous read-write session for the action, and, when asked to, an asynchronous
// one when the document refuses. A refusal shows either in the call's result or in the session
// result while the call itself succeeds; both count. `initialSessionResult` is what the session
// result reads when the document never sets it.
EditSessionResult RequestEditSession(ITfContext* context, TfClientId clientId, EditAction action,
                                     WhenRefused whenRefused, HRESULT initialSessionResult = S_OK);

// Inside an edit session: puts the text at the document's selection, replacing what is selected.
HRESULT InsertTextAtSelection(ITfContext* context, TfEditCookie cookie, const std::wstring& text);

}  // namespace qorva_tsf
