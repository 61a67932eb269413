// The universal program's host in the test's own thread under Wine: its hidden main window with
// the real window procedure, the tray icons behind a recorder in place of Shell_NotifyIconW, a
// private per-user data folder, and the means to read a popup menu without opening it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/message_pump.h"
#include "tests/support/temp_app_data.h"
#include "universal/mode_target.h"

namespace qorva_test {

// One call of Shell_NotifyIconW as the program made it.
struct NotifyCall {
    DWORD message = 0;
    UINT id = 0;
    UINT flags = 0;
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    std::wstring tip;
};

// The menu's entries, one line each: "<id> <text>" with " [x]" when checked, "---" for a
// separator, "> <text>" for a submenu followed by its entries indented by two spaces.
std::vector<std::wstring> MenuLines(HMENU menu);

// The text of the entry with this command anywhere in the menu; empty when there is none.
std::wstring MenuText(HMENU menu, UINT command);

class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Both tray icons, as the program adds them at start.
    void AddTrayIcons();
    // Whether the tray accepts new icons; Explorer not running yet refuses them.
    void AcceptNewIcons(bool accept) { acceptAdds_ = accept; }
    const std::vector<NotifyCall>& Calls() const { return calls_; }
    void ForgetCalls() { calls_.clear(); }
    // The tip of the last change of the language-pin icon; empty when there was none.
    std::wstring LastPinTip() const;

    void Post(UINT message, WPARAM wParam, LPARAM lParam);
    // Sets the shared mode as another program would, and waits until its broadcast was handled.
    void SetSharedMode(qorva::ModeTarget mode);
    // The mode toggles ignore a second switch within a quarter second: a test's first switch waits
    // out the previous test's.
    static void WaitOutToggleDebounce();

    std::string Log() const { return ReadFileBytes(appData_.DataFile(L"universal.log")); }

    TempAppData appData_;

private:
    std::vector<NotifyCall> calls_;
    bool acceptAdds_ = true;
};

}  // namespace qorva_test
