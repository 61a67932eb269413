#include "tsf/candidate_layout.h"

#include <algorithm>

namespace qorva_tsf {
namespace {

constexpr int32_t kMinContentWidth = 180;
constexpr int32_t kRowPadding = 32;    // label gap, candidate indent and right margin
constexpr int32_t kVoicePadding = 70;  // icon, recording dot and margins around the voice label
constexpr int32_t kMargin = 6;         // between the window edge and the content
constexpr int32_t kHeaderTop = 4;
constexpr int32_t kHeaderBottom = 28;
constexpr int32_t kFirstRowTop = 32;
constexpr int32_t kRowHeight = 26;
constexpr int32_t kVoiceRowHeight = 24;
constexpr int32_t kBottomMargin = 4;
constexpr int32_t kCaretGap = 4;   // between the caret and the popup
constexpr int32_t kEdgeInset = 8;  // kept free between the popup and a work-area edge

int32_t ContentWidth(const CandidateLayoutInput& input) {
    int32_t width = kMinContentWidth;
    for (int32_t text : input.rowTextWidths) width = std::max(width, text + kRowPadding);
    return width;
}

void LayOutHeader(int32_t contentWidth, CandidateLayout& layout) {
    layout.headerRect = {kMargin, kHeaderTop, contentWidth + kMargin, kHeaderBottom};
    const int32_t half = contentWidth / 2;
    layout.banglaRect = {half - 76, 6, half - 4, 26};
    layout.englishRect = {half + 16, 6, half + 88, 26};
}

int32_t LayOutRows(size_t rows, int32_t contentWidth, CandidateLayout& layout) {
    for (size_t i = 0; i < rows; ++i) {
        const int32_t top = kFirstRowTop + kRowHeight * static_cast<int32_t>(i);
        layout.rowRects.push_back({kMargin, top, contentWidth + kMargin, top + kRowHeight});
    }
    return kFirstRowTop + kRowHeight * static_cast<int32_t>(rows);
}

// A voice label wider than the content widens the header band and every row with it; the
// segments keep their place.
int32_t WidenForVoiceLabel(int32_t contentWidth, int32_t labelWidth, CandidateLayout& layout) {
    if (contentWidth >= labelWidth + kVoicePadding) return contentWidth;
    const int32_t widened = labelWidth + kVoicePadding;
    layout.headerRect.right = widened + kMargin;
    for (LayoutRect& row : layout.rowRects) row.right = widened + kMargin;
    return widened;
}

}  // namespace

size_t ShownRowCount(size_t candidateCount) { return std::min(candidateCount, kMaxCandidateRows); }

CandidateLayout LayOutCandidateWindow(const CandidateLayoutInput& input) {
    CandidateLayout layout;
    int32_t contentWidth = ContentWidth(input);
    LayOutHeader(contentWidth, layout);
    int32_t bottom = LayOutRows(ShownRowCount(input.rowTextWidths.size()), contentWidth, layout);
    if (input.voiceRowOn) {
        contentWidth = WidenForVoiceLabel(contentWidth, input.voiceLabelWidth, layout);
        layout.voiceRect = {kMargin, bottom, contentWidth + kMargin, bottom + kVoiceRowHeight};
        bottom += kVoiceRowHeight;
    }
    layout.width = contentWidth + 2 * kMargin;
    layout.height = bottom + kBottomMargin;
    return layout;
}

LayoutPoint PlacementProbePoint(const LayoutRect& caret) {
    return {caret.left, caret.bottom + kCaretGap};
}

LayoutPoint PlaceCandidateWindow(const LayoutRect& caret, int32_t width, int32_t height,
                                 const LayoutRect& workArea) {
    LayoutPoint at = PlacementProbePoint(caret);
    if (caret.bottom + height + kCaretGap > workArea.bottom) at.y = caret.top - height - kCaretGap;
    if (at.x + width > workArea.right) at.x = workArea.right - width - kEdgeInset;
    if (at.x < workArea.left) at.x = workArea.left + kEdgeInset;
    if (at.y < workArea.top) at.y = workArea.top + kEdgeInset;
    return at;
}

CandidateHit HitTestCandidateWindow(const CandidateLayout& layout, LayoutPoint point,
                                    bool voiceRowClickable) {
    if (layout.banglaRect.Contains(point)) return {CandidateHitKind::BanglaSegment, 0};
    if (layout.englishRect.Contains(point)) return {CandidateHitKind::EnglishSegment, 0};
    if (layout.headerRect.Contains(point)) return {CandidateHitKind::HeaderBand, 0};
    if (voiceRowClickable && layout.voiceRect.Contains(point))
        return {CandidateHitKind::VoiceRow, 0};
    for (size_t i = 0; i < layout.rowRects.size(); ++i) {
        if (layout.rowRects[i].Contains(point)) return {CandidateHitKind::Row, i};
    }
    return {};
}

HeaderClickOutcome ResolveHeaderClick(CandidateHitKind kind, CandidateConversionTarget current) {
    using Target = CandidateConversionTarget;
    switch (kind) {
        case CandidateHitKind::BanglaSegment: return {current != Target::Bangla, Target::Bangla};
        case CandidateHitKind::EnglishSegment: return {current != Target::English, Target::English};
        case CandidateHitKind::HeaderBand:
            return {true, current == Target::Bangla ? Target::English : Target::Bangla};
        default: return {false, current};
    }
}

size_t ClampSelection(size_t selected, size_t count) { return selected < count ? selected : 0; }

size_t NextSelection(size_t selected, size_t count) {
    return count == 0 ? 0 : (selected + 1) % count;
}

size_t PrevSelection(size_t selected, size_t count) {
    if (count == 0) return 0;
    return selected == 0 || selected > count ? count - 1 : selected - 1;
}

}  // namespace qorva_tsf
