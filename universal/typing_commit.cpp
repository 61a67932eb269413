// The candidate window of the universal program and the commit of a word: the rows come from the
// engine (word_choice), the window opens at the caret (shown by its own thread), and a commit
// erases the word's letters, which the program typed itself, and types the chosen word and the
// boundary in one burst of injected keys.
#include <windows.h>

#include "universal/caret_rect.h"
#include "universal/keystrokes.h"
#include "universal/mode_ipc.h"
#include "universal/universal_host.h"

namespace qorva::universal {

std::vector<std::wstring> g_current_candidates;
bool g_is_predicting_next_word = false;

namespace {

qorva_tsf::LayoutRect ToLayout(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void ShowRows(std::vector<std::wstring> rows, bool nextWordBanner) {
    g_current_candidates = std::move(rows);
    g_candidate_popup.ShowCandidates(g_current_candidates, 0, nextWordBanner, LastClickPoint());
}

// Types the outcome of a word's commit and shows what follows it, when `predictionsAllowed`.
void FinishCommit(const WordCommit& commit, bool predictionsAllowed = true) {
    const CommitOutcome outcome = CommitChosenWord(commit, ModeIpc::Instance().GetMode(),
                                                   g_engine.get(), g_translation_service);
    // An application of a higher integrity level would refuse the keys; typing is not handled
    // there (ShouldHandleNow).
    QueueTypedKeys(outcome.keys);
    CloseCandidateList();
    g_is_predicting_next_word = false;
    if (outcome.predictionsFollow && predictionsAllowed) ShowNextWordPredictions();
}

void DropWordAndList() {
    CloseCandidateList();
    g_typing.Reset();
    g_is_predicting_next_word = false;
}

}  // namespace

void CloseCandidateList() {
    g_candidate_popup.Hide();
    g_current_candidates.clear();
}

void ClosePredictions() {
    g_is_predicting_next_word = false;
    CloseCandidateList();
}

void UpdateCandidateWindow() {
    g_is_predicting_next_word = false;
    if (!g_engine || g_typing.Buffer().empty() || !ShouldHandleNow()) {
        CloseCandidateList();
        return;
    }
    ShowRows(WordCandidates(g_engine.get(), g_typing.Buffer()), false);
}

void ShowNextWordPredictions() {
    g_is_predicting_next_word = false;
    if (!g_settings.nextWordPrediction || !g_engine || !ShouldHandleNow() ||
        ModeIpc::Instance().GetMode() == ModeTarget::English) {
        CloseCandidateList();
        return;
    }
    std::vector<std::wstring> rows = NextWordPredictions(g_engine.get());
    if (rows.empty()) {
        CloseCandidateList();
        return;
    }
    g_is_predicting_next_word = true;
    ShowRows(std::move(rows), true);
}

void CommitWordAtBoundary(const TypingAction& action, bool predictionsAllowed) {
    const bool rowShown =
        g_candidate_popup.Visible() && g_candidate_popup.Selected() < g_current_candidates.size();
    const std::wstring chosen = rowShown ? g_current_candidates[g_candidate_popup.Selected()]
                                         : TopCandidate(g_engine.get(), action.text);
    FinishCommit({action.text, chosen, action.eraseCount, action.boundary}, predictionsAllowed);
}

void CommitCandidateByIndex(size_t index) {
    if (index >= g_current_candidates.size()) {
        DropWordAndList();
        return;
    }
    const std::wstring chosen = g_current_candidates[index];
    if (g_is_predicting_next_word) {
        ClosePredictions();
        QueueTypedKeys(CommitPrediction(chosen, g_engine.get()));
        ShowNextWordPredictions();
        return;
    }
    if (g_typing.Buffer().empty()) {
        DropWordAndList();
        return;
    }
    // A chosen row always ends the word with a space; the key or click that chose it is not typed.
    const std::wstring typed = g_typing.Buffer();
    g_typing.Reset();
    FinishCommit({typed, chosen, static_cast<uint32_t>(typed.size()), L" "});
}

RECT GetCurrentCaretRect(POINT click) {
    CaretFacts facts;
    const HWND foreground = GetForegroundWindow();
    if (foreground) {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info)) {
            if (info.hwndCaret) {
                POINT topLeft{info.rcCaret.left, info.rcCaret.top};
                POINT bottomRight{info.rcCaret.right, info.rcCaret.bottom};
                ClientToScreen(info.hwndCaret, &topLeft);
                ClientToScreen(info.hwndCaret, &bottomRight);
                facts.caret = CaretFacts::Caret{
                    ToLayout(info.rcCaret), {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}};
            }
            RECT focus{};
            if (info.hwndFocus && GetWindowRect(info.hwndFocus, &focus))
                facts.focus = ToLayout(focus);
        }
        RECT window{};
        if (GetWindowRect(foreground, &window)) facts.foreground = ToLayout(window);
    }
    facts.lastClick = {click.x, click.y};
    POINT cursor{};
    if (GetCursorPos(&cursor)) facts.cursor = qorva_tsf::LayoutPoint{cursor.x, cursor.y};
    const qorva_tsf::LayoutRect chosen = ChooseCaretRect(facts);
    return RECT{chosen.left, chosen.top, chosen.right, chosen.bottom};
}

}  // namespace qorva::universal
