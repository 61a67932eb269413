// The typing mode that every process of the user's session shares: the universal typing program,
// each application in which the text input processor runs, and the settings program. It lives in a
// 12-byte named shared-memory block; each change is announced with a registered window message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "universal/mode_target.h"

namespace qorva {

// The block's layout, little-endian; nothing checks `magic` or reads `counter`, but both belong to
// the format that every program version shares.
struct ModeSharedBlock {
    uint32_t magic;
    uint32_t target;
    volatile LONG counter;
};
static_assert(sizeof(ModeSharedBlock) == 12, "the shared block is exactly 12 bytes");

constexpr uint32_t kModeBlockMagic = 0x514F5256;  // 'QORV'
constexpr wchar_t kModeBlockName[] = L"Local\\Qorva_Mode_Shared_Memory_v1";

class ModeIpc {
public:
    // The process's accessor of the session's block; unmapped when the process (or the module that
    // holds it) goes away.
    static ModeIpc& Instance();

    // An accessor of the block with this name; Instance uses the session's block.
    explicit ModeIpc(std::wstring blockName);
    ~ModeIpc();
    ModeIpc(const ModeIpc&) = delete;
    ModeIpc& operator=(const ModeIpc&) = delete;

    // Maps the block, creating it when no process has it yet; a failure leaves it unmapped, and the
    // next access tries again.
    void EnsureMapped();
    bool IsMapped() const { return view != nullptr; }

    // The stored target, or the last one this process wrote while the block cannot be had.
    ModeTarget GetMode() {
        EnsureMapped();
        return static_cast<ModeTarget>(view ? view->target : cachedTarget);
    }
    // Stores the target, counts the change and announces it to every top-level window.
    void SetMode(ModeTarget target);

    static UINT GetBroadcastMessage();
    static UINT GetShowTopBarMessage();
    static UINT GetResetTopBarMessage();

private:
    const std::wstring name;
    HANDLE mapping = nullptr;
    ModeSharedBlock* view = nullptr;
    uint32_t cachedTarget = static_cast<uint32_t>(ModeTarget::English);
};

}  // namespace qorva
