#include "tsf/composition_handler.h"

#include <memory>

namespace qorva_tsf {

bool ManagedCompositionHandler::Initialize(HINSTANCE module) { return manager.Initialize(module); }

void ManagedCompositionHandler::Shutdown() { manager.Shutdown(); }

void ManagedCompositionHandler::SetAutoCorrectEnabled(bool enabled) {
    manager.SetAutoCorrectEnabled(enabled);
}

void ManagedCompositionHandler::SetMaxCandidates(uint32_t count) {
    manager.SetMaxCandidates(count);
}

void ManagedCompositionHandler::SetPersonalLearningEnabled(bool enabled) {
    manager.SetPersonalLearningEnabled(enabled);
}

void ManagedCompositionHandler::SetSuggestionsEnabled(bool enabled) {
    manager.SetSuggestionsEnabled(enabled);
}

void ManagedCompositionHandler::SetEnglishTranslationEnabled(bool enabled) {
    manager.SetEnglishTranslationEnabled(enabled);
}

void ManagedCompositionHandler::SetCloudTranslitEnabled(bool enabled) {
    manager.SetCloudTranslitEnabled(enabled);
}

void ManagedCompositionHandler::SyncConversionTargetFromIpc() {
    manager.SyncConversionTargetFromIpc();
}

void ManagedCompositionHandler::ToggleConversionTarget() { manager.ToggleConversionTarget(); }

void ManagedCompositionHandler::ToggleVoice() { manager.ToggleVoice(); }

void ManagedCompositionHandler::OnFocusLost(ITfContext* context) { manager.OnFocusLost(context); }

void ManagedCompositionHandler::OnCompositionTerminated(ITfContext* context,
                                                        ITfComposition* composition) {
    manager.OnCompositionTerminated(context, composition);
}

bool ManagedCompositionHandler::IsComposing() const { return manager.IsComposing(); }

bool ManagedCompositionHandler::HasCandidates() const { return !manager.Candidates().empty(); }

bool ManagedCompositionHandler::CanSelectCandidate(char digit) {
    return manager.CanSelectCandidate(digit);
}

bool ManagedCompositionHandler::OnCharacter(ITfContext* context, char letter) {
    return manager.OnCharacter(context, letter);
}

bool ManagedCompositionHandler::OnSpace(ITfContext* context) { return manager.OnSpace(context); }

bool ManagedCompositionHandler::OnEscape(ITfContext* context) { return manager.OnEscape(context); }

bool ManagedCompositionHandler::OnBackspace(ITfContext* context) {
    return manager.OnBackspace(context);
}

bool ManagedCompositionHandler::OnEnter(ITfContext* context) { return manager.OnEnter(context); }

bool ManagedCompositionHandler::OnDigit(ITfContext* context, char digit) {
    return manager.OnDigit(context, digit);
}

bool ManagedCompositionHandler::OnBengaliDigit(ITfContext* context, wchar_t digit) {
    return manager.OnBengaliDigit(context, digit);
}

bool ManagedCompositionHandler::OnArrow(ITfContext* context, bool down) {
    return manager.OnArrow(context, down);
}

bool ManagedCompositionHandler::OnPunctuation(ITfContext* context, char mark) {
    return manager.OnPunctuation(context, mark);
}

std::unique_ptr<CompositionHandler> MakeManagedCompositionHandler(TextService& service) {
    return std::make_unique<ManagedCompositionHandler>(service);
}

}  // namespace qorva_tsf
