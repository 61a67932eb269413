// The input processor runs inside other people's applications, called through COM, window
// procedures and edit sessions: no exception may travel back into them. Work that can throw (an
// allocation, a worker thread that cannot start) runs through these, and a failure becomes the
// given fallback.
#pragma once

#include <utility>

namespace qorva_tsf {

template <typename Result, typename Action>
Result CallGuarded(Result fallback, Action&& action) noexcept {
    try {
        return std::forward<Action>(action)();
    } catch (...) {
        return fallback;
    }
}

template <typename Action>
void CallGuarded(Action&& action) noexcept {
    try {
        std::forward<Action>(action)();
    } catch (...) {
    }
}

}  // namespace qorva_tsf
