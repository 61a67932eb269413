#include "tests/tsf/online_fixture.h"

#include <thread>

#include "tsf/dll_main.h"

namespace qorva_tsf_test {
namespace {

using Clock = std::chrono::steady_clock;

void DeliverPosted() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

const qorva::testing::LoopbackServer& OnlineCompositionTest::Server() {
    return qorva::testing::SharedLoopbackServer();
}

void OnlineCompositionTest::SetUpTestSuite() {
    ASSERT_TRUE(qorva::testing::SharedLoopbackServerUsable());
}

void OnlineCompositionTest::SetUp() {
    // The candidate window and the workers exist only for a module handle; the test program's own
    // stands in for the input processor's.
    savedInstance_ = qorva_tsf::g_hInstance;
    qorva_tsf::g_hInstance = GetModuleHandleW(nullptr);
    online_.transport = qorva::CreatePlatformHttpTransport();
    online_.transliteration = Server().Https();
    online_.translation = Server().Https();
    online_.voice = {Server().Https(), Server().Https(), Server().Https()};
    seenRequests_ = Server().Requests().size();
    CompositionServiceTest::SetUp();
}

void OnlineCompositionTest::TearDown() {
    CompositionServiceTest::TearDown();
    DeliverPosted();  // frees results still queued for windows of this test
    qorva_tsf::g_hInstance = savedInstance_;
}

void OnlineCompositionTest::Reactivate(const std::string& settings) {
    Deactivate();
    appData_.WriteSettings(settings);
    SetEnvironmentVariableW(L"QORVA_CLOUD_TRANSLIT_OFF", nullptr);
    Activate();
}

std::vector<qorva::testing::LoopbackRequest> OnlineCompositionTest::NewRequests() const {
    std::vector<qorva::testing::LoopbackRequest> all = Server().Requests();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), seenRequests_)),
            all.end()};
}

bool OnlineCompositionTest::PumpUntil(const std::function<bool()>& done,
                                      std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        DeliverPosted();
        if (done()) return true;
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void OnlineCompositionTest::PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

bool OnlineCompositionTest::WaitForPosted(UINT kind, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    MSG message;
    while (!PeekMessageW(&message, nullptr, kind, kind, PM_NOREMOVE)) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool OnlineCompositionTest::DeliverOne(UINT kind, std::chrono::milliseconds limit) {
    if (!WaitForPosted(kind, limit)) return false;
    MSG message;
    PeekMessageW(&message, nullptr, kind, kind, PM_REMOVE);
    DispatchMessageW(&message);
    return true;
}

void OnlineCompositionTest::PressWithCtrlAlt(WPARAM key) {
    BYTE keyboard[256] = {};
    keyboard[VK_CONTROL] = keyboard[VK_MENU] = 0x80;
    SetKeyboardState(keyboard);
    threadMgr_->Press(key);
    const BYTE released[256] = {};
    SetKeyboardState(const_cast<BYTE*>(released));
}

}  // namespace qorva_tsf_test
