#include "universal/mode_toggle_rules.h"

namespace qorva::universal {

ModeTarget ModeAfterToggle(ModeToggle toggle, ModeTarget current) {
    if (toggle == ModeToggle::BanglaEnglish) {
        return current == ModeTarget::English ? ModeTarget::Bangla : ModeTarget::English;
    }
    return current == ModeTarget::BanglishToEnglish ? ModeTarget::Bangla
                                                    : ModeTarget::BanglishToEnglish;
}

ModeTarget ModeAfterHeaderClick(qorva_tsf::CandidateConversionTarget clicked) {
    return clicked == qorva_tsf::CandidateConversionTarget::English ? ModeTarget::BanglishToEnglish
                                                                    : ModeTarget::Bangla;
}

ToggleFeedback FeedbackOfToggle(ModeToggle toggle, ModeTarget now) {
    constexpr int kBanglaSound = 1;
    constexpr int kEnglishSound = 2;
    if (toggle == ModeToggle::BanglaEnglish && now == ModeTarget::English) {
        return {kEnglishSound, "hotkey: english mode"};
    }
    if (toggle == ModeToggle::BanglaTranslation && now == ModeTarget::BanglishToEnglish) {
        return {kBanglaSound, "hotkey: english conversion mode"};
    }
    return {kBanglaSound, "hotkey: bangla mode"};
}

bool ToggleClocks::Accept(ModeToggle toggle, uint32_t now) {
    Clock& clock = toggle == ModeToggle::BanglaEnglish ? language : translation;
    // Unsigned subtraction gives the distance across the counter's wrap too.
    if (clock.acted && now - clock.last < kQuietMs) return false;
    clock.acted = true;
    clock.last = now;
    return true;
}

}  // namespace qorva::universal
