#include "tsf/input_scope.h"

// The input scope's identifiers are defined here; the import libraries do not carry them.
#include <initguid.h>
#include <inputscope.h>

#include <algorithm>
#include <iterator>

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
ITfRange* SelectionOrStart(TfEditCookie cookie, ITfContext* context) {
    TF_SELECTION selection{};
    ULONG fetched = 0;
    if (SUCCEEDED(context->GetSelection(cookie, TF_DEFAULT_SELECTION, 1, &selection, &fetched)) &&
        fetched == 1 && selection.range) {
        return selection.range;
    }
    ITfRange* start = nullptr;
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
    ITfInputScope* inputScope = nullptr;
    if (FAILED(value.punkVal->QueryInterface(__uuidof(ITfInputScope),
                                             reinterpret_cast<void**>(&inputScope))) ||
        !inputScope) {
        return false;
    }
    const bool found = DeclaresPrivateScope(inputScope);
    inputScope->Release();
    return found;
}

}  // namespace

bool IsPrivateField(TfEditCookie cookie, ITfContext* context) {
    if (!context) return false;
    ITfProperty* property = nullptr;
    if (FAILED(context->GetProperty(GUID_PROP_INPUTSCOPE, &property)) || !property) return false;
    bool found = false;
    if (ITfRange* range = SelectionOrStart(cookie, context)) {
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(property->GetValue(cookie, range, &value)))
            found = ValueDeclaresPrivateScope(value);
        VariantClear(&value);
        range->Release();
    }
    property->Release();
    return found;
}

}  // namespace qorva_tsf
