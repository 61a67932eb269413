#include "tsf/candidate_window.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <new>

#include "common/call_guarded.h"
#include "tsf/gdi_drawing.h"

namespace qorva_tsf {
namespace {

constexpr wchar_t kClassName[] = L"Pelorin_Candidate_Window_Class";
constexpr wchar_t kTitle[] = L"Bangla Suggestions";

constexpr wchar_t kBanglaText[] = L"\u09AC\u09BE\u0982\u09B2\u09BE";  // বাংলা
constexpr wchar_t kEnglishText[] = L"English";
constexpr wchar_t kSwapText[] = L"\u21C4";  // ⇄
// ✨ পরবর্তী শব্দ (Next Word)
constexpr wchar_t kNextWordBannerText[] =
    L"\u2728 \u09AA\u09B0\u09AC\u09B0\u09CD\u09A4\u09C0 \u09B6\u09AC\u09CD\u09A6 (Next Word)";
constexpr wchar_t kVoiceIdleText[] = L"\u09AD\u09AF\u09BC\u09C7\u09B8";          // ভয়েস
constexpr wchar_t kVoiceListeningText[] = L"\u09B6\u09C1\u09A8\u099B\u09BF...";  // শুনছি...
constexpr wchar_t kVoiceTranscribingText[] = L"\u09B2\u09BF\u0996\u099B\u09BF...";  // লিখছি...

constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBorder = RGB(0xDA, 0xDC, 0xE0);
constexpr COLORREF kPillFill = RGB(0xF1, 0xF3, 0xF4);
constexpr COLORREF kSeparator = RGB(0xE8, 0xEA, 0xED);
constexpr COLORREF kActiveSegment = RGB(0x1A, 0x73, 0xE8);
constexpr COLORREF kActiveSegmentHovered = RGB(0x18, 0x66, 0xD1);
constexpr COLORREF kDarkText = RGB(0x20, 0x21, 0x24);
constexpr COLORREF kMutedText = RGB(0x5F, 0x63, 0x68);
constexpr COLORREF kSwapColour = RGB(0x80, 0x86, 0x8B);
constexpr COLORREF kBannerFill = RGB(0xE8, 0xF0, 0xFE);
constexpr COLORREF kBannerOutline = RGB(0xC2, 0xDA, 0xFF);
constexpr COLORREF kSelectedFill = RGB(0x00, 0xA8, 0xF0);
constexpr COLORREF kSelectedOutline = RGB(0x00, 0x96, 0xDC);
constexpr COLORREF kSelectedLabel = RGB(0xEB, 0xF8, 0xFF);
constexpr COLORREF kLabelText = RGB(0x6C, 0x75, 0x7D);
constexpr COLORREF kListeningColour = RGB(0xD9, 0x30, 0x25);

constexpr UINT kOneLineCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr UINT kOneLineLeft = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;

std::wstring IndexLabel(size_t number) { return std::to_wstring(number) + L"."; }

int32_t TextWidth(HDC dc, HFONT font, const std::wstring& text) {
    const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (old) SelectObject(dc, old);
    return size.cx;
}

LayoutRect WorkAreaNear(LayoutPoint point) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    const HMONITOR monitor = MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfoW(monitor, &info)) return ToLayout(info.rcWork);
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    const HPEN pen = CreatePen(PS_SOLID, 1, colour);
    const HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawDot(HDC dc, const LayoutRect& r, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
}

COLORREF VoiceColour(CandidateVoiceState state) {
    switch (state) {
        case CandidateVoiceState::Listening: return kListeningColour;
        case CandidateVoiceState::Transcribing: return kActiveSegment;
        default: return kMutedText;
    }
}

// A microphone: capsule, stem and base. No holder arc: the label starts right beside the capsule.
void DrawMicrophone(HDC dc, const LayoutRect& row, COLORREF colour) {
    const int l = row.left;
    const int t = row.top;
    DrawRoundedBox(dc, {l + 16, t + 5, l + 22, t + 14}, 6, colour, colour);
    DrawLine(dc, l + 19, t + 18, l + 19, t + 21, colour);
    DrawLine(dc, l + 15, t + 21, l + 23, t + 21, colour);
}

template <class Record>
std::unique_ptr<Record> TakeRecord(LPARAM lParam) {
    return std::unique_ptr<Record>(reinterpret_cast<Record*>(lParam));
}

// Once posted, the record belongs to the message; a failed post leaves it to be freed here.
template <class Record>
void PostRecord(HWND window, UINT message, std::unique_ptr<Record> record) {
    if (PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(record.get()))) record.release();
}

void FreeResultRecord(UINT message, LPARAM lParam) {
    switch (message) {
        case WM_APP_CLOUD_RESULT: TakeRecord<CloudResultRecord>(lParam); break;
        case WM_APP_VOICE_RESULT: TakeRecord<VoiceResultRecord>(lParam); break;
        case WM_APP_TRANSLATION_RESULT: TakeRecord<TranslationResultRecord>(lParam); break;
        default: break;
    }
}

// Results still queued for a window that goes away would otherwise never be delivered nor freed.
void DiscardQueuedResults(HWND window) {
    MSG message;
    while (
        PeekMessageW(&message, window, WM_APP_CLOUD_RESULT, WM_APP_TRANSLATION_RESULT, PM_REMOVE)) {
        FreeResultRecord(message.message, message.lParam);
    }
}

}  // namespace

CandidateWindow::~CandidateWindow() { Destroy(); }

bool CandidateWindow::Initialize(HINSTANCE moduleInstance) {
    if (hwnd.load()) return true;
    instance = moduleInstance;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DROPSHADOW | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.cbWndExtra = 8;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // another popup of this process may have registered it already

    const HWND created =
        CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, kTitle,
                        WS_POPUP, 0, 0, width, height, nullptr, nullptr, instance, this);
    if (!created) return false;
    hwnd.store(created);
    candidateFont = MakeFont(15, 600, L"Nirmala UI");
    labelFont = MakeFont(11, 400, L"Segoe UI");
    headerFont = MakeFont(12, 600, L"Segoe UI");
    return true;
}

void CandidateWindow::Destroy() {
    // Posters read the handle without a lock: clearing it first makes later results drop at once.
    if (const HWND window = hwnd.exchange(nullptr)) DestroyWindow(window);
    visible = false;
    ReleaseFonts();
    if (instance) {
        UnregisterClassW(kClassName, instance);
        instance = nullptr;
    }
}

void CandidateWindow::ReleaseFonts() { DeleteFonts({&candidateFont, &labelFont, &headerFont}); }

void CandidateWindow::ShowCandidates(const std::vector<std::wstring>& list, size_t selectedIndex,
                                     const RECT& caret) {
    if (list.empty() && voiceState == VoiceState::Hidden) {
        Hide();
        return;
    }
    if (&list != &candidates) candidates = list;
    selected = ClampSelection(selectedIndex, candidates.size());
    const HWND window = hwnd.load();
    if (!window) return;

    UpdateDimensions();
    const LayoutRect caretRect = ToLayout(caret);
    const LayoutPoint at = PlaceCandidateWindow(caretRect, width, height,
                                                WorkAreaNear(PlacementProbePoint(caretRect)));
    ApplyRoundedRegion();
    MoveAndShow(at.x, at.y);
    visible = true;
    Repaint();
}

void CandidateWindow::ShowVoiceStatus(const RECT& caret) {
    if (voiceState != VoiceState::Hidden) ShowCandidates(candidates, selected, caret);
}

void CandidateWindow::Hide() {
    const HWND window = hwnd.load();
    if (!visible || !window) return;
    ShowWindow(window, SW_HIDE);
    visible = false;
    nextWordBanner = false;
    candidates.clear();
    layout.rowRects.clear();
    regionWidth = 0;
    regionHeight = 0;
}

void CandidateWindow::Select(size_t index) {
    if (index == selected) return;
    selected = index;
    Repaint();
}

void CandidateWindow::SelectNext() {
    if (!candidates.empty()) Select(NextSelection(selected, candidates.size()));
}

void CandidateWindow::SelectPrev() {
    if (!candidates.empty()) Select(PrevSelection(selected, candidates.size()));
}

void CandidateWindow::SetConversionMode(ConversionTarget target) {
    conversionTarget = target;
    if (visible) Repaint();
}

void CandidateWindow::ToggleConversionMode() {
    ChangeConversionTarget(conversionTarget == ConversionTarget::Bangla ? ConversionTarget::English
                                                                        : ConversionTarget::Bangla);
}

void CandidateWindow::ChangeConversionTarget(ConversionTarget target) {
    conversionTarget = target;
    if (visible) Repaint();
    if (onConversionTargetChanged) onConversionTargetChanged(target);
}

void CandidateWindow::SetVoiceState(VoiceState state, const std::wstring& text) {
    voiceState = state;
    voiceText = text;
    const HWND window = hwnd.load();
    if (!window) return;
    if (state == VoiceState::Hidden && candidates.empty()) {
        Hide();
        return;
    }
    if (!visible) return;
    RECT current{};
    GetWindowRect(window, &current);
    UpdateDimensions();
    ApplyRoundedRegion();
    MoveAndShow(current.left, current.top);
    Repaint(true);
}

std::wstring CandidateWindow::VoiceLabel() const {
    if (!voiceText.empty()) return voiceText;
    switch (voiceState) {
        case VoiceState::Listening: return kVoiceListeningText;
        case VoiceState::Transcribing: return kVoiceTranscribingText;
        default: return kVoiceIdleText;
    }
}

void CandidateWindow::PostCloudResult(const std::wstring& query, uint64_t generation,
                                      const std::vector<std::wstring>& list) {
    const HWND window = hwnd.load();
    if (!window) return;
    try {
        PostRecord(window, WM_APP_CLOUD_RESULT,
                   std::make_unique<CloudResultRecord>(CloudResultRecord{query, generation, list}));
    } catch (const std::bad_alloc&) {
        // Lost like a result whose post fails; the worker thread must not die of it.
    }
}

void CandidateWindow::PostVoiceResult(const std::wstring& text, const std::wstring& error) {
    const HWND window = hwnd.load();
    if (!window) return;
    try {
        PostRecord(window, WM_APP_VOICE_RESULT,
                   std::make_unique<VoiceResultRecord>(VoiceResultRecord{text, error}));
    } catch (const std::bad_alloc&) {
        // Lost like a result whose post fails; the worker thread must not die of it.
    }
}

void CandidateWindow::PostTranslationResult(const std::wstring& source,
                                            const std::wstring& translation, uint64_t generation) {
    const HWND window = hwnd.load();
    if (!window) return;
    try {
        PostRecord(window, WM_APP_TRANSLATION_RESULT,
                   std::make_unique<TranslationResultRecord>(
                       TranslationResultRecord{source, translation, generation}));
    } catch (const std::bad_alloc&) {
        // Lost like a result whose post fails; the worker thread must not die of it.
    }
}

LRESULT CALLBACK CandidateWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE || message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create && create->lpCreateParams) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<CandidateWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the window system's frames.
    return qorva::CallGuarded<LRESULT>(
        0, [&] { return self->HandleMessage(window, message, wParam, lParam); });
}

LRESULT CandidateWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_MOUSEMOVE: {
            UpdateHover({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            TrackMouseLeave(window);
            return 0;
        }
        case WM_MOUSELEAVE: OnMouseLeave(); return 0;
        case WM_LBUTTONDOWN: OnLButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
        case WM_PAINT: OnPaint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_DESTROY:
            // Also reached when the system destroys the window without Destroy (its thread ended).
            hwnd.store(nullptr);
            visible = false;
            DiscardQueuedResults(window);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_APP_CLOUD_RESULT:
        case WM_APP_VOICE_RESULT:
        case WM_APP_TRANSLATION_RESULT: return DeliverResult(message, lParam);
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Each callback runs through a copy, so it may reassign or clear its own member while it runs.
LRESULT CandidateWindow::DeliverResult(UINT message, LPARAM lParam) {
    if (lParam == 0) return 0;
    switch (message) {
        case WM_APP_CLOUD_RESULT: {
            const auto record = TakeRecord<CloudResultRecord>(lParam);
            if (const auto callback = onCloudResult) {
                callback(record->query, record->generation, record->candidates);
            }
            break;
        }
        case WM_APP_VOICE_RESULT: {
            const auto record = TakeRecord<VoiceResultRecord>(lParam);
            if (const auto callback = onVoiceResult) callback(record->text, record->error);
            break;
        }
        case WM_APP_TRANSLATION_RESULT: {
            const auto record = TakeRecord<TranslationResultRecord>(lParam);
            if (const auto callback = onTranslationResult) {
                callback(record->source, record->translation, record->generation);
            }
            break;
        }
        default: break;
    }
    return 0;
}

void CandidateWindow::UpdateDimensions() {
    const HWND window = hwnd.load();
    if (!window) return;
    CandidateLayoutInput input;
    input.voiceRowOn = voiceState != VoiceState::Hidden;
    const HDC dc = GetDC(window);
    const size_t rows = ShownRowCount(candidates.size());
    for (size_t i = 0; i < rows; ++i) {
        input.rowTextWidths.push_back(TextWidth(dc, labelFont, IndexLabel(i + 1)) +
                                      TextWidth(dc, candidateFont, candidates[i]));
    }
    if (input.voiceRowOn) input.voiceLabelWidth = TextWidth(dc, candidateFont, VoiceLabel());
    ReleaseDC(window, dc);
    layout = LayOutCandidateWindow(input);
    width = layout.width;
    height = layout.height;
}

// The region size is recorded whenever a region is applied, whoever applies it, so that a later
// show never keeps a region made for another size.
void CandidateWindow::ApplyRoundedRegion() {
    if (width == regionWidth && height == regionHeight) return;
    const HRGN region = CreateRoundRectRgn(0, 0, width + 1, height + 1, 16, 16);
    if (!region) return;
    if (!SetWindowRgn(hwnd.load(), region, TRUE)) {
        DeleteObject(region);
        return;
    }
    regionWidth = width;
    regionHeight = height;
}

void CandidateWindow::MoveAndShow(int x, int y) {
    SetWindowPos(hwnd.load(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void CandidateWindow::Repaint(bool erase) {
    if (const HWND window = hwnd.load()) InvalidateRect(window, nullptr, erase ? TRUE : FALSE);
}

void CandidateWindow::UpdateHover(LayoutPoint point) {
    const bool overBangla = layout.banglaRect.Contains(point);
    const bool overEnglish = layout.englishRect.Contains(point);
    if (overBangla == hoverBangla && overEnglish == hoverEnglish) return;
    hoverBangla = overBangla;
    hoverEnglish = overEnglish;
    Repaint();
}

void CandidateWindow::OnMouseLeave() {
    if (!hoverBangla && !hoverEnglish) return;
    hoverBangla = false;
    hoverEnglish = false;
    Repaint();
}

void CandidateWindow::OnLButtonDown(LayoutPoint point) {
    const bool voiceClickable =
        voiceState != VoiceState::Hidden && static_cast<bool>(onVoiceClicked);
    const CandidateHit hit = HitTestCandidateWindow(layout, point, voiceClickable);
    switch (hit.kind) {
        case CandidateHitKind::BanglaSegment:
        case CandidateHitKind::EnglishSegment:
        case CandidateHitKind::HeaderBand: {
            const HeaderClickOutcome outcome = ResolveHeaderClick(hit.kind, conversionTarget);
            if (outcome.changed) ChangeConversionTarget(outcome.target);
            break;
        }
        case CandidateHitKind::VoiceRow: onVoiceClicked(); break;
        case CandidateHitKind::Row:
            // No repaint: the owner commits and then hides or reshows the popup.
            selected = hit.row;
            if (onSelect) onSelect(hit.row);
            break;
        case CandidateHitKind::Nothing: break;
    }
}

void CandidateWindow::OnPaint() {
    // Composed off screen, so the popup never flickers while typing.
    PaintDoubleBuffered(hwnd.load(), [this](HDC dc, const RECT& client) {
        const HBRUSH background = CreateSolidBrush(kWhite);
        FillRect(dc, &client, background);
        DeleteObject(background);
        SetBkMode(dc, TRANSPARENT);
        PaintHeader(dc);
        PaintRows(dc);
        PaintVoiceRow(dc, client);
        DrawRoundedBox(dc, {0, 0, client.right - 1, client.bottom - 1}, 16, CLR_INVALID, kBorder);
    });
}

void CandidateWindow::PaintHeader(HDC dc) const {
    const LayoutRect& band = layout.headerRect;
    if (band.IsEmpty()) return;
    const LayoutRect pill{band.left + 4, band.top + 1, band.right - 4, band.bottom - 1};
    if (nextWordBanner) {
        DrawRoundedBox(dc, pill, 14, kBannerFill, kBannerOutline);
        DrawTextIn(dc, kNextWordBannerText, headerFont, kActiveSegment, pill, kOneLineCentred);
    } else {
        DrawRoundedBox(dc, pill, 14, kPillFill, kSeparator);
        PaintToggle(dc);
    }
    DrawLine(dc, band.left + 4, band.bottom + 1, band.right - 4, band.bottom + 1, kSeparator);
}

void CandidateWindow::PaintToggle(HDC dc) const {
    const LayoutRect& band = layout.headerRect;
    PaintSegment(dc, layout.banglaRect, conversionTarget == ConversionTarget::Bangla, hoverBangla,
                 kBanglaText, candidateFont);
    const LayoutRect gap{layout.banglaRect.right, band.top, layout.englishRect.left, band.bottom};
    DrawTextIn(dc, kSwapText, headerFont, kSwapColour, gap, kOneLineCentred);
    PaintSegment(dc, layout.englishRect, conversionTarget == ConversionTarget::English,
                 hoverEnglish, kEnglishText, headerFont);
}

void CandidateWindow::PaintSegment(HDC dc, const LayoutRect& segment, bool active, bool hovered,
                                   const wchar_t* text, HFONT font) const {
    COLORREF textColour = kMutedText;
    if (active) {
        const COLORREF fill = hovered ? kActiveSegmentHovered : kActiveSegment;
        DrawRoundedBox(dc, segment, 12, fill, fill);
        textColour = kWhite;
    } else if (hovered) {
        DrawRoundedBox(dc, segment, 12, kSeparator, kBorder);
        textColour = kDarkText;
    }
    DrawTextIn(dc, text, font, textColour, segment, kOneLineCentred);
}

void CandidateWindow::PaintRows(HDC dc) const {
    const size_t rows = std::min(candidates.size(), layout.rowRects.size());
    for (size_t i = 0; i < rows; ++i) {
        const LayoutRect& row = layout.rowRects[i];
        const bool isSelected = i == selected;
        if (isSelected) DrawRoundedBox(dc, row, 6, kSelectedFill, kSelectedOutline);
        DrawTextIn(dc, IndexLabel(i + 1), labelFont, isSelected ? kSelectedLabel : kLabelText,
                   {row.left + 8, row.top, row.right, row.bottom}, kOneLineLeft);
        DrawTextIn(dc, candidates[i], candidateFont, isSelected ? kWhite : kDarkText,
                   {row.left + 28, row.top, row.right, row.bottom}, kOneLineLeft);
    }
}

void CandidateWindow::PaintVoiceRow(HDC dc, const RECT& client) const {
    const LayoutRect& row = layout.voiceRect;
    if (voiceState == VoiceState::Hidden || row.IsEmpty()) return;
    DrawLine(dc, row.left + 12, row.top, client.right - 12, row.top, kSeparator);
    const COLORREF colour = VoiceColour(voiceState);
    DrawMicrophone(dc, row, colour);
    if (voiceState == VoiceState::Listening) {
        DrawDot(dc, {row.right - 24, row.top + 8, row.right - 16, row.top + 16}, colour);
    }
    DrawTextIn(dc, VoiceLabel(), candidateFont, colour,
               {row.left + 22, row.top, row.right - 24, row.bottom},
               DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

}  // namespace qorva_tsf
