// What the universal program's keyboard hook does with a key-down that the user typed, decided
// without the window system: the hook reads the key, the modifiers and the candidate window's
// state, asks these functions, and carries the decision out. Key-ups and the program's own injected
// keys never get here.
//
// A letter that joins the word is eaten and typed by the program itself: the letters it erases at
// the word's end are then exactly the ones it typed, whatever happened to the user's own keys on
// their way to the application.
//
// Order of the tests: the program's hot keys first (also while typing is paused or left to the text
// input processor); then, after the hook dropped the word on a change of foreground window, whether
// typing is handled at all; the keys of a shown next-word prediction list; the keys of a shown
// candidate list; Enter; and finally the word state, which the key's character feeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "universal/mode_target.h"
#include "universal/mode_toggle_rules.h"
#include "universal/universal_typing.h"

namespace qorva::universal {

struct HookKey {
    uint32_t vk = 0;
    wchar_t character = 0;  // what the key types in the foreground's layout; 0 for none
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool win = false;
};

// The candidate window as the hook sees it before the key.
struct HookView {
    bool handleNow = false;  // typing is handled for the foreground application
    bool windowVisible = false;
    size_t selected = 0;
    size_t listSize = 0;
    bool predicting = false;  // the shown rows are next-word predictions
    // The user paused the suggestions (the top bar's button 4): words are still converted at their
    // boundary, but neither the candidate nor the next-word list opens.
    bool suggestionsPaused = false;
};

// The toggle a key calls, when it is one of the program's hot keys: F12 alone, Ctrl+Space without
// Alt, Shift and Win, Ctrl+Alt+Space, and Ctrl+Alt+E without Win. The hook eats these keys.
std::optional<ModeToggle> HotKeyToggle(const HookKey& key);

struct HookDecision {
    enum class Command {
        None,
        SelectNext,
        SelectPrev,
        CommitRow,         // the row `row` of the shown list
        UpdateCandidates,  // show the candidates of the word as it now is
        CommitWord,        // the word ended: `commit` says what to erase and type
    };

    bool eat = false;  // the application never sees the key
    // A letter that joined the word: the program types it in place of the eaten key.
    wchar_t typeLetter = 0;
    // Clean-ups before the command: hide the window and empty the list (the next-word banner goes
    // with it); forget that the list held predictions.
    bool closeList = false;
    bool clearPredicting = false;
    Command command = Command::None;
    size_t row = 0;
    TypingAction commit;
    // With CommitWord: the next-word predictions may open after the commit.
    bool predictionsFollow = true;
};

// The decision for a key that is not a hot key, once a change of foreground window has been dealt
// with. Feeds the key to `typing` and resets it where the key drops the word.
HookDecision DecideKey(const HookKey& key, const HookView& view, UniversalTyping& typing);

// Whether typing is handled for the foreground application: not while paused or switched off, not
// in English, and not where the text input processor serves (its Bengali layout is selected and
// its module is loaded there; `tsfServes` is asked only then, as it walks the process's modules).
// Modes that no program knows are not handled. Nor is an application that would refuse the keys
// this program types (one of a higher integrity level): the program types every letter of a word
// itself, so there the user's letters would be lost. `refusesTypedKeys` is asked last.
bool ShouldHandleTyping(bool hostEnabled, bool typingEnabled, ModeTarget mode, bool bengaliLayout,
                        const std::function<bool()>& tsfServes,
                        const std::function<bool()>& refusesTypedKeys);

// The text input processor's language, Bengali (Bangladesh).
inline constexpr uint16_t kBengaliLanguage = 0x0845;

}  // namespace qorva::universal
