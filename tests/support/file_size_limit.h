// A disk that fills up midway, for tests of writers: while the object lives, no file of this
// process may grow beyond the given size, and a write past it fails instead of ending the process.
#pragma once

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>

namespace qorva_test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*previousHandler)(int);
    rlimit previous{};
};

}  // namespace qorva_test
#endif
