// The keyboard side of the text service: reading the modifier and lock state into the portable
// key decision's snapshot.
#pragma once

#include <cstdint>

#include "tsf/key_policy.h"

namespace qorva_tsf {

// The key with the modifiers and NumLock as the thread (or, failing that, the whole system) sees
// them now; the composition facts are left clear.
KeyState ReadKeyState(uint64_t key);

}  // namespace qorva_tsf
