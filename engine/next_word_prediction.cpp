// Next-word prediction: the words most likely to follow the committed ones,
// from the built-in word pairs and the user's learned pairs.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/text.h"
#include "engine/bangla_engine_impl.h"
#include "engine/engine_text.h"

namespace bangla {

namespace {

constexpr float kMinimumPredictionScore = 0.2f;
constexpr uint32_t kLearnedPredictionFlags =
    BANGLA_SOURCE_CONTEXT | BANGLA_SOURCE_PERSONAL | BANGLA_SOURCE_PREDICTION;

// How a learned follower is scored, by the length of the key it follows.
struct LearnedPairScoring {
    float contextScore;
    float userScoreBase;
    float floor;
};
constexpr LearnedPairScoring kAfterTwoWords{0.98f, 0.5f, 0.95f};
constexpr LearnedPairScoring kAfterOneWord{0.9f, 0.4f, 0.85f};

ScoredCandidate LearnedPrediction(const std::string& follower, uint32_t count,
                                  const LearnedPairScoring& scoring) {
    ScoredCandidate candidate;
    candidate.text = follower;
    candidate.contextScore = scoring.contextScore;
    candidate.userScore =
        std::min(1.0f, std::log10(static_cast<float>(count) + 1.0f) / 3.0f + scoring.userScoreBase);
    candidate.finalScore = std::max(scoring.floor, candidate.userScore);
    candidate.sourceFlags = kLearnedPredictionFlags;
    return candidate;
}

class PredictionMerger {
public:
    explicit PredictionMerger(const std::string& lastWord) { takenTexts.insert(lastWord); }

    // Followers come most used first and their score only falls with the
    // count, so once `wanted` of them are in, the rest could never be shown:
    // they are only marked as taken, as they would block the same text from
    // the sources after them.
    void AddLearned(const std::vector<LearnedWordPairs::FollowerUse>& followers,
                    const LearnedPairScoring& scoring, std::size_t wanted) {
        std::size_t added = 0;
        for (const LearnedWordPairs::FollowerUse& use : followers) {
            // Pairs learned before only Bengali text was learned may hold English.
            if (!qorva::HoldsBengaliLetter(*use.follower)) continue;
            if (added == wanted) {
                takenTexts.insert(*use.follower);
            } else if (Add(LearnedPrediction(*use.follower, use.count, scoring))) {
                ++added;
            }
        }
    }

    bool Add(const ScoredCandidate& candidate) {
        if (!takenTexts.insert(candidate.text).second) return false;
        merged.push_back(candidate);
        return true;
    }

    std::vector<ScoredCandidate> Ranked() {
        std::stable_sort(merged.begin(), merged.end(),
                         [](const ScoredCandidate& a, const ScoredCandidate& b) {
                             return a.finalScore > b.finalScore;
                         });
        return merged;
    }

private:
    std::unordered_set<std::string> takenTexts;
    std::vector<ScoredCandidate> merged;
};

}  // namespace

void BanglaEngine::GetNextWordPredictions(EngineCandidateList& list) const {
    std::memset(&list, 0, sizeof list);
    if (contextWords.empty()) return;
    const std::string& last = contextWords.back();
    const std::string previous =
        contextWords.size() >= 2 ? contextWords[contextWords.size() - 2] : std::string();

    PredictionMerger merger(last);
    if (learningEnabled && !userBigrams.Empty()) {
        if (!previous.empty()) {
            merger.AddLearned(userBigrams.FollowersByUse(previous + " " + last), kAfterTwoWords,
                              MaxCandidates());
        }
        merger.AddLearned(userBigrams.FollowersByUse(last), kAfterOneWord, MaxCandidates());
    }
    for (const ScoredCandidate& candidate :
         ranker.PredictNextWords(last, lexicon, MaxCandidates(), previous)) {
        merger.Add(candidate);
    }

    for (const ScoredCandidate& candidate : merger.Ranked()) {
        if (list.count >= MaxCandidates()) break;
        if (candidate.finalScore < kMinimumPredictionScore) continue;
        EngineCandidate& slot = list.candidates[list.count++];
        CopyTextField(candidate.text, slot.text);
        slot.score = candidate.finalScore;
        slot.sourceFlags = candidate.sourceFlags;
    }
}

}  // namespace bangla
