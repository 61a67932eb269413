#include <gtest/gtest.h>

#include "update/release_feed.h"
#include "update/update_service.h"

namespace qorva {
namespace {

using release_feed::ExtractJsonBool;
using release_feed::ExtractJsonNumber;
using release_feed::ExtractJsonString;
using release_feed::ParseSingleReleaseObject;

TEST(JsonExtractors, FindValuesAfterTheFirstQuotedKey) {
    uint64_t number = 7;
    EXPECT_TRUE(ExtractJsonNumber(R"({"file_size": null, "x": 12})", "file_size", number));
    EXPECT_EQ(number, 12u);
    EXPECT_TRUE(ExtractJsonNumber(R"({"file_size": -5})", "file_size", number));
    EXPECT_EQ(number, 5u);
    EXPECT_TRUE(ExtractJsonNumber(R"({"file_size": "42"})", "file_size", number));
    EXPECT_EQ(number, 42u);
    number = 7;
    EXPECT_FALSE(
        ExtractJsonNumber(R"({"file_size": 99999999999999999999999})", "file_size", number));
    EXPECT_FALSE(ExtractJsonNumber(R"({"file_size": none})", "file_size", number));
    EXPECT_FALSE(ExtractJsonNumber(R"({"file_size")", "file_size", number));
    EXPECT_EQ(number, 7u);

    bool flag = false;
    EXPECT_FALSE(ExtractJsonBool(R"({"prerelease": TRUE})", "prerelease", flag));
    EXPECT_TRUE(ExtractJsonBool("{\"prerelease\":\r\n\t true}", "prerelease", flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(ExtractJsonBool(R"({"prerelease": false})", "prerelease", flag));
    EXPECT_FALSE(flag);

    std::string text = "unchanged";
    std::size_t end = 0;
    EXPECT_TRUE(ExtractJsonString(R"({"name": "a\"b\\c\/d\u0985\n"})", "name", text, 0, &end));
    EXPECT_EQ(text, "a\"b\\c/du0985\n");
    EXPECT_EQ(end, 29u);
    text = "unchanged";
    EXPECT_FALSE(ExtractJsonString(R"({"name": "open)", "name", text));
    EXPECT_FALSE(ExtractJsonString(R"({"name" 5})", "name", text));
    EXPECT_EQ(text, "unchanged");
}

TEST(ReleaseObject, GitHubTagWithoutName) {
    ReleaseInfo release;
    ASSERT_TRUE(ParseSingleReleaseObject(R"({"tag_name": "V2.0.0", "body": "Fixes"})", release));
    EXPECT_EQ(release.versionText, "2.0.0");
    EXPECT_EQ(release.tag, "V2.0.0");
    EXPECT_EQ(release.title, "Qorva V2.0.0");
    EXPECT_EQ(release.notes, "Fixes");
    EXPECT_EQ(release.pageUrl, release_feed::kReleasePageUrl);
    EXPECT_EQ(release.downloadUrl, release_feed::kReleasePageUrl);
    EXPECT_FALSE(release.isPrerelease);
}

TEST(ReleaseObject, MakerFeedVersionAndChangelog) {
    ReleaseInfo release;
    ASSERT_TRUE(ParseSingleReleaseObject(
        R"({"version": "v1.3.0", "changelog": ["a", "", "b\n"], "release_date": "2026-01-02",
            "download_url": "https://host/QorvaSetup.exe", "sha256": "ab12", "file_size": 1000})",
        release));
    EXPECT_EQ(release.versionText, "v1.3.0");
    EXPECT_EQ(release.tag, "vv1.3.0");
    EXPECT_EQ(UpdateService::CompareVersions(release.versionText, "1.3.0"), 0);
    EXPECT_EQ(release.notes, "• a\n• bn");
    EXPECT_EQ(release.publishedAt, "2026-01-02");
    EXPECT_EQ(release.downloadUrl, "https://host/QorvaSetup.exe");
    EXPECT_EQ(release.sha256Hex, "ab12");
    EXPECT_EQ(release.fileSize, 1000u);
}

TEST(ReleaseObject, SuffixedVersionIsAPrerelease) {
    ReleaseInfo release;
    ASSERT_TRUE(ParseSingleReleaseObject(R"({"tag_name": "v2.0.0-rc1"})", release));
    EXPECT_TRUE(release.isPrerelease);
}

TEST(ReleaseObject, WithoutTagOrVersionLeavesTheRecord) {
    ReleaseInfo release;
    release.title = "kept";
    EXPECT_FALSE(ParseSingleReleaseObject(R"({"name": "x"})", release));
    EXPECT_FALSE(ParseSingleReleaseObject("", release));
    EXPECT_EQ(release.title, "kept");
}

struct AssetCase {
    const char* name;
    const char* assets;
    const char* downloadUrl;
    const char* sha256;
    uint64_t size;
};

class InstallerAssetTest : public ::testing::TestWithParam<AssetCase> {};

TEST_P(InstallerAssetTest, PicksTheInstaller) {
    const AssetCase& c = GetParam();
    ReleaseInfo release;
    const std::string object =
        std::string(R"({"tag_name": "v2.0.0", "download_url": "https://feed/x.exe", )") +
        R"("assets": [)" + c.assets + "]}";
    ASSERT_TRUE(ParseSingleReleaseObject(object, release));
    EXPECT_EQ(release.downloadUrl, c.downloadUrl);
    EXPECT_EQ(release.sha256Hex, c.sha256);
    EXPECT_EQ(release.fileSize, c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Assets, InstallerAssetTest,
    ::testing::Values(
        AssetCase{
            "PreferredNameStopsTheScan",
            R"({"name": "Setup.exe", "browser_download_url": "u1", "digest": "sha256:11", "size": 1},
                     {"name": "QorvaSetup.exe", "browser_download_url": "u2", "digest": "sha256:22", "size": 2},
                     {"name": "Other.exe", "browser_download_url": "u3", "digest": "sha256:33", "size": 3})",
            "u2", "sha256:22", 2},
        AssetCase{"LastInstallerWinsWithoutPreferredName",
                  R"({"name": "A.exe", "browser_download_url": "u1", "size": 1},
                     {"name": "notes.txt", "browser_download_url": "t", "size": 9},
                     {"name": "B.exe", "browser_download_url": "u2", "size": 2})",
                  "u2", "", 2},
        AssetCase{"UpperCaseExtensionIsNoInstaller",
                  R"({"name": "Setup.EXE", "browser_download_url": "u1"})", "https://feed/x.exe",
                  "", 0},
        AssetCase{"DigestCarriesOverFromAnEarlierAsset",
                  R"({"name": "A.exe", "browser_download_url": "u1", "digest": "sha256:aa"},
                     {"name": "B.exe", "browser_download_url": "u2"})",
                  "u2", "sha256:aa", 0}),
    [](const ::testing::TestParamInfo<AssetCase>& info) { return std::string(info.param.name); });

TEST(ReleaseJson, ArrayKeepsTheFirstHighestAcceptableRelease) {
    ReleaseInfo release;
    ASSERT_TRUE(UpdateService::ParseReleaseJson(
        R"([{"tag_name": "v3.0.0", "draft": true},
            {"tag_name": "v2.5.0", "prerelease": true},
            {"tag_name": "v2.1.0", "name": "first", "body": "has } and ] inside \" quotes"},
            {"tag_name": "v2.1.0", "name": "second"},
            {"tag_name": "v2.0.9"}])",
        release, false));
    EXPECT_EQ(release.versionText, "2.1.0");
    EXPECT_EQ(release.title, "first");
}

TEST(ReleaseJson, NothingAcceptableLeavesTheRecord) {
    for (const char* text :
         {"", " \r\n\t", "[]", R"([{"tag_name": "v3.0.0", "draft": true}])",
          R"({"tag_name": "v3.0.0-beta"})", "not json at all", "[{{{{", "]]]}}}"}) {
        ReleaseInfo release;
        release.title = "kept";
        EXPECT_FALSE(UpdateService::ParseReleaseJson(text, release, false)) << text;
        EXPECT_EQ(release.title, "kept") << text;
    }
}

TEST(ReleaseJson, PrereleasesCountOnlyWhenAsked) {
    ReleaseInfo release;
    ASSERT_TRUE(UpdateService::ParseReleaseJson(
        R"([{"tag_name": "v2.0.0-rc1"}, {"tag_name": "v2.0.0"}])", release, true));
    EXPECT_EQ(release.versionText, "2.0.0");
}

}  // namespace
}  // namespace qorva
