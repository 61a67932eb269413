// The words the universal program offers and types, over the engine and the translation client:
// the rows of the candidate window, the top candidate a boundary key commits when no row is
// chosen, and the commit itself (what is typed in place of the letters, what is learned). No
// window system here; the host shows the rows and sends the key events.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "services/translation_service.h"
#include "universal/keystrokes.h"
#include "universal/mode_target.h"

namespace qorva::universal {

// The window shows at most this many of the engine's words.
inline constexpr size_t kMaxEngineRows = 5;

// The engine's words in its order, each once, without empty ones, at most kMaxEngineRows; then the
// typed word itself unless the engine already offered it, so the Latin word is always one choice.
std::vector<std::wstring> CandidateRows(const EngineCandidateList& list,
                                        const std::wstring& typedWord);
// Next-word predictions: the same rule without a typed word.
std::vector<std::wstring> PredictionRows(const EngineCandidateList& list);

// The rows for the typed word; empty without an engine or a word.
std::vector<std::wstring> WordCandidates(BanglaEngineHandle engine, const std::wstring& word);
// The rows predicted after the words committed so far; empty without an engine.
std::vector<std::wstring> NextWordPredictions(BanglaEngineHandle engine);

// The engine's best word for the typed word; empty when there is none, or when it is nothing but
// the typed word again (capitals or not), so that the letters stay as typed.
std::wstring TopCandidate(BanglaEngineHandle engine, const std::wstring& word);

struct WordCommit {
    std::wstring typed;       // the Latin word as collected (lower case); may be empty
    std::wstring chosen;      // the chosen row or the top candidate; empty when nothing is offered
    uint32_t eraseCount = 0;  // letters of the word in the application
    std::wstring boundary;    // typed after the word
};

struct CommitOutcome {
    Keystrokes keys;    // one burst: Backspaces, the text, the boundary
    std::wstring text;  // what replaced the letters; empty when they stay
    bool predictionsFollow = false;
};

// Commits a word in `mode`. In translation mode the chosen word becomes its English translation
// when the client has it cached; otherwise the Bangla word is typed and its translation requested,
// so the client's worker caches it for the next time. Nothing here waits for the network: this runs
// inside the keyboard hook, which Windows drops when it answers late. Outside English the engine
// learns the choice under the typed word (it keeps only words with a Bengali letter) and records it
// as the latest word; predictions follow in Bangla mode.
CommitOutcome CommitChosenWord(const WordCommit& commit, ModeTarget mode, BanglaEngineHandle engine,
                               TranslationService& translation);

// A chosen next-word prediction: typed after the caret with a space, nothing erased; the engine
// records it as the latest word, so the next predictions follow from it. Nothing is learned.
Keystrokes CommitPrediction(const std::wstring& word, BanglaEngineHandle engine);

}  // namespace qorva::universal
