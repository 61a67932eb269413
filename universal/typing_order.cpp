#include "universal/typing_order.h"

#include <utility>

#include "universal/universal_typing.h"

namespace qorva::universal {

bool TypingOrder::MustWait(uint32_t vk) const {
    const bool modifier =
        ClassifyKey(static_cast<int>(vk), 0, false, false, false, false, true).kind ==
        KeyKind::Modifier;
    return !modifier && !Idle();
}

void TypingOrder::Queue(const Keystrokes& keys) {
    outbox.insert(outbox.end(), keys.begin(), keys.end());
}

void TypingOrder::Drain(const Actions& actions) {
    if (sending) return;
    sending = true;
    while (!outbox.empty() || !waiting.empty()) {
        if (!outbox.empty()) {
            const Keystrokes keys = std::exchange(outbox, {});
            if (!actions.send(keys)) actions.sendFailed();
            continue;
        }
        const WaitingKey next = waiting.front();
        waiting.pop_front();
        if (actions.handle(next)) continue;
        Keystrokes press;
        AppendKeyPress(press, static_cast<uint16_t>(next.key.vk), next.scanCode, next.extended);
        Queue(press);
    }
    sending = false;
}

}  // namespace qorva::universal
