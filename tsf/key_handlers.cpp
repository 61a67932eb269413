// What each key the text service eats does to the composition. The key decision (which key means
// what, modifiers included) has been made by the text service; letters arrive already cased.
#include "tsf/composition_mgr.h"

namespace qorva_tsf {
namespace {

constexpr wchar_t kDanda = L'\u0964';  // the Bangla full stop

}  // namespace

bool CompositionManager::OnCharacter(ITfContext* context, char letter) {
    SyncConversionTargetFromIpc();
    romanBuffer.push_back(letter);
    UpdateCompositionAndUI(context);
    return true;
}

bool CompositionManager::OnBackspace(ITfContext* context) {
    if (!composing || romanBuffer.empty()) return false;
    romanBuffer.pop_back();
    if (romanBuffer.empty()) {
        CancelComposition(context);
    } else {
        UpdateCompositionAndUI(context);
    }
    return true;
}

// In the English target a whole sentence is composed: the first Space separates two words, a
// second Space in a row commits.
bool CompositionManager::OnSpace(ITfContext* context) {
    if (!composing) return false;
    SyncConversionTargetFromIpc();
    const bool sentenceGoesOn = conversionTarget == ConversionTarget::English &&
                                (romanBuffer.empty() || romanBuffer.back() != ' ');
    if (!sentenceGoesOn) return CommitCurrentComposition(context, SelectedIndex(), L" ");
    romanBuffer.push_back(' ');
    UpdateCompositionAndUI(context);
    return true;
}

bool CompositionManager::OnEnter(ITfContext* context) {
    if (!composing) return false;
    return CommitCurrentComposition(context, SelectedIndex(), std::wstring());
}

bool CompositionManager::OnDigit(ITfContext* context, char digit) {
    if (digit < '1' || digit > '9') return false;
    return OnNumberSelection(context, digit - '0');
}

// The digit is not typed and no space follows the word.
bool CompositionManager::OnNumberSelection(ITfContext* context, int number) {
    if (number < 1 || number > 9 || !composing) return false;
    const size_t index = static_cast<size_t>(number - 1);
    if (index >= candidates.size()) return false;
    return CommitCurrentComposition(context, index, std::wstring());
}

bool CompositionManager::CanSelectCandidate(char digit) const {
    return composing && digit >= '1' && digit <= '9' &&
           static_cast<size_t>(digit - '1') < candidates.size();
}

// The digit's key is eaten even when the document refuses the edit for now: the session is
// repeated later.
bool CompositionManager::OnBengaliDigit(ITfContext* context, wchar_t digit) {
    if (!context || !service || digit == 0) return false;
    RequestInsertAtSelection(context, std::wstring(1, digit), WhenRefused::RetryAsync);
    return true;
}

bool CompositionManager::OnPunctuation(ITfContext* context, char mark) {
    if (conversionTarget == ConversionTarget::English) {
        if (!composing) return false;
        // One mark ends the sentence, whatever marks the chosen candidate brought along.
        if (SelectedIndex() < candidates.size()) {
            std::wstring& chosen = candidates[SelectedIndex()];
            while (!chosen.empty() &&
                   (chosen.back() == L'.' || chosen.back() == L'!' || chosen.back() == L'?')) {
                chosen.pop_back();
            }
        }
        return CommitCurrentComposition(context, SelectedIndex(),
                                        std::wstring(1, static_cast<wchar_t>(mark)));
    }

    const std::wstring suffix =
        mark == '.' ? std::wstring(1, kDanda) : std::wstring(1, static_cast<wchar_t>(mark));
    if (composing) return CommitCurrentComposition(context, SelectedIndex(), suffix);
    if (!context || !service) return false;
    // Synchronous only: when the document refuses, the key reaches the application as a plain '.'.
    const EditSessionResult result =
        RequestInsertAtSelection(context, suffix, WhenRefused::Drop, E_FAIL);
    return SUCCEEDED(result.request) && SUCCEEDED(result.session);
}

bool CompositionManager::OnArrow(ITfContext*, bool down) {
    if (!composing || candidates.empty()) return false;
    // Over the manager's list, which the window holds only while it shows it.
    candidateWindow.Select(down ? NextSelection(SelectedIndex(), candidates.size())
                                : PrevSelection(SelectedIndex(), candidates.size()));
    return true;
}

bool CompositionManager::OnEscape(ITfContext* context) {
    return composing && CancelComposition(context);
}

}  // namespace qorva_tsf
