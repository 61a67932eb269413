// The composition manager as the text service drives it. The text service's methods are the entry
// points from the host application and end every exception there.
#pragma once

#include <memory>

#include "tsf/composition_mgr.h"
#include "tsf/text_service.h"

namespace qorva_tsf {

class ManagedCompositionHandler final : public CompositionHandler {
public:
    explicit ManagedCompositionHandler(TextService& service,
                                       const OnlineServices& online = DefaultOnlineServices())
        : manager(&service, online) {}

    CompositionManager& Manager() { return manager; }

    bool Initialize(HINSTANCE module) override;
    void Shutdown() override;
    void SetAutoCorrectEnabled(bool enabled) override;
    void SetMaxCandidates(uint32_t count) override;
    void SetPersonalLearningEnabled(bool enabled) override;
    void SetSuggestionsEnabled(bool enabled) override;
    void SetEnglishTranslationEnabled(bool enabled) override;
    void SetCloudTranslitEnabled(bool enabled) override;
    void SyncConversionTargetFromIpc() override;
    void ToggleConversionTarget() override;
    void ToggleVoice() override;
    void OnFocusLost(ITfContext* context) override;
    void OnCompositionTerminated(ITfContext* context, ITfComposition* composition) override;
    bool IsComposing() const override;
    bool HasCandidates() const override;
    bool CanSelectCandidate(char digit) override;
    bool OnCharacter(ITfContext* context, char letter) override;
    bool OnSpace(ITfContext* context) override;
    bool OnEscape(ITfContext* context) override;
    bool OnBackspace(ITfContext* context) override;
    bool OnEnter(ITfContext* context) override;
    bool OnDigit(ITfContext* context, char digit) override;
    bool OnBengaliDigit(ITfContext* context, wchar_t digit) override;
    bool OnArrow(ITfContext* context, bool down) override;
    bool OnPunctuation(ITfContext* context, char mark) override;

private:
    CompositionManager manager;
};

// The composition logic of the text services that the module's class factory makes.
std::unique_ptr<CompositionHandler> MakeManagedCompositionHandler(TextService& service);

}  // namespace qorva_tsf
