#pragma once

// The single keystrokes of a benchmark, timed one by one: the counters give
// their median and 99th percentile, which the mean of a run would hide.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"

namespace bangla::bench {

class KeystrokeTiming {
public:
    // Types `typed` as the composition and asks for its candidates, timed.
    void Type(BanglaEngineHandle engine, const std::string& typed) {
        Time([&] {
            BanglaEngine_SetComposition(engine, typed.c_str());
            BanglaEngine_GetCandidates(engine, &list);
        });
        benchmark::DoNotOptimize(list.count);
    }

    // Times one keystroke's work.
    template <typename Work>
    void Time(Work&& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        samples.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }

    void Report(benchmark::State& state) {
        state.counters["p50_us"] = Percentile(0.50);
        state.counters["p99_us"] = Percentile(0.99);
    }

    // The keystroke time below which `fraction` of the keystrokes fall, in µs.
    double Percentile(double fraction) {
        if (samples.empty()) return 0;
        const std::size_t index =
            std::min(samples.size() - 1, static_cast<std::size_t>(fraction * samples.size()));
        std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(index),
                         samples.end());
        return samples[index];
    }

private:
    std::vector<double> samples;
    EngineCandidateList list;
};

}  // namespace bangla::bench
