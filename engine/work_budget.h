#pragma once

#include <cstddef>

namespace bangla {

// The work one request may do, counted in steps of bounded cost (a parser
// expansion, a lexicon lookup, a spelling comparison), so that no input can
// make a keystroke stall the application that asked for it. Every producer
// of one request charges the same budget and stops when it is spent; what
// was found until then is the answer.
//
// Charges are recorded even when they exceed the limit: a producer may have
// to finish what it started (a lookup under way, a partial spelling to
// complete), and the record shows how far past the limit that went.
class WorkBudget {
public:
    explicit WorkBudget(std::size_t limit) : limit_(limit) {}

    // Records the steps; true while the total stays within the limit.
    bool Charge(std::size_t steps = 1) {
        spent_ += steps;
        return spent_ <= limit_;
    }

    // Records the steps only when they leave at least `keep` steps of the
    // limit unspent; false, recording nothing, otherwise.
    bool Afford(std::size_t steps, std::size_t keep = 0) {
        if (Remaining() < steps + keep) return false;
        spent_ += steps;
        return true;
    }

    bool Exhausted() const { return spent_ >= limit_; }
    std::size_t Remaining() const { return Exhausted() ? 0 : limit_ - spent_; }
    std::size_t Spent() const { return spent_; }
    std::size_t Limit() const { return limit_; }

private:
    std::size_t limit_;
    std::size_t spent_ = 0;
};

}  // namespace bangla
