// Online transliteration and translation change the candidate list of an open composition after
// the engine built it. Their answers come back through the candidate window on this thread and are
// applied only while they are current: every request, commit, cancel and focus loss advances a
// generation number, and a result carrying an older one is dropped.
#include <algorithm>
#include <utility>

#include "common/text.h"
#include "tsf/composition_mgr.h"
#include "tsf/input_scope.h"

namespace qorva_tsf {
namespace {

constexpr size_t kOnlineListLength = 5;
constexpr int32_t kUserWordRoom = 16;

}  // namespace

bool CompositionManager::OnlineAllowed() const { return !privateField; }

// Read once per composition, before anything of it can be sent. Until the field has answered it
// counts as private: a document that refuses the session keeps its text on the machine.
void CompositionManager::ReadFieldPrivacy(ITfContext* context) {
    privateField = true;
    RequestSession(
        context,
        [this, context](TfEditCookie cookie) {
            privateField = IsPrivateField(cookie, context);
            return S_OK;
        },
        WhenRefused::Drop);
}

void CompositionManager::RequestCloudLookup() {
    if (!cloudEnabled || applyingCloudResults || !composing || romanBuffer.empty() ||
        !OnlineAllowed()) {
        return;
    }
    ++cloudGeneration;
    cloudTranslit.Request(LatinBuffer(), cloudGeneration);
}

void CompositionManager::OnCloudResults(const std::wstring& query, uint32_t generation,
                                        const std::vector<std::wstring>& results) {
    if (!cloudEnabled || applyingCloudResults || !composing || generation != cloudGeneration)
        return;
    if (query != LatinBuffer()) return;

    std::vector<std::wstring> list(results.begin(),
                                   results.begin() + std::min(results.size(), kOnlineListLength));
    if (std::find(list.begin(), list.end(), query) == list.end()) list.push_back(query);
    MovePersonalWordFirst(query, list);
    if (list == candidates) return;

    applyingCloudResults = true;
    const std::wstring first = list.front();
    ShowOnlineList(std::move(list), first);
    applyingCloudResults = false;
}

// A word the user chose more than once, when the service offers it too, goes first; the service's
// other words keep their order behind it.
void CompositionManager::MovePersonalWordFirst(const std::wstring& query,
                                               std::vector<std::wstring>& list) const {
    if (!engine || !personalLearning || query.empty()) return;
    EngineUserWord words[kUserWordRoom] = {};
    // The query is the Latin buffer, so this is the key its words were learned under.
    const std::string key = qorva::AsciiLower(qorva::Utf16ToUtf8(query));
    if (BanglaEngine_GetUserWords(engine.get(), key.c_str(), words, kUserWordRoom) < 1) return;
    if (words[0].frequency <= 1) return;
    const auto found = std::find(list.begin(), list.end(), qorva::Utf8ToUtf16(words[0].text));
    if (found != list.end()) std::rotate(list.begin(), found, found + 1);
}

void CompositionManager::OnTranslationResult(const std::wstring& source,
                                             const std::wstring& translation, uint32_t generation) {
    if (conversionTarget != ConversionTarget::English || !composing ||
        generation != translationGeneration || translation.empty()) {
        return;
    }
    std::vector<std::wstring> list{translation};
    if (!source.empty()) list.push_back(source);
    const std::wstring latin = LatinBuffer();
    if (!latin.empty() && latin != translation && latin != source) list.push_back(latin);
    ShowOnlineList(std::move(list), translation);
}

// The new list replaces the engine's, its first entry goes into the document, and the window
// follows where the caret was last seen.
void CompositionManager::ShowOnlineList(std::vector<std::wstring> list, const std::wstring& shown) {
    candidates = std::move(list);
    displayText = shown;
    candidateWindow.Select(0);
    if (lastContext && composition) {
        RequestSession(
            lastContext.Get(),
            [this](TfEditCookie cookie) {
                if (composition) WriteComposition(cookie, displayText);
                return S_OK;
            },
            WhenRefused::RetryAsync);
    }
    if (caretRectValid && showSuggestions) {
        candidateWindow.ShowCandidates(candidates, SelectedIndex(), caretRect);
    }
}

void CompositionManager::DropCloudState() { CancelCloudRequest(); }

}  // namespace qorva_tsf
