// The dashboard window running in the test's own thread over a private per-user data folder, with
// the means to drive it: clicks, texts, message boxes answered from a helper thread by caption,
// and a message pump that waits for a condition. Windows only.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/dashboard_sections.h"
#include "tests/support/box_answer.h"
#include "tests/support/message_pump.h"
#include "tests/support/temp_app_data.h"
#include "update/update_calls.h"

namespace qorva_test {

// Lines the program stubs recorded (see stubs/program_stub.cpp).
class StubRecord {
public:
    StubRecord();
    ~StubRecord();
    std::vector<std::wstring> Lines() const;
    bool Has(const std::wstring& line) const;
    // Waits, pumping messages, until the line is recorded `count` times.
    bool WaitFor(const std::wstring& line, size_t count = 1) const;

private:
    std::wstring path_;
};

class DashboardTest : public ::testing::Test {
protected:
    ~DashboardTest() override;

    // Creates the dashboard at `section`; settings.json is read now. The window stays hidden:
    // Wine's text shaping never returns for an independent vowel followed by a ya-phala (অ্যা),
    // which the Keyboard, Appearance and About sections hold, so a test must not paint them.
    HWND Open(qorva::SectionID section = qorva::kSectionDashboard);
    // Whether the control is among those its section shows.
    bool Shown(int id) const { return (GetWindowLongW(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void SetText(int id, const std::wstring& text) const {
        SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::wstring Text(int id) const;
    std::wstring Status() const { return Text(2028); }
    // Whether the dashboard posted WM_QUIT since it was opened (messages waiting are dispatched
    // first).
    bool QuitPosted() const;

    TempAppData appData_;
    HWND window_ = nullptr;
};

// Starts the program with the arguments; the caller closes the handles.
bool StartProgram(const std::wstring& program, const std::wstring& arguments,
                  PROCESS_INFORMATION& process);

// The stubs' paths, set by the build.
std::wstring UniversalStubPath();
std::wstring InstallerStubPath();

}  // namespace qorva_test
