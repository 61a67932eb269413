#include <windows.h>

#include "universal/keystrokes.h"

namespace qorva::universal {

static_assert(kKeyUp == KEYEVENTF_KEYUP && kUnicode == KEYEVENTF_UNICODE &&
              kBackspaceKey == VK_BACK);

bool SendKeystrokes(const Keystrokes& keys) {
    if (keys.empty()) return true;
    std::vector<INPUT> inputs(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i].virtualKey;
        inputs[i].ki.wScan = keys[i].scanCode;
        inputs[i].ki.dwFlags = keys[i].flags;
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size();
}

}  // namespace qorva::universal
