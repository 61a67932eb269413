// The dashboard's nine sections, their navigation buttons, and the section a command line opens.
#pragma once

#include <cstdint>
#include <string_view>

namespace qorva {

enum SectionID : int32_t {
    kSectionDashboard = 0,
    kSectionTyping = 1,
    kSectionSuggestions = 2,
    kSectionBanglish = 3,
    kSectionDictionary = 4,
    kSectionKeyboard = 5,
    kSectionAppearance = 6,
    kSectionAdvanced = 7,
    kSectionAbout = 8,
};
constexpr int kSectionCount = 9;

// Navigation button i has this control id and shows section i.
constexpr int kFirstNavigationId = 1000;

// The navigation button's label, section 0 to 8.
const wchar_t* NavigationLabel(SectionID section);

// The section the program opens with: "dict" or "word" anywhere in the command line (any case) the
// Dictionary, else "about" or "update" the About section, else "key" or "layout" the Keyboard
// section, otherwise the Dashboard. The top bar passes "/dict", "/keyboard" and "-voice".
SectionID SectionForCommandLine(std::string_view commandLine);

}  // namespace qorva
