// The update service over real WinHTTP and TLS against the loopback server, under wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <vector>

#include "tests/services/fake_http_transport.h"
#include "tests/support/loopback_server_client.h"
#include "update/installer_download.h"
#include "update/release_check.h"
#include "update/update_service.h"

namespace qorva {
namespace {

const char kInstallerSha256[] = "9c07d60223c880207eafeca7c1e649944c6270d2548cdee03622fafc2f8b64ec";
constexpr uint64_t kInstallerBytes = 300000;
// Nothing listens on this port of the loopback interface.
const HttpEndpoint kUnreachable{"localhost", 1, true};

class UpdateLoopbackTest : public testing::LoopbackServerTest {
protected:
    int Check(const std::string& prefix, HttpEndpoint maker, HttpEndpoint gitHub) {
        UpdateEndpoints endpoints{maker, gitHub, prefix};
        ReleaseCheckCache cache{[] { return true; }, [this] { ++recordedChecks; },
                                [](const std::string&) { return false; }};
        return CheckForUpdateUsing(*CreatePlatformHttpTransport(), endpoints, "1.2.0", cache,
                                   release, true);
    }

    bool Asked(const std::string& target) const {
        for (const auto& request : Server().Requests()) {
            if (request.target == target) return true;
        }
        return false;
    }

    std::string Url(const std::string& path) const {
        return "https://localhost:" + std::to_string(Server().Https().port) + path;
    }

    static std::wstring TempFile(const wchar_t* name) {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        return std::wstring(folder) + L"qorva-update-test\\" + name;
    }

    static bool Exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    ReleaseInfo release;
    int recordedChecks = 0;
};

TEST_F(UpdateLoopbackTest, NewerReleaseOnTheMakersFeed) {
    EXPECT_EQ(Check("/newer", Server().Https(), Server().Https()), kCheckNewerRelease);
    EXPECT_EQ(release.versionText, "1.3.0");
    EXPECT_EQ(release.notes, "• Faster typing");
    EXPECT_EQ(release.fileSize, 300000u);
    EXPECT_EQ(recordedChecks, 1);
    EXPECT_FALSE(Asked("/newer/repos/Velkor/qorva/releases/latest"));
    for (const auto& request : Server().Requests()) {
        if (request.target != "/newer/downloads/version.json") continue;
        EXPECT_EQ(request.method, "GET");
        EXPECT_EQ(request.Header("Accept"), "application/vnd.github.v3+json");
        EXPECT_EQ(request.Header("User-Agent"), "Qorva-Update-Checker/1.0 (Windows NT; x64)");
    }
}

TEST_F(UpdateLoopbackTest, OlderReleaseOnTheMakersFeedIsFinal) {
    EXPECT_EQ(Check("/older", Server().Https(), Server().Https()), kCheckUpToDate);
    EXPECT_EQ(release.versionText, "1.1.0");
    EXPECT_FALSE(Asked("/older/repos/Velkor/qorva/releases/latest"));
}

TEST_F(UpdateLoopbackTest, UnreachableMakerFallsBackToGitHub) {
    EXPECT_EQ(Check("/github", kUnreachable, Server().Https()), kCheckNewerRelease);
    EXPECT_EQ(release.tag, "v1.4.0");
    EXPECT_EQ(release.fileSize, 12u);
}

TEST_F(UpdateLoopbackTest, MakerFeedWithoutAReleaseAsksGitHub) {
    EXPECT_EQ(Check("/no-release", Server().Https(), Server().Https()), kCheckNewerRelease);
    EXPECT_TRUE(Asked("/no-release/repos/Velkor/qorva/releases/latest"));
}

TEST_F(UpdateLoopbackTest, FailuresLeaveTheRecordAlone) {
    release.title = "kept";
    EXPECT_EQ(Check("/prereleases", Server().Https(), Server().Https()), kCheckFailed);
    EXPECT_TRUE(Asked("/prereleases/repos/Velkor/qorva/releases?per_page=5"));
    EXPECT_EQ(Check("/forbidden", Server().Https(), Server().Https()), kCheckFailed);
    EXPECT_EQ(Check("/huge", Server().Https(), Server().Https()), kCheckFailed);
    EXPECT_EQ(Check("/none", kUnreachable, kUnreachable), kCheckNoConnection);
    EXPECT_EQ(release.title, "kept");
    EXPECT_EQ(recordedChecks, 0);
}

TEST_F(UpdateLoopbackTest, DownloadsWithProgressAndVerifies) {
    const std::wstring destination = TempFile(L"QorvaSetup.exe");
    uint64_t lastWritten = 0, lastTotal = 0;
    int calls = 0;
    const int result = UpdateService::DownloadInstaller(
        Url("/files/installer.bin"), "", destination, std::string("sha256:") + kInstallerSha256,
        kInstallerBytes,
        [&](uint64_t written, uint64_t total) {
            EXPECT_GE(written, lastWritten);
            lastWritten = written;
            lastTotal = total;
            ++calls;
        },
        nullptr);
    EXPECT_EQ(result, kDownloadOk);
    EXPECT_GT(calls, 1) << "progress arrives piece by piece";
    EXPECT_EQ(lastWritten, kInstallerBytes);
    EXPECT_EQ(lastTotal, kInstallerBytes);
    EXPECT_TRUE(UpdateService::VerifySha256(destination, kInstallerSha256));
    DeleteFileW(destination.c_str());
}

TEST_F(UpdateLoopbackTest, FollowsRedirectsAndFallsBack) {
    const std::wstring destination = TempFile(L"QorvaSetup.exe");
    EXPECT_EQ(UpdateService::DownloadInstaller(Url("/files/redirect"), "", destination,
                                               kInstallerSha256, 0, nullptr, nullptr),
              kDownloadOk);
    EXPECT_EQ(UpdateService::DownloadInstaller(Url("/files/missing"), Url("/files/installer.bin"),
                                               destination, "", kInstallerBytes, nullptr, nullptr),
              kDownloadOk);
    DeleteFileW(destination.c_str());
}

struct RejectedCase {
    const char* name;
    const char* path;
    const char* sha256;
    uint64_t size;
    bool cancel;
    int expected;
};

class RejectedDownloadTest : public UpdateLoopbackTest,
                             public ::testing::WithParamInterface<RejectedCase> {};

TEST_P(RejectedDownloadTest, LeavesNoInstallerBehind) {
    const RejectedCase& c = GetParam();
    const std::wstring destination = TempFile(L"QorvaSetup.exe");
    std::atomic<bool> cancel{false};
    DownloadProgress progress;
    if (c.cancel) progress = [&](uint64_t, uint64_t) { cancel = true; };
    EXPECT_EQ(UpdateService::DownloadInstaller(Url(c.path), Url("/files/installer.bin"),
                                               destination, c.sha256, c.size, progress, &cancel),
              c.expected);
    EXPECT_FALSE(Exists(destination));
    EXPECT_FALSE(Exists(destination + L".part"));
}

INSTANTIATE_TEST_SUITE_P(Cases, RejectedDownloadTest,
                         ::testing::Values(RejectedCase{"WrongSize", "/files/installer.bin", "",
                                                        kInstallerBytes + 1, false,
                                                        kDownloadVerificationFailed},
                                           RejectedCase{"WrongDigest", "/files/installer.bin", "00",
                                                        0, false, kDownloadVerificationFailed},
                                           RejectedCase{"Cancelled", "/files/installer.bin", "", 0,
                                                        true, kDownloadCancelled}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateLoopbackTest, BrokenTransfersFail) {
    const std::wstring destination = TempFile(L"QorvaSetup.exe");
    for (const char* path : {"/files/empty", "/files/drop", "/files/missing"}) {
        EXPECT_EQ(
            UpdateService::DownloadInstaller(Url(path), "", destination, "", 0, nullptr, nullptr),
            kDownloadFailed)
            << path;
        EXPECT_FALSE(Exists(destination)) << path;
        EXPECT_FALSE(Exists(destination + L".part")) << path;
    }
    EXPECT_EQ(UpdateService::DownloadInstaller(Url("/files/installer.bin"), "", L"", "", 0, nullptr,
                                               nullptr),
              kDownloadNoDestination);
}

TEST(Sha256, MatchesKnownVectors) {
    const std::wstring path = []() {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        return std::wstring(folder) + L"qorva-sha256-vector.txt";
    }();
    auto write = [&](const std::string& bytes) {
        std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
    };
    write("");
    EXPECT_TRUE(UpdateService::VerifySha256(
        path, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    write("abc");
    EXPECT_TRUE(UpdateService::VerifySha256(
        path, "sha256:BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"));
    EXPECT_FALSE(UpdateService::VerifySha256(
        path, "SHA256:ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    EXPECT_FALSE(UpdateService::VerifySha256(path, "ba7816bf"));
    EXPECT_FALSE(UpdateService::VerifySha256(path, ""));
    EXPECT_FALSE(UpdateService::VerifySha256(L"C:\\no\\such\\file", "ba7816bf"));
    DeleteFileW(path.c_str());
}

TEST(UpdateCacheFile, RoundTripsThroughThePerUserFolder) {
    const std::wstring path = UpdateService::GetUpdateCachePath();
    ASSERT_FALSE(path.empty());
    DeleteFileW(path.c_str());
    EXPECT_TRUE(UpdateService::ShouldCheckOnStartup());
    EXPECT_EQ(UpdateService::GetLastCheckTimeString(), L"এখনও পরীক্ষা করা হয়নি");
    UpdateService::RecordCheckTimestamp();
    EXPECT_FALSE(UpdateService::ShouldCheckOnStartup());
    EXPECT_EQ(UpdateService::GetLastCheckTimeString().rfind(L"আজ ", 0), 0u);
    UpdateService::DismissVersion("1.3.0");
    EXPECT_TRUE(UpdateService::IsVersionDismissed("1.3.0"));
    EXPECT_FALSE(UpdateService::IsVersionDismissed("1.3.1"));
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"dismissed_version\": \"1.3.0\",\r\n"), std::string::npos) << text;
    file.close();
    DeleteFileW(path.c_str());
}

// A slow mirror gets time to deliver: connecting, sending the request and each wait for data are
// bounded apart, and name resolution like connecting.
TEST(InstallerDownloadSession, BoundsConnectingSendingAndReceivingApart) {
    auto transport = std::make_shared<testing::FakeHttpTransport>();
    transport->SetResponder(
        [](const HttpRequest&) { return testing::FakeHttpTransport::Reply(200, "installer"); });
    const std::unique_ptr<InstallerStore> store = CreatePlatformInstallerStore(transport);
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"qorva-download-session.bin";
    uint64_t written = 0;

    EXPECT_TRUE(
        store->Fetch("https://localhost:8443/QorvaSetup.exe", path, nullptr, nullptr, written));
    store->Delete(path);
    const std::vector<HttpSessionOptions> sessions = transport->ConnectAttempts();
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].userAgent, "Qorva-AutoUpdater/1.0");
    EXPECT_EQ(sessions[0].timeout, std::chrono::milliseconds(15000));
    EXPECT_EQ(sessions[0].connectTimeout, std::chrono::milliseconds(15000));
    EXPECT_EQ(sessions[0].sendTimeout, std::chrono::milliseconds(30000));
    EXPECT_EQ(sessions[0].receiveTimeout, std::chrono::milliseconds(60000));
}

TEST(InstallerPath, LivesInTheTemporaryFolder) {
    const std::wstring path = UpdateService::GetDefaultInstallerDownloadPath();
    EXPECT_NE(path.find(L"Qorva_Update\\QorvaSetup.exe"), std::wstring::npos);
    EXPECT_FALSE(UpdateService::LaunchInstaller(L"C:\\no\\such\\QorvaSetup.exe", false));
    EXPECT_FALSE(UpdateService::LaunchInstaller(L"", false));
}

}  // namespace
}  // namespace qorva
