#pragma once

#include <string>

namespace bangla {

// Serialises the writers of the learned-data files (user_dict.txt,
// user_bigrams.tsv) across engines and processes for as long as it lives, so
// that one engine's read-merge-write of a file never interleaves with
// another's. On Windows a named mutex of the session; elsewhere an advisory
// lock on a file in the data folder. When the lock cannot be had in time the
// holder goes on without it: a merged save is still better than none.
class LearnedDataLock {
public:
    explicit LearnedDataLock(const std::string& utf8DataFolder);
    ~LearnedDataLock();
    LearnedDataLock(const LearnedDataLock&) = delete;
    LearnedDataLock& operator=(const LearnedDataLock&) = delete;

    bool Held() const { return held; }

private:
    bool held = false;
#ifdef _WIN32
    void* mutex = nullptr;
#else
    int lockFile = -1;
#endif
};

}  // namespace bangla
