// What the tests of the online helpers share: the composition tests' text service with a candidate
// window, its online clients pointed at the loopback server, and the window's posted results
// delivered on request.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/loopback_server_client.h"
#include "tests/tsf/composition_fixture.h"

namespace qorva_tsf_test {

class OnlineCompositionTest : public CompositionServiceTest {
protected:
    static void SetUpTestSuite();
    static const qorva::testing::LoopbackServer& Server();

    void SetUp() override;
    void TearDown() override;

    // Activates the service again with this settings.json, online transliteration no longer forced
    // off by the environment.
    void Reactivate(const std::string& settings);
    // What the server received since the test began.
    std::vector<qorva::testing::LoopbackRequest> NewRequests() const;
    // Delivers the thread's posted messages until `done` holds; false after `limit`, which only
    // keeps a broken client from hanging the run.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Delivers the thread's messages for this long.
    void PumpFor(std::chrono::milliseconds duration);
    // Waits, delivering nothing, until a message of this kind is queued for the thread.
    bool WaitForPosted(UINT message, std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Waits for one posted message of this kind and delivers it alone.
    bool DeliverOne(UINT message, std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Ctrl+Alt with the key, released afterwards.
    void PressWithCtrlAlt(WPARAM key);

private:
    HINSTANCE savedInstance_ = nullptr;
    size_t seenRequests_ = 0;
};

}  // namespace qorva_tsf_test
