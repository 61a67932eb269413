#include "universal/add_word_dialog.h"

#include <string>

#include "settings/personal_word_list.h"
#include "tsf/gdi_drawing.h"
#include "universal/add_word.h"
#include "universal/modal_dialog.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

constexpr wchar_t kDialogTitle[] = L"নতুন শব্দ যোগ করুন — Qorva";
// One character more than a field keeps: longer text is cut.
constexpr int kFieldBuffer = static_cast<int>(kWordFieldLimit) + 1;

// Lives on ShowAddWordDialog's stack for exactly the dialog's life.
struct DialogRecord {
    HWND keyEdit = nullptr;
    HWND wordEdit = nullptr;
    HFONT normalFont = nullptr;
    HFONT headingFont = nullptr;
};

HFONT DialogFont(int height, int weight) {
    return qorva_tsf::MakeFont(height, weight, L"Segoe UI");
}

HWND AddControl(HWND dialog, const wchar_t* className, const wchar_t* text, DWORD style,
                DWORD extendedStyle, int id, const RECT& place, HFONT font) {
    HWND control = CreateWindowExW(
        extendedStyle, className, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
        place.right, place.bottom, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}

void CreateControls(HWND dialog, DialogRecord& record) {
    record.normalFont = DialogFont(13, FW_NORMAL);
    record.headingFont = DialogFont(14, FW_BOLD);
    const HFONT normal = record.normalFont;
    AddControl(dialog, L"STATIC", L"নতুন শব্দ ডিকশনারিতে যুক্ত করুন (Add Word)", 0, 0, -1,
               {20, 15, 340, 24}, record.headingFont);
    AddControl(dialog, L"STATIC", L"English / Roman Key (কী):", 0, 0, -1, {20, 48, 340, 20},
               normal);
    record.keyEdit = AddControl(dialog, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                                kAddWordKeyEdit, {20, 70, 340, 26}, normal);
    AddControl(dialog, L"STATIC", L"Bangla Word (বাংলা শব্দ):", 0, 0, -1, {20, 106, 340, 20},
               normal);
    record.wordEdit = AddControl(dialog, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP,
                                 WS_EX_CLIENTEDGE, kAddWordWordEdit, {20, 128, 340, 26}, normal);
    AddControl(dialog, L"BUTTON", L"যোগ করুন (Add)", BS_DEFPUSHBUTTON | WS_TABSTOP, 0,
               kAddWordAddButton, {150, 172, 100, 30}, normal);
    AddControl(dialog, L"BUTTON", L"বাতিল (Cancel)", WS_TABSTOP, 0, kAddWordCancelButton,
               {260, 172, 100, 30}, normal);
    SetFocus(record.keyEdit);
}

std::wstring FieldText(HWND edit) {
    wchar_t text[kFieldBuffer] = {};
    const int length = GetWindowTextW(edit, text, kFieldBuffer);
    return std::wstring(text, length > 0 ? length : 0);
}

void Add(HWND dialog, const DialogRecord& record) {
    if (!record.keyEdit || !record.wordEdit) return;
    const std::wstring key = FieldText(record.keyEdit);
    const std::wstring word = FieldText(record.wordEdit);
    const AddWordFields fields = CheckAddWordFields(key, word);
    if (fields != AddWordFields::Ok) {
        MessageBoxW(dialog, AddWordFieldsWarning(fields), kAddWordTitle, MB_ICONWARNING);
        return;
    }
    const AddWordReport report =
        ReportOfAddWord(AddWordToDataFolder(AppDataDir(), key, word, g_engine.get()));
    MessageBoxW(dialog, report.text.c_str(), kAddWordTitle,
                report.warning ? MB_ICONWARNING : MB_ICONINFORMATION);
    DestroyWindow(dialog);
}

LRESULT HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                      DialogRecord& record) {
    switch (message) {
        case WM_CREATE: CreateControls(dialog, record); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kAddWordAddButton) {
                Add(dialog, record);
                return 0;
            }
            if (LOWORD(wParam) == kAddWordCancelButton) {
                DestroyWindow(dialog);
                return 0;
            }
            break;
        case WM_CLOSE: DestroyWindow(dialog); return 0;
        case WM_DESTROY:
            // The controls are gone by now; their fonts go with the dialog.
            qorva_tsf::DeleteFonts({&record.normalFont, &record.headingFont});
            record.keyEdit = record.wordEdit = nullptr;
            return 0;
    }
    return DefWindowProcW(dialog, message, wParam, lParam);
}

constexpr WNDPROC AddWordDlgProc = DialogProcedure<DialogRecord, HandleMessage>;

}  // namespace

void ShowAddWordDialog(HWND parent, int barWidth) {
    RegisterDialogClass(kAddWordDialogClass, AddWordDlgProc,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT bar{};
    GetWindowRect(parent, &bar);
    const LayoutPoint at =
        AddWordDialogPosition(qorva_tsf::ToLayout(bar), barWidth, GetSystemMetrics(SM_CXSCREEN),
                              GetSystemMetrics(SM_CYSCREEN));
    const POINT topLeft{at.x, at.y};
    DialogRecord record;
    const HWND dialog = CreateModalDialog(kAddWordDialogClass, kDialogTitle, kAddWordDialogWidth,
                                          kAddWordDialogHeight, parent, &record, &topLeft);
    if (!dialog) return;
    if (parent) EnableWindow(parent, FALSE);
    const LoopEnd end = RunDialogLoop(dialog, DialogKeys::DialogManager);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    if (parent) {
        EnableWindow(parent, TRUE);
        SetForegroundWindow(parent);
    }
    RepostQuit(end);
}

}  // namespace qorva::universal
