// Geometry and row model of the candidate popup, free of any window system so that both typing
// programs share one tested definition of where things go and what a click hits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qorva_tsf {

// State of the popup's header toggle; the text input processor's conversion target uses the same
// values.
enum class CandidateConversionTarget : int32_t { Bangla = 0, English = 1 };

// The popup's voice row: hidden, idle (or showing a message), listening, transcribing.
enum class CandidateVoiceState : int32_t { Hidden = 0, Idle = 1, Listening = 2, Transcribing = 3 };

struct LayoutPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct LayoutRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Half-open like the window system's own rectangles: the right and bottom edges are outside.
    bool Contains(LayoutPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
};

inline bool operator==(const LayoutRect& a, const LayoutRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// More candidates than this are kept (and cycled through by the selection) but not shown.
constexpr size_t kMaxCandidateRows = 9;

size_t ShownRowCount(size_t candidateCount);

// What the layout needs to know from text measurement, which only the window can do.
struct CandidateLayoutInput {
    // For each shown row: width of its number label in the label font plus width of the candidate
    // in the candidate font.
    std::vector<int32_t> rowTextWidths;
    bool voiceRowOn = false;
    // Width of the voice row's label in the candidate font; used only while the row is on.
    int32_t voiceLabelWidth = 0;
};

// Everything in client coordinates of the popup.
struct CandidateLayout {
    LayoutRect headerRect;
    LayoutRect banglaRect;
    LayoutRect englishRect;
    std::vector<LayoutRect> rowRects;
    LayoutRect voiceRect;  // empty while the voice row is off
    int32_t width = 0;
    int32_t height = 0;
};

CandidateLayout LayOutCandidateWindow(const CandidateLayoutInput& input);

// The point whose monitor decides the work area the popup must stay inside.
LayoutPoint PlacementProbePoint(const LayoutRect& caret);

// Top-left corner of a popup of the given size shown under the caret, moved above the caret when
// it would run past the bottom, and kept inside the work area near its other edges.
LayoutPoint PlaceCandidateWindow(const LayoutRect& caret, int32_t width, int32_t height,
                                 const LayoutRect& workArea);

enum class CandidateHitKind { Nothing, BanglaSegment, EnglishSegment, HeaderBand, VoiceRow, Row };

struct CandidateHit {
    CandidateHitKind kind = CandidateHitKind::Nothing;
    size_t row = 0;  // meaningful for Row only
};

// First match wins: the two segments, the rest of the header band, the voice row (only when a
// click there has a receiver), then the candidate rows.
CandidateHit HitTestCandidateWindow(const CandidateLayout& layout, LayoutPoint point,
                                    bool voiceRowClickable);

struct HeaderClickOutcome {
    bool changed = false;
    CandidateConversionTarget target = CandidateConversionTarget::Bangla;
};

// A click on the active segment changes nothing; the inactive segment selects itself; anywhere
// else in the header band flips the target.
HeaderClickOutcome ResolveHeaderClick(CandidateHitKind kind, CandidateConversionTarget current);

// Selection over the whole candidate list (not only the shown rows), wrapping at both ends.
size_t ClampSelection(size_t selected, size_t count);
size_t NextSelection(size_t selected, size_t count);
size_t PrevSelection(size_t selected, size_t count);

}  // namespace qorva_tsf
