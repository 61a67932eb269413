// Where Show TopBar and Reset Center put the bar, and what Clean Layout runs.
#include <gtest/gtest.h>

#include "settings/dashboard_commands.h"

namespace qorva {
namespace {

TEST(TopBarCommands, ShowCentresOnlyABarAtAnEdgeResetCentresAlways) {
    constexpr int kWidth = 1920;  // centred: (1920 - 262) / 2 = 829
    const struct {
        TopBarCommand command;
        int x;
        int expectedX;
        int expectedY;
    } cases[] = {
        {TopBarCommand::Show, 9, 829, 0},
        {TopBarCommand::Show, 10, 10, 55},
        {TopBarCommand::Show, kWidth - 272, kWidth - 272, 55},
        {TopBarCommand::Show, kWidth - 271, 829, 0},
        {TopBarCommand::Show, -1, 829, 0},
        {TopBarCommand::ResetCenter, 10, 829, 0},
        {TopBarCommand::ResetCenter, 500, 829, 0},
    };
    for (const auto& c : cases) {
        DashboardSettings settings;
        settings.showTopbar = false;
        settings.topbarX = c.x;
        settings.topbarY = 55;
        PrepareTopBarSettings(settings, kWidth, c.command);
        EXPECT_TRUE(settings.showTopbar);
        EXPECT_EQ(settings.topbarX, c.expectedX) << c.x;
        EXPECT_EQ(settings.topbarY, c.expectedY) << c.x;
    }
}

// The command removes the profile that the text input processor registers (class, Bengali
// (Bangladesh), profile), and loads the assembly its message box needs.
TEST(CleanLayout, RemovesTheRegisteredProfileAndShowsItsBox) {
    const std::wstring arguments = CleanLayoutPowerShellArguments();
    EXPECT_EQ(arguments.rfind(L"-WindowStyle Hidden -Command \"Add-Type -AssemblyName "
                              L"Microsoft.VisualBasic; Get-ItemProperty '",
                              0),
              0u);
    EXPECT_NE(arguments.find(L"'HKLM:\\SOFTWARE\\Microsoft\\CTF\\TIP\\{6E2D81C4-3A95-4B17-8D60-"
                             L"F1C2A7E94B35}\\LanguageProfile\\0x00000845\\{9C47E0B2-5D18-4F63-"
                             L"A2B9-3E8D6C1F70A4}' "),
              std::wstring::npos);
    EXPECT_NE(
        arguments.find(
            L"[Microsoft.VisualBasic.Interaction]::MsgBox('উইন্ডোজ টিএসএফ লেআউট পরিষ্কার সম্পন্ন!', 64, 'Qorva Clean Layout')\""),
        std::wstring::npos);
    EXPECT_EQ(arguments.find(L"2B74"), std::wstring::npos);
    EXPECT_EQ(arguments.find(L"0x00000445"), std::wstring::npos);
}

}  // namespace
}  // namespace qorva
