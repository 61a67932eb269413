#include "universal/typed_helpers.h"

#include <cwchar>

namespace qorva::universal {

std::wstring DateText(int day, int month, int year, bool bengaliDigits) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%02d/%02d/%04d", day, month, year);
    std::wstring date = text;
    if (bengaliDigits) {
        for (wchar_t& c : date) {
            if (c >= L'0' && c <= L'9') c = static_cast<wchar_t>(0x09E6 + (c - L'0'));
        }
    }
    return date;
}

std::wstring TimeText(int hour, int minute) {
    const int clockHour = hour % 12 == 0 ? 12 : hour % 12;
    wchar_t text[32];
    std::swprintf(text, 32, L"%d:%02d %ls", clockHour, minute, hour < 12 ? L"AM" : L"PM");
    return text;
}

Keystrokes EmojiPanelKeystrokes() {
    return {
        {kWindowsKey, 0, 0}, {kPeriodKey, 0, 0}, {kPeriodKey, 0, kKeyUp}, {kWindowsKey, 0, kKeyUp}};
}

}  // namespace qorva::universal
