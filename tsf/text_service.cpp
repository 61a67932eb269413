#include "tsf/text_service.h"

#include <exception>
#include <new>
#include <sstream>
#include <string>

#include "common/folders.h"
#include "settings/settings_store.h"
#include "tsf/dll_main.h"

namespace qorva_tsf {

TextService* TextService::Create(CompositionHandlerFactory makeHandler) {
    return new (std::nothrow) TextService(makeHandler);
}

TextService::TextService(CompositionHandlerFactory makeHandler) {
    ModuleAddRef();
    if (!makeHandler) return;
    try {
        composition_ = makeHandler(*this);
    } catch (const std::exception&) {
        composition_.reset();  // the service still works: it passes every key
    }
}

TextService::~TextService() {
    Deactivate();
    composition_.reset();
    ModuleRelease();
}

STDMETHODIMP TextService::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) ||
        IsEqualIID(interfaceId, IID_ITfTextInputProcessor)) {
        *out = static_cast<ITfTextInputProcessor*>(this);
    } else if (IsEqualIID(interfaceId, IID_ITfThreadMgrEventSink)) {
        *out = static_cast<ITfThreadMgrEventSink*>(this);
    } else if (IsEqualIID(interfaceId, IID_ITfKeyEventSink)) {
        *out = static_cast<ITfKeyEventSink*>(this);
    } else if (IsEqualIID(interfaceId, IID_ITfCompositionSink)) {
        *out = static_cast<ITfCompositionSink*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TextService::AddRef() { return InterlockedIncrement(&refCount_); }

STDMETHODIMP_(ULONG) TextService::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0) delete this;
    return count;
}

STDMETHODIMP TextService::Activate(ITfThreadMgr* threadMgr, TfClientId clientId) {
    if (!threadMgr) return E_INVALIDARG;
    // A second activation without a deactivation would otherwise leak the first thread manager and
    // leave its sinks advised.
    if (threadMgr_) Deactivate();

    threadMgr_ = threadMgr;
    threadMgr_->AddRef();
    clientId_ = clientId;

    if (!InitThreadMgrEventSink() || !InitKeyEventSink() || !InitializeComposition()) {
        Deactivate();
        return E_FAIL;
    }
    ApplySettingsFile();
    return S_OK;
}

STDMETHODIMP TextService::Deactivate() {
    UninitKeyEventSink();
    UninitThreadMgrEventSink();
    if (composition_) composition_->Shutdown();
    if (threadMgr_) {
        threadMgr_->Release();
        threadMgr_ = nullptr;
    }
    clientId_ = 0;
    return S_OK;
}

bool TextService::InitThreadMgrEventSink() {
    ITfSource* source = nullptr;
    if (FAILED(threadMgr_->QueryInterface(IID_ITfSource, reinterpret_cast<void**>(&source))) ||
        !source) {
        return false;
    }
    const HRESULT result =
        source->AdviseSink(IID_ITfThreadMgrEventSink, static_cast<ITfThreadMgrEventSink*>(this),
                           &threadMgrSinkCookie_);
    source->Release();
    if (FAILED(result)) threadMgrSinkCookie_ = TF_INVALID_COOKIE;
    return SUCCEEDED(result);
}

void TextService::UninitThreadMgrEventSink() {
    if (!threadMgr_ || threadMgrSinkCookie_ == TF_INVALID_COOKIE) return;
    ITfSource* source = nullptr;
    if (SUCCEEDED(threadMgr_->QueryInterface(IID_ITfSource, reinterpret_cast<void**>(&source))) &&
        source) {
        source->UnadviseSink(threadMgrSinkCookie_);
        source->Release();
    }
    threadMgrSinkCookie_ = TF_INVALID_COOKIE;
}

bool TextService::InitializeComposition() {
    return !composition_ || composition_->Initialize(g_hInstance);
}

STDMETHODIMP TextService::OnInitDocumentMgr(ITfDocumentMgr*) { return S_OK; }

STDMETHODIMP TextService::OnUninitDocumentMgr(ITfDocumentMgr*) { return S_OK; }

STDMETHODIMP TextService::OnSetFocus(ITfDocumentMgr*, ITfDocumentMgr* previous) {
    // Focus leaving a document ends its composition; focus arriving from nowhere changes nothing.
    if (previous && composition_) composition_->OnFocusLost(nullptr);
    return S_OK;
}

STDMETHODIMP TextService::OnPushContext(ITfContext*) { return S_OK; }

STDMETHODIMP TextService::OnPopContext(ITfContext*) { return S_OK; }

STDMETHODIMP TextService::OnCompositionTerminated(TfEditCookie, ITfComposition* composition) {
    if (composition_) composition_->OnCompositionTerminated(nullptr, composition);
    return S_OK;
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
