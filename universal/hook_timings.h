// How long the keyboard hook kept each key-down, for the log line the program writes when it
// stops. A low-level hook that answers late holds up every key of the session (and a late enough
// one is skipped by the system), so its cost is worth watching in real use, not only in a
// benchmark. Kept per microsecond up to kExactLimitMicros; longer ones count together.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qorva::universal {

class HookTimings {
public:
    static constexpr uint32_t kExactLimitMicros = 20000;

    void Add(uint32_t micros);

    struct Summary {
        uint64_t count = 0;
        uint32_t p50 = 0;  // microseconds; kExactLimitMicros stands for "at least that"
        uint32_t p99 = 0;
        uint32_t max = 0;
    };
    Summary Summarize() const;

    // "keyboard hook: N key-downs, p50 A us, p99 B us, max C us"; empty when no key was timed.
    std::string Describe() const;

private:
    uint32_t Percentile(uint64_t rank) const;

    std::vector<uint32_t> counts;  // counts[us], the last slot for kExactLimitMicros and more
    uint64_t total = 0;
    uint32_t longest = 0;
};

}  // namespace qorva::universal
