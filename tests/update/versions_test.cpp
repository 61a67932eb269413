#include <gtest/gtest.h>

#include "update/update_service.h"

namespace qorva {
namespace {

struct ParseCase {
    const char* text;
    int32_t major, minor, patch;
    const char* preRelease;
};

class SemVerParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(SemVerParseTest, ReadsNumbersAndSuffix) {
    const ParseCase& c = GetParam();
    const SemVer v = SemVer::Parse(c.text);
    EXPECT_EQ(v.major, c.major);
    EXPECT_EQ(v.minor, c.minor);
    EXPECT_EQ(v.patch, c.patch);
    EXPECT_EQ(v.preRelease, c.preRelease);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, SemVerParseTest,
    ::testing::Values(ParseCase{"1.2.3", 1, 2, 3, ""}, ParseCase{"v1.2.3", 1, 2, 3, ""},
                      ParseCase{"V1.2.3", 1, 2, 3, ""}, ParseCase{"vv1.2.3", 0, 2, 3, ""},
                      ParseCase{"1.2", 1, 2, 0, ""}, ParseCase{"", 0, 0, 0, ""},
                      ParseCase{"1.2.3-beta.1", 1, 2, 3, "beta.1"},
                      ParseCase{"1.2.3+build.5", 1, 2, 3, ""}, ParseCase{"1.x.3", 1, 0, 3, ""},
                      ParseCase{"2147483648.0.0", 0, 0, 0, ""},
                      ParseCase{"-1.0.0", 0, 0, 0, "1.0.0"}, ParseCase{" +4.5.6.7", 4, 5, 6, ""},
                      ParseCase{"99999999999999999999.1", 0, 1, 0, ""}));

struct CompareCase {
    const char* a;
    const char* b;
    int expected;
};

class CompareVersionsTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareVersionsTest, OrdersAsReleasesAreOrdered) {
    const CompareCase& c = GetParam();
    EXPECT_EQ(UpdateService::CompareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(UpdateService::CompareVersions(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CompareVersionsTest,
    ::testing::Values(CompareCase{"v1.2.3", "1.2.3", 0}, CompareCase{"V1.2.3", "1.2.3", 0},
                      CompareCase{"1.2", "1.2.0", 0}, CompareCase{"1.10.0", "1.9.0", 1},
                      CompareCase{"1.2.3-beta", "1.2.3", -1},
                      CompareCase{"1.2.3-rc10", "1.2.3-rc9", -1},
                      CompareCase{"1.2.3-rc", "1.2.3-rc1", -1}, CompareCase{"-1.0.0", "0.0.0", -1},
                      CompareCase{"", "0.0.0", 0}, CompareCase{"1.1.0", "1.2.0-beta", -1},
                      CompareCase{"2.0.0", "1.99.99", 1}));

TEST(CurrentVersion, IsTheDeliverablesOwn) {
    EXPECT_EQ(UpdateService::GetCurrentVersion(), "1.2.0");
    EXPECT_EQ(UpdateService::GetCurrentVersionW(), L"1.2.0");
}

}  // namespace
}  // namespace qorva
