#include "tsf/input_scope.h"

// The input scope's identifiers are defined here; the import libraries do not carry them.
#include <initguid.h>
#include <inputscope.h>

#include <algorithm>
#include <iterator>

#include "tsf/com_object.h"

namespace qorva_tsf {
namespace {

constexpr InputScope kPrivateScopes[] = {IS_PASSWORD,         IS_PRIVATE,
                                         IS_NUMERIC_PASSWORD, IS_NUMERIC_PIN,
                                         IS_ALPHANUMERIC_PIN, IS_ALPHANUMERIC_PIN_SET};

bool IsPrivateScope(InputScope scope) {
    return std::find(std::begin(kPrivateScopes), std::end(kPrivateScopes), scope) !=
           std::end(kPrivateScopes);
}

// The first selection's range, or the document's start when there is no selection.
ComPtr<ITfRange> SelectionOrStart(TfEditCookie cookie, ITfContext* context) {
    TF_SELECTION selection{};
    ULONG fetched = 0;
    if (SUCCEEDED(context->GetSelection(cookie, TF_DEFAULT_SELECTION, 1, &selection, &fetched)) &&
        fetched == 1 && selection.range) {
        return AdoptReference(selection.range);
    }
    ComPtr<ITfRange> start;
    if (FAILED(context->GetStart(cookie, &start))) return nullptr;
    return start;
}

bool DeclaresPrivateScope(ITfInputScope* inputScope) {
    InputScope* scopes = nullptr;
    UINT count = 0;
    if (FAILED(inputScope->GetInputScopes(&scopes, &count)) || !scopes) return false;
    const bool found = std::any_of(scopes, scopes + count, IsPrivateScope);
    CoTaskMemFree(scopes);
    return found;
}

bool ValueDeclaresPrivateScope(const VARIANT& value) {
    if (value.vt != VT_UNKNOWN || !value.punkVal) return false;
    ComPtr<ITfInputScope> inputScope;
    return SUCCEEDED(value.punkVal->QueryInterface(IID_PPV_ARGS(&inputScope))) && inputScope &&
           DeclaresPrivateScope(inputScope.Get());
}

}  // namespace

bool IsPrivateField(TfEditCookie cookie, ITfContext* context) {
    if (!context) return false;
    ComPtr<ITfProperty> property;
    if (FAILED(context->GetProperty(GUID_PROP_INPUTSCOPE, &property)) || !property) return false;
    const ComPtr<ITfRange> range = SelectionOrStart(cookie, context);
    if (!range) return false;
    VARIANT value;
    VariantInit(&value);
    const bool found = SUCCEEDED(property->GetValue(cookie, range.Get(), &value)) &&
                       ValueDeclaresPrivateScope(value);
    VariantClear(&value);
    return found;
}

}  // namespace qorva_tsf
