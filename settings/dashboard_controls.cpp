#include "settings/dashboard_controls.h"

#include <string>

#include "settings/dashboard_texts.h"
#include "update/update_service.h"

namespace qorva {
namespace {

using K = ControlKind;
using F = FontRole;
using L = ButtonLook;
using S = Setting;

constexpr int kNone = kNoControlId;

const wchar_t kTipTextA[] =
    L"💡 স্বতন্ত্র নোটিফিকেশন ট্রে ও টপবার কন্ট্রোল সেন্টার:\nQorva সম্পূর্ণ ব্যাকগ্রাউন্ডে স্বাধীনভাবে চলে। উইন্ডোজের Win+Space কীবোর্ড তালিকা থেকে Qorva সরিয়ে ক্লিন ট্রে আইকন মোডে রাখতে নিচের বাটনটি চাপুন।";

const wchar_t kTipTextB[] =
    L"💡 গোপনীয়তা গ্যারান্টি: Qorva শতভাগ অফলাইন-ফার্স্ট। পাসওয়ার্ড বা স্পর্শকাতর তথ্য কখনো ইন্টারনেটে যায় না।";

const wchar_t kBanglishText[] =
    L"Qorva আধুনিক বাংলিশ এবং দৈনন্দিন প্রযুক্তি ও অফিসের শব্দগুলো স্বয়ংক্রিয়ভাবে বাংলায় রূপান্তর করে।\n\nইংরেজি অনুবাদ মোড সক্রিয় থাকলে ক্যান্ডিডেট বারে [ বাংলা ] ⇄ [ English ] নির্বাচক দিয়ে সরাসরি ইংরেজিতে অনুবাদ করা যায় (যেমন: ami valo achi -> I am fine)।\n\nবাংলিশ ঋণশব্দ রূপান্তর উদাহরণ:\n• battery -> ব্যাটারি | charger -> চার্জার\n• control -> কন্ট্রোল | space -> স্পেস\n• meeting -> মিটিং | project -> প্রজেক্ট\n• wifi -> ওয়াই-ফাই | internet -> ইন্টারনেট\n• table -> টেবিল | chair / cher -> চেয়ার\n• google -> গুগল | Google\n• anwar / anoyar -> আনোয়ার";

const wchar_t kKeyboardText[] =
    L"Qorva উইন্ডোজের সকল নেটিভ কীবোর্ড শর্টকাট সম্পূর্ণ অক্ষত রাখে।\n\n• Ctrl+C (Copy), Ctrl+V (Paste), Ctrl+A, Ctrl+Z ইত্যাদি সরাসরি কাজ করে\n• Numpad (0-9, +, -, *, .) সাধারণ সংখ্যার জন্য সংরক্ষিত\n• F1-F12 এবং অ্যারো কী স্বাভাবিকভাবে কাজ করে\n• উইন্ডোজ ভাষা পরিবর্তন: Win + Space\n\nসক্রিয় প্রোফাইল: Bangla (Bangladesh) — Qorva (কোর্ভা)";

const wchar_t kInputModeNote[] =
    L"Universal Mode সক্রিয় থাকলে tray-তে Qorva আইকন দেখবেন।\nCtrl + Alt + L চেপে যেকোনো সময় pause/resume করতে পারেন। Save চাপলে সাথে সাথে কার্যকর হয়।";

const wchar_t kDiagnosticsText[] =
    L"• মেমোরি পদচিহ্ন: ~১৩.১ MB (অত্যন্ত হালকা)\n• টাইপিং লেটেন্সি: ~৪০ মাইক্রোসেকেন্ড / কীস্ট্রোক\n• ডিকশনারি এন্ট্রি: ৮০,২৮৯টি ভ্যালিডেটেড শব্দ (Verified Full Lexicon)\n• ইঞ্জিন: ফোনেটিক পার্সার, শব্দভাণ্ডার ও প্রসঙ্গভিত্তিক র‍্যাঙ্কার — সম্পূর্ণ অফলাইন, নেটিভ "
    L"C++";

const wchar_t kAboutText[] =
    L"• ১০০% অফলাইন ও ব্যক্তিগত (০ ট্র্যাকিং / ক্লাউডমুক্ত)\n• TSF ও Universal Mode: সব অ্যাপে বাংলা টাইপিং\n• শেখা পছন্দ ও ব্যক্তিগত শব্দভাণ্ডার শুধু আপনার কম্পিউটারে থাকে\n• নতুন সংস্করণ পেতে নিচের বাটনটি চাপুন";

std::vector<ControlSpec> BuildControls() {
    static const std::wstring versionLine = VersionLine(UpdateService::GetCurrentVersion());
    return {
        // Section 0, Dashboard
        {kNone,
         kSectionDashboard,
         K::Heading,
         L"Qorva — স্মার্ট কন্ট্রোল সেন্টার ও ড্যাশবোর্ড",
         {265, 26, 510, 32},
         F::Title},
        {kNone,
         kSectionDashboard,
         K::Text,
         L"🟢 লাইভ ইঞ্জিন সক্রিয় • Zero Latency (0.2ms) • ৮৬,০০০+ শব্দভাণ্ডার প্রস্তুত",
         {265, 68, 510, 26},
         F::Bold},
        {2001,
         kSectionDashboard,
         K::CheckBox,
         L"Qorva টাইপিং ইঞ্জিন সক্রিয় রাখুন (Enable Engine)",
         {265, 102, 510, 26},
         F::Body,
         L::None,
         S::EnableQorva},
        {2002,
         kSectionDashboard,
         K::CheckBox,
         L"উইন্ডোজ চালুর সাথে Qorva ব্যাকগ্রাউন্ডে চালু করুন (Start with Windows)",
         {265, 136, 510, 26},
         F::Body,
         L::None,
         S::LaunchStartup},
        {2035,
         kSectionDashboard,
         K::CheckBox,
         L"স্বয়ংক্রিয়ভাবে নতুন আপডেট পরীক্ষা করুন (Auto Check Updates)",
         {265, 170, 510, 26},
         F::Body,
         L::None,
         S::AutoCheckUpdate},
        {kIdShowTopBar,
         kSectionDashboard,
         K::Button,
         L"🪟 টপবার স্ক্রিনে আনুন (Show TopBar)",
         {265, 210, 255, 38},
         F::Button,
         L::Accent},
        {kIdResetCenter,
         kSectionDashboard,
         K::Button,
         L"🔄 মাঝখানে রিসেট করুন (Reset Center)",
         {528, 210, 247, 38},
         F::Button,
         L::Plain},
        {kIdTopbarAlwaysVisible,
         kSectionDashboard,
         K::CheckBox,
         L"টপবার সর্বদা স্ক্রিনে দৃশ্যমান রাখুন (Auto-Hide বন্ধ রাখুন)",
         {265, 258, 510, 26},
         F::Body,
         L::None,
         S::TopbarAlwaysVisible},
        {kNone, kSectionDashboard, K::Text, kTipTextA, {265, 296, 510, 48}, F::Sub},
        {kIdCleanLayout,
         kSectionDashboard,
         K::Button,
         L"🧹 উইন্ডোজ কীবোর্ড লেআউট তালিকা থেকে সরান "
         L"(Clean "
         L"Layout)",
         {265, 354, 510, 36},
         F::Bold,
         L::Plain},

        // Section 1, Typing
        {kNone,
         kSectionTyping,
         K::Heading,
         L"টাইপিং ও ফোনেটিক সেটিংস",
         {265, 30, 510, 32},
         F::Title},
        {2003,
         kSectionTyping,
         K::CheckBox,
         L"ফোনেটিক বাংলা টাইপিং চালু রাখুন (Bangla Typing)",
         {265, 80, 510, 28},
         F::Body,
         L::None,
         S::BanglaTyping},
        {2004,
         kSectionTyping,
         K::CheckBox,
         L"বাংলিশ স্বীকৃতি ও উচ্চারণ ম্যাচিং (Banglish Recognition)",
         {265, 122, 510, 28},
         F::Body,
         L::None,
         S::BanglishRecog},
        {2005,
         kSectionTyping,
         K::CheckBox,
         L"ইংরেজি শব্দের বাংলা রূপান্তর (control -> কন্ট্রোল, office -> অফিস)",
         {265, 164, 510, 28},
         F::Body,
         L::None,
         S::EngToBangla},
        {2006,
         kSectionTyping,
         K::CheckBox,
         L"বানান ভুলের সহনশীলতা (Fuzzy Spelling Tolerance)",
         {265, 206, 510, 28},
         F::Body,
         L::None,
         S::FuzzySpelling},

        // Section 2, Suggestions
        {kNone,
         kSectionSuggestions,
         K::Heading,
         L"স্মার্ট সাজেশন ও শব্দ অনুমান",
         {265, 30, 510, 32},
         F::Title},
        {2007,
         kSectionSuggestions,
         K::CheckBox,
         L"টাইপ করার সময় সাজেশন বার প্রদর্শন করুন",
         {265, 70, 510, 28},
         F::Body,
         L::None,
         S::ShowSuggestions},
        {2008,
         kSectionSuggestions,
         K::CheckBox,
         L"প্রাসঙ্গিক পরবর্তী শব্দ অনুমান (Contextual Prediction)",
         {265, 102, 510, 28},
         F::Body,
         L::None,
         S::WordPrediction},
        {2009,
         kSectionSuggestions,
         K::CheckBox,
         L"সাজেশন বারে আসল ইংরেজি রূপ বিকল্প হিসেবে রাখুন (Original English)",
         {265, 134, 510, 28},
         F::Body,
         L::None,
         S::ShowEngCandidate},
        {2010,
         kSectionSuggestions,
         K::CheckBox,
         L"অটো-কারেক্ট চালু করুন (Auto Correct)",
         {265, 166, 510, 28},
         F::Body,
         L::None,
         S::AutoCorrect},
        {2032,
         kSectionSuggestions,
         K::CheckBox,
         L"অনলাইন সাজেশন সহায়তা — ঐচ্ছিক ও প্রাইভেসি-ফার্স্ট",
         {265, 198, 510, 28},
         F::Body,
         L::None,
         S::OnlineSuggestions},
        {2033,
         kSectionSuggestions,
         K::CheckBox,
         L"ব্যক্তিগত পছন্দ মনে রাখুন (Personal Learning — পছন্দের বানান শীর্ষে আসবে)",
         {265, 230, 510, 28},
         F::Body,
         L::None,
         S::PersonalLearning},
        {kNone,
         kSectionSuggestions,
         K::Text,
         L"প্রস্তাবিত শব্দের সংখ্যা:",
         {265, 268, 155, 28},
         F::Body},
        {2011,
         kSectionSuggestions,
         K::Radio,
         L"3",
         {425, 268, 45, 28},
         F::Body,
         L::None,
         S::MaxCandidates,
         3,
         false,
         true},
        {2012,
         kSectionSuggestions,
         K::Radio,
         L"4",
         {475, 268, 45, 28},
         F::Body,
         L::None,
         S::MaxCandidates,
         4},
        {2013,
         kSectionSuggestions,
         K::Radio,
         L"5",
         {525, 268, 45, 28},
         F::Body,
         L::None,
         S::MaxCandidates,
         5,
         true},
        {kIdResetHabits,
         kSectionSuggestions,
         K::Button,
         L"শেখা অভ্যাস রিসেট করুন (Reset Habits)",
         {265, 308, 320, 38},
         F::Bold,
         L::Plain},
        {kNone, kSectionSuggestions, K::Text, kTipTextB, {265, 358, 510, 50}, F::Sub},

        // Section 3, Banglish
        {kNone,
         kSectionBanglish,
         K::Heading,
         L"বাংলিশ ও ঋণশব্দ ডিকশনারি",
         {265, 30, 510, 32},
         F::Title},
        {2036,
         kSectionBanglish,
         K::CheckBox,
         L"ইংরেজি অনুবাদ মোড (Banglish -> English Translation) — [Ctrl+Alt+E]",
         {265, 70, 510, 28},
         F::Body,
         L::None,
         S::EnglishTranslation},
        {kNone, kSectionBanglish, K::Text, kBanglishText, {265, 105, 510, 280}, F::Body},

        // Section 4, Dictionary
        {kNone,
         kSectionDictionary,
         K::Heading,
         L"ব্যক্তিগত শব্দভাণ্ডার (Personal Dictionary)",
         {265, 30, 510, 32},
         F::Title},
        {kIdWordList, kSectionDictionary, K::ListBox, L"", {265, 75, 235, 250}, F::Body},
        {kNone, kSectionDictionary, K::Text, L"English Key:", {515, 75, 95, 26}, F::Body},
        {kIdWordKey, kSectionDictionary, K::Edit, L"", {615, 73, 160, 28}, F::Body},
        {kNone, kSectionDictionary, K::Text, L"বাংলা শব্দ:", {515, 115, 95, 26}, F::Body},
        {kIdWordBangla, kSectionDictionary, K::Edit, L"", {615, 113, 160, 28}, F::Body},
        {kIdAddWord,
         kSectionDictionary,
         K::Button,
         L"যুক্ত করুন (+)",
         {515, 160, 125, 38},
         F::Bold,
         L::Accent},
        {kIdDeleteWord,
         kSectionDictionary,
         K::Button,
         L"মুছে ফেলুন (×)",
         {650, 160, 125, 38},
         F::Bold,
         L::Plain},
        {kIdImportWords,
         kSectionDictionary,
         K::Button,
         L"ইমপোর্ট (.txt)",
         {515, 210, 125, 38},
         F::Bold,
         L::Plain},
        {kIdExportWords,
         kSectionDictionary,
         K::Button,
         L"এক্সপোর্ট (.txt)",
         {650, 210, 125, 38},
         F::Bold,
         L::Plain},

        // Section 5, Keyboard
        {kNone,
         kSectionKeyboard,
         K::Heading,
         L"কীবোর্ড ও শর্টকাট আচরণ",
         {265, 30, 510, 32},
         F::Title},
        {kNone, kSectionKeyboard, K::Text, kKeyboardText, {265, 75, 510, 160}, F::Body},
        {kNone,
         kSectionKeyboard,
         K::Text,
         L"ইনপুট মোড (Input Mode) — কোন অ্যাপে কীভাবে বাংলা লিখবেন:",
         {265, 245, 510, 26},
         F::Bold},
        {2029,
         kSectionKeyboard,
         K::Radio,
         L"অটোমেটিক (সুপারিশকৃত) — TSF যেখানে কাজ করে সেখানে TSF, বাকিতে Universal",
         {265, 275, 510, 28},
         F::Body,
         L::None,
         S::InputMode,
         0,
         true,
         true},
        {2030,
         kSectionKeyboard,
         K::Radio,
         L"শুধু TSF — Word, Excel, Notepad (Universal বন্ধ থাকবে)",
         {265, 307, 510, 28},
         F::Body,
         L::None,
         S::InputMode,
         1},
        {2031,
         kSectionKeyboard,
         K::Radio,
         L"Universal Mode — WhatsApp সহ সব অ্যাপে বাংলা, যেখানে TSF পৌঁছায় না",
         {265, 339, 510, 28},
         F::Body,
         L::None,
         S::InputMode,
         2},
        {kNone, kSectionKeyboard, K::Text, kInputModeNote, {265, 380, 510, 60}, F::Sub},

        // Section 6, Appearance
        {kNone,
         kSectionAppearance,
         K::Heading,
         L"থিম ও রূপ (Appearance)",
         {250, 30, 520, 28},
         F::Title},
        {kNone,
         kSectionAppearance,
         K::Text,
         L"অ্যাপ্লিকেশন থিম নির্বাচন করুন:",
         {250, 80, 520, 24},
         F::Body},
        {2014,
         kSectionAppearance,
         K::Radio,
         L"উইন্ডোজ সিস্টেম ডিফল্ট (System Default)",
         {265, 115, 350, 28},
         F::Body,
         L::None,
         S::Theme,
         0,
         true,
         true},
        {2015,
         kSectionAppearance,
         K::Radio,
         L"হালকা থিম (Light Mode)",
         {265, 152, 350, 28},
         F::Body,
         L::None,
         S::Theme,
         1},
        {2016,
         kSectionAppearance,
         K::Radio,
         L"ডার্ক থিম (Dark Mode)",
         {265, 189, 350, 28},
         F::Body,
         L::None,
         S::Theme,
         2},

        // Section 7, Advanced
        {kNone,
         kSectionAdvanced,
         K::Heading,
         L"উন্নত সেটিংস ও ডায়াগনস্টিকস",
         {265, 30, 510, 32},
         F::Title},
        {kNone, kSectionAdvanced, K::Text, kDiagnosticsText, {265, 75, 510, 125}, F::Body},
        {kIdResetDefaults,
         kSectionAdvanced,
         K::Button,
         L"ফ্যাক্টরি রিসেট করুন (Reset to Defaults)",
         {265, 220, 320, 38},
         F::Bold,
         L::Plain},

        // Section 8, About
        {kNone, kSectionAbout, K::Heading, versionLine.c_str(), {365, 30, 410, 32}, F::Title},
        {kNone,
         kSectionAbout,
         K::Text,
         L"“Fast • Smart • Natural — Bangla Typing for Windows”",
         {365, 68, 410, 26},
         F::Bold},
        {kNone, kSectionAbout, K::Text, kAboutText, {265, 145, 510, 125}, F::Body},
        {kIdCheckUpdates,
         kSectionAbout,
         K::Button,
         L"আপডেট পরীক্ষা করুন (Check Updates)",
         {265, 290, 320, 40},
         F::Bold,
         L::Accent},

        // Footer
        {kIdStatus, kFooter, K::Text, L"Qorva প্রস্তুত।", {25, 492, 480, 26}, F::Body},
        {kIdSave,
         kFooter,
         K::Button,
         L"সংরক্ষণ করুন (Save)",
         {520, 485, 180, 40},
         F::Bold,
         L::Accent},
        {kIdClose, kFooter, K::Button, L"বন্ধ করুন", {710, 485, 100, 40}, F::Bold, L::Plain},
    };
}

// The field a check box edits; null for settings that are no single flag.
template <typename Settings>
auto FlagOf(Settings& settings, Setting setting) -> decltype(&settings.enableQorva) {
    switch (setting) {
        case S::EnableQorva: return &settings.enableQorva;
        case S::LaunchStartup: return &settings.launchStartup;
        case S::AutoCheckUpdate: return &settings.autoCheckUpdate;
        case S::BanglaTyping: return &settings.banglaTyping;
        case S::BanglishRecog: return &settings.banglishRecog;
        case S::EngToBangla: return &settings.engToBangla;
        case S::FuzzySpelling: return &settings.fuzzySpelling;
        case S::ShowSuggestions: return &settings.showSuggestions;
        case S::WordPrediction: return &settings.wordPrediction;
        case S::ShowEngCandidate: return &settings.showEngCandidate;
        case S::AutoCorrect: return &settings.autoCorrect;
        case S::EnglishTranslation: return &settings.englishTranslation;
        case S::OnlineSuggestions: return &settings.onlineSuggestions;
        case S::PersonalLearning: return &settings.personalLearning;
        default: return nullptr;
    }
}

constexpr Setting kChoiceGroups[] = {S::MaxCandidates, S::Theme, S::InputMode};

int ChoiceOf(const DashboardSettings& settings, Setting group) {
    switch (group) {
        case S::MaxCandidates: return settings.maxCandidates;
        case S::Theme: return settings.theme;
        case S::InputMode: return static_cast<int>(settings.inputMode);
        default: return 0;
    }
}

void StoreChoice(DashboardSettings& settings, Setting group, int value) {
    switch (group) {
        case S::MaxCandidates: settings.maxCandidates = value; break;
        case S::Theme: settings.theme = value; break;
        case S::InputMode: settings.inputMode = static_cast<InputMode>(value); break;
        default: break;
    }
}

bool IsRadioOf(const ControlSpec& control, Setting group) {
    return control.kind == K::Radio && control.setting == group;
}

// Whether a radio button of the group other than its fallback stands for the value.
bool GroupNames(Setting group, int value) {
    for (const ControlSpec& control : DashboardControls()) {
        if (IsRadioOf(control, group) && !control.fallback && control.value == value) return true;
    }
    return false;
}

// The value of the group's first checked button other than its fallback, else the fallback's.
int CheckedChoice(Setting group, const std::function<bool(int id)>& isChecked) {
    int fallbackValue = 0;
    for (const ControlSpec& control : DashboardControls()) {
        if (!IsRadioOf(control, group)) continue;
        if (control.fallback) {
            fallbackValue = control.value;
        } else if (isChecked(control.id)) {
            return control.value;
        }
    }
    return fallbackValue;
}

}  // namespace

const std::vector<ControlSpec>& DashboardControls() {
    static const std::vector<ControlSpec> controls = BuildControls();
    return controls;
}

const ControlSpec* FindControl(int id) {
    if (id == kNoControlId) return nullptr;
    for (const ControlSpec& control : DashboardControls()) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

bool InitialCheck(const ControlSpec& control, const DashboardSettings& settings) {
    if (control.setting == S::TopbarAlwaysVisible) return !settings.topbarAutohide;
    if (control.kind == K::Radio) {
        const int chosen = ChoiceOf(settings, control.setting);
        return control.value == chosen ||
               (control.fallback && !GroupNames(control.setting, chosen));
    }
    const bool* flag = FlagOf(settings, control.setting);
    return flag && *flag;
}

void StoreControlStates(DashboardSettings& settings, const std::function<bool(int id)>& isChecked) {
    for (const ControlSpec& control : DashboardControls()) {
        if (control.kind != K::CheckBox) continue;
        const bool checked = isChecked(control.id);
        if (control.setting == S::TopbarAlwaysVisible) {
            settings.showTopbar = checked;
            settings.topbarAutohide = !checked;
        } else if (bool* flag = FlagOf(settings, control.setting)) {
            *flag = checked;
        }
    }
    for (const Setting group : kChoiceGroups) {
        StoreChoice(settings, group, CheckedChoice(group, isChecked));
    }
}

ControlRect NavigationButtonRect(int index) { return {15, 78 + 37 * index, 205, 34}; }

}  // namespace qorva
