#include "tsf/composition_handler.h"

#include <memory>

#include "common/call_guarded.h"

namespace qorva_tsf {

using qorva::CallGuarded;

// A manager that cannot even initialise still lets the activation succeed: keys then pass.
bool ManagedCompositionHandler::Initialize(HINSTANCE module) {
    return CallGuarded(true, [&] { return manager.Initialize(module); });
}

void ManagedCompositionHandler::Shutdown() {
    CallGuarded([&] { manager.Shutdown(); });
}

void ManagedCompositionHandler::SetAutoCorrectEnabled(bool enabled) {
    CallGuarded([&] { manager.SetAutoCorrectEnabled(enabled); });
}

void ManagedCompositionHandler::SetMaxCandidates(uint32_t count) {
    CallGuarded([&] { manager.SetMaxCandidates(count); });
}

void ManagedCompositionHandler::SetPersonalLearningEnabled(bool enabled) {
    CallGuarded([&] { manager.SetPersonalLearningEnabled(enabled); });
}

void ManagedCompositionHandler::SetSuggestionsEnabled(bool enabled) {
    CallGuarded([&] { manager.SetSuggestionsEnabled(enabled); });
}

void ManagedCompositionHandler::SetEnglishTranslationEnabled(bool enabled) {
    CallGuarded([&] { manager.SetEnglishTranslationEnabled(enabled); });
}

void ManagedCompositionHandler::SetCloudTranslitEnabled(bool enabled) {
    CallGuarded([&] { manager.SetCloudTranslitEnabled(enabled); });
}

void ManagedCompositionHandler::SyncConversionTargetFromIpc() {
    CallGuarded([&] { manager.SyncConversionTargetFromIpc(); });
}

void ManagedCompositionHandler::ToggleConversionTarget() {
    CallGuarded([&] { manager.ToggleConversionTarget(); });
}

void ManagedCompositionHandler::ToggleVoice() {
    CallGuarded([&] { manager.ToggleVoice(); });
}

void ManagedCompositionHandler::OnFocusLost(ITfContext* context) {
    CallGuarded([&] { manager.OnFocusLost(context); });
}

void ManagedCompositionHandler::OnCompositionTerminated(ITfContext* context,
                                                        ITfComposition* composition) {
    CallGuarded([&] { manager.OnCompositionTerminated(context, composition); });
}

bool ManagedCompositionHandler::IsComposing() const { return manager.IsComposing(); }

bool ManagedCompositionHandler::HasCandidates() const { return !manager.Candidates().empty(); }

bool ManagedCompositionHandler::CanSelectCandidate(char digit) {
    return manager.CanSelectCandidate(digit);
}

bool ManagedCompositionHandler::OnCharacter(ITfContext* context, char letter) {
    return CallGuarded(true, [&] { return manager.OnCharacter(context, letter); });
}

bool ManagedCompositionHandler::OnSpace(ITfContext* context) {
    return CallGuarded(false, [&] { return manager.OnSpace(context); });
}

bool ManagedCompositionHandler::OnEscape(ITfContext* context) {
    return CallGuarded(false, [&] { return manager.OnEscape(context); });
}

bool ManagedCompositionHandler::OnBackspace(ITfContext* context) {
    return CallGuarded(false, [&] { return manager.OnBackspace(context); });
}

bool ManagedCompositionHandler::OnEnter(ITfContext* context) {
    return CallGuarded(false, [&] { return manager.OnEnter(context); });
}

bool ManagedCompositionHandler::OnDigit(ITfContext* context, char digit) {
    return CallGuarded(false, [&] { return manager.OnDigit(context, digit); });
}

bool ManagedCompositionHandler::OnBengaliDigit(ITfContext* context, wchar_t digit) {
    return CallGuarded(false, [&] { return manager.OnBengaliDigit(context, digit); });
}

bool ManagedCompositionHandler::OnArrow(ITfContext* context, bool down) {
    return CallGuarded(false, [&] { return manager.OnArrow(context, down); });
}

bool ManagedCompositionHandler::OnPunctuation(ITfContext* context, char mark) {
    return CallGuarded(false, [&] { return manager.OnPunctuation(context, mark); });
}

std::unique_ptr<CompositionHandler> MakeManagedCompositionHandler(TextService& service) {
    // Without composition logic the text service passes every key.
    return CallGuarded<std::unique_ptr<CompositionHandler>>(
        nullptr, [&] { return std::make_unique<ManagedCompositionHandler>(service); });
}

}  // namespace qorva_tsf
