// The user's language list in the registry ("Control Panel\International\User Profile", value
// "Languages", REG_MULTI_SZ) as it is left when the input method is prepared for removal: the
// Bengali entries go, and a list left empty holds English (United States).
#pragma once

#include <string>

namespace qorva::universal {

// `stored` holds the UTF-16 units read from the value; its strings are taken up to the first empty
// one. The result is the value to write: each kept string with its NUL, then one more NUL. Only
// "bn-BD", "bn" and "bn-IN" go, compared exactly ("BN-BD" stays).
std::wstring LanguageListWithoutBengali(const std::wstring& stored);

}  // namespace qorva::universal
