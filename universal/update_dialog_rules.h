// What the universal program's update dialogs show and decide, without windows: the version, date
// and size texts, the download's percentage, the files a clean install purges, the turning
// crystal's geometry and what the top bar's manual check does with each result. UTF-16 texts in
// std::wstring, one code unit per element on every platform.
#pragma once

#include <cstdint>
#include <string>

namespace qorva::universal {

// UTF-8 as UTF-16, ended at the first NUL the text holds.
std::wstring Utf8ToWideStr(const std::string& utf8);

// The version the dialogs name: the release's, or the program's own when the release gives none.
std::wstring ShownVersion(const std::string& releaseVersion, const std::string& ownVersion);
// The header's pill: "v1.2.0 • Latest".
std::wstring VersionPillText(const std::string& releaseVersion, const std::string& ownVersion);

struct CalendarDay {
    int year = 0;
    int month = 1;      // 1 to 12
    int day = 1;        // 1 to 31
    int dayOfWeek = 0;  // 0 Sunday to 6 Saturday
};

// "Release Date: Wednesday, December 09, 2026": the day the dialog is painted.
std::wstring ReleaseDateLine(const CalendarDay& day);

// One of the fixed rows of the update-available dialog's card.
struct UpdateFeature {
    const wchar_t* title;
    const wchar_t* description;
};
inline constexpr UpdateFeature kUpdateFeatures[] = {
    {L"TopBar Display Center-Top", L"Attached directly to display top edge across PC boots"},
    {L"Next-Word Prediction", L"High-precision Bengali context prediction after words"},
    {L"1-Click Banglish to English", L"Real-time dual translation mode (Ctrl+Alt+E)"},
    {L"Gemini AI Voice Input",
     L"Ultra-fast voice typing with real-time transcription (Ctrl+Alt+V)"},
    {L"86K+ Curated Lexicon", L"Cleaned Bengali dictionary with zero junk words"},
    {L"100% Offline Local Engine", L"Zero network delay, zero telemetry, zero IME pollution"},
};
// Where a row's description starts: 8 pixels per unit of its title, whatever the font's widths.
int FeatureDescriptionX(const wchar_t* title);

// The installer's size the updater counts against when the release names none.
inline constexpr uint64_t kAssumedInstallerBytes = 20473589;
// What the percentage is computed against.
uint64_t PercentageBase(uint64_t releaseFileSize);
// 0 to 100; a download larger than the base shows 100 before it ends.
int32_t DownloadPercent(uint64_t received, uint64_t base);
// "Size: 19 MB": whole mebibytes, 20 when the release names no size.
std::wstring InstallerSizeLine(uint64_t releaseFileSize);
// The width of the progress bar's filled part.
int32_t ProgressFillWidth(int32_t trackWidth, int32_t percent);

enum class UpdaterPhase { Downloading, Succeeded, Failed };
// The text over the progress bar.
std::wstring UpdaterStatusText(UpdaterPhase phase, int32_t percent);

// A file of the per-user data folder that a clean install deletes: an old copy, a backup, a marker
// or a leftover of a test build. The test is case-sensitive ("Notes.OLD" stays).
bool PurgedBeforeCleanInstall(const std::wstring& fileName);

// The turning crystal of the updater: 14 vertices in model units (x to the right, y down, z away
// from the viewer), joined by 36 edges in drawing order.
struct CrystalVertex {
    float x, y, z;
};
inline constexpr CrystalVertex kCrystalVertices[14] = {
    {0.9f, -0.2f, 0.0f},     {0.45f, -0.2f, 0.78f},  {-0.45f, -0.2f, 0.78f}, {-0.9f, -0.2f, 0.0f},
    {-0.45f, -0.2f, -0.78f}, {0.45f, -0.2f, -0.78f}, {0.0f, -0.95f, 0.0f},   {0.0f, 0.95f, 0.0f},
    {0.45f, 0.25f, 0.0f},    {0.22f, 0.25f, 0.39f},  {-0.22f, 0.25f, 0.39f}, {-0.45f, 0.25f, 0.0f},
    {-0.22f, 0.25f, -0.39f}, {0.22f, 0.25f, -0.39f},
};
inline constexpr int32_t kCrystalEdges[36][2] = {
    {0, 1}, {1, 2},  {2, 3},   {3, 4},   {4, 5},   {5, 0},   // outer ring
    {6, 0}, {6, 1},  {6, 2},   {6, 3},   {6, 4},   {6, 5},   // upper apex to the outer ring
    {7, 0}, {7, 1},  {7, 2},   {7, 3},   {7, 4},   {7, 5},   // lower apex to the outer ring
    {8, 9}, {9, 10}, {10, 11}, {11, 12}, {12, 13}, {13, 8},  // inner ring
    {0, 8}, {1, 9},  {2, 10},  {3, 11},  {4, 12},  {5, 13},  // outer to inner ring
    {7, 8}, {7, 9},  {7, 10},  {7, 11},  {7, 12},  {7, 13},  // lower apex to the inner ring
};
struct CrystalAngles {
    float x = 0.2f;
    float y = 0.0f;
    float z = 0.1f;
};
// Each tick of the 33 ms timer turns the crystal this far about each axis.
inline constexpr CrystalAngles kCrystalTurnPerTick = {0.02f, 0.045f, 0.015f};
struct ScreenPointF {
    float x, y;
};
// The vertex turned about y, then x, then z, and projected into the updater's top card.
ScreenPointF ProjectCrystalVertex(const CrystalVertex& vertex, const CrystalAngles& angles);

// What the top bar's manual check does with the update service's result code.
enum class ManualCheckStep {
    OfferRelease,        // the update dialogs
    ReportUpToDate,      // the information box
    OfferUpdateWebsite,  // the question whether to open the maker's update page
};
ManualCheckStep ManualCheckStepFor(int checkResult);

}  // namespace qorva::universal
