#include "engine/learned_data_lock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace bangla {

#ifdef _WIN32

namespace {

// Saving both files takes milliseconds; a holder that stays longer is stuck.
constexpr DWORD kLockWaitMilliseconds = 5000;

}  // namespace

LearnedDataLock::LearnedDataLock(const std::string& /*utf8DataFolder*/) {
    // One data folder per user and session, so one session-wide name serves.
    mutex = CreateMutexW(nullptr, FALSE, L"Local\\QorvaEngineDataMutex");
    if (mutex == nullptr) return;
    const DWORD wait = WaitForSingleObject(static_cast<HANDLE>(mutex), kLockWaitMilliseconds);
    // An abandoned mutex belonged to a process that died while saving; the
    // files are still whole thanks to the replace-by-move, so take it.
    held = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

LearnedDataLock::~LearnedDataLock() {
    if (mutex == nullptr) return;
    if (held) ReleaseMutex(static_cast<HANDLE>(mutex));
    CloseHandle(static_cast<HANDLE>(mutex));
}

#else

LearnedDataLock::LearnedDataLock(const std::string& utf8DataFolder) {
    const std::string path = utf8DataFolder + ".qorva_data.lock";
    lockFile = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFile < 0) return;
    held = flock(lockFile, LOCK_EX) == 0;
}

LearnedDataLock::~LearnedDataLock() {
    if (lockFile < 0) return;
    if (held) flock(lockFile, LOCK_UN);
    close(lockFile);
}

#endif

}  // namespace bangla
