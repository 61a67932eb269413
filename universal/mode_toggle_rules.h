// What the universal program's mode switches do, without the window system: the mode each toggle
// writes, the sound and log line that confirm it, the mode a click on the candidate window's
// header writes, and the clock that keeps one key press from switching twice.
#pragma once

#include <cstdint>

#include "tsf/candidate_layout.h"
#include "universal/mode_target.h"

namespace qorva::universal {

enum class ModeToggle {
    BanglaEnglish,      // F12, Ctrl+Space, Ctrl+Alt+Space, the language-pin tray icon
    BanglaTranslation,  // Ctrl+Alt+E
};

// The mode a toggle writes over the current one: Bangla/English writes Bangla from English and
// English from anything else; the translation toggle writes Bangla from translation and
// translation from anything else. The block may hold a value no program knows (`current` as read).
ModeTarget ModeAfterToggle(ModeToggle toggle, ModeTarget current);

// The universal program has no English target of its own in the header: English there means
// translating the committed words.
ModeTarget ModeAfterHeaderClick(qorva_tsf::CandidateConversionTarget clicked);

struct ToggleFeedback {
    int soundKind;        // for PlaySoundEffect: 1 the Bangla sound, 2 the English sound
    const char* logLine;  // for the log
};

// How a toggle confirms the mode it left in the block (read back, so another writer may have won).
ToggleFeedback FeedbackOfToggle(ModeToggle toggle, ModeTarget now);

// Keeps one press from acting twice: key repeat, or the hook and the registered hot key both seeing
// the same press. Each toggle has its own clock, so switching translation right after the language
// still acts. Ticks are milliseconds of a 32-bit counter that wraps after 49.7 days, so distances
// are taken modulo 2^32.
class ToggleClocks {
public:
    static constexpr uint32_t kQuietMs = 250;

    // True, and the toggle counts as done at `now`, when it is its first or comes at least
    // kQuietMs after its last one that acted.
    bool Accept(ModeToggle toggle, uint32_t now);

private:
    struct Clock {
        bool acted = false;
        uint32_t last = 0;
    };
    Clock language;
    Clock translation;
};

}  // namespace qorva::universal
