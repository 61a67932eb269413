#include "settings/dashboard_sections.h"

#include <string>

#include "common/text.h"

namespace qorva {
namespace {

constexpr const wchar_t* kNavLabels[kSectionCount] = {
    L"  \U0001F39B\uFE0F  ড্যাশবোর্ড (Dashboard)",
    L"  \u2328\uFE0F  টাইপিং (Typing)",
    L"  \U0001F4A1  সাজেশন (Suggestions)",
    L"  \U0001F310  বাংলিশ (Banglish)",
    L"  \U0001F4D6  অভিধান (Dictionary)",
    L"  \U0001F39B\uFE0F  কীবোর্ড (Keyboard)",
    L"  \U0001F3A8  রূপ (Appearance)",
    L"  \u2699\uFE0F  উন্নত (Advanced)",
    L"  \u2139\uFE0F  পরিচিতি (About)",
};

bool HoldsAny(const std::string& text, std::string_view first, std::string_view second) {
    return text.find(first) != std::string::npos || text.find(second) != std::string::npos;
}

}  // namespace

const wchar_t* NavigationLabel(SectionID section) {
    return section >= 0 && section < kSectionCount ? kNavLabels[section] : L"";
}

SectionID SectionForCommandLine(std::string_view commandLine) {
    const std::string line = AsciiLower(std::string(commandLine));
    if (HoldsAny(line, "dict", "word")) return kSectionDictionary;
    if (HoldsAny(line, "about", "update")) return kSectionAbout;
    if (HoldsAny(line, "key", "layout")) return kSectionKeyboard;
    return kSectionDashboard;
}

}  // namespace qorva
