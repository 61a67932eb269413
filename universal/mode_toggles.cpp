// The universal program's switches of the shared typing mode: its hot keys (taken by the keyboard
// hook, or registered for when the hook does not run), the language-pin tray icon and the candidate
// window's header.
#include <windows.h>

#include "universal/mode_ipc.h"
#include "universal/mode_toggle_rules.h"
#include "universal/universal_host.h"

namespace qorva::universal {
namespace {

ToggleClocks g_toggle_clocks;

// The switch itself happens at once, so that the next key is typed in the new mode; the sound,
// the log line, the tray and the top bar follow from the message loop, since the keyboard hook
// calls this and must not wait for them.
void RunToggle(ModeToggle toggle) {
    if (!g_toggle_clocks.Accept(toggle, GetTickCount())) return;
    ModeIpc& mode = ModeIpc::Instance();
    mode.SetMode(ModeAfterToggle(toggle, mode.GetMode()));
    // Letters typed before the switch belong to the old mode.
    g_typing.Reset();
    if (g_candidate_popup.Visible()) CloseCandidateList();
    if (!g_window ||
        !PostMessageW(g_window, kToggleFeedbackMessage, static_cast<WPARAM>(toggle), 0)) {
        ShowToggleFeedback(toggle);
    }
}

}  // namespace

void ShowToggleFeedback(ModeToggle toggle) {
    const ModeTarget now = ModeIpc::Instance().GetMode();
    const ToggleFeedback feedback = FeedbackOfToggle(toggle, now);
    PlaySoundEffect(feedback.soundKind);
    Log(feedback.logLine);
    UpdateTray();
    g_topbar.UpdateMode(now);
}

void TriggerModeToggle() { RunToggle(ModeToggle::BanglaEnglish); }

void TriggerTranslationToggle() { RunToggle(ModeToggle::BanglaTranslation); }

void OnConversionTargetChanged(qorva_tsf::CandidateWindow::ConversionTarget target) {
    // The header keeps showing the side clicked; the word being typed goes on.
    ModeIpc::Instance().SetMode(ModeAfterHeaderClick(target));
    g_topbar.UpdateMode(ModeIpc::Instance().GetMode());
    UpdateTray();
}

}  // namespace qorva::universal
