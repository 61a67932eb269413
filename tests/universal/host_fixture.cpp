#include "tests/universal/host_fixture.h"

#include "tests/universal/dialog_driver.h"

#include "universal/mode_ipc.h"
#include "universal/mode_toggle_rules.h"
#include "universal/universal_host.h"
#include "update/update_calls.h"

namespace qorva_test {
namespace {

using qorva::universal::g_window;

void AppendLines(HMENU menu, const std::wstring& indent, std::vector<std::wstring>& lines) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, position, TRUE, &info)) {
            lines.push_back(indent + L"(unreadable)");
        } else if (info.fType & MFT_SEPARATOR) {
            lines.push_back(indent + L"---");
        } else if (info.hSubMenu) {
            lines.push_back(indent + L"> " + text);
            AppendLines(info.hSubMenu, indent + L"  ", lines);
        } else {
            lines.push_back(indent + std::to_wstring(info.wID) + L" " + text +
                            ((info.fState & MFS_CHECKED) ? L" [x]" : L""));
        }
    }
}

}  // namespace

std::vector<std::wstring> MenuLines(HMENU menu) {
    std::vector<std::wstring> lines;
    if (menu) AppendLines(menu, L"", lines);
    return lines;
}

std::wstring MenuText(HMENU menu, UINT command) {
    wchar_t text[256] = {};
    return GetMenuStringW(menu, command, text, 256, MF_BYCOMMAND) > 0 ? text : L"";
}

void HostTest::SetUp() {
    StartGdiplusOnce();
    qorva::universal::g_instance = GetModuleHandleW(nullptr);
    qorva::universal::TrayNotifierInUse() = [this](DWORD message, NOTIFYICONDATAW& data) {
        NotifyCall call;
        call.message = message;
        call.id = data.uID;
        call.flags = data.uFlags;
        call.callbackMessage = data.uCallbackMessage;
        call.icon = data.hIcon;
        call.tip = data.szTip;
        calls_.push_back(call);
        return message != NIM_ADD || acceptAdds_;
    };
    ASSERT_TRUE(qorva::universal::CreateMainWindow());
    ForgetPumpedQuit();
}

void HostTest::TearDown() {
    qorva::universal::RemoveTrayIcons();
    qorva::universal::StopTimers();
    if (g_window && IsWindow(g_window)) DestroyWindow(g_window);
    PumpUntil([] { return true; });  // takes the WM_QUIT of the window's end out of the queue
    g_window = nullptr;
    qorva::universal::TrayNotifierInUse() = nullptr;
    qorva::UpdateCallsInUse() = qorva::ServiceUpdateCalls();
    qorva::universal::g_latest_update_version.clear();
    qorva::universal::g_latest_update_url.clear();
}

void HostTest::AddTrayIcons() {
    qorva::universal::AddHotkeyTrayIcon();
    qorva::universal::AddLanguagePinTrayIcon();
}

std::wstring HostTest::LastPinTip() const {
    for (auto call = calls_.rbegin(); call != calls_.rend(); ++call) {
        if (call->message == NIM_MODIFY && call->id == 2) return call->tip;
    }
    return L"";
}

void HostTest::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    ASSERT_TRUE(PostMessageW(g_window, message, wParam, lParam));
}

void HostTest::SetSharedMode(qorva::ModeTarget mode) {
    qorva::ModeIpc::Instance().SetMode(mode);
    // The broadcast was posted to every top-level window before SetMode returned.
    PumpUntil([] { return true; });
}

void HostTest::WaitOutToggleDebounce() { Sleep(qorva::universal::ToggleClocks::kQuietMs + 10); }

}  // namespace qorva_test
