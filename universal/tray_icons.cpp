// The program's two tray icons: the hot-key icon, whose menu holds the program's commands, and the
// language-pin icon, whose drawn badge and tip show the shared typing mode.
#include "universal/drawn_icon.h"
#include "universal/mode_badge.h"
#include "universal/mode_ipc.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

constexpr UINT kHotkeyTrayIconId = 1;
constexpr UINT kPinTrayIconId = 2;
constexpr wchar_t kHotkeyTrayTip[] = L"Qorva (কোর্ভা) Hotkeys — [Ctrl+Alt+Space] [Ctrl+Alt+E]";
constexpr wchar_t kFirstPinTip[] = L"Qorva Language Pin: [EN] English";
constexpr int kModeBadgeCorner = 5;

HICON g_tray_hotkey_icon = nullptr;
HICON g_tray_pin_icon = nullptr;
bool g_tray1_added = false;
bool g_tray2_added = false;

// The hot-key icon when no icon.ico is found: a dark badge with a Bengali letter.
BadgeStyle FallbackBadge() {
    BadgeStyle style;
    style.fill = RGB(15, 23, 42);
    style.outline = RGB(56, 189, 248);
    style.text = L"\u09E0";
    style.fontFace = L"Nirmala UI";
    style.fontHeight = 12;
    return style;
}

HICON LoadTrayIconFile() {
    const std::wstring exeDir = ExeDir();
    for (const std::wstring& path : {exeDir + L"\\icon.ico", exeDir + L"\\assets\\icon.ico",
                                     exeDir + L"\\..\\assets\\icon.ico",
                                     std::wstring(L"C:\\Program Files\\Qorva\\icon.ico")}) {
        if (HANDLE icon = LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)) {
            return static_cast<HICON>(icon);
        }
    }
    return nullptr;
}

NOTIFYICONDATAW IconData(UINT id, UINT flags) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = g_window;
    data.uID = id;
    data.uFlags = flags;
    return data;
}

bool Notify(DWORD message, NOTIFYICONDATAW& data) {
    const TrayNotifier& notify = TrayNotifierInUse();
    return notify && notify(message, data);
}

bool AddIcon(UINT id, UINT callbackMessage, HICON icon, const wchar_t* tip) {
    NOTIFYICONDATAW data = IconData(id, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    lstrcpynW(data.szTip, tip, ARRAYSIZE(data.szTip));
    return Notify(NIM_ADD, data);
}

void DeleteIcon(UINT id, bool& added, HICON& icon) {
    if (added) {
        NOTIFYICONDATAW data = IconData(id, 0);
        Notify(NIM_DELETE, data);
        added = false;
    }
    if (icon) DestroyIcon(icon);
    icon = nullptr;
}

int SmallIconSide(int metric) {
    const int side = GetSystemMetrics(metric);
    return side > 0 ? side : 16;
}

}  // namespace

TrayNotifier& TrayNotifierInUse() {
    static TrayNotifier notifier = [](DWORD message, NOTIFYICONDATAW& data) {
        return Shell_NotifyIconW(message, &data) != FALSE;
    };
    return notifier;
}

void AddHotkeyTrayIcon() {
    g_tray_hotkey_icon = LoadTrayIconFile();
    if (!g_tray_hotkey_icon) g_tray_hotkey_icon = CreateBadgeIcon(FallbackBadge());
    if (!g_tray_hotkey_icon) g_tray_hotkey_icon = LoadIconW(nullptr, IDI_APPLICATION);
    g_tray1_added =
        AddIcon(kHotkeyTrayIconId, kHotkeyTrayMessage, g_tray_hotkey_icon, kHotkeyTrayTip);
}

void AddLanguagePinTrayIcon() {
    g_tray_pin_icon = CreateModeIcon(ModeTarget::English);
    if (!g_tray_pin_icon) g_tray_pin_icon = LoadIconW(nullptr, IDI_APPLICATION);
    g_tray2_added = AddIcon(kPinTrayIconId, kPinTrayMessage, g_tray_pin_icon, kFirstPinTip);
    UpdateTray();
}

void ReAddTrayIcons() {
    g_tray1_added =
        AddIcon(kHotkeyTrayIconId, kHotkeyTrayMessage, g_tray_hotkey_icon, kHotkeyTrayTip);
    g_tray2_added = AddIcon(kPinTrayIconId, kPinTrayMessage, g_tray_pin_icon, kFirstPinTip);
    UpdateTray();
}

void RemoveTrayIcons() {
    DeleteIcon(kHotkeyTrayIconId, g_tray1_added, g_tray_hotkey_icon);
    DeleteIcon(kPinTrayIconId, g_tray2_added, g_tray_pin_icon);
}

void UpdateTray() {
    if (!g_window) return;
    if (g_tray1_added) {
        NOTIFYICONDATAW data = IconData(kHotkeyTrayIconId, NIF_TIP);
        lstrcpynW(data.szTip, kHotkeyTrayTip, ARRAYSIZE(data.szTip));
        Notify(NIM_MODIFY, data);
    }
    if (g_tray2_added) {
        const ModeTarget mode = ModeIpc::Instance().GetMode();
        // A badge that cannot be drawn leaves the previous one showing.
        if (HICON icon = CreateModeIcon(mode)) {
            if (g_tray_pin_icon) DestroyIcon(g_tray_pin_icon);
            g_tray_pin_icon = icon;
        }
        NOTIFYICONDATAW data = IconData(kPinTrayIconId, NIF_ICON | NIF_TIP);
        data.hIcon = g_tray_pin_icon;
        lstrcpynW(data.szTip, PinTipOfMode(mode).c_str(), ARRAYSIZE(data.szTip));
        Notify(NIM_MODIFY, data);
    }
}

HICON CreateModeIcon(ModeTarget mode) {
    const ModeBadge badge = BadgeOfMode(mode);
    BadgeStyle style;
    style.width = SmallIconSide(SM_CXSMICON);
    style.height = SmallIconSide(SM_CYSMICON);
    style.corner = kModeBadgeCorner;
    style.fill = RGB(badge.red, badge.green, badge.blue);
    style.outline = style.fill;
    style.text = badge.text;
    style.fontFace = badge.fontFace;
    style.fontHeight = style.height * badge.fontPercent / 100;
    return CreateBadgeIcon(style);
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace qorva::universal
