#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/work_budget.h"

namespace bangla {

// One spelling offered for a typed word. The engine uses the same record for
// the candidates of its other sources.
struct PhoneticCandidate {
    std::string text;    // UTF-8 Bengali
    float score = 0.0f;  // e^-penalty, in (0, 1]
    std::string source;  // producer's tag
};

// Which spellings a parser search gives back: every distinct one, or, past the
// first `unfiltered`, only those that `wanted` accepts. Spellings turned
// away are never built as texts: a caller that reads hundreds of
// spellings to keep the few that are words saves that work.
struct SpellingFilter {
    std::size_t unfiltered = 0;
    std::function<bool(std::string_view)> wanted;  // empty: every spelling is wanted
};

// Turns a word typed in Latin letters into ranked Bengali spellings. It knows
// no words: fixed spelling rules propose, at each position, a few ways to
// write the next letters with a small penalty, and a best-first search
// collects the complete spellings of least total penalty.
class PhoneticParser {
public:
    // The Bengali code points of the partial spellings of one search. A
    // state names the node of the last code point it wrote, and each node
    // names the one before it, so spellings share what they have in common:
    // extending a state copies nothing of its text.
    class SpellingStore {
    public:
        using Node = uint32_t;  // kEmpty for a spelling that has written nothing
        static constexpr Node kEmpty = 0;

        SpellingStore();
        Node Append(Node tail, char32_t codepoint);
        char32_t Last(Node tail) const { return nodes[tail].codepoint; }
        // The spelling as UTF-8, written into `buffer`, which the caller
        // reuses, so that reading hundreds of spellings out allocates
        // little; valid until the buffer changes.
        std::string_view Utf8(Node tail, std::string& buffer) const;

    private:
        static constexpr std::size_t kWordBytes = sizeof(uint32_t);
        // A code point's UTF-8 in a word's last bytes, and how many bytes.
        struct EncodedCodepoint {
            uint32_t word;
            uint32_t length;
        };
        static constexpr char32_t kFirstBengali = 0x0980;
        static const std::array<EncodedCodepoint, 128> kBengaliBlock;
        static EncodedCodepoint Encode(char32_t codepoint);
        static EncodedCodepoint EncodedOf(char32_t codepoint);

        // Two words a node: hostile input makes a search write tens of
        // thousands of nodes, and the spellings read out are far fewer.
        struct Entry {
            Node previous;
            char32_t codepoint;
        };
        std::vector<Entry> nodes;
    };

    // One partial spelling of the search; a plain value, small and cheap to
    // move around the heap. A search reads at most five bytes a step and its
    // steps are bounded, so a position never nears the 32-bit limit.
    struct ParseState {
        SpellingStore::Node output = SpellingStore::kEmpty;  // Bengali code points written so far
        uint32_t position = 0;                               // next unread byte of the input
        float penalty = 0.0f;           // sum of rule penalties, lower is better
        char32_t lastConsonant = 0;     // consonant a following one may join
        bool pendingConsonant = false;  // output ends in a consonant with its inherent vowel
    };

    // Completed spellings that end the search.
    static constexpr std::size_t kMaxCompletedStates = 128;
    // Expanded states after which a search on its own stops. Letters that
    // cost something in every reading ("kw" typed again and again, "x",
    // "thh") make the search grow exponentially with the word's length. Real
    // words need under a few thousand expansions.
    static constexpr std::size_t kMaxExpandedStates = 20000;
    // Steps kept back from a budget to finish a spelling when the search
    // ends before any is complete: the most advanced partial spelling is
    // then extended by its cheapest reading, one step a letter, so a result
    // always comes back. Past this many letters the spelling stays partial;
    // a candidate shows far fewer.
    static constexpr std::size_t kFinishSteps = 256;

    // Up to maxResults distinct spellings, best first; at least one for any
    // non-empty input, even when maxResults is 0. A caller that reads deep
    // into the list may let the search complete more states than usual.
    std::vector<PhoneticCandidate> Parse(
        const std::string& input, std::size_t maxResults,
        std::size_t maxCompletedStates = kMaxCompletedStates) const;

    // The same within a caller's budget, one step per expanded state. A
    // budget that has no more than kFinishSteps left gives nothing.
    std::vector<PhoneticCandidate> Parse(const std::string& input, std::size_t maxResults,
                                         std::size_t maxCompletedStates, WorkBudget& budget,
                                         const SpellingFilter& filter = {}) const;

    // Appends the children of one state: each is the state extended by one
    // spelling of the next one to five input bytes, its text in the store.
    // Appends nothing when the state has read the whole input.
    void ExpandState(const std::string& input, const ParseState& state, SpellingStore& store,
                     std::vector<ParseState>& children) const;

    // True when the input holds the pattern at the position, ignoring ASCII case.
    static bool MatchPrefix(const std::string& input, std::size_t position,
                            std::string_view pattern);

    // Copy with ASCII capitals replaced by small letters; other bytes unchanged.
    static std::string ToLower(const std::string& text);

private:
    // The spellings the rules offer at each position of one input. Which
    // rules match depends on the input alone, never on the state expanded,
    // so a search matches them once per position instead of once per state.
    class InputReadings;

    std::vector<ParseState> SearchCompletedStates(const InputReadings& readings,
                                                  std::size_t maxCompletedStates,
                                                  SpellingStore& store, WorkBudget& budget) const;
    // Extends the state by its cheapest child until it has read the input or
    // kFinishSteps are spent.
    ParseState CompleteGreedily(const InputReadings& readings, ParseState state,
                                SpellingStore& store, WorkBudget& budget) const;
};

}  // namespace bangla
