// The Windows virtual-key codes that the universal program's portable code names: the values of
// the VK_ constants, which only the Windows headers define (keystrokes_win.cpp checks them there).
#pragma once

#include <cstdint>

namespace qorva::universal {

inline constexpr uint16_t kBackspaceKey = 0x08;
inline constexpr uint16_t kTabKey = 0x09;
inline constexpr uint16_t kEnterKey = 0x0D;
inline constexpr uint16_t kShiftKey = 0x10;
inline constexpr uint16_t kCtrlKey = 0x11;
inline constexpr uint16_t kAltKey = 0x12;
inline constexpr uint16_t kCapsLockKey = 0x14;
inline constexpr uint16_t kEscapeKey = 0x1B;
inline constexpr uint16_t kSpaceKey = 0x20;
inline constexpr uint16_t kEndKey = 0x23;
inline constexpr uint16_t kHomeKey = 0x24;
inline constexpr uint16_t kLeftKey = 0x25;
inline constexpr uint16_t kUpKey = 0x26;
inline constexpr uint16_t kRightKey = 0x27;
inline constexpr uint16_t kDownKey = 0x28;
inline constexpr uint16_t kDeleteKey = 0x2E;
inline constexpr uint16_t kLetterEKey = 'E';
inline constexpr uint16_t kWindowsKey = 0x5B;
inline constexpr uint16_t kMenuKey = 0x5D;
inline constexpr uint16_t kF1Key = 0x70;
inline constexpr uint16_t kF12Key = 0x7B;
inline constexpr uint16_t kVolumeDownKey = 0xAE;
inline constexpr uint16_t kVolumeUpKey = 0xAF;
inline constexpr uint16_t kNextTrackKey = 0xB0;
inline constexpr uint16_t kPreviousTrackKey = 0xB1;
inline constexpr uint16_t kPlayPauseKey = 0xB3;
inline constexpr uint16_t kPeriodKey = 0xBE;  // VK_OEM_PERIOD

}  // namespace qorva::universal
