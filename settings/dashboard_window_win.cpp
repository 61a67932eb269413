#include "settings/dashboard_window.h"

#include <dwmapi.h>

#include <array>
#include <vector>

#include "common/folders.h"
#include "settings/dashboard_controls.h"
#include "settings/dashboard_state_win.h"
#include "settings/personal_word_list.h"
#include "settings/settings_store.h"

namespace qorva {
namespace {

constexpr wchar_t kWindowTitle[] = L"Qorva (কোর্ভা) — সেটিংস ও ড্যাশবোর্ড";
constexpr int kWindowWidth = 840;
constexpr int kWindowHeight = 580;
constexpr int kSidebarWidth = 235;
constexpr int kAppIconResource = 1;
constexpr DWORD kImmersiveDarkModeAttribute = 20;

constexpr COLORREF kBackground = RGB(254, 252, 251);
constexpr COLORREF kSidebar = RGB(240, 249, 255);
constexpr COLORREF kCard = RGB(255, 255, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kAccent = RGB(2, 132, 199);
constexpr COLORREF kAccentDark = RGB(3, 105, 161);
constexpr COLORREF kHoverNav = RGB(224, 242, 254);
constexpr COLORREF kSkyBorder = RGB(186, 230, 253);
constexpr COLORREF kSlateText = RGB(30, 41, 59);
constexpr COLORREF kMutedText = RGB(100, 116, 139);
constexpr COLORREF kIdleNavText = RGB(71, 85, 105);
constexpr COLORREF kEditText = RGB(15, 23, 42);

// The window's drawing resources, made at WM_CREATE and released at WM_DESTROY.
struct Resources {
    HFONT hFontTitle = nullptr;
    HFONT hFontBody = nullptr;
    HFONT hFontBold = nullptr;
    HFONT hFontSub = nullptr;
    HFONT hFontBtn = nullptr;
    HBRUSH hBrushBg = nullptr;
    HBRUSH hBrushSidebar = nullptr;
    HBRUSH hBrushCard = nullptr;
    HBRUSH hBrushInput = nullptr;
    HBRUSH hBrushActiveNav = nullptr;
    HBRUSH hBrushHoverNav = nullptr;
    HICON hAppIcon = nullptr;
};

Resources g_resources;
std::array<std::vector<HWND>, kSectionCount> g_section_controls;

HFONT MakeFont(const wchar_t* face, int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

void CreateResources() {
    Resources& r = g_resources;
    r.hFontTitle = MakeFont(L"Nirmala UI", 20, 700);
    r.hFontBody = MakeFont(L"Nirmala UI", 14, 400);
    r.hFontBold = MakeFont(L"Nirmala UI", 14, 600);
    r.hFontSub = MakeFont(L"Segoe UI", 12, 400);
    r.hFontBtn = MakeFont(L"Nirmala UI", 12, 600);
    r.hBrushBg = CreateSolidBrush(kBackground);
    r.hBrushSidebar = CreateSolidBrush(kSidebar);
    r.hBrushCard = CreateSolidBrush(kCard);
    r.hBrushInput = CreateSolidBrush(kWhite);
    r.hBrushActiveNav = CreateSolidBrush(kAccent);
    r.hBrushHoverNav = CreateSolidBrush(kHoverNav);
}

void ReleaseResources() {
    Resources& r = g_resources;
    for (HFONT font : {r.hFontTitle, r.hFontBody, r.hFontBold, r.hFontSub, r.hFontBtn}) {
        DeleteObject(font);
    }
    for (HBRUSH brush : {r.hBrushBg, r.hBrushSidebar, r.hBrushCard, r.hBrushInput,
                         r.hBrushActiveNav, r.hBrushHoverNav}) {
        DeleteObject(brush);
    }
    if (r.hAppIcon) DestroyIcon(r.hAppIcon);
    r = Resources{};
}

HFONT FontFor(FontRole role) {
    switch (role) {
        case FontRole::Title: return g_resources.hFontTitle;
        case FontRole::Bold: return g_resources.hFontBold;
        case FontRole::Sub: return g_resources.hFontSub;
        case FontRole::Button: return g_resources.hFontBtn;
        case FontRole::Body: break;
    }
    return g_resources.hFontBody;
}

// The program's icon at the given size: its resource, else the file beside the working folder.
HICON LoadAppIcon(HINSTANCE instance, int width, int height,
                  std::initializer_list<const wchar_t*> files) {
    HICON icon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(kAppIconResource), IMAGE_ICON, width, height, 0));
    for (const wchar_t* file : files) {
        if (icon) break;
        icon = static_cast<HICON>(
            LoadImageW(nullptr, file, IMAGE_ICON, width, height, LR_LOADFROMFILE));
    }
    return icon;
}

void LoadSettings() {
    DashboardState& state = Dashboard();
    state.dataFolder = DataFolder(DataFolderFallback::CurrentFolder);
    state.settingsPath = SettingsFilePath(state.dataFolder);
    state.wordListPath = state.dataFolder + L"\\" + kPersonalWordListName;
    const std::optional<std::string> text = ReadSettingsFile(state.settingsPath);
    state.settings = text ? ParseDashboardSettings(*text) : DashboardSettings{};
}

HWND CreateControl(HWND window, HINSTANCE instance, const ControlSpec& control) {
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD;
    DWORD extendedStyle = 0;
    switch (control.kind) {
        case ControlKind::Heading:
        case ControlKind::Text: style |= SS_LEFT; break;
        case ControlKind::CheckBox:
            windowClass = L"BUTTON";
            style |= BS_AUTOCHECKBOX;
            break;
        case ControlKind::Radio:
            windowClass = L"BUTTON";
            style |= BS_AUTORADIOBUTTON | (control.groupStart ? WS_GROUP : 0);
            break;
        case ControlKind::Button:
            windowClass = L"BUTTON";
            style |= BS_OWNERDRAW;
            break;
        case ControlKind::ListBox:
            windowClass = L"LISTBOX";
            style |= WS_VSCROLL | LBS_NOTIFY;
            extendedStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Edit:
            windowClass = L"EDIT";
            style |= ES_AUTOHSCROLL;
            extendedStyle = WS_EX_CLIENTEDGE;
            break;
    }
    if (control.section == kFooter) style |= WS_VISIBLE;
    const ControlRect& r = control.rect;
    return CreateWindowExW(
        extendedStyle, windowClass, control.text, style, r.x, r.y, r.width, r.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
}

void CreateControls(HWND window, HINSTANCE instance) {
    for (int i = 0; i < kSectionCount; ++i) {
        const ControlRect r = NavigationButtonRect(i);
        CreateWindowExW(0, L"BUTTON", NavigationLabel(static_cast<SectionID>(i)),
                        WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r.x, r.y, r.width, r.height, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstNavigationId + i)),
                        instance, nullptr);
    }
    for (const ControlSpec& control : DashboardControls()) {
        HWND handle = CreateControl(window, instance, control);
        if (control.section != kFooter) g_section_controls[control.section].push_back(handle);
        if (control.kind != ControlKind::Button) {
            SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.font)),
                         FALSE);
        }
        if (control.kind == ControlKind::CheckBox || control.kind == ControlKind::Radio) {
            SendMessageW(handle, BM_SETCHECK,
                         InitialCheck(control, Dashboard().settings) ? BST_CHECKED : BST_UNCHECKED,
                         0);
        }
    }
}

// Shows the section's controls and hides the others; the section is not stored.
void ShowSection(HWND window, SectionID section) {
    for (int i = 0; i < kSectionCount; ++i) {
        for (HWND control : g_section_controls[i]) {
            ShowWindow(control, i == section ? SW_SHOW : SW_HIDE);
        }
        InvalidateRect(GetDlgItem(window, kFirstNavigationId + i), nullptr, TRUE);
    }
    if (section == kSectionDictionary) RefreshDictionaryList(window);
    const RECT card = {kContentCard.x, kContentCard.y, kContentCard.x + kContentCard.width,
                       kContentCard.y + kContentCard.height};
    InvalidateRect(window, &card, TRUE);
}

void SwitchSection(HWND window, SectionID section) {
    Dashboard().activeSection = section;
    ShowSection(window, section);
}

void OnCreate(HWND window, HINSTANCE instance) {
    LoadSettings();
    g_resources.hAppIcon =
        LoadAppIcon(instance, 256, 256, {L"assets/icon.ico", L"release_package/icon.ico"});
    CreateResources();
    const BOOL dark = FALSE;
    DwmSetWindowAttribute(window, kImmersiveDarkModeAttribute, &dark, sizeof dark);
    CreateControls(window, instance);
    ShowSection(window, Dashboard().activeSection);
}

void OnDestroy() {
    ReleaseResources();
    for (std::vector<HWND>& controls : g_section_controls) controls.clear();
    PostQuitMessage(0);
}

void PaintAppIcon(HDC dc, int x, int y, int size) {
    if (g_resources.hAppIcon) {
        DrawIconEx(dc, x, y, g_resources.hAppIcon, size, size, 0, nullptr, DI_NORMAL);
    }
}

void DrawTextAt(HDC dc, int x, int y, const wchar_t* text, HFONT font, COLORREF colour) {
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, text, static_cast<int>(wcslen(text)));
    SelectObject(dc, previous);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, g_resources.hBrushBg);
    const RECT sidebar = {0, 0, kSidebarWidth, client.bottom};
    FillRect(dc, &sidebar, g_resources.hBrushSidebar);
    PaintAppIcon(dc, 18, 18, 48);

    SetBkMode(dc, TRANSPARENT);
    DrawTextAt(dc, 76, 18, L"Qorva (কোর্ভা)", g_resources.hFontTitle, kAccentDark);
    DrawTextAt(dc, 76, 46, L"বাংলা লিখুন, স্বাচ্ছন্দ্যে।", g_resources.hFontSub, kMutedText);

    HPEN pen = CreatePen(PS_SOLID, 1, kSkyBorder);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    MoveToEx(dc, kSidebarWidth, 0, nullptr);
    LineTo(dc, kSidebarWidth, client.bottom);
    HGDIOBJ previousBrush = SelectObject(dc, g_resources.hBrushCard);
    RoundRect(dc, kContentCard.x, kContentCard.y, kContentCard.x + kContentCard.width,
              kContentCard.y + kContentCard.height, 12, 12);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(pen);

    if (Dashboard().activeSection == kSectionAbout) PaintAppIcon(dc, 265, 30, 84);
    EndPaint(window, &paint);
}

struct ButtonColours {
    COLORREF fill, border, text;
};

ButtonColours ColoursFor(UINT state, bool accent) {
    const bool disabled = (state & ODS_DISABLED) != 0;
    const bool pressed = (state & ODS_SELECTED) != 0;
    if (accent) {
        if (disabled) return {kSkyBorder, kSkyBorder, RGB(156, 163, 175)};
        if (pressed) return {kAccentDark, kAccentDark, kWhite};
        return {kAccent, kAccent, kWhite};
    }
    if (disabled) return {RGB(243, 244, 246), RGB(229, 231, 235), RGB(156, 163, 175)};
    if (pressed) return {kHoverNav, kSkyBorder, kAccentDark};
    return {kWhite, RGB(229, 231, 235), kSlateText};
}

void DrawNavigationButton(const DRAWITEMSTRUCT* item) {
    const int index = static_cast<int>(item->CtlID) - kFirstNavigationId;
    const bool active = index == Dashboard().activeSection;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    HBRUSH fill = active    ? g_resources.hBrushActiveNav
                  : pressed ? g_resources.hBrushHoverNav
                            : g_resources.hBrushSidebar;
    const COLORREF colour = active ? kWhite : pressed ? kAccent : kIdleNavText;
    FillRect(item->hDC, &item->rcItem, fill);
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, colour);
    HGDIOBJ previous =
        SelectObject(item->hDC, active ? g_resources.hFontBold : g_resources.hFontBody);
    RECT text = item->rcItem;
    text.left += 12;
    DrawTextW(item->hDC, NavigationLabel(static_cast<SectionID>(index)), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    SelectObject(item->hDC, previous);
}

void DrawModernButton(const DRAWITEMSTRUCT* item, const wchar_t* text, HFONT font, bool accent) {
    const ButtonColours colours = ColoursFor(item->itemState, accent);
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;

    HBRUSH fill = CreateSolidBrush(colours.fill);
    HPEN border = CreatePen(PS_SOLID, 1, colours.border);
    HGDIOBJ previousBrush = SelectObject(dc, fill);
    HGDIOBJ previousPen = SelectObject(dc, border);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, 8, 8);
    SelectObject(dc, previousPen);
    SelectObject(dc, previousBrush);
    DeleteObject(border);
    DeleteObject(fill);

    if (!(item->itemState & ODS_DISABLED) && (item->itemState & ODS_FOCUS)) {
        HPEN dotted = CreatePen(PS_DOT, 1, accent ? RGB(191, 219, 254) : RGB(37, 99, 235));
        previousPen = SelectObject(dc, dotted);
        previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, r.left + 3, r.top + 3, r.right - 3, r.bottom - 3, 6, 6);
        SelectObject(dc, previousBrush);
        SelectObject(dc, previousPen);
        DeleteObject(dotted);
    }

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours.text);
    HGDIOBJ previousFont = SelectObject(dc, font);
    RECT textRect = r;
    DrawTextW(dc, text, -1, &textRect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, previousFont);
}

LRESULT OnDrawItem(const DRAWITEMSTRUCT* item) {
    const int id = static_cast<int>(item->CtlID);
    if (id >= kFirstNavigationId && id < kFirstNavigationId + kSectionCount) {
        DrawNavigationButton(item);
        return TRUE;
    }
    const ControlSpec* control = FindControl(id);
    if (!control || control->kind != ControlKind::Button) return FALSE;
    wchar_t text[128] = {};
    GetWindowTextW(item->hwndItem, text, 128);
    DrawModernButton(item, text, FontFor(control->font), control->look == ButtonLook::Accent);
    return TRUE;
}

LRESULT ColourControl(HDC dc, COLORREF text, HBRUSH brush, bool opaque) {
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    if (opaque) SetBkColor(dc, kWhite);
    SetTextColor(dc, text);
    return reinterpret_cast<LRESULT>(brush);
}

void OnCommand(HWND window, int id) {
    if (id >= kFirstNavigationId && id < kFirstNavigationId + kSectionCount) {
        SwitchSection(window, static_cast<SectionID>(id - kFirstNavigationId));
    } else {
        RunCommand(window, id);
    }
}

}  // namespace

DashboardState& Dashboard() {
    static DashboardState state;
    return state;
}

void SetStatus(HWND window, const std::wstring& text) {
    SetWindowTextW(GetDlgItem(window, kIdStatus), text.c_str());
}

namespace {

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    switch (message) {
        case WM_CREATE:
            OnCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance);
            return 0;
        case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return 0;
        case WM_PAINT: OnPaint(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_DRAWITEM: return OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_CTLCOLORSTATIC:
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kIdStatus) {
                return ColourControl(dc, kMutedText, g_resources.hBrushBg, false);
            }
            return ColourControl(dc, kSlateText, g_resources.hBrushCard, false);
        case WM_CTLCOLORBTN: return ColourControl(dc, kSlateText, g_resources.hBrushCard, false);
        case WM_CTLCOLOREDIT: return ColourControl(dc, kEditText, g_resources.hBrushInput, true);
        case WM_CTLCOLORLISTBOX:
            return ColourControl(dc, kSlateText, g_resources.hBrushInput, true);
        case WM_APP_UPDATE_CHECKED: OnUpdateChecked(window, wParam, lParam); return 0;
        case WM_APP_DOWNLOAD_PROGRESS: OnDownloadProgress(window, wParam, lParam); return 0;
        case WM_APP_DOWNLOAD_DONE: OnDownloadDone(window, wParam, lParam); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateDashboardWindow(HINSTANCE instance, SectionID section) {
    HICON largeIcon = LoadAppIcon(instance, GetSystemMetrics(SM_CXICON),
                                  GetSystemMetrics(SM_CYICON), {L"assets/icon.ico"});
    HICON smallIcon = LoadAppIcon(instance, GetSystemMetrics(SM_CXSMICON),
                                  GetSystemMetrics(SM_CYSMICON), {L"assets/icon.ico"});
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(kBackground);
    windowClass.hIcon = largeIcon;
    windowClass.hIconSm = smallIcon;
    windowClass.lpszClassName = kDashboardClassName;
    // A second dashboard in the same process finds the class registered.
    if (!RegisterClassExW(&windowClass)) DeleteObject(windowClass.hbrBackground);

    Dashboard().activeSection = section;
    HWND window = CreateWindowExW(0, kDashboardClassName, kWindowTitle,
                                  WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, kWindowWidth, kWindowHeight,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    if (largeIcon) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    if (smallIcon)
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    return window;
}

}  // namespace qorva
