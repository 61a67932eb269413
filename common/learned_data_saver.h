// Saving what an engine learned soon after it learned it, so that a crash, a kill or a power cut
// costs at most the last few seconds: a thread of its own watches the engine's change count and
// writes the changes once typing pauses, so that the thread typing with the engine (a keyboard
// hook's, an application's) never waits on the disk.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "engine/bangla_engine.h"

namespace qorva {

// When to write: once the changes have rested for kQuiet, or, during a long run of changes, once
// the oldest unsaved one is kLongest old.
class SaveSchedule {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kQuiet{2000};
    static constexpr std::chrono::milliseconds kLongest{30000};

    // `changeCount`: the engine's count when it was last saved (or created).
    explicit SaveSchedule(uint64_t changeCount) : savedCount(changeCount), seenCount(changeCount) {}

    // The engine's change count as seen at `now`; true when the changes up to it are to be
    // written now, which counts them as saved.
    bool ShouldSave(uint64_t changeCount, Clock::time_point now);

private:
    uint64_t savedCount;
    uint64_t seenCount;
    Clock::time_point firstUnsaved{};
    Clock::time_point lastChange{};
};

// The saver of one engine. Its thread looks at the engine every kPollInterval; Stop (or the
// destructor) ends it, and must come before the engine is destroyed, whose own last save then
// writes whatever came after.
class LearnedDataSaver {
public:
    static constexpr std::chrono::milliseconds kPollInterval{250};

    explicit LearnedDataSaver(BanglaEngineHandle engine);
    ~LearnedDataSaver();
    LearnedDataSaver(const LearnedDataSaver&) = delete;
    LearnedDataSaver& operator=(const LearnedDataSaver&) = delete;

    // Starts the thread; false when no thread could be started (the engine then saves only when
    // destroyed).
    bool Start();
    void Stop();

    // One look at the engine at `now`: saves when the schedule says so. True when it saved. The
    // thread calls it; tests call it with a clock of their own instead of starting the thread.
    bool Tick(SaveSchedule::Clock::time_point now);

private:
    void Run();

    const BanglaEngineHandle engine;
    SaveSchedule schedule;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

}  // namespace qorva
