// Remembers a yes-or-no fact about the foreground process that costs far more to find out than a
// keystroke may: whether the text input processor serves it (a walk of its module list) or whether
// it would refuse the keys this program types (a look at its token). The answer is kept for the
// foreground window it was found for and taken afresh when that window changes or the answer has
// grown old (the processor may have been loaded meanwhile).
#pragma once

#include <cstdint>
#include <functional>

namespace qorva::universal {

class ForegroundProcessCache {
public:
    static constexpr uint32_t kFreshMs = 500;

    // The answer for the foreground window `window` of process `processId` at tick `now`
    // (milliseconds, 32 bits, wrapping): the remembered one while it is fresh, else what `walk`
    // finds, which is then remembered.
    bool Answer(uint64_t window, uint32_t processId, uint32_t now,
                const std::function<bool()>& walk);

private:
    bool known = false;
    uint64_t window = 0;
    uint32_t processId = 0;
    uint32_t walkedAt = 0;
    bool answer = false;
};

}  // namespace qorva::universal
