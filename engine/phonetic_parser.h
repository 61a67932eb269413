#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bangla {

// One spelling offered for a typed word. The engine uses the same record for
// the candidates of its other sources.
struct PhoneticCandidate {
    std::string text;    // UTF-8 Bengali
    float score = 0.0f;  // e^-penalty, in (0, 1]
    std::string source;  // producer's tag
};

// Turns a word typed in Latin letters into ranked Bengali spellings. It knows
// no words: fixed spelling rules propose, at each position, a few ways to
// write the next letters with a small penalty, and a best-first search
// collects the complete spellings of least total penalty.
class PhoneticParser {
public:
    // One partial spelling of the search.
    struct ParseState {
        std::u32string output;          // Bengali code points written so far
        std::size_t position = 0;       // next unread byte of the input
        float penalty = 0.0f;           // sum of rule penalties, lower is better
        char32_t lastConsonant = 0;     // consonant a following one may join
        bool pendingConsonant = false;  // output ends in a consonant with its inherent vowel
    };

    // Completed spellings that end the search.
    static constexpr std::size_t kMaxCompletedStates = 128;
    // Expanded states after which the search stops. Letters that cost
    // something in every reading ("kw" typed again and again, "x", "thh")
    // make the search grow exponentially with the word's length. Real words
    // need under a thousand expansions and long run-together compounds about
    // ten thousand; the bound keeps a pathological input to milliseconds.
    // When it is reached before any spelling is complete, the most advanced
    // partial spelling is finished greedily, so a result always comes back.
    static constexpr std::size_t kMaxExpandedStates = 20000;

    // Up to maxResults distinct spellings, best first; at least one for any
    // non-empty input, even when maxResults is 0. A caller that reads deep
    // into the list may let the search complete more states than usual.
    std::vector<PhoneticCandidate> Parse(
        const std::string& input, std::size_t maxResults,
        std::size_t maxCompletedStates = kMaxCompletedStates) const;

    // Appends the children of one state: each is the state extended by one
    // spelling of the next one to five input bytes. Appends nothing when the
    // state has read the whole input.
    void ExpandState(const std::string& input, const ParseState& state,
                     std::vector<ParseState>& children) const;

    // True when the input holds the pattern at the position, ignoring ASCII case.
    static bool MatchPrefix(const std::string& input, std::size_t position,
                            std::string_view pattern);

    // Copy with ASCII capitals replaced by small letters; other bytes unchanged.
    static std::string ToLower(const std::string& text);

private:
    std::vector<ParseState> SearchCompletedStates(const std::string& input,
                                                  std::size_t maxCompletedStates) const;
    // Extends the state by its cheapest child until it has read the input.
    ParseState CompleteGreedily(const std::string& input, ParseState state) const;
};

}  // namespace bangla
