#include "tests/settings/dashboard_fixture.h"

#include "common/text.h"
#include "settings/dashboard_window.h"

namespace qorva_test {

StubRecord::StubRecord() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"qorva_stub_record_" + std::to_wstring(GetCurrentProcessId()) +
            L".txt";
    DeleteFileW(path_.c_str());
    SetEnvironmentVariableW(L"QORVA_STUB_RECORD", path_.c_str());
}

StubRecord::~StubRecord() {
    SetEnvironmentVariableW(L"QORVA_STUB_RECORD", nullptr);
    DeleteFileW(path_.c_str());
}

std::vector<std::wstring> StubRecord::Lines() const {
    const std::wstring text = qorva::Utf8ToUtf16(ReadFileBytes(path_));
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool StubRecord::Has(const std::wstring& line) const {
    for (const std::wstring& recorded : Lines()) {
        if (recorded == line) return true;
    }
    return false;
}

bool StubRecord::WaitFor(const std::wstring& line, size_t count) const {
    return PumpUntil([&] {
        size_t seen = 0;
        for (const std::wstring& recorded : Lines()) seen += recorded == line;
        return seen >= count;
    });
}

DashboardTest::~DashboardTest() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    PumpUntil([] { return true; });  // takes the WM_QUIT of the window's end out of the queue
    qorva::UpdateCallsInUse() = qorva::ServiceUpdateCalls();
}

HWND DashboardTest::Open(qorva::SectionID section) {
    ForgetPumpedQuit();
    window_ = qorva::CreateDashboardWindow(GetModuleHandleW(nullptr), section);
    EXPECT_NE(window_, nullptr);
    return window_;
}

std::wstring DashboardTest::Text(int id) const {
    wchar_t text[512] = {};
    GetWindowTextW(Item(id), text, 512);
    return text;
}

bool DashboardTest::QuitPosted() const {
    PumpUntil([] { return true; });
    return PumpedQuit();
}

bool StartProgram(const std::wstring& program, const std::wstring& arguments,
                  PROCESS_INFORMATION& process) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process) != FALSE;
}

std::wstring UniversalStubPath() { return qorva::Utf8ToUtf16(QORVA_UNIVERSAL_STUB); }
std::wstring InstallerStubPath() { return qorva::Utf8ToUtf16(QORVA_INSTALLER_STUB); }

}  // namespace qorva_test
