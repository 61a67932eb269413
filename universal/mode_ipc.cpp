#include "universal/mode_ipc.h"

#include <utility>

namespace qorva {
namespace {

constexpr DWORD kBlockBytes = sizeof(ModeSharedBlock);

}  // namespace

ModeIpc& ModeIpc::Instance() {
    // Built on first use; its destructor runs at process exit, or when the module holding it
    // unloads.
    static ModeIpc instance(kModeBlockName);
    return instance;
}

ModeIpc::ModeIpc(std::wstring blockName) : name(std::move(blockName)) { EnsureMapped(); }

ModeIpc::~ModeIpc() {
    if (view) {
        UnmapViewOfFile(view);
        view = nullptr;
    }
    if (mapping) {
        CloseHandle(mapping);
        mapping = nullptr;
    }
}

void ModeIpc::EnsureMapped() {
    if (view) return;
    // A handle left from an attempt whose view failed is closed first, so retries do not pile up
    // handles.
    if (mapping) {
        CloseHandle(mapping);
        mapping = nullptr;
    }

    // A NULL DACL lets processes of every integrity level of the session share the block.
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};

    mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, kBlockBytes,
                                 name.c_str());
    const bool created = mapping != nullptr;
    const bool existedBefore = GetLastError() == ERROR_ALREADY_EXISTS;
    if (!created) {
        mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
        if (!mapping) return;
    }
    view = static_cast<ModeSharedBlock*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kBlockBytes));
    if (!view || !created || existedBefore) return;

    // Only the process that brought the block into being writes its first contents.
    view->counter = 1;
    const uint64_t magicAndTarget =
        static_cast<uint64_t>(kModeBlockMagic) |
        (static_cast<uint64_t>(static_cast<uint32_t>(ModeTarget::English)) << 32);
    *reinterpret_cast<volatile uint64_t*>(view) = magicAndTarget;
}

void ModeIpc::SetMode(ModeTarget target) {
    EnsureMapped();
    cachedTarget = static_cast<uint32_t>(target);
    if (view) {
        view->target = cachedTarget;
        InterlockedIncrement(&view->counter);
    }
    const ModeTarget stored = GetMode();
    PostMessageW(HWND_BROADCAST, GetBroadcastMessage(), static_cast<WPARAM>(stored), 0);
}

UINT ModeIpc::GetBroadcastMessage() {
    static const UINT message = RegisterWindowMessageW(L"QorvaConversionModeChangedMessage");
    return message;
}

UINT ModeIpc::GetShowTopBarMessage() {
    static const UINT message = RegisterWindowMessageW(L"QorvaShowTopBarMessage");
    return message;
}

UINT ModeIpc::GetResetTopBarMessage() {
    static const UINT message = RegisterWindowMessageW(L"QorvaResetTopBarMessage");
    return message;
}

}  // namespace qorva
