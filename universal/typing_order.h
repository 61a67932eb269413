// Keeps what reaches the application in the order the user typed it. The keyboard hook must answer
// every key at once, so the keys the program types for a word (its letters, the erase and the
// chosen word) are queued and sent from the message loop right after the hook returns. A key the
// user types while some of the program's keys still wait, or while they are being sent (the
// system may call the hook again from inside SendInput), must not overtake them: it is eaten,
// waits its turn, and is then handled as if it had just been typed; when it would have passed, the
// program types that key press itself. Modifier and lock keys never wait: they type nothing, and
// the keys that wait remember the modifiers they were typed with.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "universal/hook_decision.h"
#include "universal/keystrokes.h"

namespace qorva::universal {

// A user's key-down that waits its turn, as the keyboard reported it.
struct WaitingKey {
    HookKey key;  // with the modifiers held when it was typed
    uint16_t scanCode = 0;
    bool extended = false;
};

class TypingOrder {
public:
    // Whether a user's key-down with this virtual key, arriving now, waits its turn.
    bool MustWait(uint32_t vk) const;
    void Wait(const WaitingKey& key) { waiting.push_back(key); }
    // Keys the program types, after everything queued or waiting before them.
    void Queue(const Keystrokes& keys);
    bool Idle() const { return !sending && outbox.empty() && waiting.empty(); }

    struct Actions {
        // Sends keys with one call; false when the system took none of them.
        std::function<bool(const Keystrokes&)> send;
        // Handles a waiting key as if just typed (it may queue keys); true when it is eaten.
        std::function<bool(const WaitingKey&)> handle;
        // The program's keys could not be sent: the word they belonged to is dropped.
        std::function<void()> sendFailed;
    };
    // Sends the queued keys and handles the waiting ones, in order, until nothing is left. A call
    // made while keys are being sent returns at once: the running one goes on.
    void Drain(const Actions& actions);

private:
    Keystrokes outbox;
    std::deque<WaitingKey> waiting;
    bool sending = false;
};

}  // namespace qorva::universal
