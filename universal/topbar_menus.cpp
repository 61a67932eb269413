#include "universal/topbar_menus.h"

namespace qorva::universal {

namespace {

// The maker's pages and channels.
constexpr wchar_t kMakerWebsite[] = L"https://qorva.pelorin.com/";
constexpr wchar_t kPhoneticGuidePage[] = L"https://qorva.pelorin.com/phonetic-guide";
constexpr wchar_t kConverterPage[] = L"https://qorva.pelorin.com/converter/";
constexpr wchar_t kDownloadsPage[] = L"https://qorva.pelorin.com/download";
constexpr wchar_t kFacebookPage[] = L"https://www.facebook.com/pelorin.qorva";
constexpr wchar_t kYoutubeChannel[] = L"https://www.youtube.com/@pelorin-qorva";
constexpr wchar_t kWhatsappChat[] = L"https://wa.me/message/QORVAPELORIN";
constexpr wchar_t kTelegramChannel[] = L"https://t.me/pelorin_qorva";
constexpr wchar_t kSupportMail[] = L"mailto:support@pelorin.com";

MenuItem Command(unsigned id, const wchar_t* text, MenuIconType icon, bool checked = false) {
    return MenuItem::Command(id, text, checked).WithIcon(icon);
}

}  // namespace

const InfoBox kAboutBox{L"About Qorva",
                        L"Qorva (কোর্ভা) — The Intelligent Bangla Typing Engine\n"
                        L"Version 1.0.0 (Windows 64-bit Edition)\n"
                        L"\n"
                        L"Features:\n"
                        L"• AI-Powered Bengali Voice Typing (Gemini Multimodal Speech)\n"
                        L"• 86K+ Bengali High-Frequency Lexicon Trie & Dynamic Ranker\n"
                        L"• Roman Banglish to English Real-Time Translation (Ctrl+Alt+E)\n"
                        L"• Sleek 24-Pixel Floating Top Bar with Compact & Full Modes\n"
                        L"• Standalone Notification Tray & Pure Icon Mode\n"
                        L"\n"
                        L"Developed by Pelorin\n"
                        L"Web Portal: https://qorva.pelorin.com\n"
                        L"Support: support@pelorin.com"};

const InfoBox kCurrentVersionBox{
    L"Qorva - Current Version",
    L"Qorva Typing Engine\n\nCurrent Version: 1.0.0 (Release Build 2026.10)\n"
    L"Target Architecture: Windows x64 / x86\nRelease Channel: Stable Production\n\n"
    L"Status: Fully Updated & Running Locally."};

const InfoBox kChangeLogsBox{
    L"Qorva - ChangeLogs",
    L"What's New in Qorva v1.0.0:\n"
    L"\n"
    L"1. Sleek 24-pixel floating top bar with compact and full modes.\n"
    L"2. Built-in Gemini AI Bengali Voice Recognition with pulse mic indicator.\n"
    L"3. Dual Banglish & English conversion engine with Ctrl+Alt+E hotkey.\n"
    L"4. Independent Standalone Icon Mode (zero Windows keyboard layout clutter).\n"
    L"5. 100% Offline-first privacy and personal learning cache."};

const InfoBox kLayoutMapBox{
    L"Qorva Phonetic Layout Guide",
    L"Qorva Banglish Phonetic Layout Map:\n"
    L"\n"
    L"• স্বরবর্ণ: a (অ), A / aa (আ), i (ই), I / ee (ঈ), u (উ), U / oo (ঊ), rri (ঋ), e (এ), "
    L"oi (ঐ), o (ও), ou (ঔ)\n"
    L"• ক-বর্গ: k (ক), kh (খ), g (গ), gh (ঘ), Ng (ঙ)\n"
    L"• চ-বর্গ: c / ch (চ), Ch / chh (ছ), j (জ), jh (ঝ), NG (ঞ)\n"
    L"• ট-বর্গ: T (ট), Th (ঠ), D (ড), Dh (ঢ), N (ণ)\n"
    L"• ত-বর্গ: t (ত), th (থ), d (দ), dh (ধ), n (ন)\n"
    L"• প-বর্গ: p (প), f / ph (ফ), b (ব), bh / v (ভ), m (ম)\n"
    L"• অন্তস্থ: z / y (য), r (র), l (ল), w (ওয়)\n"
    L"• শ-ষ-স-হ: sh / S (শ), Sh (ষ), s (স), h (হ)\n"
    L"• ড়-ঢ়-য়: R (ড়), Rh (ঢ়), y / Y (য়)\n"
    L"• বিশেষ: t`` (ৎ), ng (ং), : (ঃ), ^ (ঁ), ,, (্)\n"
    L"\n"
    L"অফিসিয়াল ফোনেটিক গাইড বিস্তারিত দেখতে ব্রাউজার খুলবে।"};

TopBarMenu MenuOfRightClick(const TopBarLayout& buttons, LayoutPoint client) {
    return ButtonRect(buttons, TopBarButton::Menu).Contains(client) ? TopBarMenu::Power
                                                                    : TopBarMenu::Settings;
}

LayoutPoint TopBarMenuAnchor(TopBarMenu menu, const TopBarLayout& buttons) {
    constexpr int32_t kGapBelowButton = 3;
    switch (menu) {
        case TopBarMenu::Power: {
            const LayoutRect& button = ButtonRect(buttons, TopBarButton::Menu);
            return {button.right, button.bottom + kGapBelowButton};
        }
        case TopBarMenu::WordManager: {
            const LayoutRect& button = ButtonRect(buttons, TopBarButton::WordManager);
            return {button.left, button.bottom + kGapBelowButton};
        }
        case TopBarMenu::Settings: break;
    }
    const LayoutRect& button = ButtonRect(buttons, TopBarButton::Settings);
    return {button.left, button.bottom + kGapBelowButton};
}

std::vector<MenuItem> TopBarSettingsMenu(const TopBarMenuState& state) {
    const bool bangla = state.mode == ModeTarget::Bangla;
    const bool banglish = state.mode == ModeTarget::BanglishToEnglish;
    return {
        MenuItem::Submenu(L"English Layouts",
                          {MenuItem::Command(kMenuQwerty, L"QWERTY (Standard US)", true),
                           MenuItem::Command(kMenuDvorak, L"Dvorak")})
            .WithIcon(kIconEnglish),
        MenuItem::Submenu(
            L"English Encodings",
            {MenuItem::Command(kMenuUtf8Encoding, L"UTF-8 / Unicode (Standard)", true),
             MenuItem::Command(kMenuAnsiEncoding, L"ASCII / ANSI")})
            .WithIcon(kIconEnglishEncodings),
        MenuItem::Separator(),
        MenuItem::Submenu(
            L"Bangla Layouts",
            {MenuItem::Command(kMenuPhonetic, L"Phonetic (ফনেটিক)", bangla),
             MenuItem::Command(kMenuBanglish, L"Banglish (বাংলিশ অনুবাদ) [Ctrl+Alt+E]", banglish),
             MenuItem::Command(kMenuBijoyBayanno, L"Bijoy Bayanno (বিজয় বাহান্ন)"),
             MenuItem::Command(kMenuProbhat, L"Probhat (প্রভাত)"),
             MenuItem::Command(kMenuNationalJatiya, L"National Jatiya (জাতীয়)"),
             MenuItem::Command(kMenuUnibijoy, L"Unibijoy (ইউনিবিজয়)"),
             MenuItem::Command(kMenuMunirOptima, L"Munir Optima (মুনীর অপটিমা)")})
            .WithIcon(kIconBangla),
        MenuItem::Submenu(
            L"Bangla Encodings",
            {MenuItem::Command(kMenuUnicodeEncoding, L"Unicode (ইউনিকোড - আধুনিক)", true),
             MenuItem::Command(kMenuBijoyClassicEncoding, L"ANSI / Bijoy Classic (বিজয় ক্লাসিক)")})
            .WithIcon(kIconBanglaEncodings),
        MenuItem::Separator(),
        Command(kMenuConverter, L"Encoding Converter (ইউনিকোড ⇄ বিজয়)", kIconConverter),
        Command(kMenuEditKeyboardLayout, L"Edit / Build Keyboard Layout...", kIconKeyboard),
        MenuItem::Separator(),
        Command(kMenuSettings, L"Settings", kIconSettings),
        MenuItem::Submenu(
            L"About Qorva",
            {Command(kMenuAbout, L"About", kIconInformation),
             Command(kMenuCurrentVersion, L"Current Version", kIconVersion),
             Command(kMenuChangeLogs, L"ChangeLogs", kIconChangeLogs),
             Command(kMenuPrepareUninstall, L"Prepare for Uninstall/Clean Update", kIconUninstall)})
            .WithIcon(kIconAbout),
        MenuItem::Submenu(
            L"? Help",
            {Command(kMenuLayoutMap, L"Banglish Layout Map", kIconLayoutMap),
             Command(kMenuDownloads, L"Download Layouts and Encoders", kIconDownload),
             Command(kMenuWebsite, L"Official Website (qorva.pelorin.com)", kIconWebsite),
             Command(kMenuFacebook, L"Facebook page", kIconFacebook),
             Command(kMenuYoutube, L"Youtube", kIconYoutube),
             Command(kMenuWhatsapp, L"Whatsapp", kIconWhatsapp),
             Command(kMenuTelegram, L"Telegram", kIconTelegram),
             Command(kMenuEmail, L"Email", kIconEmail)})
            .WithIcon(kIconHelp),
        MenuItem::Separator(),
        Command(kMenuAutoHideRight, L"👉 ডান পাশে অটো-হাইড (Auto-Hide to Right Side)", kIconAutoHide,
                state.dockedRight && state.autoHide),
        Command(kMenuAutoHideTop, L"👆 শীর্ষে অটো-হাইড (Auto-Hide to Top)", kIconAutoHide,
                !state.dockedRight && state.autoHide),
        Command(kMenuAlwaysVisible, L"📌 সর্বদা দৃশ্যমান (Always Visible)", kIconSettings,
                !state.autoHide),
        Command(kMenuCompactTopBar, L"📐 কম্প্যাক্ট টপবার (Compact TopBar) [DblClick]", kIconCompact,
                state.compactMode),
    };
}

std::vector<MenuItem> TopBarPowerMenu() {
    return {
        Command(kMenuMoveToTray, L"Move to Tray", kIconMoveToTray),
        Command(kMenuCheckForUpdate, L"Check for Update", kIconCheckForUpdate),
        Command(kMenuRestart, L"Restart", kIconRestart),
        MenuItem::Separator(),
        Command(kMenuCleanUninstall, L"Clean Uninstall", kIconUninstall),
        MenuItem::Separator(),
        Command(kMenuExit, L"Exit", kIconExit),
    };
}

std::vector<MenuItem> TopBarWordManagerMenu() {
    return {
        Command(kMenuWordManager, L"Word Manager", kIconWordManager),
        Command(kMenuAddWord, L"Add new word", kIconAddWord),
    };
}

TopBarMenuAction ActionOfTopBarCommand(unsigned command) {
    using Kind = TopBarMenuAction::Kind;
    TopBarMenuAction action;
    const auto with = [&](Kind kind, std::wstring text = {}) {
        action.kind = kind;
        action.text = std::move(text);
        return action;
    };
    const auto mode = [&](ModeTarget target) {
        action.kind = Kind::SetMode;
        action.mode = target;
        return action;
    };
    const auto box = [&](const InfoBox& shown) {
        action.kind = Kind::ShowBox;
        action.box = &shown;
        return action;
    };
    switch (command) {
        case kMenuQwerty:
        case kMenuDvorak: return mode(ModeTarget::English);
        case kMenuPhonetic:
        case kMenuBijoyBayanno:
        case kMenuProbhat:
        case kMenuNationalJatiya:
        case kMenuUnibijoy:
        case kMenuMunirOptima: return mode(ModeTarget::Bangla);
        case kMenuBanglish: return mode(ModeTarget::BanglishToEnglish);
        case kMenuConverter: return with(Kind::OpenAddress, kConverterPage);
        case kMenuEditKeyboardLayout: return with(Kind::LaunchSettings, L"/keyboard");
        case kMenuSettings: return with(Kind::LaunchSettings);
        case kMenuAutoHideRight: return with(Kind::AutoHideRight);
        case kMenuAutoHideTop: return with(Kind::AutoHideTop);
        case kMenuAlwaysVisible: return with(Kind::AlwaysVisible);
        case kMenuCompactTopBar: return with(Kind::ToggleCompact);
        case kMenuAbout: return box(kAboutBox);
        case kMenuCurrentVersion: return box(kCurrentVersionBox);
        case kMenuChangeLogs: return box(kChangeLogsBox);
        case kMenuPrepareUninstall: return with(Kind::PrepareCleanUninstall);
        case kMenuLayoutMap: return with(Kind::ShowLayoutMap, kPhoneticGuidePage);
        case kMenuDownloads: return with(Kind::OpenAddress, kDownloadsPage);
        case kMenuWebsite: return with(Kind::OpenAddress, kMakerWebsite);
        case kMenuFacebook: return with(Kind::OpenAddress, kFacebookPage);
        case kMenuYoutube: return with(Kind::OpenAddress, kYoutubeChannel);
        case kMenuWhatsapp: return with(Kind::OpenAddress, kWhatsappChat);
        case kMenuTelegram: return with(Kind::OpenAddress, kTelegramChannel);
        case kMenuEmail: return with(Kind::OpenAddress, kSupportMail);
        case kMenuMoveToTray: return with(Kind::MoveToTray);
        case kMenuCheckForUpdate: return with(Kind::CheckForUpdate);
        case kMenuRestart: return with(Kind::Restart);
        case kMenuCleanUninstall: return with(Kind::CleanUninstall);
        case kMenuExit: return with(Kind::Exit);
        case kMenuWordManager: return with(Kind::LaunchSettings, L"/dict");
        case kMenuAddWord: return with(Kind::AddWord);
    }
    return action;
}

}  // namespace qorva::universal
