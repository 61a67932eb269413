#include "universal/osk_input.h"

namespace qorva::universal {

int KeyAt(const OskKeys& keys, LayoutPoint point) {
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].rect.Contains(point)) return static_cast<int>(i);
    }
    return -1;
}

OskHit HitTestOsk(const OskKeys& currentTab, LayoutPoint point) {
    OskHit hit;
    if (kOskHeaderRect.Contains(point)) {
        for (size_t t = 0; t < kOskTabCount; ++t) {
            if (kOskTabRects[t].Contains(point)) {
                hit.kind = OskHitKind::Tab;
                hit.tab = static_cast<OskTab>(t);
                return hit;
            }
        }
        const bool hides = kOskMinimizeRect.Contains(point) || kOskCloseRect.Contains(point);
        hit.kind = hides ? OskHitKind::Hide : OskHitKind::Drag;
        return hit;
    }
    const int key = KeyAt(currentTab, point);
    if (key >= 0) {
        hit.kind = OskHitKind::Key;
        hit.key = static_cast<size_t>(key);
    }
    return hit;
}

OskPress PressOskKey(const OskKey& key, bool& shiftLatched) {
    OskPress press;
    if (key.vk == kShiftKey) {
        shiftLatched = !shiftLatched;
        press.redraw = true;
        return press;
    }
    if (key.vk != 0) {
        AppendVirtualKey(press.keys, key.vk);
        return press;
    }
    const bool shifted = shiftLatched && !key.shiftedLabel.empty();
    AppendUnicode(press.keys, shifted ? key.shiftedLabel : key.text.empty() ? key.label : key.text);
    if (shiftLatched) {
        shiftLatched = false;
        press.redraw = true;
    }
    return press;
}

const std::wstring& OskKeyLabel(const OskKey& key, bool shiftLatched) {
    return shiftLatched && !key.shiftedLabel.empty() ? key.shiftedLabel : key.label;
}

}  // namespace qorva::universal
