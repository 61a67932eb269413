// The C interface: each function checks its arguments, makes one call on the
// engine object and catches everything, because the callers are COM methods
// inside other people's applications and no exception may reach them.
#include "engine/bangla_engine.h"

#include <new>
#include <string>

#include "engine/bangla_engine_impl.h"
#include "engine/learned_data_lock.h"
#include "engine/personal_dictionary.h"

using bangla::BanglaEngine;

namespace {

BanglaEngine* EngineOf(BanglaEngineHandle handle) {
    return reinterpret_cast<BanglaEngine*>(handle);
}

template <typename Result, typename Action>
Result Guarded(Result fallback, Action action) noexcept {
    try {
        return action();
    } catch (...) {
        return fallback;
    }
}

template <typename Action>
void Guarded(Action action) noexcept {
    try {
        action();
    } catch (...) {
    }
}

const char kEmptyComposition[] = "";

}  // namespace

extern "C" {

void BanglaEngine_GetDefaultConfig(EngineConfig* config) {
    if (config != nullptr) bangla::SetDefaultConfig(*config);
}

BanglaEngineHandle BanglaEngine_Create(const EngineConfig* config) {
    return Guarded<BanglaEngineHandle>(
        nullptr, [&] { return reinterpret_cast<BanglaEngineHandle>(new BanglaEngine(config)); });
}

void BanglaEngine_Destroy(BanglaEngineHandle engine) {
    Guarded([&] { delete EngineOf(engine); });
}

uint64_t BanglaEngine_GetLearnedDataChangeCount(BanglaEngineHandle engine) {
    if (engine == nullptr) return 0;
    return Guarded<uint64_t>(0, [&] { return EngineOf(engine)->LearnedDataChangeCount(); });
}

bool BanglaEngine_SaveLearnedChanges(BanglaEngineHandle engine) {
    if (engine == nullptr) return false;
    return Guarded(false, [&] { return EngineOf(engine)->SaveLearnedChanges(); });
}

void BanglaEngine_ResetComposition(BanglaEngineHandle engine) {
    if (engine != nullptr) EngineOf(engine)->composition.clear();
}

void BanglaEngine_AppendChar(BanglaEngineHandle engine, char c) {
    if (engine == nullptr) return;
    Guarded([&] { EngineOf(engine)->composition.push_back(c); });
}

void BanglaEngine_DeleteChar(BanglaEngineHandle engine) {
    if (engine == nullptr) return;
    std::string& composition = EngineOf(engine)->composition;
    if (!composition.empty()) composition.pop_back();
}

void BanglaEngine_SetComposition(BanglaEngineHandle engine, const char* text) {
    if (engine == nullptr) return;
    Guarded([&] { EngineOf(engine)->composition = text == nullptr ? "" : text; });
}

const char* BanglaEngine_GetComposition(BanglaEngineHandle engine) {
    return engine == nullptr ? kEmptyComposition : EngineOf(engine)->composition.c_str();
}

void BanglaEngine_ResetContext(BanglaEngineHandle engine) {
    if (engine != nullptr) EngineOf(engine)->ResetContext();
}

uint32_t BanglaEngine_LexiconEntryCount(BanglaEngineHandle engine) {
    return engine != nullptr ? EngineOf(engine)->lexicon.EntryCount() : 0;
}

void BanglaEngine_SetLearningEnabled(BanglaEngineHandle engine, bool enabled) {
    if (engine != nullptr) EngineOf(engine)->learningEnabled = enabled;
}

bool BanglaEngine_IsLearningEnabled(BanglaEngineHandle engine) {
    return engine != nullptr && EngineOf(engine)->learningEnabled;
}

bool BanglaEngine_AddUserWord(BanglaEngineHandle engine, const char* roman, const char* text) {
    if (engine == nullptr || roman == nullptr || text == nullptr) return false;
    return Guarded(
        false, [&] { return EngineOf(engine)->personalDictionary.AddWord(roman, text, false); });
}

bool BanglaEngine_AppendUserWordToFile(const char* userDictPath, const char* roman,
                                       const char* text, uint32_t frequency) {
    if (userDictPath == nullptr || *userDictPath == '\0' || roman == nullptr || text == nullptr)
        return false;
    return Guarded(false, [&] {
        const bangla::LearnedDataLock lock(bangla::FolderOf(userDictPath));
        return lock.Held() &&
               bangla::PersonalDictionary::AppendWordToFile(userDictPath, roman, text, frequency);
    });
}

bool BanglaEngine_RemoveUserWord(BanglaEngineHandle engine, const char* roman, const char* text) {
    if (engine == nullptr || roman == nullptr || text == nullptr) return false;
    return Guarded(false,
                   [&] { return EngineOf(engine)->personalDictionary.RemoveWord(roman, text); });
}

size_t BanglaEngine_ClearUserWords(BanglaEngineHandle engine) {
    if (engine == nullptr) return 0;
    return Guarded<size_t>(
        0, [&] { return EngineOf(engine)->personalDictionary.ClearExplicitUserWords(); });
}

size_t BanglaEngine_ClearLearnedData(BanglaEngineHandle engine) {
    if (engine == nullptr) return 0;
    return Guarded<size_t>(0, [&] {
        const size_t removed = EngineOf(engine)->personalDictionary.ClearAutoLearned();
        EngineOf(engine)->userBigrams.Clear();
        return removed;
    });
}

void BanglaEngine_ClearAllPersonalData(BanglaEngineHandle engine) {
    if (engine == nullptr) return;
    Guarded([&] {
        EngineOf(engine)->personalDictionary.ClearAll();
        EngineOf(engine)->userBigrams.Clear();
    });
}

int32_t BanglaEngine_GetUserWords(BanglaEngineHandle engine, const char* roman, EngineUserWord* out,
                                  int32_t capacity) {
    if (engine == nullptr || roman == nullptr) return 0;
    return Guarded<int32_t>(0,
                            [&] { return EngineOf(engine)->GetUserWords(roman, out, capacity); });
}

void BanglaEngine_GetCandidates(BanglaEngineHandle engine, EngineCandidateList* list) {
    if (engine == nullptr || list == nullptr) return;
    Guarded([&] { EngineOf(engine)->GetCandidates(*list); });
}

void BanglaEngine_CommitWord(BanglaEngineHandle engine, const char* word) {
    if (engine == nullptr || word == nullptr) return;
    Guarded([&] { EngineOf(engine)->CommitWord(word); });
}

bool BanglaEngine_LearnWord(BanglaEngineHandle engine, const char* roman, const char* word) {
    if (engine == nullptr || roman == nullptr || word == nullptr) return false;
    return Guarded(false, [&] { return EngineOf(engine)->LearnWord(roman, word); });
}

bool BanglaEngine_TransliterateSentence(BanglaEngineHandle engine, const char* roman, char* dst,
                                        uint64_t dstLen) {
    if (engine == nullptr || roman == nullptr) return false;
    return Guarded(false,
                   [&] { return EngineOf(engine)->TransliterateSentence(roman, dst, dstLen); });
}

void BanglaEngine_GetNextWordPredictions(BanglaEngineHandle engine, EngineCandidateList* list) {
    if (engine == nullptr || list == nullptr) return;
    Guarded([&] { EngineOf(engine)->GetNextWordPredictions(*list); });
}

}  // extern "C"
