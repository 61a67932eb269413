#include "tsf/text_service.h"

#include <new>
#include <sstream>
#include <string>

#include "common/call_guarded.h"
#include "common/folders.h"
#include "settings/settings_store.h"
#include "tsf/dll_main.h"

namespace qorva_tsf {

TextService* TextService::Create(CompositionHandlerFactory makeHandler) {
    return new (std::nothrow) TextService(makeHandler);
}

TextService::TextService(CompositionHandlerFactory makeHandler) {
    if (!makeHandler) return;
    // The service still works without its composition logic: it passes every key.
    composition_ = qorva::CallGuarded<std::unique_ptr<CompositionHandler>>(
        nullptr, [&] { return makeHandler(*this); });
}

TextService::~TextService() {
    Deactivate();
    composition_.reset();
}

STDMETHODIMP TextService::Activate(ITfThreadMgr* threadMgr, TfClientId clientId) {
    if (!threadMgr) return E_INVALIDARG;
    if (qorva::CallGuarded(false, [&] { return StartActivation(threadMgr, clientId); }))
        return S_OK;
    Deactivate();
    return E_FAIL;
}

bool TextService::StartActivation(ITfThreadMgr* threadMgr, TfClientId clientId) {
    // A second activation without a deactivation would otherwise leak the first thread manager and
    // leave its sinks advised.
    if (threadMgr_) Deactivate();
    threadMgr_ = threadMgr;
    clientId_ = clientId;
    ++activation_;
    if (!InitThreadMgrEventSink() || !InitKeyEventSink() || !InitializeComposition()) return false;
    ApplySettingsFile();
    return true;
}

STDMETHODIMP TextService::Deactivate() {
    qorva::CallGuarded([&] {
        UninitKeyEventSink();
        UninitThreadMgrEventSink();
        if (composition_) composition_->Shutdown();
    });
    // Whatever failed above, the activation is over: its queued edit sessions find it ended.
    threadMgr_.Reset();
    clientId_ = 0;
    return S_OK;
}

bool TextService::IsCurrentActivation(uint32_t activation) const {
    return threadMgr_ && activation == activation_;
}

EditSessionResult TextService::RequestEditSession(ITfContext* context, EditAction action,
                                                  WhenRefused whenRefused,
                                                  HRESULT initialSessionResult) {
    EditAction inThisActivation = [service = ComPtr<TextService>(this), activation = activation_,
                                   action = std::move(action)](TfEditCookie cookie) {
        return service->IsCurrentActivation(activation) ? action(cookie) : S_OK;
    };
    return qorva_tsf::RequestEditSession(context, clientId_, std::move(inThisActivation),
                                         whenRefused, initialSessionResult);
}

bool TextService::InitThreadMgrEventSink() {
    ComPtr<ITfSource> source;
    if (FAILED(threadMgr_.As(&source)) || !source) return false;
    const HRESULT result =
        source->AdviseSink(IID_ITfThreadMgrEventSink, static_cast<ITfThreadMgrEventSink*>(this),
                           &threadMgrSinkCookie_);
    if (FAILED(result)) threadMgrSinkCookie_ = TF_INVALID_COOKIE;
    return SUCCEEDED(result);
}

void TextService::UninitThreadMgrEventSink() {
    if (!threadMgr_ || threadMgrSinkCookie_ == TF_INVALID_COOKIE) return;
    ComPtr<ITfSource> source;
    if (SUCCEEDED(threadMgr_.As(&source)) && source) source->UnadviseSink(threadMgrSinkCookie_);
    threadMgrSinkCookie_ = TF_INVALID_COOKIE;
}

bool TextService::InitializeComposition() {
    return !composition_ || composition_->Initialize(g_hInstance);
}

STDMETHODIMP TextService::OnInitDocumentMgr(ITfDocumentMgr*) { return S_OK; }

STDMETHODIMP TextService::OnUninitDocumentMgr(ITfDocumentMgr*) { return S_OK; }

STDMETHODIMP TextService::OnSetFocus(ITfDocumentMgr*, ITfDocumentMgr* previous) {
    // Focus leaving a document ends its composition; focus arriving from nowhere changes nothing.
    if (!previous || !composition_) return S_OK;
    return GuardedMethod([&] { composition_->OnFocusLost(nullptr); });
}

STDMETHODIMP TextService::OnPushContext(ITfContext*) { return S_OK; }

STDMETHODIMP TextService::OnPopContext(ITfContext*) { return S_OK; }

STDMETHODIMP TextService::OnCompositionTerminated(TfEditCookie, ITfComposition* composition) {
    if (!composition_) return S_OK;
    return GuardedMethod([&] { composition_->OnCompositionTerminated(nullptr, composition); });
}

namespace {

bool Contains(const std::string& line, const char* text) {
    return line.find(text) != std::string::npos;
}

}  // namespace

bool ApplySettings(std::istream& settings, CompositionHandler& composition) {
    bool onlineSuggestions = true;
    std::string line;
    // Each test looks for the quoted text inside the line, so a later line overrides an earlier one
    // and a carriage return before the line feed does not matter.
    while (std::getline(settings, line)) {
        if (line.empty()) continue;
        if (Contains(line, "\"auto_correct\": true")) {
            composition.SetAutoCorrectEnabled(true);
        } else if (Contains(line, "\"auto_correct\": false")) {
            composition.SetAutoCorrectEnabled(false);
        }
        if (Contains(line, "\"max_candidates\": 3")) {
            composition.SetMaxCandidates(3);
        } else if (Contains(line, "\"max_candidates\": 4")) {
            composition.SetMaxCandidates(4);
        } else if (Contains(line, "\"max_candidates\": 5")) {
            composition.SetMaxCandidates(5);
        }
        if (Contains(line, "\"personal_learning\": false")) {
            composition.SetPersonalLearningEnabled(false);
        } else if (Contains(line, "\"personal_learning\": true")) {
            composition.SetPersonalLearningEnabled(true);
        }
        if (Contains(line, "\"show_suggestions\": true")) composition.SetSuggestionsEnabled(true);
        if (Contains(line, "\"online_suggestions\": true") ||
            Contains(line, "\"cloud_suggestions\": true")) {
            onlineSuggestions = true;
        } else if (Contains(line, "\"online_suggestions\": false") ||
                   Contains(line, "\"cloud_suggestions\": false")) {
            onlineSuggestions = false;
        }
        if (Contains(line, "\"show_suggestions\": false")) {
            composition.SetSuggestionsEnabled(false);
            onlineSuggestions = false;
        }
        if (Contains(line, "\"english_translation\": false")) {
            composition.SetEnglishTranslationEnabled(false);
        } else if (Contains(line, "\"english_translation\": true")) {
            composition.SetEnglishTranslationEnabled(true);
        }
    }
    return onlineSuggestions;
}

void TextService::ApplySettingsFile() {
    if (!composition_) return;
    const std::wstring folder = qorva::DataFolder(qorva::DataFolderFallback::None);
    std::istringstream settings(
        qorva::ReadSettingsFile(qorva::SettingsFilePath(folder)).value_or(""));
    const bool onlineSuggestions = ApplySettings(settings, *composition_);
    // Any value of the variable switches online transliteration off, for tests and offline setups.
    const bool forcedOff = GetEnvironmentVariableW(L"QORVA_CLOUD_TRANSLIT_OFF", nullptr, 0) > 0;
    composition_->SetCloudTranslitEnabled(onlineSuggestions && !forcedOff);
}

}  // namespace qorva_tsf
