#include "tsf/candidate_layout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace qorva_tsf {

std::ostream& operator<<(std::ostream& out, const LayoutRect& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

struct LayoutCase {
    std::string name;
    std::vector<int32_t> rowTextWidths;
    bool voiceRowOn;
    int32_t voiceLabelWidth;
    int32_t expectedWidth;
    int32_t expectedHeight;
    size_t expectedRows;
    LayoutRect expectedVoice;
};

class CandidateLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(CandidateLayoutTest, SizesWindowAndRowsFromMeasuredText) {
    const LayoutCase& c = GetParam();
    const CandidateLayout layout =
        LayOutCandidateWindow({c.rowTextWidths, c.voiceRowOn, c.voiceLabelWidth});

    EXPECT_EQ(layout.width, c.expectedWidth);
    EXPECT_EQ(layout.height, c.expectedHeight);
    EXPECT_EQ(layout.voiceRect, c.expectedVoice);
    ASSERT_EQ(layout.rowRects.size(), c.expectedRows);
    const int32_t contentRight = c.expectedWidth - 6;
    EXPECT_EQ(layout.headerRect, (LayoutRect{6, 4, contentRight, 28}));
    for (size_t i = 0; i < layout.rowRects.size(); ++i) {
        const int32_t top = 32 + 26 * static_cast<int32_t>(i);
        EXPECT_EQ(layout.rowRects[i], (LayoutRect{6, top, contentRight, top + 26})) << "row " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CandidateLayoutTest,
    testing::Values(
        LayoutCase{"NarrowRowKeepsMinimumWidth", {50}, false, 0, 192, 62, 1, {}},
        LayoutCase{"WidestRowDecides", {50, 300, 120}, false, 0, 344, 114, 3, {}},
        LayoutCase{"RowExactlyAtMinimum", {148}, false, 0, 192, 62, 1, {}},
        LayoutCase{"TwelveCandidatesShowNineRows",
                   std::vector<int32_t>(12, 60),
                   false,
                   0,
                   192,
                   270,
                   9,
                   {}},
        LayoutCase{"VoiceRowAloneWithoutCandidates", {}, true, 40, 192, 60, 0, {6, 32, 186, 56}},
        LayoutCase{"VoiceRowUnderRows", {50, 50}, true, 40, 192, 112, 2, {6, 84, 186, 108}},
        LayoutCase{
            "LongVoiceLabelWidensToTextPlus82", {100}, true, 400, 482, 86, 1, {6, 58, 476, 82}},
        LayoutCase{
            "VoiceLabelThatFitsDoesNotWiden", {300}, true, 100, 344, 86, 1, {6, 58, 338, 82}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST(CandidateLayout, SegmentsSitAroundTheMiddleAndStayWhenTheVoiceLabelWidens) {
    const CandidateLayout narrow = LayOutCandidateWindow({{50}, false, 0});
    EXPECT_EQ(narrow.banglaRect, (LayoutRect{14, 6, 86, 26}));
    EXPECT_EQ(narrow.englishRect, (LayoutRect{106, 6, 178, 26}));

    const CandidateLayout widened = LayOutCandidateWindow({{50}, true, 400});
    EXPECT_EQ(widened.banglaRect, narrow.banglaRect);
    EXPECT_EQ(widened.englishRect, narrow.englishRect);

    const CandidateLayout wide = LayOutCandidateWindow({{301}, false, 0});  // content width 333
    EXPECT_EQ(wide.banglaRect, (LayoutRect{90, 6, 162, 26}));
    EXPECT_EQ(wide.englishRect, (LayoutRect{182, 6, 254, 26}));
}

struct PlacementCase {
    std::string name;
    LayoutRect caret;
    int32_t width;
    int32_t height;
    LayoutRect workArea;
    int32_t expectedX;
    int32_t expectedY;
};

class CandidatePlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(CandidatePlacementTest, KeepsWindowOnTheWorkArea) {
    const PlacementCase& c = GetParam();
    const LayoutPoint at = PlaceCandidateWindow(c.caret, c.width, c.height, c.workArea);
    EXPECT_EQ(at.x, c.expectedX);
    EXPECT_EQ(at.y, c.expectedY);
}

constexpr LayoutRect kPrimary{0, 0, 1920, 1040};
constexpr LayoutRect kLeftMonitor{-1280, 0, 0, 984};
constexpr LayoutRect kMonitorAbove{0, -1080, 1920, -40};
constexpr LayoutRect kTopTaskbar{0, 40, 1366, 768};

INSTANTIATE_TEST_SUITE_P(
    Cases, CandidatePlacementTest,
    testing::Values(
        PlacementCase{"BelowCaret", {100, 100, 102, 120}, 200, 100, kPrimary, 100, 124},
        PlacementCase{
            "FitsExactlyAboveBottomEdge", {100, 916, 102, 936}, 200, 100, kPrimary, 100, 940},
        PlacementCase{
            "AboveCaretNearBottomEdge", {100, 1000, 102, 1020}, 200, 100, kPrimary, 100, 896},
        PlacementCase{
            "RightEdgeLeaves8Pixels", {1800, 100, 1802, 120}, 200, 100, kPrimary, 1712, 124},
        PlacementCase{"BottomRightCorner", {1900, 1010, 1902, 1030}, 200, 100, kPrimary, 1712, 906},
        PlacementCase{"LeftOfWorkArea", {-5, 100, -3, 120}, 200, 100, kPrimary, 8, 124},
        PlacementCase{
            "LeftMonitorRightEdge", {-100, 500, -98, 520}, 200, 100, kLeftMonitor, -208, 524},
        PlacementCase{
            "LeftMonitorLeftEdge", {-1290, 500, -1288, 520}, 200, 100, kLeftMonitor, -1272, 524},
        PlacementCase{"LeftMonitorShorterThanPrimary",
                      {-600, 900, -598, 920},
                      200,
                      100,
                      kLeftMonitor,
                      -600,
                      796},
        PlacementCase{
            "MonitorAboveNearItsBottom", {300, -90, 302, -70}, 200, 100, kMonitorAbove, 300, -194},
        PlacementCase{
            "TallerThanTheSpaceAboveTheCaret", {10, 50, 12, 70}, 200, 700, kTopTaskbar, 10, 48},
        PlacementCase{"TopTaskbarBelowCaret", {10, 50, 12, 70}, 200, 100, kTopTaskbar, 10, 74}),
    [](const testing::TestParamInfo<PlacementCase>& info) { return info.param.name; });

TEST(CandidatePlacement, MonitorIsChosenAtTheWindowsIntendedTopLeft) {
    const LayoutPoint probe = PlacementProbePoint({-40, 300, -38, 318});
    EXPECT_EQ(probe.x, -40);
    EXPECT_EQ(probe.y, 322);
}

struct HitCase {
    std::string name;
    LayoutPoint point;
    bool voiceClickable;
    CandidateHitKind expectedKind;
    size_t expectedRow;
};

class CandidateHitTest : public testing::TestWithParam<HitCase> {};

// Content width 180: segments 14..86 and 106..178, twelve candidates (nine rows from y 32 to 266),
// voice row from y 266 to 290.
TEST_P(CandidateHitTest, FindsWhatAClickHits) {
    const HitCase& c = GetParam();
    const CandidateLayout layout = LayOutCandidateWindow({std::vector<int32_t>(12, 60), true, 40});
    const CandidateHit hit = HitTestCandidateWindow(layout, c.point, c.voiceClickable);
    EXPECT_EQ(hit.kind, c.expectedKind);
    if (c.expectedKind == CandidateHitKind::Row) {
        EXPECT_EQ(hit.row, c.expectedRow);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CandidateHitTest,
    testing::Values(
        HitCase{"BanglaSegment", {20, 10}, true, CandidateHitKind::BanglaSegment, 0},
        HitCase{"EnglishSegment", {177, 25}, true, CandidateHitKind::EnglishSegment, 0},
        HitCase{"GapBetweenSegments", {96, 16}, true, CandidateHitKind::HeaderBand, 0},
        HitCase{"BandBesideSegments", {8, 5}, true, CandidateHitKind::HeaderBand, 0},
        HitCase{"BandBelowSegments", {50, 27}, true, CandidateHitKind::HeaderBand, 0},
        HitCase{"RightOfTheBand", {186, 16}, true, CandidateHitKind::Nothing, 0},
        HitCase{"BetweenHeaderAndRows", {50, 30}, true, CandidateHitKind::Nothing, 0},
        HitCase{"FirstRow", {50, 32}, true, CandidateHitKind::Row, 0},
        HitCase{"RowBoundaryBelongsToLowerRow", {50, 58}, true, CandidateHitKind::Row, 1},
        HitCase{"NinthRow", {150, 265}, true, CandidateHitKind::Row, 8},
        HitCase{"VoiceRow", {50, 270}, true, CandidateHitKind::VoiceRow, 0},
        HitCase{"VoiceRowWithoutReceiver", {50, 270}, false, CandidateHitKind::Nothing, 0},
        HitCase{"LeftMargin", {3, 40}, true, CandidateHitKind::Nothing, 0}),
    [](const testing::TestParamInfo<HitCase>& info) { return info.param.name; });

struct HeaderClickCase {
    std::string name;
    CandidateHitKind kind;
    CandidateConversionTarget current;
    bool expectedChanged;
    CandidateConversionTarget expectedTarget;
};

class HeaderClickTest : public testing::TestWithParam<HeaderClickCase> {};

TEST_P(HeaderClickTest, ChangesTargetOnlyWhenTheClickMeansIt) {
    const HeaderClickCase& c = GetParam();
    const HeaderClickOutcome outcome = ResolveHeaderClick(c.kind, c.current);
    EXPECT_EQ(outcome.changed, c.expectedChanged);
    if (c.expectedChanged) {
        EXPECT_EQ(outcome.target, c.expectedTarget);
    }
}

using Kind = CandidateHitKind;
using Target = CandidateConversionTarget;

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderClickTest,
    testing::Values(
        HeaderClickCase{"ActiveBanglaSegment", Kind::BanglaSegment, Target::Bangla, false, {}},
        HeaderClickCase{"InactiveBanglaSegment", Kind::BanglaSegment, Target::English, true,
                        Target::Bangla},
        HeaderClickCase{"InactiveEnglishSegment", Kind::EnglishSegment, Target::Bangla, true,
                        Target::English},
        HeaderClickCase{"ActiveEnglishSegment", Kind::EnglishSegment, Target::English, false, {}},
        HeaderClickCase{"BandFlipsToEnglish", Kind::HeaderBand, Target::Bangla, true,
                        Target::English},
        HeaderClickCase{"BandFlipsToBangla", Kind::HeaderBand, Target::English, true,
                        Target::Bangla},
        HeaderClickCase{"RowIsNoHeaderClick", Kind::Row, Target::English, false, {}}),
    [](const testing::TestParamInfo<HeaderClickCase>& info) { return info.param.name; });

TEST(CandidateSelection, ClampsAndWrapsOverTheWholeList) {
    EXPECT_EQ(ClampSelection(7, 3), 0u);
    EXPECT_EQ(ClampSelection(2, 3), 2u);
    EXPECT_EQ(ClampSelection(3, 3), 0u);
    EXPECT_EQ(ClampSelection(0, 0), 0u);

    // Twelve candidates: the selection reaches the three that are not shown.
    EXPECT_EQ(NextSelection(8, 12), 9u);
    EXPECT_EQ(NextSelection(11, 12), 0u);
    EXPECT_EQ(PrevSelection(0, 12), 11u);
    EXPECT_EQ(PrevSelection(5, 12), 4u);
    EXPECT_EQ(NextSelection(0, 1), 0u);
    EXPECT_EQ(PrevSelection(0, 1), 0u);
    // A stale selection beyond the list never stays out of range.
    EXPECT_EQ(PrevSelection(9, 3), 2u);
}

TEST(CandidateSelection, RowsShownAreCappedAtNine) {
    EXPECT_EQ(ShownRowCount(0), 0u);
    EXPECT_EQ(ShownRowCount(5), 5u);
    EXPECT_EQ(ShownRowCount(9), 9u);
    EXPECT_EQ(ShownRowCount(12), 9u);
}

}  // namespace
}  // namespace qorva_tsf
