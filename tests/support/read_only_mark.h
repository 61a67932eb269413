// A file the user marked read-only, for tests of writers: on Windows its read-only attribute,
// elsewhere a mode without write permission (which, unlike access(), holds for root too). The
// mark goes when the object does, so that the test's folder can be removed.
#pragma once

#include <string>

#include "common/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace qorva_test {

class ReadOnlyMark {
public:
    explicit ReadOnlyMark(const std::string& utf8Path) : path_(utf8Path) { Set(true); }
    ~ReadOnlyMark() { Set(false); }
    ReadOnlyMark(const ReadOnlyMark&) = delete;
    ReadOnlyMark& operator=(const ReadOnlyMark&) = delete;

private:
    void Set(bool readOnly) const {
#ifdef _WIN32
        SetFileAttributesW(qorva::Utf8ToUtf16(path_).c_str(),
                           readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
        chmod(path_.c_str(), readOnly ? 0444 : 0644);
#endif
    }

    std::string path_;
};

}  // namespace qorva_test
