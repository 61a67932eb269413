#include "common/learned_data_saver.h"

#include <system_error>

namespace qorva {

bool SaveSchedule::ShouldSave(uint64_t changeCount, Clock::time_point now) {
    if (changeCount == savedCount) return false;
    if (seenCount == savedCount) firstUnsaved = now;
    if (changeCount != seenCount) {
        seenCount = changeCount;
        lastChange = now;
    }
    if (now - lastChange < kQuiet && now - firstUnsaved < kLongest) return false;
    savedCount = changeCount;
    return true;
}

LearnedDataSaver::LearnedDataSaver(BanglaEngineHandle engine)
    : engine(engine), schedule(BanglaEngine_GetLearnedDataChangeCount(engine)) {}

LearnedDataSaver::~LearnedDataSaver() { Stop(); }

bool LearnedDataSaver::Start() {
    try {
        thread = std::thread([this] { Run(); });
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void LearnedDataSaver::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable()) thread.join();
}

bool LearnedDataSaver::Tick(SaveSchedule::Clock::time_point now) {
    if (!schedule.ShouldSave(BanglaEngine_GetLearnedDataChangeCount(engine), now)) return false;
    // A failed save is not tried again here: its changes wait in side files for the next save,
    // and learned_data.log says so.
    BanglaEngine_SaveLearnedChanges(engine);
    return true;
}

void LearnedDataSaver::Run() {
    std::unique_lock<std::mutex> lock(mutex);
    while (!wake.wait_for(lock, kPollInterval, [this] { return stopping; })) {
        lock.unlock();
        Tick(SaveSchedule::Clock::now());
        lock.lock();
    }
}

}  // namespace qorva
