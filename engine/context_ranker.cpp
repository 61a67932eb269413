#include "engine/context_ranker.h"

#include <algorithm>
#include <cmath>

#include "engine/bangla_unicode.h"
#include "engine/builtin_word_pairs.h"
#include "engine/lexicon_trie.h"

namespace bangla {

namespace {

// One candidate while it is scored, with what the ordering rules below need.
struct WorkingEntry {
    ScoredCandidate candidate;
    uint32_t frequency = 0;  // lexicon frequency; 0 for no lexicon word
    bool typedKey = false;   // a lexicon word under the typed key itself
};
using WorkingMap = std::unordered_map<std::string, WorkingEntry>;

// Results of RankCandidates for the lexicon's words of the typed key.
constexpr uint64_t kLexiconMatchLimit = 5;
constexpr float kLexiconMatchPhoneticScore = 0.95f;
constexpr float kLexiconConfirmedPhoneticScore = 0.9f;
// Score weights; they add up to 1 before the lexicon bonus.
constexpr float kPhoneticWeight = 0.25f;
constexpr float kFrequencyWeight = 0.45f;
constexpr float kContextWeight = 0.15f;
constexpr float kUserWeight = 0.15f;
constexpr float kLexiconWordBonus = 0.2f;
constexpr float kNonWordDamping = 0.1f;
// A word under the typed key is a word those letters spell; a word that
// reaches them otherwise (an inherent vowel read from a typed a or o, a chat
// rewrite, a near key) goes behind it unless this many times more frequent.
// The lexicon pipeline uses the same factor (tools/lexicon_pipeline).
constexpr float kTypedKeyLeadFactor = 12.0f;
constexpr float kBehindTypedKeyGap = 0.001f;
// Auto-selection: the top score may fall this far short of the threshold,
// and must lead the runner-up by this much.
constexpr float kThresholdTolerance = 0.0001f;
constexpr float kAutoSelectLead = 0.02f;
// The typed text offered as it stands, below every real candidate.
constexpr float kFallbackPhoneticScore = 0.5f;
constexpr float kFallbackFinalScore = 0.01f;
// Next-word predictions below this score are not worth showing.
constexpr float kMinPredictionScore = 0.2f;
constexpr float kOneWordBonusOverTwoWord = 0.1f;
constexpr float kPredictionFrequencyWeight = 0.25f;
constexpr float kPredictionPairWeight = 0.75f;
constexpr uint32_t kPredictionFlags = kSourceContext | kSourcePrediction;

float Log10OfCountPlusOne(uint32_t count) { return std::log10(static_cast<float>(count) + 1.0f); }

float LexiconFrequencyScore(uint32_t frequency) {
    return std::min(1.0f, Log10OfCountPlusOne(frequency) / 6.0f);
}

float PairScore(uint32_t count) { return std::min(1.0f, 0.25f * Log10OfCountPlusOne(count)); }

// A follower of the two preceding words is a stronger hint than one of the
// last word alone.
float TwoWordPairScore(uint32_t count) {
    return std::min(1.0f, Log10OfCountPlusOne(count) / 3.0f + 0.4f);
}

// The lexicon frequency of the word, or nothing when the lexicon lacks it.
// Find's result is overwritten by the next lookup, so it is read at once.
bool FindFrequency(const LexiconTrie& lexicon, const std::string& word, uint32_t& frequency) {
    const LexiconEntry* entry = lexicon.Find(word);
    if (entry == nullptr) return false;
    frequency = entry->frequency;
    return true;
}

// Adds the handed-in spellings; returns whether one of them is a lexicon word.
bool AddPhoneticInputs(const std::string& typedRoman, const std::vector<PhoneticCandidate>& inputs,
                       const LexiconTrie& lexicon, WorkingMap& entries) {
    bool anyLexiconWord = false;
    for (const PhoneticCandidate& input : inputs) {
        if (!UnicodeUtils::IsValidBengaliSequence(input.text)) continue;
        WorkingEntry entry;
        ScoredCandidate& candidate = entry.candidate;
        candidate.text = input.text;
        candidate.roman = typedRoman;
        candidate.phoneticScore = input.score;
        candidate.sourceFlags = kSourcePhonetic;
        if (FindFrequency(lexicon, input.text, entry.frequency)) {
            candidate.frequencyScore = LexiconFrequencyScore(entry.frequency);
            candidate.sourceFlags |= kSourceLexicon;
            anyLexiconWord = true;
        }
        entries[input.text] = std::move(entry);  // a later input of the same text wins
    }
    return anyLexiconWord;
}

// Adds the lexicon's words for the typed key; returns whether there was one.
bool AddLexiconMatches(const std::string& typedRoman, const LexiconTrie& lexicon,
                       WorkingMap& entries) {
    bool anyLexiconWord = false;
    for (const LexiconEntry& match : lexicon.SearchRoman(typedRoman, kLexiconMatchLimit)) {
        if (!UnicodeUtils::IsValidBengaliSequence(match.word)) continue;
        anyLexiconWord = true;
        auto found = entries.find(match.word);
        if (found != entries.end()) {
            ScoredCandidate& candidate = found->second.candidate;
            candidate.sourceFlags |= kSourceLexicon;
            candidate.phoneticScore =
                std::max(candidate.phoneticScore, kLexiconConfirmedPhoneticScore);
            found->second.typedKey = true;
            continue;
        }
        WorkingEntry entry;
        entry.frequency = match.frequency;
        entry.typedKey = true;
        ScoredCandidate& candidate = entry.candidate;
        candidate.text = match.word;
        candidate.roman = match.roman;
        candidate.phoneticScore = kLexiconMatchPhoneticScore;
        candidate.frequencyScore = LexiconFrequencyScore(match.frequency);
        candidate.sourceFlags = kSourceLexicon;
        entries.emplace(match.word, std::move(entry));
    }
    return anyLexiconWord;
}

void ApplyPersonalBoosts(const ContextRanker::PersonalBoosts& boosts, WorkingMap& entries) {
    for (const auto& [text, boost] : boosts) {
        auto found = entries.find(text);
        if (found == entries.end()) continue;
        found->second.candidate.userScore = boost;
        found->second.candidate.sourceFlags |= kSourcePersonal;
    }
}

// A spelling that is no lexicon word sinks below the lexicon words, unless
// the user boosted it; without any lexicon word there is nothing to sink below.
float FinalScore(const ScoredCandidate& entry, bool anyLexiconWord) {
    float total = kPhoneticWeight * entry.phoneticScore;
    total += kFrequencyWeight * entry.frequencyScore;
    total += kContextWeight * entry.contextScore;
    total += kUserWeight * entry.userScore;
    if (entry.frequencyScore > 0.0f) {
        total += kLexiconWordBonus;
    } else if (anyLexiconWord && entry.userScore <= 0.0f) {
        total *= kNonWordDamping;
    }
    return std::min(total, 1.0f);
}

// Whether the word of `other` may stay ahead of the typed key's word
// `typed`: when it already stands behind, when the user or the preceding
// word speaks for it more, or when it is far more frequent.
bool MayLead(const WorkingEntry& other, const WorkingEntry& typed) {
    const ScoredCandidate& o = other.candidate;
    const ScoredCandidate& t = typed.candidate;
    return o.finalScore < t.finalScore || o.userScore > t.userScore ||
           o.contextScore > t.contextScore ||
           static_cast<float>(other.frequency) >=
               kTypedKeyLeadFactor * static_cast<float>(typed.frequency);
}

// Puts each lexicon word that reaches the typed letters otherwise just
// behind the typed key's words it may not lead.
void KeepTypedKeyWordsAhead(WorkingMap& entries) {
    std::vector<const WorkingEntry*> typedKeyWords;
    for (const auto& item : entries) {
        if (item.second.typedKey) typedKeyWords.push_back(&item.second);
    }
    if (typedKeyWords.empty()) return;
    for (auto& item : entries) {
        WorkingEntry& other = item.second;
        if (other.typedKey || other.frequency == 0) continue;
        for (const WorkingEntry* typed : typedKeyWords) {
            if (MayLead(other, *typed)) continue;
            other.candidate.finalScore = typed->candidate.finalScore - kBehindTypedKeyGap;
        }
    }
}

// The entries are sorted by reference and moved once: moving whole entries
// (two strings each) is what sorting them would cost. The order is the one
// sorting the entries themselves gives, as the sort sees the same scores.
std::vector<ScoredCandidate> SortedByScore(WorkingMap& entries) {
    std::vector<ScoredCandidate*> order;
    order.reserve(entries.size());
    for (auto& item : entries) order.push_back(&item.second.candidate);
    std::sort(order.begin(), order.end(), [](const ScoredCandidate* a, const ScoredCandidate* b) {
        return a->finalScore > b->finalScore;
    });
    std::vector<ScoredCandidate> ranked;
    ranked.reserve(order.size());
    for (ScoredCandidate* entry : order) ranked.push_back(std::move(*entry));
    return ranked;
}

void DecideAutoSelect(std::vector<ScoredCandidate>& ranked, bool autoCorrect, float threshold) {
    if (ranked.empty()) return;
    ScoredCandidate& top = ranked.front();
    const bool confident = top.finalScore >= threshold - kThresholdTolerance;
    const bool clearLead =
        ranked.size() == 1 || top.finalScore - ranked[1].finalScore >= kAutoSelectLead;
    top.autoSelect = autoCorrect && confident && clearLead;
}

bool HoldsText(const std::vector<ScoredCandidate>& ranked, const std::string& text) {
    return std::any_of(ranked.begin(), ranked.end(),
                       [&text](const ScoredCandidate& entry) { return entry.text == text; });
}

ScoredCandidate TypedTextEntry(const std::string& typedRoman) {
    ScoredCandidate entry;
    entry.text = typedRoman;
    entry.roman = typedRoman;
    entry.phoneticScore = kFallbackPhoneticScore;
    entry.finalScore = kFallbackFinalScore;
    return entry;
}

// Keeps the typed text reachable: appended when there is room, otherwise in
// the last place that the cut to maxResults keeps.
void PlaceTypedText(std::vector<ScoredCandidate>& ranked, const std::string& typedRoman,
                    uint64_t maxResults) {
    if (typedRoman.empty() || maxResults == 0 || HoldsText(ranked, typedRoman)) return;
    if (ranked.size() < maxResults) {
        ranked.push_back(TypedTextEntry(typedRoman));
    } else {
        ranked[maxResults - 1] = TypedTextEntry(typedRoman);
    }
}

// A predicted follower; a lexicon word mixes in how common it is.
ScoredCandidate Prediction(const std::string& follower, float pairScore,
                           const LexiconTrie& lexicon) {
    ScoredCandidate prediction;
    prediction.text = follower;
    prediction.contextScore = pairScore;
    prediction.finalScore = pairScore;
    prediction.sourceFlags = kPredictionFlags;
    uint32_t frequency = 0;
    if (FindFrequency(lexicon, follower, frequency)) {
        prediction.frequencyScore = LexiconFrequencyScore(frequency);
        prediction.finalScore = kPredictionFrequencyWeight * prediction.frequencyScore +
                                kPredictionPairWeight * pairScore;
    }
    return prediction;
}

}  // namespace

ContextRanker::ContextRanker() { LoadDefaultBigrams(); }

void ContextRanker::LoadDefaultBigrams() {
    // The table spells some nukta letters decomposed, while typed and
    // committed text is canonical; without this those pairs never match.
    for (const BuiltinWordPair& pair : kBuiltinWordPairs) {
        AddBigram(UnicodeUtils::CanonicalizeBengali(pair.first),
                  UnicodeUtils::CanonicalizeBengali(pair.follower), pair.count);
    }
}

void ContextRanker::AddBigram(const std::string& firstWord, const std::string& follower,
                              uint32_t count) {
    bigrams[firstWord][follower] += count;
}

const ContextRanker::FollowerCounts* ContextRanker::FollowersOf(
    const std::string& firstWord) const {
    auto found = bigrams.find(firstWord);
    return found == bigrams.end() ? nullptr : &found->second;
}

float ContextRanker::ComputeBigramProb(const std::string& precedingWord,
                                       const std::string& word) const {
    if (precedingWord.empty() || word.empty()) return 0.0f;
    const FollowerCounts* followers = FollowersOf(precedingWord);
    if (followers == nullptr) return 0.0f;
    auto found = followers->find(word);
    return found == followers->end() ? 0.0f : PairScore(found->second);
}

std::vector<ScoredCandidate> ContextRanker::RankCandidates(
    const std::string& typedRoman, const std::vector<PhoneticCandidate>& candidates,
    const LexiconTrie& lexicon, const std::string& precedingWord,
    const PersonalBoosts& personalBoosts, bool autoCorrect, float autoSelectThreshold,
    uint64_t maxResults) const {
    if (maxResults == 0) return {};
    WorkingMap entries;
    bool anyLexiconWord = AddPhoneticInputs(typedRoman, candidates, lexicon, entries);
    anyLexiconWord = AddLexiconMatches(typedRoman, lexicon, entries) || anyLexiconWord;
    ApplyPersonalBoosts(personalBoosts, entries);
    for (auto& item : entries) {
        ScoredCandidate& entry = item.second.candidate;
        entry.contextScore = ComputeBigramProb(precedingWord, entry.text);
        if (entry.contextScore > 0.0f) entry.sourceFlags |= kSourceContext;
        entry.finalScore = FinalScore(entry, anyLexiconWord);
    }
    KeepTypedKeyWordsAhead(entries);
    std::vector<ScoredCandidate> ranked = SortedByScore(entries);
    DecideAutoSelect(ranked, autoCorrect, autoSelectThreshold);
    PlaceTypedText(ranked, typedRoman, maxResults);
    if (ranked.size() > maxResults) ranked.resize(maxResults);
    return ranked;
}

std::unordered_map<std::string, float> ContextRanker::FollowerScores(
    const std::string& word, const std::string& wordBefore) const {
    std::unordered_map<std::string, float> scores;
    if (!wordBefore.empty()) {
        if (const FollowerCounts* followers = FollowersOf(wordBefore + " " + word)) {
            for (const auto& [follower, count] : *followers)
                scores[follower] = TwoWordPairScore(count);
        }
    }
    if (const FollowerCounts* followers = FollowersOf(word)) {
        for (const auto& [follower, count] : *followers) {
            const float score = PairScore(count);
            auto found = scores.find(follower);
            // A follower of both keys may exceed 1: it is the surest prediction.
            if (found != scores.end()) {
                found->second = std::max(score + kOneWordBonusOverTwoWord, found->second);
            } else {
                scores.emplace(follower, score);
            }
        }
    }
    return scores;
}

std::vector<ScoredCandidate> ContextRanker::PredictNextWords(const std::string& word,
                                                             const LexiconTrie& lexicon,
                                                             uint64_t maxResults,
                                                             const std::string& wordBefore) const {
    if (word.empty()) return {};
    std::vector<ScoredCandidate> predictions;
    for (const auto& [follower, score] : FollowerScores(word, wordBefore)) {
        if (follower == word) continue;
        ScoredCandidate prediction = Prediction(follower, score, lexicon);
        if (prediction.finalScore >= kMinPredictionScore)
            predictions.push_back(std::move(prediction));
    }
    std::stable_sort(predictions.begin(), predictions.end(),
                     [](const ScoredCandidate& a, const ScoredCandidate& b) {
                         return a.finalScore > b.finalScore;
                     });
    if (predictions.size() > maxResults) predictions.resize(maxResults);
    return predictions;
}

}  // namespace bangla
