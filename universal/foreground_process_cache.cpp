#include "universal/foreground_process_cache.h"

namespace qorva::universal {

bool ForegroundProcessCache::Answer(uint64_t foregroundWindow, uint32_t foregroundProcess,
                                    uint32_t now, const std::function<bool()>& walk) {
    const bool fresh = known && window == foregroundWindow && processId == foregroundProcess &&
                       now - walkedAt < kFreshMs;
    if (fresh) return answer;
    answer = walk();
    known = true;
    window = foregroundWindow;
    processId = foregroundProcess;
    walkedAt = now;
    return answer;
}

}  // namespace qorva::universal
