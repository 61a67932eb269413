#include "universal/hook_timings.h"

#include <algorithm>

namespace qorva::universal {

void HookTimings::Add(uint32_t micros) {
    if (counts.empty()) counts.assign(kExactLimitMicros + 1, 0);
    ++counts[std::min(micros, kExactLimitMicros)];
    ++total;
    longest = std::max(longest, micros);
}

// The smallest time at or below which `rank` of the timed keys (counted from 1) lie.
uint32_t HookTimings::Percentile(uint64_t rank) const {
    uint64_t seen = 0;
    for (uint32_t micros = 0; micros < counts.size(); ++micros) {
        seen += counts[micros];
        if (seen >= rank) return micros;
    }
    return kExactLimitMicros;
}

HookTimings::Summary HookTimings::Summarize() const {
    Summary summary;
    if (total == 0) return summary;
    summary.count = total;
    summary.p50 = Percentile((total * 50 + 99) / 100);
    summary.p99 = Percentile((total * 99 + 99) / 100);
    summary.max = longest;
    return summary;
}

std::string HookTimings::Describe() const {
    const Summary s = Summarize();
    if (s.count == 0) return {};
    return "keyboard hook: " + std::to_string(s.count) + " key-downs, p50 " +
           std::to_string(s.p50) + " us, p99 " + std::to_string(s.p99) + " us, max " +
           std::to_string(s.max) + " us";
}

}  // namespace qorva::universal
