// What a document field says about itself through its input scope (GUID_PROP_INPUTSCOPE).
#pragma once

#include <windows.h>
#include <msctf.h>

namespace qorva_tsf {

// Whether the field at the selection declares its text private: a password, a PIN or a private
// field. Text typed there must never leave the machine. A field that declares nothing, or whose
// scope cannot be read, is not private. Runs inside an edit session.
bool IsPrivateField(TfEditCookie cookie, ITfContext* context);

}  // namespace qorva_tsf
