#include "tests/support/real_click.h"

#include <vector>

#include "tests/support/message_pump.h"

namespace qorva_test {
namespace {

// A screen coordinate on the 0-65535 scale of absolute mouse input, rounded up so that the
// system's conversion back lands on the same pixel.
LONG AbsoluteCoordinate(int pixel, int screenSize) {
    return static_cast<LONG>((pixel * 65536LL + screenSize - 1) / screenSize);
}

}  // namespace

bool SendClicksAt(POINT screenPoint, int times) {
    SetCursorPos(screenPoint.x, screenPoint.y);
    std::vector<INPUT> inputs(static_cast<size_t>(1 + 2 * times));
    for (INPUT& input : inputs) input.type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[0].mi.dx = AbsoluteCoordinate(screenPoint.x, GetSystemMetrics(SM_CXSCREEN));
    inputs[0].mi.dy = AbsoluteCoordinate(screenPoint.y, GetSystemMetrics(SM_CYSCREEN));
    for (size_t i = 1; i < inputs.size(); ++i) {
        inputs[i].mi.dwFlags = i % 2 == 1 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    const UINT count = static_cast<UINT>(inputs.size());
    return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

bool ClickUntil(POINT screenPoint, const std::function<bool()>& arrived, int attempts,
                DWORD waitEachMs, int times) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (!SendClicksAt(screenPoint, times)) return false;
        if (PumpUntil(arrived, waitEachMs)) return true;
    }
    return false;
}

}  // namespace qorva_test
