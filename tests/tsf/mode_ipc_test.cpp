// The typing mode shared through the named block: its layout, its accessors and its broadcast,
// within one process and between two.
#include "universal/mode_ipc.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "tsf/composition_mgr.h"

namespace {

using qorva::ModeIpc;
using qorva::ModeTarget;

std::wstring TestBlockName() {
    static int serial = 0;
    return L"Local\\QorvaModeTest_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(++serial);
}

// The 12 bytes of a block as another program sees them.
std::optional<std::array<uint8_t, 12>> ReadBlock(const std::wstring& name) {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
    if (!mapping) return std::nullopt;
    std::optional<std::array<uint8_t, 12>> bytes;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 12)) {
        bytes.emplace();
        std::memcpy(bytes->data(), view, 12);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return bytes;
}

uint32_t Field(const std::array<uint8_t, 12>& bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

// A hidden top-level window: the broadcast reaches every top-level window of the session.
class BroadcastListener {
public:
    BroadcastListener() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QorvaModeTestListener";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~BroadcastListener() {
        if (window_) DestroyWindow(window_);
    }
    bool Ready() const { return window_ != nullptr; }

    // The wParam of the next mode broadcast; none when nothing arrives within the bound.
    std::optional<WPARAM> Next(DWORD boundMs = 20000) {
        const ULONGLONG deadline = GetTickCount64() + boundMs;
        do {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == ModeIpc::GetBroadcastMessage()) return message.wParam;
                DispatchMessageW(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        } while (GetTickCount64() < deadline);
        return std::nullopt;
    }

private:
    HWND window_ = nullptr;
};

TEST(ModeIpcTest, CreatorWritesMagicEnglishAndCounterOne) {
    const std::wstring name = TestBlockName();
    ModeIpc creator(name);
    ASSERT_TRUE(creator.IsMapped());
    const auto bytes = ReadBlock(name);
    ASSERT_TRUE(bytes);
    EXPECT_EQ((*bytes)[0], 0x56);
    EXPECT_EQ((*bytes)[1], 0x52);
    EXPECT_EQ((*bytes)[2], 0x4F);
    EXPECT_EQ((*bytes)[3], 0x51);
    EXPECT_EQ(Field(*bytes, 4), 1u);
    EXPECT_EQ(Field(*bytes, 8), 1u);
    EXPECT_EQ(creator.GetMode(), ModeTarget::English);
}

TEST(ModeIpcTest, LaterAccessorSeesTheBlockAsItIsAndEveryWriteCounts) {
    const std::wstring name = TestBlockName();
    ModeIpc creator(name);
    creator.SetMode(ModeTarget::Bangla);
    ModeIpc later(name);
    EXPECT_EQ(later.GetMode(), ModeTarget::Bangla);
    later.SetMode(ModeTarget::BanglishToEnglish);
    EXPECT_EQ(creator.GetMode(), ModeTarget::BanglishToEnglish);
    const auto bytes = ReadBlock(name);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(Field(*bytes, 8), 3u);
}

TEST(ModeIpcTest, WithoutBlockTheProcessKeepsItsOwnMode) {
    ModeIpc lonely(L"NoSuchNamespace\\QorvaModeTest");
    ASSERT_FALSE(lonely.IsMapped());
    EXPECT_EQ(lonely.GetMode(), ModeTarget::English);
    lonely.SetMode(ModeTarget::Bangla);
    EXPECT_EQ(lonely.GetMode(), ModeTarget::Bangla);
    EXPECT_FALSE(lonely.IsMapped());
}

TEST(ModeIpcTest, MessagesAreRegisteredOncePerName) {
    EXPECT_NE(ModeIpc::GetBroadcastMessage(), 0u);
    EXPECT_EQ(ModeIpc::GetBroadcastMessage(),
              RegisterWindowMessageW(L"QorvaConversionModeChangedMessage"));
    EXPECT_EQ(ModeIpc::GetShowTopBarMessage(), RegisterWindowMessageW(L"QorvaShowTopBarMessage"));
    EXPECT_EQ(ModeIpc::GetResetTopBarMessage(), RegisterWindowMessageW(L"QorvaResetTopBarMessage"));
}

TEST(ModeIpcTest, EveryWriteIsBroadcastWithTheStoredValue) {
    BroadcastListener listener;
    ASSERT_TRUE(listener.Ready());
    ModeIpc accessor(TestBlockName());
    accessor.SetMode(ModeTarget::BanglishToEnglish);
    const auto value = listener.Next();
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, 2u);
}

#ifdef QORVA_MODE_PEER
// Another process toggles with Ctrl+Alt+E; this one sees the broadcast and, at its next key, the
// new target.
TEST(ModeSharingTest, ToggleInAnotherProcessReachesThisOne) {
    ModeIpc::Instance().SetMode(ModeTarget::English);
    qorva_tsf::CompositionManager manager(nullptr);
    manager.SyncConversionTargetFromIpc();
    ASSERT_EQ(manager.Target(), qorva_tsf::CandidateConversionTarget::English);
    BroadcastListener listener;
    ASSERT_TRUE(listener.Ready());

    std::wstring commandLine = L"\"" QORVA_MODE_PEER L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(exitCode, 0u);

    const auto value = listener.Next();
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, 0u);
    EXPECT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::Bangla);
    manager.SyncConversionTargetFromIpc();
    EXPECT_EQ(manager.Target(), qorva_tsf::CandidateConversionTarget::Bangla);
}
#endif

}  // namespace
