#include "universal/topbar_tips.h"

namespace qorva::universal {
namespace {

constexpr const wchar_t* kTooltips[] = {
    L"বাংলা ভয়েস টাইপিং [Ctrl+Alt+V]\nমাইক্রোফোনে কথা বলে সরাসরি নির্ভুল বাংলা লিখুন",
    L"ভাষা পরিবর্তন [Ctrl+Alt+Space]\nক্লিক করে সরাসরি বাংলা ⇄ English মোড পরিবর্তন করুন",
    L"বাংলিশ ➔ ইংরেজি অনুবাদ [Ctrl+Alt+E]\nবাংলিশ শব্দ লিখলে সরাসরি শুদ্ধ ইংরেজিতে রূপান্তর হবে",
    L"টাইপিং সাজেশন বিরতি / চালু [Pause]\nসাজেশন পপআপ উইন্ডো সাময়িক বিরতি বা চালু করুন",
    L"শব্দ ম্যানেজার ও অভিধান (Word Manager)\nনতুন বাংলা শব্দ যোগ করুন এবং ব্যক্তিগত অভিধান পরিচালনা "
    L"করুন",
    L"অন-স্ক্রিন ভার্চুয়াল কিবোর্ড (On-Screen Keyboard)\nমাউস দিয়ে ক্লিক করে বাংলা টাইপ করার কিবোর্ড "
    L"খুলুন",
    L"ইউনিকোড ⇄ বিজয় কনভার্টার (Converter)\nবিজয় ও ইউনিকোড লেখার দ্রুত টেক্সট কনভার্টার",
    L"কোর্ভা সেটিংস ও শর্টকাট (Qorva Settings)\nকিবোর্ড লেআউট, ভয়েস ও সেটিংস উইন্ডো খুলুন",
    L"মিনিমাইজ / অপশন মেনু (App Menu)\nটপবার হাইড করে সিস্টেম ট্রে-তে পাঠান অথবা অপশন মেনু দেখুন",
};

// The cards of the two wide texts (translation and pause) are wider and sit further left.
HoverCard Card(const wchar_t* title, const wchar_t* text, bool wide = false) {
    return wide ? HoverCard{title, text, 270, -145} : HoverCard{title, text, 230, -125};
}

}  // namespace

const wchar_t* TopBarTooltipText(int button) {
    if (button < kFirstTipButton || button > kLastTipButton) return nullptr;
    return kTooltips[button - kFirstTipButton];
}

std::optional<HoverCard> HoverCardFor(int button, bool suggestionsPaused, int32_t barWidth) {
    switch (button) {
        case 1:
            return Card(L"Voice Typing:",
                        L"Click to start voice typing in Bangla, or press [Ctrl+Alt+V].");
        case 2:
            return Card(
                L"Language Mode:",
                L"Switch between Bangla and English typing modes (or press Ctrl+Alt+Space).");
        case 3:
            return Card(
                L"Translation Mode:",
                L"Convert Banglish phonetic typing directly into English sentences [Ctrl+Alt+E].",
                true);
        case 4:
            return Card(L"Typing Mode",
                        suggestionsPaused
                            ? L"Resume (▶) to display the word suggestion window while typing."
                            : L"Enable (▶) to display the word suggestion window while typing, "
                              L"and pause (⏸) when typing sensitive content to avoid displaying "
                              L"text.",
                        true);
        case 5:
            return Card(L"Word Manager:",
                        L"Add custom words to your personal dictionary and manage learned words.");
        case 6:
            return Card(
                L"On Screen Keyboard:",
                L"Use the mouse to click and type in Bangla, English, special characters, or "
                L"emojis.");
        case 7:
            return Card(L"Character Map / Converter:",
                        L"Convert text between Unicode and Bijoy, and view Bengali characters.");
        case 8:
            return Card(
                L"Qorva Settings:",
                L"Configure keyboard shortcuts, layout, voice typing options, and appearance.");
        case 9:
            // Only the full bar shows the power menu's button.
            if (barWidth >= kTopBarFullWidth) {
                return Card(L"Qorva Menu:",
                            L"Access options, move to system tray, restart, or exit Qorva.");
            }
            return Card(L"Expand Top Bar:",
                        L"Click to expand the full tool bar and access all typing tools.");
    }
    return std::nullopt;
}

LayoutPoint HoverCardPosition(const LayoutRect& button, LayoutPoint barOrigin,
                              const HoverCard& card, int32_t cardHeight, int32_t screenWidth,
                              int32_t screenHeight) {
    const int32_t cardWidth = HoverCardWidth(card);
    LayoutPoint at{barOrigin.x + (button.left + button.right) / 2 + card.offsetX,
                   barOrigin.y + button.bottom + 6};
    if (at.x < 10) at.x = 10;
    if (at.x + cardWidth >= screenWidth - 9) at.x = screenWidth - cardWidth - 10;
    if (at.y + cardHeight >= screenHeight - 9) at.y = barOrigin.y + button.top - cardHeight - 6;
    return at;
}

HoverCardStep NextHoverCardStep(int before, int now, bool cardVisible, bool dragging) {
    if (now == before) {
        if (now == 0 || cardVisible || dragging) return HoverCardStep::Keep;
        return HoverCardStep::Show;
    }
    return now == 0 || dragging ? HoverCardStep::Hide : HoverCardStep::Show;
}

}  // namespace qorva::universal
