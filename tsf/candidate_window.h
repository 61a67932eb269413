// The candidate popup shared by both typing programs: a header (Bangla/English toggle or the
// next-word banner), numbered candidate rows and an optional voice row, shown at the caret without
// ever taking the focus. Worker threads hand their results to the popup's thread through the Post
// members, the only members that may be called from another thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tsf/candidate_layout.h"

namespace qorva_tsf {

constexpr UINT WM_APP_CLOUD_RESULT = WM_APP + 0x6A;
constexpr UINT WM_APP_VOICE_RESULT = WM_APP + 0x6B;
constexpr UINT WM_APP_TRANSLATION_RESULT = WM_APP + 0x6C;

// Heap records carried by the messages above; each belongs to its message once posted.
struct CloudResultRecord {
    std::wstring query;
    uint64_t generation = 0;
    std::vector<std::wstring> candidates;
};

struct VoiceResultRecord {
    std::wstring text;
    std::wstring error;
};

struct TranslationResultRecord {
    std::wstring source;
    std::wstring translation;
    uint64_t generation = 0;
};

class CandidateWindow {
public:
    using ConversionTarget = CandidateConversionTarget;
    using VoiceState = CandidateVoiceState;

    CandidateWindow() = default;
    ~CandidateWindow();
    CandidateWindow(const CandidateWindow&) = delete;
    CandidateWindow& operator=(const CandidateWindow&) = delete;

    // Creates the hidden popup (once; a second call keeps the window it has); false when the window
    // cannot be created.
    bool Initialize(HINSTANCE moduleInstance);
    // Destroys the popup and frees every result record still queued for it.
    void Destroy();

    // caret is in screen coordinates.
    void ShowCandidates(const std::vector<std::wstring>& list, size_t selectedIndex,
                        const RECT& caret);
    void ShowVoiceStatus(const RECT& caret);
    void Hide();
    // Highlights a row; the owner keeps the index inside its list.
    void Select(size_t index);
    void SelectNext();
    void SelectPrev();
    // Makes the header follow the owner's target; calls no callback.
    void SetConversionMode(ConversionTarget target);
    // The same as a click on the header band.
    void ToggleConversionMode();
    void SetVoiceState(VoiceState state, const std::wstring& text);
    std::wstring VoiceLabel() const;

    HWND Handle() const { return hwnd.load(); }

    // Callable from any thread while the object exists; dropped when there is no window.
    void PostCloudResult(const std::wstring& query, uint64_t generation,
                         const std::vector<std::wstring>& candidates);
    void PostVoiceResult(const std::wstring& text, const std::wstring& error);
    void PostTranslationResult(const std::wstring& source, const std::wstring& translation,
                               uint64_t generation);

    bool visible = false;
    size_t selected = 0;
    // Set by the owner before ShowCandidates; cleared by Hide.
    bool nextWordBanner = false;

    std::function<void(size_t)> onSelect;
    std::function<void(ConversionTarget)> onConversionTargetChanged;
    std::function<void()> onVoiceClicked;
    std::function<void(const std::wstring&, uint64_t, const std::vector<std::wstring>&)>
        onCloudResult;
    std::function<void(const std::wstring&, const std::wstring&)> onVoiceResult;
    std::function<void(const std::wstring&, const std::wstring&, uint64_t)> onTranslationResult;

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DeliverResult(UINT message, LPARAM record);

    void ChangeConversionTarget(ConversionTarget target);
    void UpdateDimensions();
    void ApplyRoundedRegion();
    void MoveAndShow(int x, int y);
    void Repaint(bool erase = false);
    void UpdateHover(LayoutPoint point);
    void OnMouseLeave();
    void OnLButtonDown(LayoutPoint point);
    void OnPaint();
    void PaintHeader(HDC dc) const;
    void PaintToggle(HDC dc) const;
    void PaintSegment(HDC dc, const LayoutRect& segment, bool active, bool hovered,
                      const wchar_t* text, HFONT font) const;
    void PaintRows(HDC dc) const;
    void PaintVoiceRow(HDC dc, const RECT& client) const;
    void ReleaseFonts();

    std::atomic<HWND> hwnd{nullptr};
    HINSTANCE instance = nullptr;
    std::vector<std::wstring> candidates;
    CandidateLayout layout;
    HFONT candidateFont = nullptr;
    HFONT labelFont = nullptr;
    HFONT headerFont = nullptr;
    int32_t width = 250;
    int32_t height = 42;
    int32_t regionWidth = 0;
    int32_t regionHeight = 0;
    ConversionTarget conversionTarget = ConversionTarget::Bangla;
    bool hoverBangla = false;
    bool hoverEnglish = false;
    VoiceState voiceState = VoiceState::Hidden;
    std::wstring voiceText;
};

}  // namespace qorva_tsf
