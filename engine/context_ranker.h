#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/phonetic_parser.h"

namespace bangla {

class LexiconTrie;

// Where a ranked candidate came from; bits of ScoredCandidate::sourceFlags.
enum CandidateSourceFlag : uint32_t {
    kSourcePhonetic =
        1,  // the spellings handed to the ranker (parser and the engine's other producers)
    kSourceLexicon = 2,      // a word of the main lexicon
    kSourceContext = 4,      // follows the preceding word in a known word pair
    kSourcePersonal = 8,     // boosted as one of the user's own words
    kSourcePrediction = 16,  // predicted as the next word
};

// One ranked candidate. Lists of it are ordered by finalScore, highest first.
struct ScoredCandidate {
    std::string text;  // Bengali word; the typed Latin text for the fallback entry
    std::string
        roman;  // typed text, or the lexicon key for lexicon-only words; empty for predictions
    float phoneticScore = 0.0f;
    float frequencyScore = 0.0f;
    float contextScore = 0.0f;
    float userScore = 0.0f;
    float finalScore = 0.0f;
    uint32_t sourceFlags = 0;
    bool autoSelect = false;  // confident enough to commit without the user choosing it
};

// Scores and orders the candidate spellings of one typed word against the
// lexicon, the built-in word pairs and the user's boosts, and predicts next
// words from the same pairs. Read-only after construction, so one ranker may
// serve every request of its engine; the lexicon it is handed is not
// thread-safe, though, so calls for one engine must not overlap.
class ContextRanker {
public:
    using PersonalBoosts = std::unordered_map<std::string, float>;

    // Starts with the built-in word pairs.
    ContextRanker();

    // Adds count to the pair (wrapping at 2^32). Texts are compared byte for
    // byte by the lookups, so callers pass canonical Bengali text.
    void AddBigram(const std::string& firstWord, const std::string& follower, uint32_t count);

    // min(1, 0.25 * log10(count + 1)) for a known pair; 0 for an unknown pair
    // or an empty word.
    float ComputeBigramProb(const std::string& precedingWord, const std::string& word) const;

    // Merges the spellings and the lexicon's words for the typed key into one
    // list, ranked by a weighted score, with the top entry's auto-selection
    // decided and the typed text itself kept as a last-resort entry. A word
    // under the typed key stays ahead of a lexicon word that reaches those
    // letters otherwise, unless that word is far more frequent or the user's
    // boost or the preceding word speaks for it more. At most maxResults
    // entries; none for a maximum of 0.
    std::vector<ScoredCandidate> RankCandidates(const std::string& typedRoman,
                                                const std::vector<PhoneticCandidate>& candidates,
                                                const LexiconTrie& lexicon,
                                                const std::string& precedingWord,
                                                const PersonalBoosts& personalBoosts,
                                                bool autoCorrect, float autoSelectThreshold,
                                                uint64_t maxResults) const;

    // The built-in followers of word (and of wordBefore + " " + word), scored
    // and ordered, at most maxResults, never word itself.
    std::vector<ScoredCandidate> PredictNextWords(const std::string& word,
                                                  const LexiconTrie& lexicon, uint64_t maxResults,
                                                  const std::string& wordBefore) const;

private:
    using FollowerCounts = std::unordered_map<std::string, uint32_t>;

    void LoadDefaultBigrams();
    const FollowerCounts* FollowersOf(const std::string& firstWord) const;
    std::unordered_map<std::string, float> FollowerScores(const std::string& word,
                                                          const std::string& wordBefore) const;

    std::unordered_map<std::string, FollowerCounts> bigrams;
};

}  // namespace bangla
