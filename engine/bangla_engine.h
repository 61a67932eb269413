#ifndef QORVA_ENGINE_BANGLA_ENGINE_H
#define QORVA_ENGINE_BANGLA_ENGINE_H

/*
 * The candidate engine as the typing programs see it: an opaque handle, UTF-8
 * C strings and fixed-size records that the caller owns.
 *
 * Contract shared by every function:
 * - A null handle is accepted: the function does nothing and returns 0, false
 *   or nothing (BanglaEngine_GetComposition returns a static "").
 * - A null string argument makes the function do nothing unless stated.
 * - Results are copied into the caller's records and buffers; the engine hands
 *   out no memory of its own except the composition pointer. The caller frees
 *   only the handle, through BanglaEngine_Destroy.
 * - No exception ever leaves these functions: the hosts are COM methods inside
 *   other people's applications.
 * - A handle is used by one thread at a time; the functions take no lock. The
 *   two learned-data saving functions below are the exception: one saver
 *   thread may call them while another thread uses the handle.
 * - Every text written into a record is NUL-terminated and cut, when it does
 *   not fit, at a UTF-8 character boundary.
 */

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Slots of an EngineCandidateList; the largest useful maxCandidates. */
#define BANGLA_ENGINE_MAX_CANDIDATES 16

/* Bits of EngineCandidate::sourceFlags. */
#define BANGLA_SOURCE_PHONETIC 1u    /* parser, fuzzy lexicon search, morphology or personal word */
#define BANGLA_SOURCE_LEXICON 2u     /* a word of the main lexicon */
#define BANGLA_SOURCE_CONTEXT 4u     /* follows the preceding word in a word pair */
#define BANGLA_SOURCE_PERSONAL 8u    /* one of the user's own words */
#define BANGLA_SOURCE_PREDICTION 16u /* predicted next word */

typedef struct EngineConfig {
    bool autoCorrect;           /* may mark a confident top candidate for automatic selection */
    float autoCorrectThreshold; /* minimum final score for that mark */
    int32_t maxCandidates;      /* list slots to fill; values outside 0..16 are clamped */
    const char*
        lexiconPath; /* lexicon.bin loaded after the default locations; null or "" for none */
    const char* userDictPath; /* user_dict.txt; its folder holds the other learned-data files;
                                 null or "" for no personal data at all */
} EngineConfig;

typedef struct EngineCandidate {
    char text[128];  /* Bengali word, UTF-8 */
    char roman[128]; /* the Latin spelling it stands for */
    float score;
    uint32_t sourceFlags; /* BANGLA_SOURCE_* bits */
    bool autoSelect;      /* may be selected without the user choosing it */
} EngineCandidate;

typedef struct EngineCandidateList {
    EngineCandidate candidates[BANGLA_ENGINE_MAX_CANDIDATES]; /* best first */
    uint32_t count;                                           /* filled slots; the rest are zero */
    char input[256]; /* the composition a candidate list was made for; empty for predictions */
} EngineCandidateList;

typedef struct EngineUserWord {
    char text[128];
    uint32_t frequency;
} EngineUserWord;

typedef struct BanglaEngineOpaque* BanglaEngineHandle;

/* Fills every field with the defaults: no auto-correct, threshold 0.85,
   5 candidates, no paths. */
void BanglaEngine_GetDefaultConfig(EngineConfig* config);

/* A null config means all defaults: the lexicon from its default locations and
   no personal files. The record and its strings are copied. Returns null only
   when the engine cannot be constructed (out of memory). */
BanglaEngineHandle BanglaEngine_Create(const EngineConfig* config);

/* Saves the learned data (merged with what other engines saved meanwhile) and
   frees the handle, whatever the save's outcome. An engine that learned
   nothing writes nothing. Any saver thread must have stopped calling the
   functions below before. */
void BanglaEngine_Destroy(BanglaEngineHandle engine);

/* A number that grows with every change to the learned data (a word learned,
   added, used or removed, a pair counted, a clear): a saver compares it to
   know when something changed. May be called from a saver thread. */
uint64_t BanglaEngine_GetLearnedDataChangeCount(BanglaEngineHandle engine);

/* Writes what changed in the learned data since the last save, merged with
   what other engines saved meanwhile, or, when the files cannot be written,
   into side files for a later save (noted in learned_data.log). Made for a
   saver thread: the changes are moved out under a lock held only for that,
   and the files are written outside it, so the thread using the handle never
   waits on the disk. Writes nothing when nothing changed. False when a file
   could not be written. */
bool BanglaEngine_SaveLearnedChanges(BanglaEngineHandle engine);

/* The composition: the Latin letters of the word being typed. */
void BanglaEngine_ResetComposition(BanglaEngineHandle engine);
void BanglaEngine_AppendChar(BanglaEngineHandle engine, char c);
/* Removes the last byte; an empty composition stays empty. */
void BanglaEngine_DeleteChar(BanglaEngineHandle engine);
/* A null text empties the composition. */
void BanglaEngine_SetComposition(BanglaEngineHandle engine, const char* text);
/* The engine's own buffer, valid until the composition changes or the handle is
   destroyed. */
const char* BanglaEngine_GetComposition(BanglaEngineHandle engine);

/* Forgets the preceding words and the composition; learned data stays. */
void BanglaEngine_ResetContext(BanglaEngineHandle engine);

/* Entries of the lexicon file in use; 0 when no lexicon file could be loaded
   or it holds none: candidates are then only phonetic spellings and personal
   words. */
uint32_t BanglaEngine_LexiconEntryCount(BanglaEngineHandle engine);

/* The learning switch, initially on. */
void BanglaEngine_SetLearningEnabled(BanglaEngineHandle engine, bool enabled);
bool BanglaEngine_IsLearningEnabled(BanglaEngineHandle engine);

/* Explicit user words. False for a null or empty roman or text. */
bool BanglaEngine_AddUserWord(BanglaEngineHandle engine, const char* roman, const char* text);
bool BanglaEngine_RemoveUserWord(BanglaEngineHandle engine, const char* roman, const char* text);
/* Appends an explicit user word with this frequency to the user dictionary
   file at userDictPath, for the engines created after it (a running engine
   gets it with BanglaEngine_AddUserWord). Taken under the lock that every
   engine's save of that file holds, so that no engine's read-merge-write of the
   file loses the line. Needs no handle. False for a null or empty argument, a
   roman or text holding a tab, line break or other control character, or when
   the lock cannot be had or the line cannot be written. */
bool BanglaEngine_AppendUserWordToFile(const char* userDictPath, const char* roman,
                                       const char* text, uint32_t frequency);
/* Removes every explicit user word; returns how many. */
size_t BanglaEngine_ClearUserWords(BanglaEngineHandle engine);
/* Removes every auto-learned word (returns how many) and every learned word pair. */
size_t BanglaEngine_ClearLearnedData(BanglaEngineHandle engine);
/* Removes every personal word and every learned word pair. */
void BanglaEngine_ClearAllPersonalData(BanglaEngineHandle engine);
/* The personal words stored under roman, most frequent first; returns how many
   records were written (at most capacity). */
int32_t BanglaEngine_GetUserWords(BanglaEngineHandle engine, const char* roman, EngineUserWord* out,
                                  int32_t capacity);

/* The ranked Bengali candidates for the composition. The list is overwritten
   whole; an empty composition gives count 0. */
void BanglaEngine_GetCandidates(BanglaEngineHandle engine, EngineCandidateList* list);

/* Records a committed word as the latest preceding word and, while learning is
   on, counts the word pairs it ends. Empties the composition. */
void BanglaEngine_CommitWord(BanglaEngineHandle engine, const char* word);

/* Learns the user's choice of word for the typed roman text (while learning is
   on, and only for a word holding a Bengali letter) and records it as the latest
   preceding word. True when the personal dictionary stored or bumped it. */
bool BanglaEngine_LearnWord(BanglaEngineHandle engine, const char* roman, const char* word);

/* Transliterates a space-separated Latin sentence into dst (dstLen bytes, the
   rest zero-filled). Learns nothing, so it may run on every keystroke. False
   when an argument is null, dstLen is 0 or the result does not fit; dst is then
   left as it was. */
bool BanglaEngine_TransliterateSentence(BanglaEngineHandle engine, const char* roman, char* dst,
                                        uint64_t dstLen);

/* The words most likely to follow the preceding words; input stays empty. */
void BanglaEngine_GetNextWordPredictions(BanglaEngineHandle engine, EngineCandidateList* list);

#ifdef __cplusplus
}
#endif

#endif /* QORVA_ENGINE_BANGLA_ENGINE_H */
