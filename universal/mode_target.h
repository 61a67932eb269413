// The typing mode that every process of the user's session shares, as the values the shared block
// holds. Portable, so that the decisions built on it are tested without the window system.
#pragma once

#include <cstdint>

namespace qorva {

// What the typing programs do with typed keys. The block may hold any other value (a newer program
// wrote it); each reader decides what that means for it.
enum class ModeTarget : uint32_t {
    Bangla = 0,
    English = 1,
    BanglishToEnglish = 2,
};

}  // namespace qorva
