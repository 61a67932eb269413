#include <windows.h>

#include "universal/keystrokes.h"

namespace qorva::universal {

static_assert(kExtendedKey == KEYEVENTF_EXTENDEDKEY && kKeyUp == KEYEVENTF_KEYUP &&
              kUnicode == KEYEVENTF_UNICODE);
static_assert(kBackspaceKey == VK_BACK && kTabKey == VK_TAB && kEnterKey == VK_RETURN &&
              kShiftKey == VK_SHIFT && kCtrlKey == VK_CONTROL && kAltKey == VK_MENU &&
              kCapsLockKey == VK_CAPITAL && kEscapeKey == VK_ESCAPE && kSpaceKey == VK_SPACE &&
              kEndKey == VK_END && kHomeKey == VK_HOME && kLeftKey == VK_LEFT && kUpKey == VK_UP &&
              kRightKey == VK_RIGHT && kDownKey == VK_DOWN && kDeleteKey == VK_DELETE &&
              kWindowsKey == VK_LWIN && kMenuKey == VK_APPS && kF1Key == VK_F1 &&
              kF12Key == VK_F12 && kVolumeDownKey == VK_VOLUME_DOWN &&
              kVolumeUpKey == VK_VOLUME_UP && kNextTrackKey == VK_MEDIA_NEXT_TRACK &&
              kPreviousTrackKey == VK_MEDIA_PREV_TRACK && kPlayPauseKey == VK_MEDIA_PLAY_PAUSE &&
              kPeriodKey == VK_OEM_PERIOD);

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
