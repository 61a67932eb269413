// The text service: the input processor's whole face towards the Text Services Framework. It is
// activated and deactivated, listens to document focus and keystrokes, is told when the
// application ends a composition, and hands every decision to its composition logic.
#pragma once

#include <windows.h>
#include <msctf.h>

#include <cstdint>
#include <istream>
#include <memory>

#include "tsf/com_object.h"
#include "tsf/edit_session.h"
#include "tsf/key_policy.h"

namespace qorva_tsf {

class TextService;

// What the text service drives. Everything runs on the host's UI thread. The key handlers return
// whether the key was eaten; a context they are given is never null.
class CompositionHandler {
public:
    virtual ~CompositionHandler() = default;

    // Once per activation, before the settings are applied; false fails the activation.
    virtual bool Initialize(HINSTANCE module) = 0;
    // Once per deactivation, also when nothing was initialised.
    virtual void Shutdown() = 0;

    // Settings, applied right after Initialize.
    virtual void SetAutoCorrectEnabled(bool enabled) = 0;
    virtual void SetMaxCandidates(uint32_t count) = 0;
    virtual void SetPersonalLearningEnabled(bool enabled) = 0;
    virtual void SetSuggestionsEnabled(bool enabled) = 0;
    virtual void SetEnglishTranslationEnabled(bool enabled) = 0;
    virtual void SetCloudTranslitEnabled(bool enabled) = 0;

    // Re-reads the typing mode that all processes share; called before every key test.
    virtual void SyncConversionTargetFromIpc() = 0;
    virtual void ToggleConversionTarget() = 0;
    virtual void ToggleVoice() = 0;

    // The context is null when focus left the document or the application ended the composition.
    virtual void OnFocusLost(ITfContext* context) = 0;
    virtual void OnCompositionTerminated(ITfContext* context, ITfComposition* composition) = 0;

    // Facts the key decision needs.
    virtual bool IsComposing() const = 0;
    virtual bool HasCandidates() const = 0;
    // Whether the digit '0' to '9' picks one of the candidates shown.
    virtual bool CanSelectCandidate(char digit) = 0;

    virtual bool OnCharacter(ITfContext* context, char letter) = 0;
    virtual bool OnSpace(ITfContext* context) = 0;
    virtual bool OnEscape(ITfContext* context) = 0;
    virtual bool OnBackspace(ITfContext* context) = 0;
    // Commits the open composition; also the "commit first" of keys that pass.
    virtual bool OnEnter(ITfContext* context) = 0;
    virtual bool OnDigit(ITfContext* context, char digit) = 0;
    virtual bool OnBengaliDigit(ITfContext* context, wchar_t digit) = 0;
    virtual bool OnArrow(ITfContext* context, bool down) = 0;
    virtual bool OnPunctuation(ITfContext* context, char mark) = 0;
};

// Makes the composition logic of a new text service. It may keep the reference to the service; the
// service owns what it returns and outlives it.
using CompositionHandlerFactory = std::unique_ptr<CompositionHandler> (*)(TextService& service);

// Every method that TSF calls is one entry point into the input processor: nothing it runs may
// throw back into the host application, so each one ends what it runs with one exception guard.
class TextService final : public ComObject<ITfTextInputProcessor, ITfThreadMgrEventSink,
                                           ITfKeyEventSink, ITfCompositionSink> {
public:
    // A new service holding one reference, or null when memory runs out. Without composition logic
    // (no factory, or the factory failed) every key passes to the application.
    static TextService* Create(CompositionHandlerFactory makeHandler);

    // ITfTextInputProcessor
    STDMETHODIMP Activate(ITfThreadMgr* threadMgr, TfClientId clientId) override;
    STDMETHODIMP Deactivate() override;

    // ITfThreadMgrEventSink
    STDMETHODIMP OnInitDocumentMgr(ITfDocumentMgr* documentMgr) override;
    STDMETHODIMP OnUninitDocumentMgr(ITfDocumentMgr* documentMgr) override;
    STDMETHODIMP OnSetFocus(ITfDocumentMgr* focus, ITfDocumentMgr* previous) override;
    STDMETHODIMP OnPushContext(ITfContext* context) override;
    STDMETHODIMP OnPopContext(ITfContext* context) override;

    // ITfKeyEventSink (advised as a foreground sink)
    STDMETHODIMP OnSetFocus(BOOL foreground) override;
    STDMETHODIMP OnTestKeyDown(ITfContext* context, WPARAM key, LPARAM keyData,
                               BOOL* eaten) override;
    STDMETHODIMP OnKeyDown(ITfContext* context, WPARAM key, LPARAM keyData, BOOL* eaten) override;
    STDMETHODIMP OnTestKeyUp(ITfContext* context, WPARAM key, LPARAM keyData, BOOL* eaten) override;
    STDMETHODIMP OnKeyUp(ITfContext* context, WPARAM key, LPARAM keyData, BOOL* eaten) override;
    STDMETHODIMP OnPreservedKey(ITfContext* context, REFGUID guid, BOOL* eaten) override;

    // ITfCompositionSink
    STDMETHODIMP OnCompositionTerminated(TfEditCookie cookie, ITfComposition* composition) override;

    // For the composition logic: the client id of every edit session (0 while inactive), and the
    // sink every composition is started with.
    TfClientId ClientId() const { return clientId_; }
    ITfCompositionSink* CompositionSink() { return this; }

    // Asks the document for an edit session in the name of this activation. TSF may run a queued
    // session after the activation has ended, even after everybody else has released the service:
    // the session keeps the service alive until it is destroyed, and its action runs only while the
    // activation that asked for it is still the current one.
    EditSessionResult RequestEditSession(ITfContext* context, EditAction action,
                                         WhenRefused whenRefused,
                                         HRESULT initialSessionResult = S_OK);

private:
    explicit TextService(CompositionHandlerFactory makeHandler);
    ~TextService() override;

    // Activate's work; false when a sink or the composition logic could not be set up.
    bool StartActivation(ITfThreadMgr* threadMgr, TfClientId clientId);
    bool IsCurrentActivation(uint32_t activation) const;
    bool InitThreadMgrEventSink();
    void UninitThreadMgrEventSink();
    bool InitKeyEventSink();
    void UninitKeyEventSink();
    bool InitializeComposition();
    void ApplySettingsFile();

    // The keyboard state plus the composition facts for one key-down.
    KeyState BuildKeyState(WPARAM key);
    bool TestKeyDown(ITfContext* context, WPARAM key);
    bool KeyDown(ITfContext* context, WPARAM key, LPARAM keyData);
    bool HandleKey(ITfContext* context, const KeyDecision& decision, WPARAM key);

    ComPtr<ITfThreadMgr> threadMgr_;
    TfClientId clientId_ = 0;
    DWORD threadMgrSinkCookie_ = TF_INVALID_COOKIE;
    // Advanced by every activation; an edit session remembers the one it was asked for in.
    uint32_t activation_ = 0;
    std::unique_ptr<CompositionHandler> composition_;
};

// Applies the settings the input processor knows from settings.json, line by line, to the
// composition logic; returns whether online suggestions are wanted (true unless a line says no).
bool ApplySettings(std::istream& settings, CompositionHandler& composition);

}  // namespace qorva_tsf
