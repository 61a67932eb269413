// The real qorva_universal.exe's top bar menus, driven from this test process: a posted right or
// left click opens a menu in the program, and keys posted to the open menu choose an entry, as a
// user's arrow keys would. Menu handles do not cross processes, so what an entry did is read from
// settings.json, the shared mode block, the log and a stand-in settings program.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "common/text.h"
#include "settings/settings_file.h"
#include "tests/support/box_answer.h"
#include "tests/support/message_pump.h"
#include "tests/support/run_value.h"
#include "tests/support/temp_app_data.h"
#include "tests/universal/universal_process.h"
#include "universal/add_word.h"
#include "universal/add_word_dialog.h"
#include "universal/mode_ipc.h"
#include "universal/topbar_model.h"
#include "universal/universal_host.h"

namespace qorva_test {
namespace {

using qorva::ModeIpc;
using qorva::ModeTarget;
using qorva::universal::TopBarButton;

constexpr int kStartX = (1280 - qorva::universal::kTopBarFullWidth) / 2;

// The centre of a button of the full bar, in client coordinates.
POINT Centre(TopBarButton button) {
    const qorva_tsf::LayoutRect r = qorva::universal::ButtonRect(
        qorva::universal::LayoutTopBar(qorva::universal::kTopBarFullWidth), button);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LPARAM PointParam(POINT p) { return MAKELPARAM(p.x, p.y); }

// The open popup menu of another process; null when none is shown.
HWND OpenMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// The top-level window of this class of a process other than `other`; null when none.
struct ProcessWindowSearch {
    DWORD notProcess;
    HWND found;
};

BOOL CALLBACK MatchOtherMainWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ProcessWindowSearch*>(param);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->notProcess || wcscmp(className, qorva::universal::kMainWindowClass) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

class TopBarMenusProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        appData_.WriteSettings(kOfflineProgramSettings);
        folder_ = appData_.Folder() + L"\\program";
        program_ = CopyUniversalProgram(folder_);
        ASSERT_FALSE(program_.empty());
        // A stand-in for the settings program that writes its command line beside itself.
        ASSERT_TRUE(
            CopyFileW(QORVA_HANDOVER_STUB, (folder_ + L"\\qorva_settings.exe").c_str(), FALSE));
        // Resting on the bar keeps it at its full width.
        SetCursorPos(kStartX + Centre(TopBarButton::Voice).x, 12);
        process_ = std::make_unique<UniversalProcess>(program_);
        ASSERT_TRUE(process_->Started());
        ASSERT_NE(process_->WaitForMainWindow(), nullptr);
        bar_ = process_->WaitForTopBar();
        ASSERT_NE(bar_, nullptr);
        ASSERT_TRUE(PumpUntil([&] {
            RECT r{};
            GetWindowRect(bar_, &r);
            return r.right - r.left == qorva::universal::kTopBarFullWidth;
        }));
    }

    void TearDown() override {
        if (process_ && process_->Running()) {
            EXPECT_TRUE(process_->Close());
            EXPECT_EQ(process_->WaitForExit(), DWORD{0});
        }
    }

    void RightClick(TopBarButton button) {
        PostMessageW(bar_, WM_RBUTTONUP, 0, PointParam(Centre(button)));
    }
    void Click(TopBarButton button) {
        PostMessageW(bar_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(Centre(button)));
        PostMessageW(bar_, WM_LBUTTONUP, 0, PointParam(Centre(button)));
    }

    // Waits for the menu the program opened and presses these keys in it.
    ::testing::AssertionResult Choose(std::initializer_list<WPARAM> keys) {
        HWND menu = nullptr;
        if (!PumpUntil([&] { return (menu = OpenMenu()) != nullptr; })) {
            return ::testing::AssertionFailure() << "no menu opened";
        }
        for (WPARAM key : keys) {
            PostMessageW(menu, WM_KEYDOWN, key, 1);
            PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
        }
        if (!PumpUntil([] { return OpenMenu() == nullptr; })) {
            return ::testing::AssertionFailure() << "the menu stayed open";
        }
        return ::testing::AssertionSuccess();
    }

    std::string Settings() const {
        return qorva::FromDiskLineEnds(ReadFileBytes(appData_.DataFile(L"settings.json")));
    }
    std::string Log() const { return ReadFileBytes(appData_.DataFile(L"universal.log")); }

    RunValueGuard runValue_;
    TempAppData appData_;
    std::wstring folder_;
    std::wstring program_;
    std::unique_ptr<UniversalProcess> process_;
    HWND bar_ = nullptr;
};

// "Always Visible" (the settings menu's second entry from the bottom) switches auto-hide off in
// settings.json, a Bangla layout ("Bijoy Bayanno" or "Probhat" of "Bangla Layouts") sets the shared
// mode to Bangla, and "Word Manager" starts the settings program at its word list.
TEST_F(TopBarMenusProcessTest, MenuEntriesChangeSettingsTheModeAndStartTheWordList) {
    ASSERT_NE(Settings().find("\"topbar_autohide\": true"), std::string::npos) << Settings();
    RightClick(TopBarButton::Language);
    ASSERT_TRUE(Choose({VK_UP, VK_UP, VK_RETURN}));
    EXPECT_TRUE(PumpUntil([&] {
        return Settings().find("\"topbar_autohide\": false") != std::string::npos;
    })) << Settings();

    ASSERT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::English);
    RightClick(TopBarButton::Converter);
    // Whether the submenu opens with its first entry selected or none, this lands on a layout
    // other than the translation.
    ASSERT_TRUE(
        Choose({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_TRUE(PumpUntil([] { return ModeIpc::Instance().GetMode() == ModeTarget::Bangla; }));

    Click(TopBarButton::WordManager);
    ASSERT_TRUE(Choose({VK_DOWN, VK_RETURN}));
    std::string arguments;
    EXPECT_TRUE(PumpUntil([&] {
        arguments = ReadFileBytes(folder_ + L"\\handover_args.txt");
        return !arguments.empty();
    }));
    EXPECT_EQ(arguments, std::string("/\0d\0i\0c\0t\0", 10));
}

// "Exit" (the power menu's last entry) ends the program through its orderly shut-down.
TEST_F(TopBarMenusProcessTest, ExitEndsTheProgramInOrder) {
    RightClick(TopBarButton::Menu);
    ASSERT_TRUE(Choose({VK_UP, VK_RETURN}));
    EXPECT_EQ(process_->WaitForExit(), DWORD{0});
    EXPECT_NE(Log().find("universal host stopped"), std::string::npos) << Log();
}

// "Add new word" (the word manager's second entry) puts a Bengali pair into both word lists byte
// for byte, and the running program keeps it in user_dict.txt through its save at Exit.
TEST_F(TopBarMenusProcessTest, AnAddedWordStaysInTheDictionaryAfterExit) {
    const std::string amra = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xB0\xE0\xA6\xBE";  // আমরা
    Click(TopBarButton::WordManager);
    ASSERT_TRUE(Choose({VK_DOWN, VK_DOWN, VK_RETURN}));
    HWND dialog = nullptr;
    // Found while it still makes its controls: it is driven once the last of them exists.
    ASSERT_TRUE(PumpUntil([&] {
        dialog = FindWindowW(qorva::universal::kAddWordDialogClass, nullptr);
        return dialog && GetDlgItem(dialog, qorva::universal::kAddWordCancelButton);
    }));
    const auto send = [](HWND control, UINT message, const wchar_t* text) {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutW(control, message, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                   60000, &answer) != 0;
    };
    ASSERT_TRUE(send(GetDlgItem(dialog, qorva::universal::kAddWordKeyEdit), WM_SETTEXT, L"zzq"));
    ASSERT_TRUE(send(GetDlgItem(dialog, qorva::universal::kAddWordWordEdit), WM_SETTEXT,
                     qorva::Utf8ToUtf16(amra).c_str()));
    {
        BoxAnswer box(qorva::universal::kAddWordTitle, IDOK);
        ASSERT_TRUE(
            send(GetDlgItem(dialog, qorva::universal::kAddWordAddButton), BM_CLICK, nullptr));
        EXPECT_EQ(box.Text(), L"✅ শব্দটি সফলভাবে Qorva ডিকশনারিতে যুক্ত করা হয়েছে!");
    }
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(ReadFileBytes(appData_.DataFile(L"personal_dict.txt")), "zzq\t" + amra + "\r\n");

    RightClick(TopBarButton::Menu);
    ASSERT_TRUE(Choose({VK_UP, VK_RETURN}));
    EXPECT_EQ(process_->WaitForExit(), DWORD{0});
    const std::string dictionary = ReadFileBytes(appData_.DataFile(L"user_dict.txt"));
    // The engine has written it again at its save: its own count and time follow.
    EXPECT_EQ(dictionary.find("zzq\t" + amra + "\t101\t"), 0u) << dictionary;
}

// "Restart" ends this copy in order and starts one new copy only after it stopped: two copies
// never run at once, and the new one is the only one left.
TEST_F(TopBarMenusProcessTest, RestartLeavesOneNewCopyStartedAfterTheOldOneStopped) {
    const DWORD oldProcess = process_->ProcessId();
    RightClick(TopBarButton::Menu);
    ASSERT_TRUE(Choose({VK_UP, VK_UP, VK_UP, VK_RETURN}));
    EXPECT_EQ(process_->WaitForExit(), DWORD{0});

    ProcessWindowSearch search{oldProcess, nullptr};
    ASSERT_TRUE(PumpUntil([&] {
        search.found = nullptr;
        EnumWindows(MatchOtherMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }));
    DWORD newProcess = 0;
    GetWindowThreadProcessId(search.found, &newProcess);
    HANDLE copy = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, newProcess);
    ASSERT_NE(copy, nullptr);

    std::string log;
    EXPECT_TRUE(PumpUntil([&] {
        log = Log();
        const size_t stopped = log.find("universal host stopped");
        return stopped != std::string::npos &&
               log.find("universal host started", stopped) != std::string::npos;
    })) << log;
    EXPECT_EQ(log.find("already running"), std::string::npos) << log;

    PostMessageW(search.found, WM_CLOSE, 0, 0);
    const bool ended = PumpUntil([&] { return WaitForSingleObject(copy, 0) == WAIT_OBJECT_0; });
    if (!ended) TerminateProcess(copy, 1);
    CloseHandle(copy);
    EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace qorva_test
