// The identities under which the text input processor is registered with COM and the Text Services
// Framework, as text and numbers, without the platform's headers: registration uses them, and the
// settings program names the same registry keys when it removes the profile from the layout list.
#pragma once

#include <cstdint>

namespace qorva_tsf {

// The text service's class id, as registry key names spell it.
constexpr wchar_t kClassIdText[] = L"{6E2D81C4-3A95-4B17-8D60-F1C2A7E94B35}";
// The language profile's id (GUID_BanglaProfile), as registry key names spell it.
constexpr wchar_t kProfileIdText[] = L"{9C47E0B2-5D18-4F63-A2B9-3E8D6C1F70A4}";
// Bengali (Bangladesh), the one language the profile is registered for.
constexpr uint16_t kBengaliBangladesh = 0x0845;

}  // namespace qorva_tsf
