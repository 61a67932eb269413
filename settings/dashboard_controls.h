// Every control of the dashboard's sections and footer as data: the window creates them by walking
// this table, sets their check states from the settings with InitialCheck, and its Save reads them
// back through StoreControlStates. Nothing here needs a window, so it is tested natively.
#pragma once

#include <functional>
#include <vector>

#include "settings/dashboard_sections.h"
#include "settings/settings_file.h"

namespace qorva {

enum class ControlKind {
    Heading,   // a static text in the title font
    Text,      // a left-aligned static text that wraps
    CheckBox,  // an automatic check box
    Radio,     // an automatic radio button; the first of a group starts it
    Button,    // an owner-drawn push button
    ListBox,   // the word list: client edge, vertical scroll bar, notifies
    Edit,      // a one-line edit box with client edge that scrolls sideways
};

enum class FontRole { Title, Body, Bold, Sub, Button };

enum class ButtonLook { None, Accent, Plain };

// What a check box or radio button edits. TopbarAlwaysVisible is one box for two keys: checked is
// show_topbar and not topbar_autohide.
enum class Setting {
    None,
    EnableQorva,
    LaunchStartup,
    AutoCheckUpdate,
    BanglaTyping,
    BanglishRecog,
    EngToBangla,
    FuzzySpelling,
    ShowSuggestions,
    WordPrediction,
    ShowEngCandidate,
    AutoCorrect,
    EnglishTranslation,
    OnlineSuggestions,
    PersonalLearning,
    TopbarAlwaysVisible,
    MaxCandidates,
    Theme,
    InputMode,
};

struct ControlRect {
    int x, y, width, height;
};

// The section number of controls that are always shown and belong to no section.
constexpr SectionID kFooter = static_cast<SectionID>(-1);
// The id of controls nothing refers to (static texts).
constexpr int kNoControlId = -1;

struct ControlSpec {
    int id;
    SectionID section;
    ControlKind kind;
    const wchar_t* text;
    ControlRect rect;
    FontRole font;
    ButtonLook look = ButtonLook::None;
    Setting setting = Setting::None;
    // A radio button: the value it stands for, and whether it also stands for every value that no
    // other button of its group names (it is then also what Save stores with none checked).
    int value = 0;
    bool fallback = false;
    bool groupStart = false;
};

// Control ids of the commands and the controls the window reaches.
enum ControlId : int {
    kIdTopbarAlwaysVisible = 2039,
    kIdWordList = 2017,
    kIdWordKey = 2018,
    kIdWordBangla = 2019,
    kIdAddWord = 2020,
    kIdDeleteWord = 2021,
    kIdImportWords = 2022,
    kIdExportWords = 2023,
    kIdResetDefaults = 2024,
    kIdCheckUpdates = 2025,
    kIdSave = 2026,
    kIdClose = 2027,
    kIdStatus = 2028,
    kIdResetHabits = 2034,
    kIdShowTopBar = 2037,
    kIdResetCenter = 2038,
    kIdCleanLayout = 2040,
};

// Every section control in creation order (section 0 to 8, each in its own order), then the footer.
const std::vector<ControlSpec>& DashboardControls();

// The control with this id; null when there is none.
const ControlSpec* FindControl(int id);

// Whether a check box or radio button starts checked for these settings.
bool InitialCheck(const ControlSpec& control, const DashboardSettings& settings);

// Stores the check states of every check box and radio group into the settings, as Save does;
// topbar_x and topbar_y keep their values. A radio group with none checked stores its fallback.
void StoreControlStates(DashboardSettings& settings, const std::function<bool(int id)>& isChecked);

// The rectangle of navigation button i.
ControlRect NavigationButtonRect(int index);

// The content card, where a section's controls are drawn.
constexpr ControlRect kContentCard = {245, 15, 570, 460};

}  // namespace qorva
