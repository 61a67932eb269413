// Per-user COM registration of the text service and its registration with the Text Services
// Framework as a keyboard input processor for Bengali (Bangladesh).
#pragma once

#include <windows.h>

#include "tsf/profile_ids.h"

namespace qorva_tsf {

extern const CLSID CLSID_BanglaTextService;
extern const GUID GUID_BanglaProfile;

constexpr wchar_t kDisplayName[] = L"Qorva (কোর্ভা)";

// Writes the class key and its InprocServer32 key under HKEY_CURRENT_USER only.
HRESULT RegisterCOMServer(HINSTANCE module);
HRESULT UnregisterCOMServer();

// Needs COM initialised on the calling thread. Steps that fail are skipped, so S_OK can stand for
// an incomplete registration.
HRESULT RegisterTSFProfiles(HINSTANCE module);
HRESULT UnregisterTSFProfiles();

}  // namespace qorva_tsf
