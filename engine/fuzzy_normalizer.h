#pragma once

#include <string>
#include <vector>

namespace bangla {

// Turns a Latin word as the user typed it into lexicon lookup keys: the word
// in lower case, then up to two rewritten forms that repair common
// misspellings of Bengali words and English loan words. Stateless, so one
// instance may be shared by any number of threads.
class FuzzyNormalizer {
public:
    FuzzyNormalizer() = default;

    // Only the bytes A-Z change; UTF-8 and every other byte pass unchanged.
    static std::string ToLower(const std::string& word);

    // One rewriting pass. Returns the rewritten word, or an empty string when
    // no rule applied. A rule that maps a word onto itself still returns it,
    // which is how a few words are protected from the later steps.
    std::string ApplyRules(const std::string& word) const;

    // One to three keys: the lower-cased word first, then the rewrites.
    std::vector<std::string> Normalize(const std::string& word) const;

    // The deepest rewrite that Normalize reaches.
    std::string BestCanonical(const std::string& word) const;

private:
    static std::string CollapseDoubledLetters(const std::string& word);
};

}  // namespace bangla
