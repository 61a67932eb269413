#include "tsf/key_event_sink.h"

#include <windows.h>

#include "tsf/text_service.h"

namespace qorva_tsf {
namespace {

constexpr LPARAM kKeyWasDown = 0x40000000;  // bit 30 of the key data: an auto-repeat

bool IsHeld(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0 || (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

bool IsToggledOn(int virtualKey) { return (GetKeyState(virtualKey) & 1) != 0; }

// Ctrl+Alt+V (voice input) and Ctrl+Alt+E (conversion target), without Shift or a Windows key.
bool IsHotKey(WPARAM key) {
    if (key != 'V' && key != 'E') return false;
    const KeyState state = ReadKeyState(key);
    return state.ctrl && state.alt && !state.shift && !state.win;
}

char LetterAsTyped(WPARAM key) {
    const char upper = static_cast<char>(key);
    return IsToggledOn(VK_CAPITAL) ? upper : static_cast<char>(upper - 'A' + 'a');
}

}  // namespace

KeyState ReadKeyState(uint64_t key) {
    KeyState state;
    state.vk = key;
    state.ctrl = IsHeld(VK_CONTROL);
    state.alt = IsHeld(VK_MENU);
    state.shift = IsHeld(VK_SHIFT);
    state.win = IsHeld(VK_LWIN) || IsHeld(VK_RWIN);
    state.numLock = IsToggledOn(VK_NUMLOCK);
    return state;
}

KeyState TextService::BuildKeyState(WPARAM key) {
    KeyState state = ReadKeyState(key);
    state.composing = composition_->IsComposing();
    state.hasCandidates = state.composing && composition_->HasCandidates();
    if (IsDigitKey(key) || (IsNumpadDigitKey(key) && state.numLock)) {
        state.canSelect = composition_->CanSelectCandidate(DigitFromKey(key));
    }
    return state;
}

bool TextService::HandleKey(ITfContext* context, const KeyDecision& decision, WPARAM key) {
    switch (decision.action) {
        case KeyAction::Letter: return composition_->OnCharacter(context, LetterAsTyped(key));
        case KeyAction::Space: return composition_->OnSpace(context);
        case KeyAction::Escape: return composition_->OnEscape(context);
        case KeyAction::Backspace: return composition_->OnBackspace(context);
        case KeyAction::Enter: return composition_->OnEnter(context);
        case KeyAction::CandidateDigit: {
            const char digit = DigitFromKey(key);
            return digit != 0 && composition_->OnDigit(context, digit);
        }
        case KeyAction::BengaliDigit: {
            const wchar_t digit = BengaliDigitFromKey(key);
            return digit != 0 && composition_->OnBengaliDigit(context, digit);
        }
        case KeyAction::Arrow: return composition_->OnArrow(context, key == VK_DOWN);
        case KeyAction::FullStop: return composition_->OnPunctuation(context, '.');
        case KeyAction::None: break;
    }
    return false;
}

bool TextService::InitKeyEventSink() {
    ComPtr<ITfKeystrokeMgr> keystrokes;
    if (FAILED(threadMgr_.As(&keystrokes)) || !keystrokes) return false;
    return SUCCEEDED(
        keystrokes->AdviseKeyEventSink(clientId_, static_cast<ITfKeyEventSink*>(this), TRUE));
}

void TextService::UninitKeyEventSink() {
    if (!threadMgr_) return;
    ComPtr<ITfKeystrokeMgr> keystrokes;
    if (SUCCEEDED(threadMgr_.As(&keystrokes)) && keystrokes) {
        keystrokes->UnadviseKeyEventSink(clientId_);
    }
}

STDMETHODIMP TextService::OnSetFocus(BOOL foreground) {
    if (foreground || !composition_) return S_OK;
    return GuardedMethod([&] { composition_->OnFocusLost(nullptr); });
}

// Without a focused document there is nowhere to compose: every key passes untouched. A key whose
// handling fails passes too.
STDMETHODIMP TextService::OnTestKeyDown(ITfContext* context, WPARAM key, LPARAM, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    if (!context || !composition_) return S_OK;
    return GuardedMethod([&] { *eaten = TestKeyDown(context, key) ? TRUE : FALSE; });
}

STDMETHODIMP TextService::OnKeyDown(ITfContext* context, WPARAM key, LPARAM keyData, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    if (!context || !composition_) return S_OK;
    return GuardedMethod([&] { *eaten = KeyDown(context, key, keyData) ? TRUE : FALSE; });
}

bool TextService::TestKeyDown(ITfContext* context, WPARAM key) {
    composition_->SyncConversionTargetFromIpc();
    if (IsHotKey(key)) return true;
    const KeyDecision decision = DecideKey(BuildKeyState(key));
    // The application must see the committed word before the key itself.
    if (decision.commitFirst && composition_->IsComposing()) composition_->OnEnter(context);
    return decision.eaten;
}

bool TextService::KeyDown(ITfContext* context, WPARAM key, LPARAM keyData) {
    if (IsHotKey(key)) {
        if ((keyData & kKeyWasDown) == 0) {
            if (key == 'V') {
                composition_->ToggleVoice();
            } else {
                composition_->ToggleConversionTarget();
            }
        }
        return true;
    }
    const KeyDecision decision = DecideKey(BuildKeyState(key));
    // Normally the key test has committed already and the composition is closed here; a host that
    // skips the test still gets the committed word before the key.
    if (decision.commitFirst && composition_->IsComposing()) composition_->OnEnter(context);
    return decision.eaten && HandleKey(context, decision, key);
}

STDMETHODIMP TextService::OnTestKeyUp(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return S_OK;
}

STDMETHODIMP TextService::OnKeyUp(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return S_OK;
}

STDMETHODIMP TextService::OnPreservedKey(ITfContext*, REFGUID, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return S_OK;
}

}  // namespace qorva_tsf
