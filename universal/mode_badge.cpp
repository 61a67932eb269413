#include "universal/mode_badge.h"

namespace qorva::universal {

ModeBadge BadgeOfMode(ModeTarget mode) {
    switch (mode) {
        case ModeTarget::English: return {2, 132, 199, L"Eng", L"Segoe UI", 65};
        case ModeTarget::BanglishToEnglish: return {13, 148, 136, L"B-E", L"Segoe UI", 75};
        case ModeTarget::Bangla: return {0, 168, 240, L"বাং", L"Vrinda", 75};
    }
    return {0, 168, 240, L"বাং", L"Segoe UI", 75};
}

std::wstring PinTipOfMode(ModeTarget mode) {
    const wchar_t* name = L"[বাং] বাংলা মোড";
    if (mode == ModeTarget::English) name = L"[EN] English";
    if (mode == ModeTarget::BanglishToEnglish) name = L"[Tr] Banglish->English অনুবাদ";
    return std::wstring(L"Qorva Language Pin: ") + name + L"\n(ক্লিক করে ভাষা পরিবর্তন করুন)";
}

}  // namespace qorva::universal
