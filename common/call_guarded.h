// The programs run inside other people's applications or on their message loops, called through
// COM, window procedures, hooks and worker threads: no exception may travel back into them. Work
// that can throw (an allocation, a worker thread that cannot start) runs through these, and a
// failure becomes the given fallback.
#pragma once

#include <utility>

namespace qorva {

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

}  // namespace qorva
