// Remembers whether the text input processor serves the foreground process. Finding out walks the
// process's module list, which costs far more than a keystroke may; the answer is kept for the
// foreground window it was found for and taken afresh when that window changes or the answer has
// grown old (the processor may have been loaded meanwhile).
#pragma once

#include <cstdint>
#include <functional>

namespace qorva::universal {

class ServedProcessCache {
public:
    static constexpr uint32_t kFreshMs = 500;

    // The answer for the foreground window `window` of process `processId` at tick `now`
    // (milliseconds, 32 bits, wrapping): the remembered one while it is fresh, else what `walk`
    // finds, which is then remembered.
    bool Served(uint64_t window, uint32_t processId, uint32_t now,
                const std::function<bool()>& walk);

private:
    bool known = false;
    uint64_t window = 0;
    uint32_t processId = 0;
    uint32_t walkedAt = 0;
    bool served = false;
};

}  // namespace qorva::universal
