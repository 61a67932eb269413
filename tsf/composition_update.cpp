// The Latin buffer becomes a candidate list, and the document's composition follows it: started,
// rewritten, committed, cancelled or ended by the application or by a focus change.
#include <utility>

#include "common/text.h"
#include "tsf/composition_mgr.h"
#include "tsf/text_service.h"

namespace qorva_tsf {

using qorva::Utf16ToUtf8;
using qorva::Utf8ToUtf16;

namespace {

constexpr size_t kFirstSentenceBytes = 512;
// The most Bengali bytes a Latin byte of a sentence can become: a word is at
// most a candidate's 127 bytes, and each mark after it (a '.' becomes a
// three-byte danda) and each joined suffix adds only a few.
constexpr size_t kSentenceBytesPerLatinByte = 132;

bool IsNonEmpty(const RECT& rect) { return rect.left != rect.right || rect.top != rect.bottom; }

bool ReadTextExt(TfEditCookie cookie, ITfContextView* view, ITfRange* range, RECT* rect) {
    RECT found{};
    BOOL clipped = FALSE;
    if (FAILED(view->GetTextExt(cookie, range, &found, &clipped)) || !IsNonEmpty(found))
        return false;
    *rect = found;
    return true;
}

bool ReadTextExtAtEnd(TfEditCookie cookie, ITfContextView* view, ITfRange* range, RECT* rect) {
    ComPtr<ITfRange> end;
    if (FAILED(range->Clone(&end)) || !end) return false;
    return SUCCEEDED(end->Collapse(cookie, TF_ANCHOR_END)) &&
           ReadTextExt(cookie, view, end.Get(), rect);
}

// The selection's range, without changing the document; null when the document gives none.
ComPtr<ITfRange> QuerySelection(TfEditCookie cookie, ITfContext* context) {
    ComPtr<ITfInsertAtSelection> insert;
    ComPtr<ITfRange> range;
    if (FAILED(context->QueryInterface(IID_PPV_ARGS(&insert))) || !insert ||
        FAILED(insert->InsertTextAtSelection(cookie, TF_IAS_QUERYONLY, nullptr, 0, &range))) {
        return nullptr;
    }
    return range;
}

}  // namespace

void CompositionManager::UpdateCompositionAndUI(ITfContext* context) {
    if (!engine) return;
    const bool newField = context && (!composing || context != lastContext.Get());
    lastContext = context;
    if (romanBuffer.empty()) {
        CancelComposition(context);
        return;
    }
    if (newField) ReadFieldPrivacy(context);
    composing = true;
    if (conversionTarget == ConversionTarget::English) {
        BuildEnglishCandidates();
    } else {
        BuildBanglaCandidates();
    }
    candidateWindow.Select(0);
    if (!context) return;

    ShowCandidatesAtLastCaret();
    RequestSession(
        context, [this, context](TfEditCookie cookie) { return RunUpdateAction(cookie, context); },
        WhenRefused::RetryAsync);
    if (conversionTarget == ConversionTarget::Bangla) RequestCloudLookup();
}

void CompositionManager::BuildBanglaCandidates() {
    EngineCandidateList list{};
    BanglaEngine_ResetComposition(engine.get());
    BanglaEngine_SetComposition(engine.get(), romanBuffer.c_str());
    BanglaEngine_GetCandidates(engine.get(), &list);
    candidates.clear();
    const uint32_t count =
        list.count < BANGLA_ENGINE_MAX_CANDIDATES ? list.count : BANGLA_ENGINE_MAX_CANDIDATES;
    for (uint32_t i = 0; i < count; ++i) candidates.push_back(Utf8ToUtf16(list.candidates[i].text));
    displayText = candidates.empty() ? Utf8ToUtf16(romanBuffer) : candidates.front();
}

// The whole Banglish sentence in one composition: its translation first when one is cached, then
// the Bengali sentence, then the Latin text as typed. The sentence transliteration learns nothing,
// so it runs on every key.
void CompositionManager::BuildEnglishCandidates() {
    const std::wstring sentence = Utf8ToUtf16(TransliteratedSentence());

    candidates.clear();
    std::wstring translation;
    if (translationService.LookupCache(sentence, translation)) {
        candidates.push_back(translation);
    } else {
        candidates.push_back(sentence.empty() ? Utf8ToUtf16(romanBuffer) : sentence);
        if (englishTranslation && OnlineAllowed()) {
            ++translationGeneration;
            translationService.RequestTranslation(sentence, translationGeneration);
        }
    }
    if (!sentence.empty() && sentence != candidates.front()) candidates.push_back(sentence);
    const std::wstring latin = LatinBuffer();
    if (latin != candidates.front() && latin != sentence) candidates.push_back(latin);
    displayText = candidates.front();
}

// The engine writes nothing into a buffer too small for the sentence: the buffer then grows to what
// any sentence of this many letters can need, the engine is asked once more, and the buffer keeps
// its size for the next keys. Empty when there is no sentence.
std::string CompositionManager::TransliteratedSentence() {
    if (sentenceBuffer.empty()) sentenceBuffer.resize(kFirstSentenceBytes);
    const auto ask = [&] {
        return BanglaEngine_TransliterateSentence(engine.get(), romanBuffer.c_str(),
                                                  sentenceBuffer.data(), sentenceBuffer.size());
    };
    if (ask()) return sentenceBuffer.data();
    const size_t needed = romanBuffer.size() * kSentenceBytesPerLatinByte + 1;
    if (needed <= sentenceBuffer.size()) return std::string();
    sentenceBuffer.resize(needed);
    return ask() ? sentenceBuffer.data() : std::string();
}

// Before the session: the window follows at once where the caret was last seen; the session moves
// it to the new caret.
void CompositionManager::ShowCandidatesAtLastCaret() {
    if (!showSuggestions || candidates.empty()) {
        candidateWindow.Hide();
        return;
    }
    if (caretRectValid) candidateWindow.ShowCandidates(candidates, SelectedIndex(), caretRect);
}

// Runs when TSF grants the session, possibly after the key handler has returned: it reads the
// manager's fields as they are then. A queued commit that follows carries its own text. Without a
// composition nothing is written, but the window still follows the caret at the selection; the
// session's result says why no composition could be started.
HRESULT CompositionManager::RunUpdateAction(TfEditCookie cookie, ITfContext* context) {
    const HRESULT started = composition ? S_OK : StartComposition(cookie, context);
    if (composition) WriteComposition(cookie, displayText);
    RECT rect{};
    if (ReadTextExtInSession(cookie, context, &rect)) {
        caretRectValid = true;
        caretRect = rect;
        if (showSuggestions && !candidates.empty()) {
            candidateWindow.ShowCandidates(candidates, SelectedIndex(), caretRect);
        }
    }
    return started;
}

// S_FALSE when the document gave no selection or turned the composition down.
HRESULT CompositionManager::StartComposition(TfEditCookie cookie, ITfContext* context) {
    if (!service) return E_UNEXPECTED;
    ComPtr<ITfContextComposition> contextComposition;
    const HRESULT queried = context->QueryInterface(IID_PPV_ARGS(&contextComposition));
    if (FAILED(queried)) return queried;
    const ComPtr<ITfRange> selection = QuerySelection(cookie, context);
    if (!contextComposition || !selection) return S_FALSE;
    ComPtr<ITfComposition> started;
    const HRESULT result = contextComposition->StartComposition(
        cookie, selection.Get(), service->CompositionSink(), &started);
    if (FAILED(result)) return result;
    if (!started) return S_FALSE;
    composition = started;
    composing = true;
    return S_OK;
}

void CompositionManager::WriteComposition(TfEditCookie cookie, const std::wstring& text) {
    ComPtr<ITfRange> range;
    if (FAILED(composition->GetRange(&range)) || !range) return;
    range->SetText(cookie, 0, text.c_str(), static_cast<LONG>(text.size()));
}

// The Latin buffer holds ASCII only; each byte is one UTF-16 unit.
std::wstring CompositionManager::LatinBuffer() const {
    return std::wstring(romanBuffer.begin(), romanBuffer.end());
}

bool CompositionManager::ReadTextExtInSession(TfEditCookie cookie, ITfContext* context,
                                              RECT* rect) {
    if (!context || !rect) return false;
    ComPtr<ITfContextView> view;
    if (FAILED(context->GetActiveView(&view)) || !view) return false;

    ComPtr<ITfRange> range;
    if (composition && SUCCEEDED(composition->GetRange(&range)) && range) {
        return ReadTextExtAtEnd(cookie, view.Get(), range.Get(), rect) ||
               ReadTextExt(cookie, view.Get(), range.Get(), rect);
    }
    const ComPtr<ITfRange> selection = QuerySelection(cookie, context);
    return selection && ReadTextExt(cookie, view.Get(), selection.Get(), rect);
}

bool CompositionManager::CommitCurrentComposition(ITfContext* context, size_t index,
                                                  const std::wstring& suffix) {
    if (!composing) return false;
    CancelCloudRequest();
    const std::wstring committed = index < candidates.size() ? candidates[index]
                                   : !displayText.empty()    ? displayText
                                                             : Utf8ToUtf16(romanBuffer);
    if (context && service) {
        RequestSession(
            context,
            [this, written = committed + suffix](TfEditCookie cookie) {
                if (!composition) return S_OK;
                WriteComposition(cookie, written);
                composition->EndComposition(cookie);
                composition.Reset();
                return S_OK;
            },
            WhenRefused::RetryAsync);
    } else {
        // Without a document nothing can end the composition; holding on to it would make the next
        // update write into it, even when that update comes from another document.
        composition.Reset();
    }
    LearnCommittedText(Utf16ToUtf8(committed));
    ResetComposition();
    return true;
}

// Only a word holding a Bengali letter is learned, under the Latin letters typed for it; the
// suffix is never part of it.
void CompositionManager::LearnCommittedText(const std::string& utf8) {
    if (!engine || !personalLearning || utf8.size() <= 2 || !qorva::HoldsBengaliLetter(utf8))
        return;
    BanglaEngine_LearnWord(engine.get(), LowerRomanKey().c_str(), utf8.c_str());
}

void CompositionManager::ResetComposition() {
    romanBuffer.clear();
    composing = false;
    translationService.Cancel();
    ++translationGeneration;
    candidates.clear();
    displayText.clear();
    candidateWindow.Select(0);
    candidateWindow.Hide();
}

bool CompositionManager::CancelComposition(ITfContext* context) {
    if (!composing) {
        romanBuffer.clear();
        CancelCloudRequest();
        candidateWindow.Hide();
        return false;
    }
    CancelCloudRequest();
    if (context && service) {
        // Synchronous only: a refused cancel leaves the text, and the next update rewrites it.
        RequestSession(
            context,
            [this](TfEditCookie cookie) {
                if (!composition) return S_OK;
                WriteComposition(cookie, std::wstring());
                composition->EndComposition(cookie);
                composition.Reset();
                return S_OK;
            },
            WhenRefused::Drop);
    }
    ResetComposition();
    return true;
}

void CompositionManager::OnCompositionTerminated(ITfContext*, ITfComposition* ended) {
    if (ended && ended == composition.Get()) composition.Reset();
    composing = false;
    romanBuffer.clear();
    candidates.clear();
    CancelCloudRequest();
    candidateWindow.Hide();
}

void CompositionManager::OnFocusLost(ITfContext* context) {
    if (composing) {
        CancelCloudRequest();
        CommitCurrentComposition(context, SelectedIndex(), std::wstring());
    }
    candidateWindow.Hide();
}

bool CompositionManager::InsertTextAtCaret(const std::wstring& text) {
    if (text.empty() || !lastContext || !service) return false;
    RequestInsertAtSelection(lastContext.Get(), text, WhenRefused::RetryAsync);
    return true;
}

void CompositionManager::OnCandidateWindowSelection(size_t index) {
    if (lastContext && composing) {
        CommitCurrentComposition(lastContext.Get(), index, std::wstring());
    }
}

EditSessionResult CompositionManager::RequestSession(ITfContext* context, EditAction action,
                                                     WhenRefused whenRefused,
                                                     HRESULT initialSessionResult) {
    if (!service) return {E_FAIL, E_FAIL};
    return service->RequestEditSession(context, std::move(action), whenRefused,
                                       initialSessionResult);
}

EditSessionResult CompositionManager::RequestInsertAtSelection(ITfContext* context,
                                                               const std::wstring& text,
                                                               WhenRefused whenRefused,
                                                               HRESULT initialSessionResult) {
    return RequestSession(
        context,
        [context, text](TfEditCookie cookie) {
            return InsertTextAtSelection(context, cookie, text);
        },
        whenRefused, initialSessionResult);
}

}  // namespace qorva_tsf
