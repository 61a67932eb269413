#include <gtest/gtest.h>

#include "update/update_cache.h"

namespace qorva::update_cache {
namespace {

constexpr uint64_t kNow = 1'800'000'000;

TEST(UpdateCache, FirstCheckWritesFiveLinesWithEmptyDismissal) {
    EXPECT_EQ(Format(AfterCheck(std::nullopt, kNow)),
              "{\r\n  \"last_check_epoch\": 1800000000,\r\n  \"dismissed_version\": \"\",\r\n"
              "  \"dismissed_epoch\": 0\r\n}\r\n");
}

TEST(UpdateCache, DismissalKeepsTheLastCheckAndACheckKeepsTheDismissal) {
    const std::string checked = Format(AfterCheck(std::nullopt, 1000));
    const Contents dismissed = AfterDismissal(checked, "2.0.0", kNow);
    EXPECT_EQ(dismissed.lastCheckEpoch, 1000u);
    EXPECT_EQ(dismissed.dismissedVersion, "2.0.0");
    EXPECT_EQ(dismissed.dismissedEpoch, kNow);

    const Contents rechecked = AfterCheck(Format(dismissed), kNow + 5);
    EXPECT_EQ(rechecked.lastCheckEpoch, kNow + 5);
    EXPECT_EQ(rechecked.dismissedVersion, "2.0.0");
    EXPECT_EQ(rechecked.dismissedEpoch, kNow);
}

TEST(UpdateCache, DismissalBeforeAnyCheckStoresItsTimeAsTheCheck) {
    const Contents dismissed = AfterDismissal(std::nullopt, "2.0.0", kNow);
    EXPECT_EQ(dismissed.lastCheckEpoch, kNow);
    EXPECT_EQ(dismissed.dismissedEpoch, kNow);
}

TEST(UpdateCache, HostileVersionTextCannotBreakTheFile) {
    const std::string version = "1.0\"\r\n, \"last_check_epoch\": 1\\";
    const std::string file = Format(AfterDismissal(std::nullopt, version, kNow));
    EXPECT_TRUE(IsDismissed(file, "1.0\", \"last_check_epoch\": 1\\", kNow));
    EXPECT_FALSE(IsCheckDue(file, kNow));
}

struct DueCase {
    const char* name;
    std::optional<std::string> file;
    uint64_t now;
    bool due;
};

std::string CheckedAt(uint64_t when) { return Format(AfterCheck(std::nullopt, when)); }

class CheckDueTest : public ::testing::TestWithParam<DueCase> {};

TEST_P(CheckDueTest, DecidesWhetherAnAutomaticCheckIsDue) {
    EXPECT_EQ(IsCheckDue(GetParam().file, GetParam().now), GetParam().due);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckDueTest,
    ::testing::Values(DueCase{"NoFile", std::nullopt, kNow, true},
                      DueCase{"Damaged", "{\"last_check", kNow, true},
                      DueCase{"InTheFuture", CheckedAt(kNow + 1), kNow, true},
                      DueCase{"JustBeforeADay", CheckedAt(kNow - 86399), kNow, false},
                      DueCase{"ExactlyADay", CheckedAt(kNow - 86400), kNow, true},
                      DueCase{"KeysAnywhere", "junk \"last_check_epoch\" junk : \"1800000000\"",
                              kNow, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateCache, DismissalLastsAWeekForTheSameTextOnly) {
    const std::string file = Format(AfterDismissal(std::nullopt, "1.2.0", kNow));
    EXPECT_TRUE(IsDismissed(file, "1.2.0", kNow + 604799));
    EXPECT_FALSE(IsDismissed(file, "1.2.0", kNow + 604800));
    EXPECT_FALSE(IsDismissed(file, "v1.2.0", kNow));
    EXPECT_FALSE(IsDismissed(file, "1.2.0", kNow - 1));
    EXPECT_FALSE(IsDismissed(std::nullopt, "1.2.0", kNow));
    EXPECT_FALSE(IsDismissed(std::string("{\"dismissed_version\": \"1.2.0\"}"), "1.2.0", kNow));
}

std::tm LocalAt(int year, int yday, int hour, int minute, int mday, int mon) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_yday = yday;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_mday = mday;
    t.tm_mon = mon;
    return t;
}

std::tm g_lastCheckLocal;
std::tm FixedLocal(uint64_t) { return g_lastCheckLocal; }

TEST(UpdateCache, LastCheckTextInBengali) {
    const std::tm now = LocalAt(2026, 100, 12, 0, 11, 3);
    EXPECT_EQ(LastCheckText(std::nullopt, now, FixedLocal), "এখনও পরীক্ষা করা হয়নি");
    const std::string file = CheckedAt(kNow);
    g_lastCheckLocal = LocalAt(2026, 100, 9, 5, 11, 3);
    EXPECT_EQ(LastCheckText(file, now, FixedLocal), "আজ ০৯:০৫");
    g_lastCheckLocal = LocalAt(2026, 99, 23, 10, 10, 3);
    EXPECT_EQ(LastCheckText(file, now, FixedLocal), "গতকাল ২৩:১০");
    g_lastCheckLocal = LocalAt(2025, 364, 14, 0, 31, 11);
    EXPECT_EQ(LastCheckText(file, now, FixedLocal), "৩১/১২/২০২৫ ১৪:০০");
}

}  // namespace
}  // namespace qorva::update_cache
