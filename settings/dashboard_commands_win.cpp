// The dashboard's push buttons: Save, Reset to Defaults, Reset Habits, the top-bar commands, Clean
// Layout, Close, and the word list's Add and Delete.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "common/file_path.h"
#include "common/folders.h"
#include "common/text.h"
#include "settings/dashboard_commands.h"
#include "settings/dashboard_controls.h"
#include "settings/dashboard_state_win.h"
#include "settings/personal_word_list.h"
#include "settings/settings_store.h"
#include "universal/instance_control.h"
#include "universal/mode_ipc.h"

namespace qorva {
namespace {

constexpr wchar_t kSettingsSaved[] = L"✅ সেটিংস সফলভাবে সংরক্ষণ করা হয়েছে!";
constexpr wchar_t kDefaultsRestored[] = L"🔄 ফ্যাক্টরি ডিফল্টে রিসেট করা হয়েছে।";
constexpr wchar_t kSettingsNotSaved[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json লেখা যায়নি।";
constexpr wchar_t kSettingsReadOnly[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json শুধু-পঠনযোগ্য (read-only), তাই অপরিবর্তিত রাখা হয়েছে।";
constexpr wchar_t kSettingsTooLarge[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json অস্বাভাবিক বড় (১ MB-এর বেশি), তাই অপরিবর্তিত রাখা হয়েছে।";
constexpr wchar_t kSettingsUnreadable[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json পড়া যায়নি, তাই অপরিবর্তিত রাখা হয়েছে।";
constexpr wchar_t kSettingsNotUnderstood[] =
    L"⚠️ সেটিংস সংরক্ষণ করা যায়নি: settings.json সেটিংসের ফাইল বলে বোঝা যায়নি, তাই অপরিবর্তিত রাখা হয়েছে।";

constexpr wchar_t kResetHabitsCaption[] = L"শেখা অভ্যাস রিসেট নিশ্চিতকরণ — Qorva";
constexpr wchar_t kResetHabitsQuestion[] =
    L"আপনি কি নিশ্চিত যে আপনি টাইপিং থেকে স্বয়ংক্রিয়ভাবে শেখা অভ্যাসসমূহ রিসেট করতে চান?\n\n"
    L"(আপনার নিজস্ব কাস্টম শব্দভাণ্ডার/Personal Dictionary সম্পূর্ণ নিরাপদ ও অক্ষত থাকবে।)";
constexpr wchar_t kHabitsReset[] =
    L"🧹 শেখা অভ্যাস রিসেট করা হয়েছে (অভিধান অক্ষত রয়েছে)।";
constexpr wchar_t kHabitsResetCaption[] = L"Qorva Personal Learning";
constexpr wchar_t kHabitsResetMessage[] =
    L"ব্যক্তিগত শেখা অভ্যাস সফলভাবে রিসেট করা হয়েছে।\n\nআপনার নিজস্ব কাস্টম শব্দভাণ্ডার সম্পূর্ণ অক্ষত রয়েছে।";

constexpr wchar_t kTopBarShown[] =
    L"🪟 টপবার সফলভাবে দৃশ্যমান করা হয়েছে!";
constexpr wchar_t kTopBarStarted[] =
    L"🪟 টপবার সফলভাবে চালু ও প্রদর্শন করা হয়েছে!";
constexpr wchar_t kTopBarNotSeen[] =
    L"⚠️ টপবার চালু করা হয়েছে (ট্রে আইকন প্রস্তুত)।";

constexpr wchar_t kInstallerCleanStarted[] =
    L"🧹 টিএসএফ প্রোফাইল অপসারণ কমান্ড পাঠানো হয়েছে।";
constexpr wchar_t kPowerShellCleanStarted[] =
    L"🧹 টিএসএফ লেআউট পরিষ্কার কমান্ড কার্যকর করা হয়েছে।";

constexpr wchar_t kWordAdded[] = L"✅ অভিধানে শব্দটি যুক্ত করা হয়েছে!";
constexpr wchar_t kWordNotAdded[] =
    L"⚠️ শব্দটি যুক্ত করা যায়নি: personal_dict.txt লেখা যায়নি।";
constexpr wchar_t kWordDeleted[] =
    L"🗑️ শব্দটি মুছে ফেলা হয়েছে।";
constexpr wchar_t kWordNotDeleted[] =
    L"⚠️ শব্দটি মুছে ফেলা যায়নি: personal_dict.txt লেখা যায়নি।";
constexpr wchar_t kWordListUnreadable[] =
    L"⚠️ personal_dict.txt পড়া যায়নি।";

constexpr wchar_t kTopBarClass[] = L"QorvaFloatingTopBar";
constexpr wchar_t kUniversalExe[] = L"qorva_universal.exe";
constexpr wchar_t kUniversalMainWindowClass[] = L"QorvaUniversalModeWindow";
constexpr wchar_t kSetupExe[] = L"qorva_setup.exe";
constexpr wchar_t kInstalledSetup[] = L"C:\\Program Files\\Qorva\\qorva_setup.exe";
// Time for a running universal program to save what it learned before it is ended by force.
constexpr uint32_t kUniversalCloseWaitMs = 2000;
constexpr int kTopBarLookups = 25;
constexpr DWORD kTopBarLookupIntervalMs = 100;
constexpr int kWordFieldCapacity = static_cast<int>(kWordFieldLimit) + 1;

bool Exists(const std::wstring& path) { return FileExists(Utf16ToUtf8(path)); }

bool IsChecked(HWND window, int id) { return IsDlgButtonChecked(window, id) == BST_CHECKED; }

SettingsWrite Save(const DashboardState& state) {
    return SaveSettings(state.settingsPath, state.settings, state.dataFolder);
}

// Why a save left settings.json as it was, for the status line; null when it was written.
const wchar_t* NotSavedStatus(SettingsWrite outcome) {
    switch (outcome) {
        case SettingsWrite::Written: return nullptr;
        case SettingsWrite::ReadOnly: return kSettingsReadOnly;
        case SettingsWrite::TooLarge: return kSettingsTooLarge;
        case SettingsWrite::Unreadable: return kSettingsUnreadable;
        case SettingsWrite::NotUnderstood: return kSettingsNotUnderstood;
        case SettingsWrite::Failed: break;
    }
    return kSettingsNotSaved;
}

// The status after a save: `done` when the file was written, else why it was left as it was.
const wchar_t* SaveStatus(const DashboardState& state, const wchar_t* done) {
    const wchar_t* notSaved = NotSavedStatus(Save(state));
    return notSaved ? notSaved : done;
}

void OnSave(HWND window) {
    DashboardState& state = Dashboard();
    StoreControlStates(state.settings, [window](int id) { return IsChecked(window, id); });
    SetStatus(window, SaveStatus(state, kSettingsSaved));
}

// The controls keep what they show, so a later Save stores them again.
void OnResetDefaults(HWND window) {
    DashboardState& state = Dashboard();
    state.settings = DashboardSettings{};
    SetStatus(window, SaveStatus(state, kDefaultsRestored));
}

// An engine that could not rewrite user_bigrams.tsv keeps its pairs in side files named
// "user_bigrams.tsv.pending-..." until a later save merges them; left behind, they would bring the
// reset habits back.
void DeleteLearnedPairSideFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileW((folder + L"\\user_bigrams.tsv.pending-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void OnResetHabits(HWND window) {
    if (MessageBoxW(window, kResetHabitsQuestion, kResetHabitsCaption,
                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    const std::wstring& folder = Dashboard().dataFolder;
    DeleteFileW((folder + L"\\user_learning.db").c_str());
    DeleteFileW((folder + L"\\user_bigrams.tsv").c_str());
    DeleteLearnedPairSideFiles(folder);
    SetStatus(window, kHabitsReset);
    MessageBoxW(window, kHabitsResetMessage, kHabitsResetCaption, MB_OK | MB_ICONINFORMATION);
}

void PlaceTopBar(HWND bar, int x) {
    ShowWindow(bar, SW_SHOWNORMAL);
    SetWindowPos(bar, HWND_TOPMOST, x, 0, kTopBarWidth, kTopBarHeight, SWP_SHOWWINDOW);
    BringWindowToTop(bar);
    SetForegroundWindow(bar);
}

// The updater's copy in the data folder when there is one, else the program beside this one.
std::wstring UniversalProgramPath() {
    const std::wstring copy = Dashboard().dataFolder + L"\\" + kUniversalExe;
    return Exists(copy) ? copy : ProgramFolder() + L"\\" + kUniversalExe;
}

// Starts the universal program afresh, after a running copy without its bar has ended in order,
// and places the bar once it appears; the status says whether it did.
const wchar_t* StartUniversalProgram(int barX) {
    CloseOtherInstances(kUniversalExe, kUniversalMainWindowClass, kUniversalCloseWaitMs);
    ShellExecuteW(nullptr, L"open", UniversalProgramPath().c_str(), nullptr, nullptr, SW_SHOW);
    for (int lookup = 0; lookup < kTopBarLookups; ++lookup) {
        Sleep(kTopBarLookupIntervalMs);
        if (HWND bar = FindWindowW(kTopBarClass, nullptr)) {
            PlaceTopBar(bar, barX);
            return kTopBarStarted;
        }
    }
    return kTopBarNotSeen;
}

void OnTopBarCommand(HWND window, TopBarCommand command) {
    DashboardState& state = Dashboard();
    PrepareTopBarSettings(state.settings, GetSystemMetrics(SM_CXSCREEN), command);
    const wchar_t* notSaved = NotSavedStatus(Save(state));
    // An unsaved change of the box is undone: the box shows what the file now says.
    CheckDlgButton(window, kIdTopbarAlwaysVisible,
                   state.settings.topbarAutohide ? BST_UNCHECKED : BST_CHECKED);

    const wchar_t* status = kTopBarShown;
    if (HWND bar = FindWindowW(kTopBarClass, nullptr)) {
        PlaceTopBar(bar, state.settings.topbarX);
        // The bar answers both messages by moving itself and saving its place: the reset message
        // makes it keep the centre, where the show message would take it back to its old place.
        const UINT message = command == TopBarCommand::ResetCenter
                                 ? ModeIpc::GetResetTopBarMessage()
                                 : ModeIpc::GetShowTopBarMessage();
        PostMessageW(bar, message, 0, 0);
    } else {
        status = StartUniversalProgram(state.settings.topbarX);
    }
    SetStatus(window, notSaved ? notSaved : status);
}

void OnCleanLayout(HWND window) {
    std::wstring installer = ProgramFolder() + L"\\" + kSetupExe;
    if (!Exists(installer)) installer = kInstalledSetup;
    if (Exists(installer)) {
        ShellExecuteW(nullptr, L"runas", installer.c_str(), kCleanTsfArgument, nullptr, SW_SHOW);
        SetStatus(window, kInstallerCleanStarted);
        return;
    }
    ShellExecuteW(nullptr, L"runas", L"powershell.exe", CleanLayoutPowerShellArguments().c_str(),
                  nullptr, SW_HIDE);
    SetStatus(window, kPowerShellCleanStarted);
}

std::wstring ControlText(HWND window, int id) {
    wchar_t text[kWordFieldCapacity] = {};
    GetDlgItemTextW(window, id, text, kWordFieldCapacity);
    return text;
}

void OnAddWord(HWND window) {
    const std::wstring key = ControlText(window, kIdWordKey);
    const std::wstring word = ControlText(window, kIdWordBangla);
    if (key.empty() || word.empty()) return;
    if (!AppendWordListEntry(Dashboard().wordListPath, key, word)) {
        SetStatus(window, kWordNotAdded);
        return;
    }
    SetStatus(window, kWordAdded);
    SetDlgItemTextW(window, kIdWordKey, L"");
    SetDlgItemTextW(window, kIdWordBangla, L"");
    RefreshDictionaryList(window);
}

void OnDeleteWord(HWND window) {
    HWND list = GetDlgItem(window, kIdWordList);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, selected, 0);
    if (length == LB_ERR) return;
    std::wstring entry(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(&entry[0]));
    if (copied == LB_ERR) return;
    entry.resize(static_cast<size_t>(copied));
    const bool removed = RemoveWordListEntry(Dashboard().wordListPath, entry);
    RefreshDictionaryList(window);
    SetStatus(window, removed ? kWordDeleted : kWordNotDeleted);
}

}  // namespace

void RefreshDictionaryList(HWND window) {
    HWND list = GetDlgItem(window, kIdWordList);
    if (!list) return;
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const std::optional<std::vector<std::wstring>> entries = ReadWordList(Dashboard().wordListPath);
    if (!entries) {
        SetStatus(window, kWordListUnreadable);
        return;
    }
    for (const std::wstring& entry : *entries) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

void RunCommand(HWND window, int id) {
    switch (id) {
        case kIdSave: OnSave(window); break;
        case kIdResetDefaults: OnResetDefaults(window); break;
        case kIdResetHabits: OnResetHabits(window); break;
        case kIdShowTopBar: OnTopBarCommand(window, TopBarCommand::Show); break;
        case kIdResetCenter: OnTopBarCommand(window, TopBarCommand::ResetCenter); break;
        case kIdCleanLayout: OnCleanLayout(window); break;
        case kIdClose: DestroyWindow(window); break;
        case kIdAddWord: OnAddWord(window); break;
        case kIdDeleteWord: OnDeleteWord(window); break;
        case kIdCheckUpdates: StartUpdateCheck(window); break;
        default: break;  // Import and Export, check boxes, radio buttons, list and edit boxes
    }
}

}  // namespace qorva
