#include "universal/hook_decision.h"

#include "universal/virtual_keys.h"

namespace qorva::universal {
namespace {

// Rows 1-5 on the main row of digits or on the numeric keypad; the row index, or -1.
int SelectionRow(uint32_t vk) {
    if (vk >= '1' && vk <= '5') return static_cast<int>(vk - '1');
    if (vk >= 0x61 && vk <= 0x65) return static_cast<int>(vk - 0x61);
    return -1;
}

// Works through the tests with its own copy of the window's state, so that a clean-up is seen by
// the tests after it, as it is on screen.
class Decider {
public:
    Decider(const HookKey& key, const HookView& view, UniversalTyping& typing)
        : key(key), view(view), typing(typing) {}

    HookDecision Decide() {
        if (!view.handleNow) {
            typing.Reset();
            if (view.windowVisible) CloseList();
            decision.clearPredicting = true;
            return decision;
        }
        if (view.suggestionsPaused && view.windowVisible) ClosePredictions();
        bool candidateKeysDone = false;
        if (view.predicting) {
            if (PredictionKey()) return decision;
        } else if (view.windowVisible && !typing.Buffer().empty()) {
            if (CandidateKey()) return decision;
            candidateKeysDone = true;
        }
        if (!candidateKeysDone && EnterDropsWord()) return decision;
        FeedWord();
        return decision;
    }

private:
    bool NoCtrlAltWin() const { return !key.ctrl && !key.alt && !key.win; }
    bool NoModifier() const { return NoCtrlAltWin() && !key.shift; }

    void CloseList() {
        decision.closeList = true;
        view.windowVisible = false;
        view.listSize = 0;
    }

    void ClosePredictions() {
        decision.clearPredicting = true;
        view.predicting = false;
        CloseList();
    }

    bool Eat(HookDecision::Command command, size_t row = 0) {
        decision.eat = true;
        decision.command = command;
        decision.row = row;
        return true;
    }

    bool Pass() { return true; }

    // A row chosen by number, while the list has that row.
    bool RowByNumber() {
        const int row = SelectionRow(key.vk);
        if (row < 0 || !NoModifier() || static_cast<size_t>(row) >= view.listSize) return false;
        return Eat(HookDecision::Command::CommitRow, static_cast<size_t>(row));
    }

    // True when the key was dealt with; otherwise the predictions are closed and the key goes on.
    bool PredictionKey() {
        if (!view.windowVisible) {
            ClosePredictions();
            return false;
        }
        if (NoCtrlAltWin()) {
            switch (key.vk) {
                case kEscapeKey: ClosePredictions(); return Eat(HookDecision::Command::None);
                case kSpaceKey:
                case kBackspaceKey:
                case kEnterKey: ClosePredictions(); return Pass();
                case kDownKey: return Eat(HookDecision::Command::SelectNext);
                case kUpKey: return Eat(HookDecision::Command::SelectPrev);
            }
        }
        if (key.vk == kTabKey && NoModifier() && view.selected < view.listSize) {
            return Eat(HookDecision::Command::CommitRow, view.selected);
        }
        if (RowByNumber()) return true;
        ClosePredictions();
        return false;
    }

    // True when the key was dealt with; otherwise it goes on to the word.
    bool CandidateKey() {
        if (NoCtrlAltWin()) {
            switch (key.vk) {
                case kDownKey: return Eat(HookDecision::Command::SelectNext);
                case kUpKey: return Eat(HookDecision::Command::SelectPrev);
                case kTabKey:
                    if (view.selected < view.listSize) {
                        return Eat(HookDecision::Command::CommitRow, view.selected);
                    }
                    break;
                case kEnterKey:
                    // The typed letters stay in the application, as typed.
                    CloseList();
                    typing.Reset();
                    return Pass();
                case kEscapeKey:
                    CloseList();
                    typing.Reset();
                    return Eat(HookDecision::Command::None);
            }
        }
        return RowByNumber();
    }

    // Enter never commits a word: it drops it and reaches the application. With Win it is the
    // user's own shortcut and goes on.
    bool EnterDropsWord() {
        if (key.vk != kEnterKey || key.ctrl || key.alt || key.win) return false;
        if (view.windowVisible) CloseList();
        typing.Reset();
        return Pass();
    }

    void UpdateCandidates() {
        if (!view.suggestionsPaused) decision.command = HookDecision::Command::UpdateCandidates;
    }

    void FeedWord() {
        const KeyEvent event = ClassifyKey(static_cast<int>(key.vk), key.character, key.ctrl,
                                           key.alt, key.win, key.shift, false);
        TypingAction action = typing.Feed(event);
        switch (action.action) {
            case TypingAction::Update:
                decision.eat = true;
                decision.typeLetter = key.character;
                UpdateCandidates();
                break;
            case TypingAction::Commit:
                decision.eat = true;
                decision.command = HookDecision::Command::CommitWord;
                decision.commit = std::move(action);
                decision.predictionsFollow = !view.suggestionsPaused;
                break;
            case TypingAction::Pass:
                if (typing.Buffer().empty()) {
                    if (view.windowVisible) CloseList();
                } else if (key.vk == kBackspaceKey) {
                    UpdateCandidates();
                }
                break;
        }
    }

    const HookKey& key;
    HookView view;
    UniversalTyping& typing;
    HookDecision decision;
};

}  // namespace

std::optional<ModeToggle> HotKeyToggle(const HookKey& key) {
    if (key.vk == kSpaceKey && key.ctrl && key.alt) return ModeToggle::BanglaEnglish;
    if (key.vk == kSpaceKey && key.ctrl && !key.alt && !key.shift && !key.win) {
        return ModeToggle::BanglaEnglish;
    }
    if (key.vk == kF12Key && !key.ctrl && !key.alt && !key.shift && !key.win) {
        return ModeToggle::BanglaEnglish;
    }
    if (key.vk == kLetterEKey && key.ctrl && key.alt && !key.win)
        return ModeToggle::BanglaTranslation;
    return std::nullopt;
}

HookDecision DecideKey(const HookKey& key, const HookView& view, UniversalTyping& typing) {
    return Decider(key, view, typing).Decide();
}

bool ShouldHandleTyping(bool hostEnabled, bool typingEnabled, ModeTarget mode, bool bengaliLayout,
                        const std::function<bool()>& tsfServes,
                        const std::function<bool()>& refusesTypedKeys) {
    if (!hostEnabled || !typingEnabled) return false;
    if (mode != ModeTarget::Bangla && mode != ModeTarget::BanglishToEnglish) return false;
    if (bengaliLayout && tsfServes()) return false;
    return !refusesTypedKeys();
}

}  // namespace qorva::universal
