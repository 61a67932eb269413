// The real qorva_universal.exe started in a private data folder: what a start leaves, how it shuts
// down, what a second start does, and the hand-over from "Program Files" to a newer copy.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "tests/support/box_answer.h"
#include "tests/support/temp_app_data.h"
#include "tests/support/run_value.h"
#include "tests/universal/universal_process.h"
#include "universal/instance_control.h"
#include "universal/mode_ipc.h"
#include "universal/universal_host.h"

namespace qorva_test {
namespace {

using qorva::ModeIpc;
using qorva::ModeTarget;

// The dictionary line the test seeds; a use of its word that another engine could not write and
// left in a side file, which only a save merges (an engine that learned nothing else writes
// nothing); and the line once a save merged it.
constexpr char kSeededWord[] = "ami\t\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\n";
constexpr wchar_t kSeededUseFile[] = L"user_dict.txt.pending-0000000000000001-0000000000000001";
constexpr char kSeededUse[] = "use\t\t\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\t1\t0\t0\n";
constexpr char kRewrittenWord[] = "ami\t\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\t2\t0\t0\r\n";

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// A user dictionary of `lines` words, the seeded one first: large enough that reading it takes
// seconds, as a long-time user's does.
std::string LargeDictionary(int lines) {
    std::string text = kSeededWord;
    for (int i = 1; i < lines; ++i) {
        text += "ami" + std::to_string(i) + "\t\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\n";
    }
    return text;
}

// The file's last-write time; zero when it cannot be read.
ULONGLONG LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

class UniversalStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        appData_.WriteLexicon({{"\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF", "ami", 100, 0}});
        appData_.WriteSettings(kOfflineProgramSettings);
        WriteFileBytes(appData_.DataFile(L"user_dict.txt"), kSeededWord);
        WriteFileBytes(appData_.DataFile(kSeededUseFile), kSeededUse);
        program_ = CopyUniversalProgram(appData_.Folder() + L"\\program");
        ASSERT_FALSE(program_.empty());
        // Every start is to switch the shared mode to English.
        ModeIpc::Instance().SetMode(ModeTarget::Bangla);
    }

    // Starts the program and waits for its main window.
    void StartAndWait(UniversalProcess& process) {
        ASSERT_TRUE(process.Started());
        ASSERT_NE(process.WaitForMainWindow(), nullptr);
    }

    void CloseAndExpectCleanExit(UniversalProcess& process) {
        ASSERT_TRUE(process.Close());
        EXPECT_EQ(process.WaitForExit(), DWORD{0});
    }

    RunValueGuard runValue_;
    TempAppData appData_;
    std::wstring program_;
};

TEST_F(UniversalStartTest, StartRegistersAndSwitchesToEnglishAndCloseSavesTheDictionary) {
    UniversalProcess process(program_);
    StartAndWait(process);
    EXPECT_EQ(FindWindowW(qorva::universal::kMainWindowClass, qorva::universal::kMainWindowTitle),
              process.WaitForMainWindow());
    // The on-screen keyboard is made at start, hidden until the user asks for it.
    HWND keyboard = nullptr;
    EXPECT_TRUE(PumpUntil([&] {
        keyboard = FindWindowW(qorva::universal::kVirtualKeyboardClass, nullptr);
        return keyboard != nullptr;
    }));
    EXPECT_FALSE(IsWindowVisible(keyboard));

    CloseAndExpectCleanExit(process);
    EXPECT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::English);
    EXPECT_EQ(Lower(ReadRunValue()), Lower(L"\"" + program_ + L"\""));
    EXPECT_EQ(appData_.ReadUserDictionary(), kRewrittenWord);
}

// At log-off Windows ends the process after WM_ENDSESSION, without a chance to shut down in order.
TEST_F(UniversalStartTest, EndOfSessionSavesTheDictionaryAtOnce) {
    UniversalProcess process(program_);
    StartAndWait(process);
    ASSERT_TRUE(SendMessageTimeoutW(process.WaitForMainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_BLOCK,
                                    30000, nullptr));
    EXPECT_EQ(appData_.ReadUserDictionary(), kRewrittenWord);
    EXPECT_TRUE(process.Running());
    CloseAndExpectCleanExit(process);
}

TEST_F(UniversalStartTest, StartWithStartupSwitchedOffLeavesNoRunValue) {
    appData_.WriteSettings(std::string(kOfflineProgramSettings) + "\"launch_startup\": false\n");
    UniversalProcess process(program_);
    StartAndWait(process);
    CloseAndExpectCleanExit(process);
    EXPECT_EQ(ReadRunValue(), L"");
}

TEST_F(UniversalStartTest, SecondStartShowsTheFirstsTopBarAndLeavesTheFirstRunning) {
    UniversalProcess first(program_);
    StartAndWait(first);
    const HWND bar = first.WaitForTopBar();
    ASSERT_NE(bar, nullptr);
    // The bar answers a show request by saving its place: a settings file that is gone comes back.
    ASSERT_TRUE(DeleteFileW(appData_.DataFile(L"settings.json").c_str()));
    ShowWindow(bar, SW_HIDE);

    UniversalProcess second(program_);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(), DWORD{0});
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(bar) != FALSE; }));
    EXPECT_TRUE(
        PumpUntil([&] { return !ReadFileBytes(appData_.DataFile(L"settings.json")).empty(); }));
    EXPECT_TRUE(first.Running());
    EXPECT_NE(ReadFileBytes(appData_.DataFile(L"universal.log"))
                  .find(" another universal host is already running - requesting topbar show\r\n"),
              std::string::npos);
    CloseAndExpectCleanExit(first);
}

// The copy that steps aside finds the running one before it makes an engine: it neither reads the
// large dictionary nor writes any learned file as it leaves.
TEST_F(UniversalStartTest, SecondStartStepsAsideWithoutReadingOrWritingTheLearnedFiles) {
    const std::wstring dictionary = appData_.DataFile(L"user_dict.txt");
    const std::wstring pairs = appData_.DataFile(L"user_bigrams.tsv");
    const std::string large = LargeDictionary(200000);
    WriteFileBytes(dictionary, large);
    UniversalProcess first(program_);
    StartAndWait(first);
    ASSERT_NE(first.WaitForTopBar(), nullptr);
    const ULONGLONG written = LastWriteTime(dictionary);
    ASSERT_NE(written, 0u);

    UniversalProcess second(program_);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(), DWORD{0});
    EXPECT_TRUE(ReadFileBytes(dictionary) == large) << "user_dict.txt was rewritten";
    EXPECT_EQ(LastWriteTime(dictionary), written);
    EXPECT_EQ(GetFileAttributesW(pairs.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(first.Running());
    const std::string log = ReadFileBytes(appData_.DataFile(L"universal.log"));
    EXPECT_EQ(Occurrences(log, " another universal host is already running"), 1u) << log;
    EXPECT_EQ(Occurrences(log, " universal host started"), 1u) << log;
    CloseAndExpectCleanExit(first);
}

TEST_F(UniversalStartTest, SecondStartWithoutTopBarClosesTheFirstInOrderAndRunsOn) {
    UniversalProcess first(program_);
    StartAndWait(first);
    // A copy whose bar is gone counts as stuck.
    const HWND bar = first.WaitForTopBar();
    ASSERT_NE(bar, nullptr);
    PostMessageW(bar, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(bar); }));

    UniversalProcess second(program_);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(first.WaitForExit(), DWORD{0});
    // Written by the first one's orderly shut-down: the second writes only when it ends.
    EXPECT_EQ(appData_.ReadUserDictionary(), kRewrittenWord);
    EXPECT_NE(second.WaitForMainWindow(), nullptr);
    EXPECT_TRUE(second.Running());
    CloseAndExpectCleanExit(second);
}

// The dashboard's way to restart the program: a running copy is asked to close and saves what it
// learned; one that does not end in time is ended.
TEST_F(UniversalStartTest, ClosingOtherInstancesLetsThemSaveAndEndsOnlyTheStuck) {
    UniversalProcess running(program_);
    StartAndWait(running);
    const std::wstring stuckCopy = appData_.Folder() + L"\\stuck\\qorva_universal.exe";
    CreateDirectoryW((appData_.Folder() + L"\\stuck").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(QORVA_HANDOVER_STUB, stuckCopy.c_str(), FALSE));
    UniversalProcess stuck(stuckCopy, L"--linger");
    ASSERT_TRUE(stuck.Started());

    qorva::CloseOtherInstances(L"QORVA_UNIVERSAL.EXE", qorva::universal::kMainWindowClass, 3000);
    EXPECT_EQ(running.WaitForExit(0), DWORD{0});
    EXPECT_EQ(appData_.ReadUserDictionary(), kRewrittenWord);
    EXPECT_EQ(stuck.WaitForExit(5000), DWORD{0});  // ended by force, not by its own return
}

// "--check" beside a running instance: the report is written, and the instance keeps its process
// and its windows.
TEST_F(UniversalStartTest, CheckWritesTheReportAndLeavesARunningInstanceAsItWas) {
    UniversalProcess running(program_);
    StartAndWait(running);
    const HWND mainWindow = running.WaitForMainWindow();
    const HWND bar = running.WaitForTopBar();
    ASSERT_NE(bar, nullptr);
    HWND keyboard = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        keyboard = FindWindowW(qorva::universal::kVirtualKeyboardClass, nullptr);
        return keyboard != nullptr;
    }));

    UniversalProcess check(program_, L"--check");
    ASSERT_TRUE(check.Started());
    EXPECT_EQ(check.WaitForExit(), DWORD{0});
    const std::string report = ReadFileBytes(appData_.DataFile(L"universal_check.txt"));
    EXPECT_EQ(report.rfind("QORVA UNIVERSAL MODE - DIAGNOSTICS\n", 0), 0u) << report;
    for (const char* line :
         {"  engine created     : yes\n",
          "  ami          -> \xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\n",
          "  keyboard hook test  : installed OK\n", "No hook is left installed by --check.\n"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    }
    EXPECT_EQ(report.find('\r'), std::string::npos);
    // The check's engine has the lexicon alone: the learned files stay the running copy's.
    EXPECT_EQ(appData_.ReadUserDictionary(), kSeededWord);
    EXPECT_EQ(GetFileAttributesW(appData_.DataFile(L"user_bigrams.tsv").c_str()),
              INVALID_FILE_ATTRIBUTES);

    EXPECT_TRUE(running.Running());
    EXPECT_EQ(running.WaitForMainWindow(), mainWindow);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(FindWindowW(qorva::universal::kVirtualKeyboardClass, nullptr), keyboard);
    EXPECT_EQ(FindWindowW(qorva::universal::kTopBarClassName, nullptr), bar);
    CloseAndExpectCleanExit(running);
}

// Started from a console, the report is printed there in UTF-8.
TEST_F(UniversalStartTest, CheckStartedFromAConsolePrintsTheReportThere) {
    const std::wstring captured = appData_.Folder() + L"\\console.txt";
    UniversalProcess console(QORVA_CONSOLE_CAPTURE,
                             L"\"" + captured + L"\" \"" + program_ + L"\" --check");
    ASSERT_TRUE(console.Started());
    EXPECT_EQ(console.WaitForExit(), DWORD{0});
    const std::string bytes = ReadFileBytes(captured);
    const std::wstring screen(reinterpret_cast<const wchar_t*>(bytes.data()),
                              bytes.size() / sizeof(wchar_t));
    EXPECT_NE(screen.find(L"QORVA UNIVERSAL MODE - DIAGNOSTICS"), std::wstring::npos) << screen;
    EXPECT_NE(screen.find(L"ami          -> \u0986\u09AE\u09BF"), std::wstring::npos) << screen;
}

// "--check > report.txt" and "--check | more": what the shell's redirection receives is the
// report's UTF-8 text, the same bytes as universal_check.txt.
TEST_F(UniversalStartTest, CheckWithRedirectedOutputWritesTheUtf8ReportThere) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    const std::wstring path = appData_.Folder() + L"\\report.txt";
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    {
        UniversalProcess check(program_, L"--check", file);
        CloseHandle(file);
        ASSERT_TRUE(check.Started());
        EXPECT_EQ(check.WaitForExit(), DWORD{0});
    }
    const std::string report = ReadFileBytes(appData_.DataFile(L"universal_check.txt"));
    EXPECT_NE(report.find("  ami          -> \xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(ReadFileBytes(path), report);

    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    UniversalProcess piped(program_, L"--check", writeEnd);
    CloseHandle(writeEnd);
    ASSERT_TRUE(piped.Started());
    std::string received;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        received.append(buffer, read);
    }
    CloseHandle(readEnd);
    EXPECT_EQ(piped.WaitForExit(), DWORD{0});
    EXPECT_EQ(received, ReadFileBytes(appData_.DataFile(L"universal_check.txt")));
}

// A lexicon missing from every place, or one that does not load, is what the report says first.
TEST_F(UniversalStartTest, CheckWithoutALoadableLexiconSaysSoFirst) {
    const std::wstring lexicon = appData_.DataFile(L"lexicon.bin");
    const std::string inDataFolder = qorva::Utf16ToUtf8(lexicon);
    const struct {
        std::string content;  // of lexicon.bin; empty for no file
        std::string firstLines;
    } cases[] = {
        {"",
         "lexicon.bin not found: every candidate, the test words below too, is a rough "
         "phonetic spelling.\n  looked for it at: "},
        {std::string(4096, 'x'),
         "lexicon.bin could not be loaded (damaged or unreadable): every "
         "candidate, the test words below too, is a rough phonetic spelling.\n"
         "  file: " +
             inDataFolder + "\n\nQORVA UNIVERSAL MODE"},
    };
    for (const auto& c : cases) {
        DeleteFileW(lexicon.c_str());
        if (!c.content.empty()) WriteFileBytes(lexicon, c.content);
        UniversalProcess check(program_, L"--check");
        ASSERT_TRUE(check.Started());
        EXPECT_EQ(check.WaitForExit(), DWORD{0});
        const std::string report = ReadFileBytes(appData_.DataFile(L"universal_check.txt"));
        EXPECT_EQ(report.rfind(c.firstLines, 0), 0u) << report;
        EXPECT_NE(report.find("  engine created     : yes, without a lexicon (phonetic spellings "
                              "only)\n"),
                  std::string::npos)
            << report;
        if (c.content.empty())
            EXPECT_NE(report.find(inDataFolder + "\n\nQORVA"), std::string::npos);
    }
}

// Clean Uninstall with the installer in the machine's Program Files and beside the program: the
// installed one is started elevated with "/uninstall /clean", and the program then ends in order.
class CleanUninstallTest : public UniversalStartTest {
protected:
    void SetUp() override {
        UniversalStartTest::SetUp();
        wchar_t programFiles[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr,
                                               SHGFP_TYPE_CURRENT, programFiles)));
        installedFolder_ = std::wstring(programFiles) + L"\\Qorva";
        ASSERT_EQ(GetFileAttributesW(installedFolder_.c_str()), INVALID_FILE_ATTRIBUTES)
            << "the test prefix has no installed Qorva";
        ASSERT_TRUE(CreateDirectoryW(installedFolder_.c_str(), nullptr));
        besideProgram_ = FolderOf(program_);
        ASSERT_TRUE(
            CopyFileW(QORVA_HANDOVER_STUB, (besideProgram_ + L"\\QorvaSetup.exe").c_str(), FALSE));
    }
    void TearDown() override {
        for (const wchar_t* name : {L"QorvaSetup.exe", L"handover_args.txt"}) {
            DeleteFileW((installedFolder_ + L"\\" + name).c_str());
        }
        RemoveDirectoryW(installedFolder_.c_str());
    }

    static std::wstring FolderOf(const std::wstring& path) {
        return path.substr(0, path.find_last_of(L'\\'));
    }
    // What the stub in `folder` was started with; empty while it was not.
    static std::wstring StartedWith(const std::wstring& folder) {
        const std::string bytes = ReadFileBytes(folder + L"\\handover_args.txt");
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    }
    // Asks the running program for the clean uninstall (the steps of the top bar's entry) and
    // agrees.
    static void ChooseCleanUninstall(UniversalProcess& process) {
        BoxAnswer yes(kUninstallCaption, IDYES);
        ASSERT_TRUE(PostMessageW(process.WaitForMainWindow(), WM_COMMAND,
                                 qorva::universal::kCleanUninstallCommand, 0));
        ASSERT_TRUE(PumpUntil([&] { return yes.Answered(); }));
    }

    static constexpr wchar_t kUninstallCaption[] = L"Qorva Clean Uninstall (ক্লিন আনইনস্টল)";
    std::wstring installedFolder_;
    std::wstring besideProgram_;
};

TEST_F(CleanUninstallTest, InstalledUninstallerStartsAndTheProgramEndsInOrder) {
    ASSERT_TRUE(
        CopyFileW(QORVA_HANDOVER_STUB, (installedFolder_ + L"\\QorvaSetup.exe").c_str(), FALSE));
    UniversalProcess process(program_);
    StartAndWait(process);
    ChooseCleanUninstall(process);

    EXPECT_EQ(process.WaitForExit(), DWORD{0});
    ASSERT_TRUE(PumpUntil([&] { return !StartedWith(installedFolder_).empty(); }));
    EXPECT_EQ(StartedWith(installedFolder_), L"/uninstall /clean");
    EXPECT_EQ(StartedWith(besideProgram_), L"");
    EXPECT_NE(
        ReadFileBytes(appData_.DataFile(L"universal.log")).find(" universal host stopped\r\n"),
        std::string::npos);
    EXPECT_EQ(appData_.ReadUserDictionary(), kRewrittenWord);
}

// As after a refused elevation: the uninstaller does not start and the program runs on.
TEST_F(CleanUninstallTest, UninstallerThatDoesNotStartLeavesTheProgramRunning) {
    WriteFileBytes(installedFolder_ + L"\\QorvaSetup.exe", "not a program");
    UniversalProcess process(program_);
    StartAndWait(process);
    ChooseCleanUninstall(process);
    ASSERT_TRUE(PumpUntil([] { return !FindWindowW(L"#32770", kUninstallCaption); }));

    EXPECT_EQ(process.WaitForExit(3000), std::nullopt);
    EXPECT_EQ(StartedWith(besideProgram_), L"");
    EXPECT_TRUE(SendMessageTimeoutW(process.WaitForMainWindow(), WM_NULL, 0, 0, SMTO_BLOCK, 30000,
                                    nullptr));
    CloseAndExpectCleanExit(process);
}

class HandOverTest : public UniversalStartTest {
protected:
    void SetUp() override {
        UniversalStartTest::SetUp();
        installed_ = CopyUniversalProgram(appData_.Folder() + L"\\Program Files");
        ASSERT_FALSE(installed_.empty());
        newer_ = appData_.DataFile(L"qorva_universal.exe");
        ASSERT_TRUE(CopyFileW(QORVA_HANDOVER_STUB, newer_.c_str(), FALSE));
    }

    // Gives the file a last-write time `days` from now.
    static void SetWriteTime(const std::wstring& path, int days) {
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
        time.QuadPart += static_cast<LONGLONG>(days) * 24 * 3600 * 10000000LL;
        const FILETIME when{time.LowPart, time.HighPart};
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &when));
        CloseHandle(file);
    }

    std::wstring HandedOverArguments() const {
        const std::string bytes = ReadFileBytes(appData_.DataFile(L"handover_args.txt"));
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    }

    std::wstring installed_;
    std::wstring newer_;
};

TEST_F(HandOverTest, InstalledCopyStartsTheNewerOneWithItsCommandLineAndMakesNothing) {
    SetWriteTime(installed_, -30);
    SetWriteTime(newer_, 0);
    const std::wstring arguments = L"--from-test \"two words\"";
    UniversalProcess installed(installed_, arguments);
    ASSERT_TRUE(installed.Started());
    EXPECT_EQ(installed.WaitForExit(), DWORD{0});
    ASSERT_TRUE(PumpUntil([&] { return !HandedOverArguments().empty(); }));
    EXPECT_EQ(HandedOverArguments(), arguments);

    EXPECT_EQ(ModeIpc::Instance().GetMode(), ModeTarget::Bangla);
    EXPECT_EQ(ReadRunValue(), L"");
    EXPECT_EQ(appData_.ReadUserDictionary(), kSeededWord);  // no engine was made
}

TEST_F(HandOverTest, InstalledCopyRunsItselfWhenTheOtherIsOlder) {
    SetWriteTime(installed_, 0);
    SetWriteTime(newer_, -30);
    UniversalProcess installed(installed_);
    StartAndWait(installed);
    CloseAndExpectCleanExit(installed);
    EXPECT_TRUE(HandedOverArguments().empty());
}

}  // namespace
}  // namespace qorva_test
