#include "universal/update_dialog_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "common/text.h"
#include "update/update_service.h"

namespace qorva::universal {
namespace {

constexpr const wchar_t* kWeekdays[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                        L"Thursday", L"Friday", L"Saturday"};
constexpr const wchar_t* kMonths[] = {L"January",   L"February", L"March",    L"April",
                                      L"May",       L"June",     L"July",     L"August",
                                      L"September", L"October",  L"November", L"December"};
constexpr uint64_t kMebibyte = 1048576;
constexpr const wchar_t* kPurgedMarks[] = {L".old", L".bak", L".flag", L"mystery"};
// The crystal's centre in the top card, its scale and the viewer's distance.
constexpr float kCrystalCentreX = 75.0f;
constexpr float kCrystalCentreY = 80.0f;
constexpr float kCrystalScale = 85.0f;
constexpr float kViewerDistance = 2.8f;

}  // namespace

std::wstring Utf8ToWideStr(const std::string& utf8) {
    const std::wstring wide = Utf8ToUtf16(utf8);
    return wide.substr(0, wide.find(L'\0'));
}

std::wstring ShownVersion(const std::string& releaseVersion, const std::string& ownVersion) {
    const std::wstring version = Utf8ToWideStr(releaseVersion);
    return version.empty() ? Utf8ToWideStr(ownVersion) : version;
}

std::wstring VersionPillText(const std::string& releaseVersion, const std::string& ownVersion) {
    return L"v" + ShownVersion(releaseVersion, ownVersion) + L" \u2022 Latest";
}

std::wstring ReleaseDateLine(const CalendarDay& day) {
    const wchar_t* weekday = kWeekdays[std::clamp(day.dayOfWeek, 0, 6)];
    const wchar_t* month = kMonths[std::clamp(day.month, 1, 12) - 1];
    wchar_t line[96] = {};
    std::swprintf(line, 96, L"Release Date: %ls, %ls %02d, %d", weekday, month, day.day, day.year);
    return line;
}

int FeatureDescriptionX(const wchar_t* title) {
    return 66 + 8 * static_cast<int>(std::wcslen(title));
}

uint64_t PercentageBase(uint64_t releaseFileSize) {
    return releaseFileSize != 0 ? releaseFileSize : kAssumedInstallerBytes;
}

int32_t DownloadPercent(uint64_t received, uint64_t base) {
    if (base == 0) return 0;
    return static_cast<int32_t>(std::min<uint64_t>(100, received * 100 / base));
}

std::wstring InstallerSizeLine(uint64_t releaseFileSize) {
    const uint64_t mebibytes = releaseFileSize != 0 ? releaseFileSize / kMebibyte : 20;
    return L"Size: " + std::to_wstring(mebibytes) + L" MB";
}

int32_t ProgressFillWidth(int32_t trackWidth, int32_t percent) {
    return std::min(trackWidth, trackWidth * percent / 100);
}

std::wstring UpdaterStatusText(UpdaterPhase phase, int32_t percent) {
    switch (phase) {
        case UpdaterPhase::Downloading: return std::to_wstring(percent) + L"%";
        case UpdaterPhase::Succeeded: return L"100% \u2014 Download Complete!";
        case UpdaterPhase::Failed: break;
    }
    return L"Download Failed";
}

bool PurgedBeforeCleanInstall(const std::wstring& fileName) {
    return std::any_of(std::begin(kPurgedMarks), std::end(kPurgedMarks), [&](const wchar_t* mark) {
        return fileName.find(mark) != std::wstring::npos;
    });
}

ScreenPointF ProjectCrystalVertex(const CrystalVertex& v, const CrystalAngles& angles) {
    // About y.
    const float x1 = v.x * std::cos(angles.y) + v.z * std::sin(angles.y);
    const float z1 = -v.x * std::sin(angles.y) + v.z * std::cos(angles.y);
    // About x.
    const float y2 = v.y * std::cos(angles.x) - z1 * std::sin(angles.x);
    const float z2 = v.y * std::sin(angles.x) + z1 * std::cos(angles.x);
    // About z.
    const float x3 = x1 * std::cos(angles.z) - y2 * std::sin(angles.z);
    const float y3 = x1 * std::sin(angles.z) + y2 * std::cos(angles.z);
    const float depth = z2 + kViewerDistance;
    return {kCrystalCentreX + kCrystalScale * x3 / depth,
            kCrystalCentreY + kCrystalScale * y3 / depth};
}

ManualCheckStep ManualCheckStepFor(int checkResult) {
    switch (checkResult) {
        case kCheckNewerRelease: return ManualCheckStep::OfferRelease;
        case kCheckUpToDate: return ManualCheckStep::ReportUpToDate;
        default: return ManualCheckStep::OfferUpdateWebsite;
    }
}

}  // namespace qorva::universal
