// The dashboard window under Wine: the real program's command line, the checks from settings.json,
// Save and the Run value, the habit reset, the top-bar commands against stand-ins of the universal
// program, Clean Layout, and the word list.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/text.h"
#include "settings/dashboard_window.h"
#include "settings/settings_file.h"
#include "tests/settings/dashboard_fixture.h"
#include "tests/support/read_only_mark.h"
#include "tests/support/run_value.h"
#include "universal/instance_control.h"
#include "universal/mode_ipc.h"

namespace qorva_test {
namespace {

using qorva::kSectionDashboard;
using qorva::kSectionDictionary;
using qorva::kSectionSuggestions;

constexpr wchar_t kSaved[] = L"✅ সেটিংস সফলভাবে সংরক্ষণ করা হয়েছে!";
constexpr wchar_t kNotSaved[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json লেখা যায়নি।";
constexpr wchar_t kReadOnly[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json শুধু-পঠনযোগ্য (read-only), তাই অপরিবর্তিত "
    L"রাখা হয়েছে।";
constexpr wchar_t kTooLarge[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json অস্বাভাবিক বড় (১ MB-এর বেশি), তাই "
    L"অপরিবর্তিত রাখা হয়েছে।";
constexpr wchar_t kNotUnderstood[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json সেটিংসের ফাইল বলে বোঝা যায়নি, তাই "
    L"অপরিবর্তিত রাখা হয়েছে।";

// Holds a file open the way another program may: others may read it, but neither write nor
// replace it.
class HeldFile {
public:
    explicit HeldFile(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

class DashboardWindowTest : public DashboardTest {
protected:
    RunValueGuard runValue_;

    std::string SettingsBytes() const { return ReadFileBytes(appData_.DataFile(L"settings.json")); }
};

// --- the program and its sections ---

TEST_F(DashboardWindowTest, RealProgramOpensTheSectionItsCommandLineNames) {
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(StartProgram(qorva::Utf8ToUtf16(QORVA_SETTINGS_EXE), L"/dict", process));
    HWND window = nullptr;
    EXPECT_TRUE(PumpUntil([&] {
        window = FindWindowW(qorva::kDashboardClassName, nullptr);
        return window != nullptr && IsWindowVisible(window);
    }));
    if (window) {
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, 2017)));   // the word list
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, 2003)));  // the Typing section
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The program carries its icon as resource 1 and a manifest asking for common controls 6 and
// per-monitor DPI awareness.
TEST_F(DashboardWindowTest, ProgramCarriesItsIconAndManifest) {
    HMODULE program = LoadLibraryExW(qorva::Utf8ToUtf16(QORVA_SETTINGS_EXE).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
    HRSRC manifest = FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(program, manifest))),
                           SizeofResource(program, manifest));
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(text.find(">PerMonitorV2,PerMonitor</dpiAwareness>"), std::string::npos);
    FreeLibrary(program);
}

TEST_F(DashboardWindowTest, ChecksShowTheSettingsFile) {
    appData_.WriteSettings(
        "{\r\n  \"launch_startup\": true,\r\n  \"word_prediction\": false,\r\n"
        "  \"online_suggestions\": true,\r\n  \"max_candidates\": 3,\r\n  \"theme\": 2,\r\n"
        "  \"input_mode\": \"universal\",\r\n  \"topbar_autohide\": false\r\n}\r\n");
    Open(kSectionSuggestions);
    const struct {
        int id;
        bool checked;
    } expected[] = {{2002, true},  {2008, false}, {2032, true},  {2011, true},
                    {2013, false}, {2016, true},  {2014, false}, {2031, true},
                    {2029, false}, {2039, true},  {2001, true},  {2010, false}};
    for (const auto& e : expected) EXPECT_EQ(Checked(e.id), e.checked) << e.id;
    EXPECT_TRUE(Shown(2011));
    EXPECT_FALSE(Shown(2001));
}

// --- Save and Reset to Defaults ---

TEST_F(DashboardWindowTest, SaveWritesTheWholeFileAndKeepsTheRunValueInStep) {
    Open();
    Click(2002);  // Start with Windows
    Click(2026);
    EXPECT_EQ(Status(), kSaved);
    qorva::DashboardSettings expected;
    expected.launchStartup = true;
    expected.showTopbar = false;  // box 2039 starts cleared while the bar hides itself
    const std::string bytes = SettingsBytes();
    EXPECT_EQ(bytes, qorva::ToDiskLineEnds(qorva::FormatSettingsFile(expected)));
    size_t lines = 0;
    for (size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 23u);
    EXPECT_EQ(ReadRunValue(), L"\"C:\\Program Files\\Qorva\\qorva_universal.exe\"");

    Click(2002);
    Click(2026);
    EXPECT_EQ(ReadRunValue(), L"");
    EXPECT_NE(SettingsBytes().find("\"launch_startup\": false,\r\n"), std::string::npos);
}

// A settings file another program holds cannot be replaced: Save and Reset to Defaults say so,
// and neither the file nor the Run value changes.
TEST_F(DashboardWindowTest, SettingsThatCannotBeWrittenAreReported) {
    appData_.WriteSettings("{\r\n  \"theme\": 1\r\n}\r\n");
    WriteRunValue(L"\"kept\"");
    Open();
    Click(2002);
    {
        HeldFile held(appData_.DataFile(L"settings.json"));
        ASSERT_TRUE(held.held());
        Click(2026);
        EXPECT_EQ(Status(), kNotSaved);
        SetText(2028, L"");
        Click(2024);
        EXPECT_EQ(Status(), kNotSaved);
    }
    EXPECT_EQ(SettingsBytes(), "{\r\n  \"theme\": 1\r\n}\r\n");
    EXPECT_EQ(ReadRunValue(), L"\"kept\"");
}

// A settings.json the user marked read-only, one too large to have been read whole and one that
// is no settings text: Save and Reset to Defaults say why the file was left alone instead of
// reporting success, and neither the file nor the Run value changes.
TEST_F(DashboardWindowTest, SettingsItMayNotWriteAreReportedAndKeptByteForByte) {
    const struct {
        const char* name;
        std::string bytes;
        bool readOnly;
        const wchar_t* status;
    } cases[] = {
        {"read-only", "{\n  \"theme\": 1,\n  \"user_key\": 7\n}\n", true, kReadOnly},
        {"fifty megabytes",
         "{\r\n  \"theme\": 1,\r\n  \"notes\": \"" + std::string(50 << 20, 'x') + "\"\r\n}\r\n",
         false, kTooLarge},
        {"random bytes", std::string("{\x01\xFE\xFF\0\r\n\x8F}", 9), false, kNotUnderstood},
    };
    WriteRunValue(L"\"kept\"");
    Open();
    Click(2002);  // Start with Windows, which a save would write to the Run value
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        appData_.WriteSettings(c.bytes);
        {
            std::optional<ReadOnlyMark> mark;
            if (c.readOnly) mark.emplace(qorva::Utf16ToUtf8(appData_.DataFile(L"settings.json")));
            Click(2026);
            EXPECT_EQ(Status(), c.status);
            SetText(2028, L"");
            Click(2024);
            EXPECT_EQ(Status(), c.status);
        }
        EXPECT_TRUE(SettingsBytes() == c.bytes) << SettingsBytes().size() << " bytes";
        EXPECT_EQ(ReadRunValue(), L"\"kept\"");
    }
}

// --- Reset Habits ---

TEST_F(DashboardWindowTest, ResetHabitsDeletesLearnedPairsOnlyWhenConfirmed) {
    const wchar_t* learned[] = {L"user_bigrams.tsv", L"user_learning.db",
                                L"user_bigrams.tsv.pending-20261211-1",
                                L"user_bigrams.tsv.pending-20261211-2"};
    const wchar_t* kept[] = {L"user_dict.txt", L"personal_dict.txt",
                             L"user_dict.txt.pending-20261211-1"};
    for (const wchar_t* name : learned) WriteFileBytes(appData_.DataFile(name), "x");
    for (const wchar_t* name : kept) WriteFileBytes(appData_.DataFile(name), "x");
    Open(kSectionSuggestions);
    const std::wstring caption = L"শেখা অভ্যাস রিসেট নিশ্চিতকরণ — Qorva";
    {
        BoxAnswer no(caption, IDNO);
        Click(2034);
        EXPECT_TRUE(no.Answered());
    }
    for (const wchar_t* name : learned) EXPECT_EQ(ReadFileBytes(appData_.DataFile(name)), "x");
    EXPECT_EQ(Status(), L"Qorva প্রস্তুত।");
    {
        BoxAnswer yes(caption, IDYES);
        BoxAnswer done(L"Qorva Personal Learning", IDOK);
        Click(2034);
        EXPECT_TRUE(yes.Answered() && done.Answered());
    }
    for (const wchar_t* name : learned) {
        EXPECT_EQ(GetFileAttributesW(appData_.DataFile(name).c_str()), INVALID_FILE_ATTRIBUTES);
    }
    for (const wchar_t* name : kept) EXPECT_EQ(ReadFileBytes(appData_.DataFile(name)), "x");
    EXPECT_EQ(
        Status(),
        L"🧹 শেখা অভ্যাস রিসেট করা হয়েছে (অভিধান অক্ষত রয়েছে)।");
}

// --- Show TopBar and Reset Center ---

// A top bar in this process that remembers the registered messages it gets.
class StandInBar {
public:
    StandInBar() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QorvaFloatingTopBar";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"QorvaFloatingTopBar", L"", WS_POPUP, 300, 300,
                                  100, 20, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        s_received = 0;
    }
    ~StandInBar() { DestroyWindow(window_); }

    RECT Rect() const {
        RECT rect = {};
        GetWindowRect(window_, &rect);
        return rect;
    }
    static UINT Received() { return s_received; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= 0xC000) s_received = message;  // registered messages
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static inline UINT s_received = 0;
    HWND window_;
};

TEST_F(DashboardWindowTest, TopBarCommandsPlaceTheBarAndPostItsMessage) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int centred = (width - 262) / 2;
    const struct {
        int id;
        UINT message;
        int expectedX;
        int expectedY;
    } cases[] = {
        {2037, qorva::ModeIpc::GetShowTopBarMessage(), 10, 55},  // Show keeps x 10
        {2038, qorva::ModeIpc::GetResetTopBarMessage(), centred, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        appData_.WriteSettings("{\r\n  \"topbar_x\": 10,\r\n  \"topbar_y\": 55\r\n}\r\n");
        StandInBar bar;
        Open();
        Click(2039);  // an unsaved change that the command undoes
        Click(c.id);
        EXPECT_EQ(
            Status(),
            L"🪟 টপবার সফলভাবে দৃশ্যমান করা হয়েছে!");
        EXPECT_TRUE(PumpUntil([] { return StandInBar::Received() != 0; }));
        EXPECT_EQ(StandInBar::Received(), c.message);
        const RECT rect = bar.Rect();
        EXPECT_EQ(rect.left, c.expectedX);
        EXPECT_EQ(rect.top, 0);  // the bar always goes to the top edge
        EXPECT_EQ(rect.right - rect.left, 262);
        EXPECT_EQ(rect.bottom - rect.top, 24);
        EXPECT_FALSE(Checked(2039));
        const qorva::DashboardSettings saved =
            qorva::ParseDashboardSettings(qorva::FromDiskLineEnds(SettingsBytes()));
        EXPECT_EQ(saved.topbarX, c.expectedX);
        EXPECT_EQ(saved.topbarY, c.expectedY);
        EXPECT_TRUE(saved.showTopbar);
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

// Without a bar, the running universal program is asked to close (so it saves what it learned),
// and the per-user copy is started afresh.
TEST_F(DashboardWindowTest, WithoutABarTheRunningProgramClosesInOrderAndANewOneStarts) {
    StubRecord record;
    const std::wstring copy = appData_.DataFile(L"qorva_universal.exe");
    ASSERT_TRUE(CopyFileW(UniversalStubPath().c_str(), copy.c_str(), FALSE));
    PROCESS_INFORMATION running = {};
    ASSERT_TRUE(StartProgram(copy, L"--no-bar", running));
    ASSERT_TRUE(PumpUntil([] { return FindWindowW(L"QorvaUniversalModeWindow", nullptr); }));

    Open();
    Click(2037);
    EXPECT_EQ(WaitForSingleObject(running.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(record.Has(L"qorva_universal.exe closed"));  // ended in order, not killed
    EXPECT_TRUE(record.WaitFor(L"qorva_universal.exe"));     // the new copy, no arguments
    EXPECT_TRUE(PumpUntil([] { return FindWindowW(L"QorvaFloatingTopBar", nullptr); }));

    qorva::CloseOtherInstances(L"qorva_universal.exe", L"QorvaUniversalModeWindow", 10000);
    CloseHandle(running.hThread);
    CloseHandle(running.hProcess);
}

// --- Clean Layout ---

TEST_F(DashboardWindowTest, CleanLayoutStartsTheInstallerBesideTheProgram) {
    StubRecord record;
    Open();
    Click(2040);
    EXPECT_EQ(
        Status(),
        L"🧹 টিএসএফ প্রোফাইল অপসারণ কমান্ড পাঠানো হয়েছে।");
    EXPECT_TRUE(record.WaitFor(L"qorva_setup.exe --clean-tsf"));
}

// --- the word list ---

class WordListWindowTest : public DashboardTest {
protected:
    std::wstring ListItem(int index) const {
        wchar_t text[512] = {};
        SendMessageW(Item(2017), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    LRESULT ListCount() const { return SendMessageW(Item(2017), LB_GETCOUNT, 0, 0); }
    std::string FileBytes() const { return ReadFileBytes(appData_.DataFile(L"personal_dict.txt")); }
    void Add(const std::wstring& key, const std::wstring& word) const {
        SetText(2018, key);
        SetText(2019, word);
        Click(2020);
    }
    void DeleteItem(int index) const {
        SendMessageW(Item(2017), LB_SETCURSEL, index, 0);
        Click(2021);
    }
};

const std::string kAmi = "ami\t\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\r\n";

TEST_F(WordListWindowTest, AddAndDeleteChangeTheListAndTheFile) {
    WriteFileBytes(appData_.DataFile(L"personal_dict.txt"), "se\tx\r\n\r\n");
    Open(kSectionDictionary);
    EXPECT_EQ(ListCount(), 1);  // filled at creation, blank line skipped

    Add(L"ami", L"আমি");
    EXPECT_EQ(Status(), L"✅ অভিধানে শব্দটি যুক্ত করা হয়েছে!");
    EXPECT_EQ(Text(2018), L"");
    EXPECT_EQ(Text(2019), L"");
    EXPECT_EQ(ListCount(), 2);
    EXPECT_EQ(ListItem(1), L"ami\tআমি");
    EXPECT_EQ(FileBytes(), "se\tx\r\n\r\n" + kAmi);

    SetText(2028, L"unchanged");
    Add(L"ami", L"");  // a field left empty: nothing happens
    EXPECT_EQ(Status(), L"unchanged");
    EXPECT_EQ(Text(2018), L"ami");
    Add(L"ami", L"আমি");
    EXPECT_EQ(ListCount(), 3);

    Click(2021);  // no selection: nothing happens
    EXPECT_EQ(ListCount(), 3);
    DeleteItem(2);  // both equal entries go
    EXPECT_EQ(Status(),
              L"🗑️ শব্দটি মুছে ফেলা হয়েছে।");
    EXPECT_EQ(ListCount(), 1);
    EXPECT_EQ(FileBytes(), "se\tx\r\n");
}

// A word list another program holds open for reading: Add and Delete say they could not write it,
// and the file keeps its bytes.
TEST_F(WordListWindowTest, AFileThatCannotBeWrittenKeepsItsBytes) {
    WriteFileBytes(appData_.DataFile(L"personal_dict.txt"), kAmi);
    Open(kSectionDictionary);
    HeldFile held(appData_.DataFile(L"personal_dict.txt"));
    ASSERT_TRUE(held.held());
    Add(L"tumi", L"তুমি");
    EXPECT_EQ(Status(),
              L"⚠️ শব্দটি যুক্ত করা যায়নি: "
              L"personal_dict.txt "
              L"লেখা যায়নি।");
    EXPECT_EQ(Text(2018), L"tumi");  // kept for another try
    DeleteItem(0);
    EXPECT_EQ(Status(),
              L"⚠️ শব্দটি মুছে ফেলা যায়নি: "
              L"personal_dict.txt "
              L"লেখা যায়নি।");
    EXPECT_EQ(ListCount(), 1);
    EXPECT_EQ(FileBytes(), kAmi);
}

}  // namespace
}  // namespace qorva_test
