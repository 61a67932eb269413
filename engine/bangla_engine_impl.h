#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "engine/context_ranker.h"
#include "engine/fuzzy_normalizer.h"
#include "engine/learned_data_format.h"
#include "engine/learned_word_pairs.h"
#include "engine/lexicon_trie.h"
#include "engine/personal_dictionary.h"
#include "engine/phonetic_parser.h"

namespace bangla {

// The object behind an engine handle: the transliteration classes, the state
// of typing, the learning switch and the learned data. The C interface and
// the operations reach the members directly; the object is used by one
// thread at a time, except that a saver may take its learned changes from
// another (SaveLearnedChanges), which the learned data's own locks allow.
//
// Construction loads the lexicon, the personal dictionary and the learned
// word pairs; destruction saves the learned data, merged with what other
// engines saved meanwhile.
class BanglaEngine {
public:
    // Only the last few context words are ever read; the cap keeps a long
    // session from growing the list without bound.
    static constexpr std::size_t kMaxContextWords = 20;
    // Above this many lexicon entries the lexicon is trusted to vet spellings
    // and personal words.
    static constexpr uint32_t kBigLexiconEntries = 1000;

    // A null config means all defaults. Throws only when memory runs out.
    explicit BanglaEngine(const EngineConfig* config);
    ~BanglaEngine();
    BanglaEngine(const BanglaEngine&) = delete;
    BanglaEngine& operator=(const BanglaEngine&) = delete;

    // Work one request for candidates may do, in WorkBudget steps (their
    // costs: candidate_generation.cpp). Real words need a few thousand; the
    // bound keeps any input, however long or costly its letters, to a few
    // milliseconds.
    static constexpr std::size_t kRequestSteps = 16000;

    // The ranked candidates for the composition (candidate_generation.cpp),
    // within kRequestSteps.
    void GetCandidates(EngineCandidateList& list) const;
    // The same within a caller's budget.
    void GetCandidates(EngineCandidateList& list, WorkBudget& budget) const;
    // The likely next words after the context (next_word_prediction.cpp).
    void GetNextWordPredictions(EngineCandidateList& list) const;

    // Committing, learning and sentences (engine_learning.cpp).
    void CommitWord(const std::string& word);
    bool LearnWord(const std::string& roman, const std::string& word);
    bool TransliterateSentence(const std::string& roman, char* dst, uint64_t dstLen);
    void ResetContext();

    // With a big lexicon an auto-learned word counts as the user's only when
    // the lexicon does not contradict it: the lexicon does not know its key,
    // or knows the word at least half as often as its key's most frequent
    // word. Explicit words are the user's choice and always agree.
    bool AgreesWithLexicon(const UserWordEntry& word) const;

    // Personal words under roman, most frequent first, into out[0..capacity).
    int32_t GetUserWords(const std::string& roman, EngineUserWord* out, int32_t capacity) const;

    // Writes the learned data now: what this engine learned, added, removed
    // or cleared, applied onto the files as they are. False when a file could
    // not be written; that file is then left as it was and the changes wait
    // in a side file. Touches no file (nor the lock) when nothing changed.
    bool SaveLearnedData();
    // The same from another thread while the engine is in use: the changes
    // are moved out under the locks of the personal dictionary and the pairs'
    // session, held only for that, and written outside them. Only one thread
    // may save at a time.
    bool SaveLearnedChanges();
    // Grows with every change to the learned data; safe from any thread.
    uint64_t LearnedDataChangeCount() const;

    // The list slots to fill, within the record's 16.
    uint32_t MaxCandidates() const { return static_cast<uint32_t>(config.maxCandidates); }

    EngineConfig config;
    std::string composition;
    std::vector<std::string> contextWords;  // oldest first, at most kMaxContextWords
    PhoneticParser parser;
    LexiconTrie lexicon;
    ContextRanker ranker;
    PersonalDictionary personalDictionary;
    FuzzyNormalizer fuzzyNormalizer;
    std::string lexiconPath;
    std::string userDictPath;
    bool learningEnabled = true;
    std::string userBigramsPath;
    LearnedWordPairs userBigrams;
    bool bigLexicon = false;

private:
    void AdoptConfig(const EngineConfig* given);
    void RepairPersonalDictionaryOnce(const std::string& folder);
    void AppendContextWord(const std::string& word);
    void CountCommittedPairs(const std::string& word);
    bool SaveLearnedFiles(PersonalDictionary& words, LearnedWordPairs& pairs) const;
};

// Fills the config with the defaults of the C interface.
void SetDefaultConfig(EngineConfig& config);

}  // namespace bangla
