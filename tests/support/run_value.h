// The current user's start-up Run value "QorvaUniversal", read and set by Windows tests. Whatever
// registers the program (every start of the universal program, a save of the settings) runs under
// a RunValueGuard, so that no test leaves a value behind for the next log-on.
#pragma once

#include <string>

namespace qorva_test {

// The value's data (quotes included); empty when there is none.
std::wstring ReadRunValue();
void WriteRunValue(const std::wstring& data);

// Deletes the value when made and again when destroyed.
class RunValueGuard {
public:
    RunValueGuard();
    ~RunValueGuard();
    RunValueGuard(const RunValueGuard&) = delete;
    RunValueGuard& operator=(const RunValueGuard&) = delete;
};

}  // namespace qorva_test
