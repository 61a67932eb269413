#include "settings/dashboard_commands.h"

#include <cwchar>

#include "tsf/profile_ids.h"

namespace qorva {

void PrepareTopBarSettings(DashboardSettings& settings, int screenWidth, TopBarCommand command) {
    settings.showTopbar = true;
    const bool offEdge = settings.topbarX <= 9 || settings.topbarX >= screenWidth - 271;
    if (command == TopBarCommand::ResetCenter || offEdge) {
        settings.topbarX = (screenWidth - kTopBarWidth) / 2;
        settings.topbarY = 0;
    }
}

std::wstring CleanLayoutPowerShellArguments() {
    wchar_t language[16] = {};
    std::swprintf(language, 16, L"0x%08X", static_cast<unsigned>(qorva_tsf::kBengaliBangladesh));
    const std::wstring profileKey = std::wstring(L"HKLM:\\SOFTWARE\\Microsoft\\CTF\\TIP\\") +
                                    qorva_tsf::kClassIdText + L"\\LanguageProfile\\" + language +
                                    L"\\" + qorva_tsf::kProfileIdText;
    // Windows PowerShell does not load the VisualBasic assembly on its own; without Add-Type the
    // box never appears.
    return L"-WindowStyle Hidden -Command \"Add-Type -AssemblyName Microsoft.VisualBasic; "
           L"Get-ItemProperty '" +
           profileKey +
           L"' -ErrorAction SilentlyContinue | Remove-Item -Force -Recurse -ErrorAction "
           L"SilentlyContinue; [Microsoft.VisualBasic.Interaction]::MsgBox('উইন্ডোজ টিএসএফ লেআউট পরিষ্কার সম্পন্ন!', 64, 'Qorva Clean Layout')\"";
}

}  // namespace qorva
