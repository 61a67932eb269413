// The conversion target (Bangla or English) follows the typing mode that every process shares. The
// block is re-read before every key instead of listening to the broadcast: a text service has no
// window of its own to receive it.
#include "tsf/composition_mgr.h"
#include "universal/mode_ipc.h"

namespace qorva_tsf {
namespace {

using qorva::ModeIpc;
using qorva::ModeTarget;
using Target = CandidateConversionTarget;

// The universal program's translation mode (2), and any value this program does not know, compose
// Bangla here.
Target TargetOfMode(ModeTarget mode) {
    return mode == ModeTarget::English ? Target::English : Target::Bangla;
}

ModeTarget ModeOfTarget(Target target) {
    return target == Target::English ? ModeTarget::English : ModeTarget::Bangla;
}

}  // namespace

void CompositionManager::SyncConversionTargetFromIpc() {
    const ConversionTarget target = TargetOfMode(ModeIpc::Instance().GetMode());
    if (target == conversionTarget) return;
    ApplyTarget(target);
}

void CompositionManager::ToggleConversionTarget() {
    const ModeTarget stored = ModeIpc::Instance().GetMode();
    ModeIpc::Instance().SetMode(stored == ModeTarget::English ? ModeTarget::Bangla
                                                              : ModeTarget::English);
    SyncConversionTargetFromIpc();
}

// A click on the candidate window's header; the block is written but not read back.
void CompositionManager::SetConversionTarget(ConversionTarget target) {
    if (target == conversionTarget) return;
    ModeIpc::Instance().SetMode(ModeOfTarget(target));
    ApplyTarget(target);
}

// The header follows, and an open composition is composed again in the new target.
void CompositionManager::ApplyTarget(ConversionTarget target) {
    conversionTarget = target;
    candidateWindow.SetConversionMode(target);
    if (composing) UpdateCompositionAndUI(lastContext.Get());
}

}  // namespace qorva_tsf
