// What a click on the on-screen keyboard hits, and what pressing a key types: the key events to
// send and the on-screen Shift latch. No window system here, so the rules are tested natively.
#pragma once

#include <cstddef>
#include <string>

#include "universal/keystrokes.h"
#include "universal/osk_layout.h"
#include "universal/virtual_keys.h"

namespace qorva::universal {

enum class OskHitKind { Nothing, Tab, Hide, Drag, Key };

struct OskHit {
    OskHitKind kind = OskHitKind::Nothing;
    OskTab tab = OskTab::English;  // Tab only
    size_t key = 0;                // Key only: index into the current tab's keys
};

// The index of the first key containing the point, or -1.
int KeyAt(const OskKeys& keys, LayoutPoint point);

// In the header: a tab, the "—" or "✕" button (both hide), or anywhere else, "□" included, to drag
// the window. Below it: the first key of the current tab that contains the point.
OskHit HitTestOsk(const OskKeys& currentTab, LayoutPoint point);

// Pressing a key: the events to send, and whether the whole keyboard is to be redrawn.
struct OskPress {
    Keystrokes keys;
    bool redraw = false;
};

// A Shift key toggles the on-screen latch and sends nothing; any other key with a virtual key
// sends that key (Caps the real Caps Lock) and leaves the latch alone; a key without one types
// its text (its shifted label while the latch is on and it has one, its label when it has no
// text) and releases the latch.
OskPress PressOskKey(const OskKey& key, bool& shiftLatched);

// What a key shows: its shifted label while the latch is on and it has one, else its label.
const std::wstring& OskKeyLabel(const OskKey& key, bool shiftLatched);

}  // namespace qorva::universal
