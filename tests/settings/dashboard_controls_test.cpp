// The dashboard's control table: which section a command line opens, what each control shows for
// the settings, what Save stores back, and the version line.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "settings/dashboard_controls.h"
#include "update/update_service.h"

namespace qorva {
namespace {

TEST(SectionForCommandLine, FirstMatchingWordWins) {
    const struct {
        const char* line;
        SectionID section;
    } cases[] = {
        {"/DICT", kSectionDictionary},        {"word", kSectionDictionary},
        {"--update", kSectionAbout},          {"/Keyboard", kSectionKeyboard},
        {"layout", kSectionKeyboard},         {"about-keys", kSectionAbout},
        {"-voice", kSectionDashboard},        {"", kSectionDashboard},
        {"/dict /about", kSectionDictionary},
    };
    for (const auto& c : cases) EXPECT_EQ(SectionForCommandLine(c.line), c.section) << c.line;
}

// Check states as the window would show them for the settings.
std::map<int, bool> ShownChecks(const DashboardSettings& settings) {
    std::map<int, bool> checks;
    for (const ControlSpec& control : DashboardControls()) {
        if (control.kind == ControlKind::CheckBox || control.kind == ControlKind::Radio) {
            checks[control.id] = InitialCheck(control, settings);
        }
    }
    return checks;
}

TEST(DashboardControls, InitialChecksFollowTheSettings) {
    DashboardSettings settings;
    settings.maxCandidates = 4;
    settings.theme = 7;  // no such theme: the system default is shown
    settings.inputMode = static_cast<InputMode>(9);
    settings.autoCorrect = true;
    settings.personalLearning = false;
    const std::map<int, bool> checks = ShownChecks(settings);
    const std::map<int, bool> expected = {
        {2001, true},  {2002, false}, {2035, true},  {2039, false},  // topbar_autohide is true
        {2003, true},  {2004, true},  {2005, true},  {2006, true},  {2007, true},
        {2008, true},  {2009, true},  {2010, true},  {2032, false}, {2033, false},
        {2011, false}, {2012, true},  {2013, false},                 // max_candidates 4
        {2036, true},  {2029, true},  {2030, false}, {2031, false},  // any other mode: automatic
        {2014, true},  {2015, false}, {2016, false},                 // theme 7: system default
    };
    EXPECT_EQ(checks, expected);
}

TEST(DashboardControls, ChoicesOutsideTheirButtonsShowTheFallback) {
    const struct {
        int maxCandidates;
        int checkedId;
    } cases[] = {{3, 2011}, {4, 2012}, {5, 2013}, {7, 2013}, {-1, 2013}};
    for (const auto& c : cases) {
        DashboardSettings settings;
        settings.maxCandidates = c.maxCandidates;
        const std::map<int, bool> checks = ShownChecks(settings);
        for (int id : {2011, 2012, 2013}) {
            EXPECT_EQ(checks.at(id), id == c.checkedId) << c.maxCandidates << " " << id;
        }
    }
    DashboardSettings visible;
    visible.topbarAutohide = false;
    EXPECT_TRUE(ShownChecks(visible).at(kIdTopbarAlwaysVisible));
}

TEST(DashboardControls, SaveWithEverythingClearedStoresFalseAndTheFallbacks) {
    DashboardSettings settings;
    settings.topbarX = 333;
    settings.topbarY = 44;
    StoreControlStates(settings, [](int) { return false; });

    DashboardSettings expected;
    expected.enableQorva = expected.launchStartup = expected.autoCheckUpdate = false;
    expected.banglaTyping = expected.banglishRecog = expected.engToBangla = false;
    expected.fuzzySpelling = expected.showSuggestions = expected.wordPrediction = false;
    expected.showEngCandidate = expected.autoCorrect = expected.englishTranslation = false;
    expected.onlineSuggestions = expected.personalLearning = false;
    expected.showTopbar = false;  // box 2039 cleared: shown no more, and hiding itself
    expected.topbarAutohide = true;
    expected.maxCandidates = 5;
    expected.theme = 0;
    expected.inputMode = InputMode::Automatic;
    expected.topbarX = 333;  // the placement is not a control's
    expected.topbarY = 44;
    EXPECT_EQ(FormatSettingsFile(settings), FormatSettingsFile(expected));
}

// What the window shows for a record, saved unchanged, gives the record back: every control reads
// and writes the same key.
TEST(DashboardControls, SaveStoresWhatTheControlsShowed) {
    std::vector<DashboardSettings> records(4);
    records[1].maxCandidates = 3;
    records[1].theme = 2;
    records[1].inputMode = InputMode::TsfOnly;
    records[1].launchStartup = true;
    records[1].showTopbar = false;
    records[2].maxCandidates = 4;
    records[2].theme = 1;
    records[2].inputMode = InputMode::Universal;
    records[2].topbarAutohide = false;
    records[2].enableQorva = records[2].autoCorrect = records[2].onlineSuggestions = true;
    records[3].engToBangla = records[3].fuzzySpelling = records[3].showSuggestions = false;
    records[3].wordPrediction = records[3].showEngCandidate = records[3].englishTranslation = false;
    records[3].personalLearning = records[3].autoCheckUpdate = false;
    for (const DashboardSettings& record : records) {
        const std::map<int, bool> shown = ShownChecks(record);
        DashboardSettings saved;
        StoreControlStates(saved, [&shown](int id) { return shown.at(id); });
        DashboardSettings expected = record;
        expected.showTopbar = !record.topbarAutohide;  // one box stands for both keys
        EXPECT_EQ(FormatSettingsFile(saved), FormatSettingsFile(expected));
    }
}

TEST(DashboardControls, EachIdOnceAndEachGroupWithOneStartAndOneFallback) {
    std::set<int> ids;
    std::map<Setting, int> starts, fallbacks;
    std::map<Setting, int> firstOfGroup;
    for (const ControlSpec& control : DashboardControls()) {
        EXPECT_TRUE(control.id == kNoControlId || ids.insert(control.id).second) << control.id;
        if (control.kind != ControlKind::Radio) continue;
        firstOfGroup.emplace(control.setting, control.id);
        starts[control.setting] += control.groupStart;
        fallbacks[control.setting] += control.fallback;
        EXPECT_TRUE(!control.groupStart || firstOfGroup[control.setting] == control.id);
    }
    EXPECT_EQ(starts,
              (std::map<Setting, int>{
                  {Setting::MaxCandidates, 1}, {Setting::Theme, 1}, {Setting::InputMode, 1}}));
    EXPECT_EQ(fallbacks, starts);
}

TEST(DashboardControls, AboutShowsTheProgramVersionInBengaliDigits) {
    EXPECT_EQ(UpdateService::GetCurrentVersion(), "1.1.0");
    const std::wstring line = L"Qorva (কোর্ভা) — সংস্করণ ১.১.০";
    bool shown = false;
    for (const ControlSpec& control : DashboardControls()) {
        if (control.section == kSectionAbout && control.kind == ControlKind::Heading) {
            shown = control.text == line;
        }
    }
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace qorva
