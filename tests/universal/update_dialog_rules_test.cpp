// What the update dialogs show and decide, over plain values: the texts of the header, the card
// and the updater, the download's percentage, the files a clean install purges, the crystal's
// place and the manual check's answer to each result.
#include "universal/update_dialog_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "update/update_service.h"

namespace qorva::universal {
namespace {

TEST(UpdateDialogTexts, VersionIsCutAtTheFirstNulAndFallsBackToTheProgramsOwn) {
    const struct {
        std::string release;
        const wchar_t* shown;
    } cases[] = {
        {"1.3.0", L"1.3.0"},
        {std::string("1.3\0.9", 6), L"1.3"},
        {"", L"1.2.0"},
        {std::string("\0x", 2), L"1.2.0"},
        {"2.0.0-\xE0\xA6\xAC\xE0\xA6\xBF", L"2.0.0-\u09AC\u09BF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShownVersion(c.release, "1.2.0"), c.shown);
    }
    EXPECT_EQ(Utf8ToWideStr(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(Utf8ToWideStr(""), L"");
    EXPECT_EQ(VersionPillText("1.3.0", "1.2.0"), L"v1.3.0 \u2022 Latest");
    EXPECT_EQ(VersionPillText("", "1.2.0"), L"v1.2.0 \u2022 Latest");
}

TEST(UpdateDialogTexts, DateLineNamesWeekdayAndMonthWithATwoDigitDay) {
    EXPECT_EQ(ReleaseDateLine({2026, 12, 9, 3}), L"Release Date: Wednesday, December 09, 2026");
    EXPECT_EQ(ReleaseDateLine({2027, 1, 31, 0}), L"Release Date: Sunday, January 31, 2027");
    EXPECT_EQ(ReleaseDateLine({2026, 8, 1, 6}), L"Release Date: Saturday, August 01, 2026");
}

TEST(UpdateDialogTexts, DescriptionsMoveRightEightPixelsPerUnitOfTheTitle) {
    EXPECT_EQ(FeatureDescriptionX(L""), 66);
    EXPECT_EQ(FeatureDescriptionX(kUpdateFeatures[0].title), 66 + 8 * 25);
    EXPECT_EQ(FeatureDescriptionX(L"\u09AC\u09BE\u0982"), 66 + 24);
}

TEST(UpdaterProgress, SizeAndPercentageCountAgainstTheReleaseOrTheAssumedSize) {
    EXPECT_EQ(InstallerSizeLine(20504558), L"Size: 19 MB");
    EXPECT_EQ(InstallerSizeLine(0), L"Size: 20 MB");
    EXPECT_EQ(InstallerSizeLine(1048575), L"Size: 0 MB");

    const struct {
        uint64_t fileSize;
        uint64_t received;
        int32_t percent;
    } cases[] = {
        {1000, 0, 0},       {1000, 999, 99},    {1000, 1000, 100},
        {1000, 5000, 100},  // a server that sends more than announced
        {0, 10236794, 49},  // no size: counted against 20473589 bytes
        {0, 20473589, 100}, {0, 40000000, 100}, {20504558, 20504557, 99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DownloadPercent(c.received, PercentageBase(c.fileSize)), c.percent)
            << c.fileSize << " " << c.received;
    }
    EXPECT_EQ(DownloadPercent(5, 0), 0);
    EXPECT_EQ(ProgressFillWidth(434, 0), 0);
    EXPECT_EQ(ProgressFillWidth(434, 50), 217);
    EXPECT_EQ(ProgressFillWidth(434, 100), 434);
}

TEST(UpdaterProgress, StatusTextFollowsThePhase) {
    EXPECT_EQ(UpdaterStatusText(UpdaterPhase::Downloading, 0), L"0%");
    EXPECT_EQ(UpdaterStatusText(UpdaterPhase::Downloading, 57), L"57%");
    EXPECT_EQ(UpdaterStatusText(UpdaterPhase::Succeeded, 57), L"100% \u2014 Download Complete!");
    EXPECT_EQ(UpdaterStatusText(UpdaterPhase::Failed, 57), L"Download Failed");
}

TEST(CleanInstallPurge, OldCopiesBackupsMarkersAndTestLeftoversGoCaseSensitively) {
    const struct {
        const wchar_t* name;
        bool purged;
    } cases[] = {
        {L"user_dict.txt.pre-lexicon-fix.bak", true},
        {L"learned_repaired_v2.flag", true},
        {L"qorva_universal.exe.old", true},
        {L"mystery_words.tsv", true},
        {L"a.oldish", true},  // anywhere in the name
        {L"user_dict.txt", false},
        {L"settings.json", false},
        {L"user_bigrams.tsv", false},
        {L"Notes.OLD", false},
        {L"backup.BAK", false},
        {L"Mystery.txt", false},
        {L"old", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PurgedBeforeCleanInstall(c.name), c.purged) << std::wstring(c.name).size();
    }
}

TEST(UpdaterCrystal, ProjectsTheModelAndStaysInTheTopCardLeftOfTheDivider) {
    const ScreenPointF start = ProjectCrystalVertex({0.9f, -0.2f, 0.0f}, {0.0f, 0.0f, 0.0f});
    EXPECT_NEAR(start.x, 75 + 85 * 0.9 / 2.8, 1e-4);
    EXPECT_NEAR(start.y, 80 + 85 * -0.2 / 2.8, 1e-4);
    // A quarter turn about y brings the front vertex to the right.
    const ScreenPointF turned = ProjectCrystalVertex({0.0f, 0.0f, 0.5f}, {0.0f, 1.5707964f, 0.0f});
    EXPECT_NEAR(turned.x, 75 + 85 * 0.5 / 2.8, 1e-4);
    EXPECT_NEAR(turned.y, 80, 1e-4);

    // However long the dialog stays open: the card spans x 14 to 136 (the divider), y 12 to 148.
    CrystalAngles angles;
    for (int tick = 0; tick < 3000; ++tick) {
        for (const CrystalVertex& vertex : kCrystalVertices) {
            const ScreenPointF point = ProjectCrystalVertex(vertex, angles);
            ASSERT_GT(point.x, 14);
            ASSERT_LT(point.x, 136);
            ASSERT_GT(point.y, 12);
            ASSERT_LT(point.y, 148);
        }
        angles.x += kCrystalTurnPerTick.x;
        angles.y += kCrystalTurnPerTick.y;
        angles.z += kCrystalTurnPerTick.z;
    }
    for (const auto& edge : kCrystalEdges) {
        EXPECT_LT(edge[0], 14);
        EXPECT_LT(edge[1], 14);
    }
}

TEST(ManualUpdateCheck, OnlyAFoundReleaseIsOfferedAndEveryFailureOffersTheWebsite) {
    EXPECT_EQ(ManualCheckStepFor(kCheckNewerRelease), ManualCheckStep::OfferRelease);
    EXPECT_EQ(ManualCheckStepFor(kCheckUpToDate), ManualCheckStep::ReportUpToDate);
    EXPECT_EQ(ManualCheckStepFor(kCheckNoConnection), ManualCheckStep::OfferUpdateWebsite);
    EXPECT_EQ(ManualCheckStepFor(kCheckFailed), ManualCheckStep::OfferUpdateWebsite);
}

}  // namespace
}  // namespace qorva::universal
