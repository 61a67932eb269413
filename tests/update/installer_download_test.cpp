#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "update/installer_download.h"

namespace qorva {
namespace {

// An in-memory file system with scripted downloads.
class FakeStore : public InstallerStore {
public:
    struct Script {
        std::string bytes;  // empty: the transfer fails
        bool cancelDuringTransfer = false;
    };
    std::map<std::string, Script> scripts;
    std::map<std::wstring, std::string> files;
    std::vector<std::string> fetched;
    std::atomic<bool>* cancelFlag = nullptr;

    bool Fetch(const std::string& url, const std::wstring& path, const DownloadProgress& progress,
               std::atomic<bool>* cancel, uint64_t& written) override {
        fetched.push_back(url);
        written = 0;
        const auto it = scripts.find(url);
        if (it == scripts.end() || it->second.bytes.empty()) return false;
        if (it->second.cancelDuringTransfer) {
            cancel->store(true);
            return false;
        }
        files[path] = it->second.bytes;
        written = it->second.bytes.size();
        if (progress) progress(written, written);
        return true;
    }
    void Delete(const std::wstring& path) override { files.erase(path); }
    bool Sha256Matches(const std::wstring& path, const std::string& expectedHex) override {
        // Stand-in digest: the file's own bytes.
        return files.count(path) && NormalizeExpectedSha256(expectedHex) == files[path];
    }
    bool Replace(const std::wstring& from, const std::wstring& to) override {
        if (!files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
};

const std::wstring kDest = L"C:\\Temp\\Qorva_Update\\QorvaSetup.exe";
const std::string kP = "https://p.example/QorvaSetup.exe";
const std::string kF = "https://f.example/QorvaSetup.exe";

struct DownloadCase {
    const char* name;
    std::map<std::string, FakeStore::Script> scripts;
    std::string primary, fallback, sha256;
    uint64_t size;
    int expected;
    std::vector<std::string> fetched;
};

class DownloadInstallerTest : public ::testing::TestWithParam<DownloadCase> {};

TEST_P(DownloadInstallerTest, LeavesOnlyAVerifiedInstaller) {
    const DownloadCase& c = GetParam();
    FakeStore store;
    store.scripts = c.scripts;
    store.files[kDest] = "stale installer";
    std::atomic<bool> cancel{false};
    uint64_t lastProgress = 0;
    const int result = DownloadInstallerUsing(
        store, c.primary, c.fallback, kDest, c.sha256, c.size,
        [&](uint64_t written, uint64_t) { lastProgress = written; }, &cancel);
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(store.fetched, c.fetched);
    EXPECT_EQ(store.files.count(PartialDownloadPath(kDest)), 0u) << "no partial file may remain";
    if (result == kDownloadOk) {
        EXPECT_EQ(store.files.size(), 1u);
        EXPECT_EQ(lastProgress, store.files[kDest].size());
    } else {
        EXPECT_TRUE(store.files.empty()) << "the stale or rejected installer must be gone";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadInstallerTest,
    ::testing::Values(
        DownloadCase{"Verified", {{kP, {"abc"}}}, kP, kF, "sha256:ABC", 3, kDownloadOk, {kP}},
        DownloadCase{"NoExpectations", {{kP, {"abc"}}}, kP, "", "", 0, kDownloadOk, {kP}},
        DownloadCase{
            "FallbackAfterFailedPrimary", {{kF, {"abc"}}}, kP, kF, "abc", 3, kDownloadOk, {kP, kF}},
        DownloadCase{"EmptyPrimaryUsesFallback", {{kF, {"abc"}}}, "", kF, "", 0, kDownloadOk, {kF}},
        DownloadCase{"SameAddressTriedOnce", {}, kP, kP, "", 0, kDownloadFailed, {kP}},
        DownloadCase{"NoAddresses", {}, "", "", "", 0, kDownloadFailed, {}},
        DownloadCase{"WrongSizeSkipsFallback",
                     {{kP, {"abcd"}}, {kF, {"abc"}}},
                     kP,
                     kF,
                     "",
                     3,
                     kDownloadVerificationFailed,
                     {kP}},
        DownloadCase{
            "WrongDigest", {{kP, {"abc"}}}, kP, "", "abd", 3, kDownloadVerificationFailed, {kP}},
        DownloadCase{"CapitalPrefixNeverMatches",
                     {{kP, {"abc"}}},
                     kP,
                     "",
                     "SHA256:abc",
                     0,
                     kDownloadVerificationFailed,
                     {kP}},
        DownloadCase{"CancelledDuringPrimary",
                     {{kP, {"abc", true}}, {kF, {"abc"}}},
                     kP,
                     kF,
                     "",
                     0,
                     kDownloadCancelled,
                     {kP}},
        DownloadCase{"PlainHttpNeverFetched",
                     {{"http://p", {"abc"}}},
                     "http://p",
                     "",
                     "abc",
                     3,
                     kDownloadFailed,
                     {}},
        DownloadCase{"PlainHttpPrimarySkippedForAnHttpsFallback",
                     {{"http://p", {"abc"}}, {kF, {"abc"}}},
                     "http://p",
                     kF,
                     "",
                     0,
                     kDownloadOk,
                     {kF}},
        DownloadCase{"PlainHttpFallbackNeverFetched",
                     {{"http://f", {"abc"}}},
                     kP,
                     "http://f",
                     "",
                     0,
                     kDownloadFailed,
                     {kP}},
        DownloadCase{"CancelledDuringFallback",
                     {{kF, {"abc", true}}},
                     kP,
                     kF,
                     "",
                     0,
                     kDownloadCancelled,
                     {kP, kF}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DownloadInstaller, NoDestinationTouchesNothing) {
    FakeStore store;
    EXPECT_EQ(DownloadInstallerUsing(store, kP, kF, L"", "", 0, nullptr, nullptr),
              kDownloadNoDestination);
    EXPECT_TRUE(store.fetched.empty());
}

struct UrlCase {
    const char* url;
    bool valid;
    const char* host;
    uint16_t port;
    bool secure;
    const char* path;
};

class SplitHttpUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(SplitHttpUrlTest, SplitsOrRefuses) {
    const UrlCase& c = GetParam();
    const auto split = SplitHttpUrl(c.url);
    ASSERT_EQ(split.has_value(), c.valid) << c.url;
    if (!split) return;
    EXPECT_EQ(split->endpoint.host, c.host);
    EXPECT_EQ(split->endpoint.port, c.port);
    EXPECT_EQ(split->endpoint.secure, c.secure);
    EXPECT_EQ(split->pathAndQuery, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, SplitHttpUrlTest,
    ::testing::Values(UrlCase{"https://example.org/downloads/QorvaSetup.exe", true, "example.org",
                              443, true, "/downloads/QorvaSetup.exe"},
                      UrlCase{"HTTP://localhost:8080/a?b=c#frag", true, "localhost", 8080, false,
                              "/a?b=c"},
                      UrlCase{"https://host", true, "host", 443, true, "/"},
                      UrlCase{"https://host?x=1", true, "host", 443, true, "/?x=1"},
                      UrlCase{"ftp://host/file", false, "", 0, false, ""},
                      UrlCase{"https://user:pw@host/file", false, "", 0, false, ""},
                      UrlCase{"https://host:0/", false, "", 0, false, ""},
                      UrlCase{"https://host:99999/", false, "", 0, false, ""},
                      UrlCase{"https://host:/", false, "", 0, false, ""},
                      UrlCase{"https:///path", false, "", 0, false, ""},
                      UrlCase{"https://host/a\r\nX-Injected: 1", false, "", 0, false, ""}));

}  // namespace
}  // namespace qorva
