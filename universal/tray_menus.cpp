#include "universal/tray_menus.h"

namespace qorva::universal {

MenuItem MenuItem::Command(unsigned id, std::wstring text, bool checked) {
    MenuItem item;
    item.id = id;
    item.text = std::move(text);
    item.checked = checked;
    return item;
}

MenuItem MenuItem::WithIcon(MenuIconType kind) && {
    icon = kind;
    return std::move(*this);
}

MenuItem MenuItem::Submenu(std::wstring text, std::vector<MenuItem> items) {
    MenuItem item;
    item.kind = Kind::Submenu;
    item.text = std::move(text);
    item.items = std::move(items);
    return item;
}

MenuItem MenuItem::Separator() {
    MenuItem item;
    item.kind = Kind::Separator;
    return item;
}

std::vector<MenuItem> HotkeyTrayMenu(const TrayMenuState& state) {
    const std::wstring updateText =
        state.latestUpdateVersion.empty()
            ? std::wstring(L"Check for Update")
            : L"Check for Update (" + state.latestUpdateVersion + L" available)";
    return {
        MenuItem::Command(kTrayToggleTopBar, L"Restore top bar").WithIcon(kIconMoveToTray),
        MenuItem::Command(kTrayStartVoiceTyping, L"Start Voice Typing").WithIcon(kIconMicrophone),
        MenuItem::Submenu(
            L"Mic Options",
            {MenuItem::Command(kTrayMicrophoneSettings, L"Microphone Settings..."),
             MenuItem::Command(kTrayDefaultInputDevice, L"Default Input Device", true)}),
        MenuItem::Command(kTrayTypingMode, L"Typing Mode", !state.suggestionsPaused),
        MenuItem::Submenu(
            L"Typing Options",
            {MenuItem::Command(kTrayModeBangla, L"বাংলা (Bangla)",
                               state.mode == ModeTarget::Bangla),
             MenuItem::Command(kTrayModeEnglish, L"English", state.mode == ModeTarget::English),
             MenuItem::Command(kTrayModeTranslation, L"বাংলিশ ➔ ইংরেজি অনুবাদ",
                               state.mode == ModeTarget::BanglishToEnglish)}),
        MenuItem::Command(kTrayWordManager, L"Word Manager"),
        MenuItem::Submenu(L"Options",
                          {MenuItem::Command(kTraySettings, L"Settings..."),
                           MenuItem::Command(kTrayResetTopBar, L"Reset TopBar Position"),
                           MenuItem::Command(kTrayOnScreenKeyboard, L"On Screen Keyboard"),
                           MenuItem::Command(kTrayCheckForUpdate, updateText)}),
        MenuItem::Separator(),
        MenuItem::Command(kTrayRestart, L"Restart").WithIcon(kIconRestart),
        MenuItem::Command(kTrayExit, L"Exit").WithIcon(kIconExit),
    };
}

std::vector<MenuItem> LanguagePinMenu(const TrayMenuState& state) {
    return {
        MenuItem::Command(kPinModeBangla, L"বাংলা (Bangla Phonetic)\tCtrl+Alt+Space",
                          state.mode == ModeTarget::Bangla)
            .WithIcon(kIconBangla),
        MenuItem::Command(kPinModeEnglish, L"English (Standard US)\tCtrl+Alt+Space",
                          state.mode == ModeTarget::English)
            .WithIcon(kIconEnglish),
        MenuItem::Command(kPinModeTranslation, L"বাংলিশ ➔ ইংরেজি অনুবাদ\tCtrl+Alt+E",
                          state.mode == ModeTarget::BanglishToEnglish)
            .WithIcon(kIconConverter),
        MenuItem::Separator(),
        MenuItem::Command(kPinToggleTopBar, state.topBarVisible ? L"টপবার লুকান (Hide TopBar)"
                                                                : L"টপবার দেখান (Restore TopBar)")
            .WithIcon(kIconMoveToTray),
        MenuItem::Command(kPinResetTopBar, L"টপবার কেন্দ্রে রিসেট (Reset Position)")
            .WithIcon(kIconRestart),
        MenuItem::Separator(),
        MenuItem::Command(kPinVoiceTyping, L"বাংলা ভয়েস টাইপিং\tCtrl+Alt+V")
            .WithIcon(kIconMicrophone),
        MenuItem::Command(kPinOnScreenKeyboard, L"অন-স্ক্রীন কিবোর্ড (Virtual Keyboard)")
            .WithIcon(kIconKeyboard),
        MenuItem::Command(kPinSettings, L"সেটিংস ও অপশন...").WithIcon(kIconSettings),
    };
}

std::optional<ModeTarget> ModeOfCommand(unsigned command) {
    switch (command) {
        case kTrayModeBangla:
        case kPinModeBangla: return ModeTarget::Bangla;
        case kTrayModeEnglish:
        case kPinModeEnglish: return ModeTarget::English;
        case kTrayModeTranslation:
        case kPinModeTranslation: return ModeTarget::BanglishToEnglish;
    }
    return std::nullopt;
}

}  // namespace qorva::universal
