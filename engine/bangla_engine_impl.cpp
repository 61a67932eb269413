#include "engine/bangla_engine_impl.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/engine_text.h"
#include "common/file_path.h"
#include "engine/learned_data_lock.h"
#include "engine/learned_data_log.h"
#include "engine/pending_changes.h"

namespace bangla {

namespace {

constexpr const char* kRepairMarkerName = "learned_repaired_v2.flag";
constexpr const char* kRepairMarkerLine = "learned entries repaired against the fixed lexicon";
constexpr const char* kRepairBackupSuffix = ".pre-lexicon-fix.bak";
constexpr const char* kLearnedPairsName = "user_bigrams.tsv";

std::string CopyOrEmpty(const char* text) { return text == nullptr ? std::string() : text; }

// The repair backs the dictionary up whole before it removes anything; one
// far larger than any real one is damage, and is neither copied nor repaired.
constexpr std::size_t kMaxBackupBytes = 16 * 1024 * 1024;
constexpr uint64_t kAgreementSearch = 8;

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::FILE* file = qorva::OpenFile(path, "rb");
    if (file == nullptr) return false;
    bytes.clear();
    char buffer[4096];
    std::size_t read = 0;
    while (bytes.size() <= kMaxBackupBytes &&
           (read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, read);
    }
    const bool complete = std::ferror(file) == 0 && bytes.size() <= kMaxBackupBytes;
    std::fclose(file);
    return complete;
}

}  // namespace

void SetDefaultConfig(EngineConfig& config) {
    config.autoCorrect = false;
    config.autoCorrectThreshold = 0.85f;
    config.maxCandidates = 5;
    config.lexiconPath = nullptr;
    config.userDictPath = nullptr;
}

BanglaEngine::BanglaEngine(const EngineConfig* given) {
    AdoptConfig(given);
    lexicon.LoadDefaultVocabulary();
    if (!lexiconPath.empty()) lexicon.LoadFromFile(lexiconPath);
    bigLexicon = lexicon.EntryCount() > kBigLexiconEntries;
    if (userDictPath.empty()) return;

    const std::string folder = FolderOf(userDictPath);
    userBigramsPath = folder + kLearnedPairsName;
    // Read under the writers' lock, so that the files are read between two
    // saves, never during one; when the lock cannot be had the files are
    // still whole (every save replaces them in one step), so read anyway.
    const LearnedDataLock lock(folder);
    personalDictionary.LoadFromFile(userDictPath);
    if (bigLexicon) RepairPersonalDictionaryOnce(folder);
    userBigrams.LoadFromFile(userBigramsPath);
}

BanglaEngine::~BanglaEngine() {
    // A destructor must not throw, and the handle is freed whatever happens.
    try {
        SaveLearnedData();
    } catch (...) {
    }
}

void BanglaEngine::AdoptConfig(const EngineConfig* given) {
    SetDefaultConfig(config);
    if (given != nullptr) {
        config = *given;
        lexiconPath = CopyOrEmpty(given->lexiconPath);
        userDictPath = CopyOrEmpty(given->userDictPath);
    }
    config.lexiconPath = nullptr;
    config.userDictPath = nullptr;
    // The result records have 16 slots; a larger or negative setting must
    // never let a producer write past them.
    config.maxCandidates =
        std::clamp<int32_t>(config.maxCandidates, 0, BANGLA_ENGINE_MAX_CANDIDATES);
}

bool BanglaEngine::AgreesWithLexicon(const UserWordEntry& word) const {
    if (!bigLexicon || !word.autoLearned) return true;
    const std::vector<LexiconEntry> known = lexicon.SearchRoman(word.roman, kAgreementSearch);
    if (known.empty()) return true;
    const LexiconEntry* found = lexicon.Find(word.text);
    if (found == nullptr) return false;
    const uint64_t frequency = found->frequency;
    uint64_t highest = 0;
    for (const LexiconEntry& e : known) highest = std::max<uint64_t>(highest, e.frequency);
    return 2 * frequency >= highest;
}

// Words learned before the lexicon was fixed may be misspellings the user
// never chose. Once per data folder, the learned words that the lexicon
// contradicts (the very words candidate generation no longer offers) are
// dropped, after a backup of the file. The marker is written first: a repair
// that cannot record itself is tried again at the next start instead of
// being repeated on the words, and one whose backup fails removes nothing.
void BanglaEngine::RepairPersonalDictionaryOnce(const std::string& folder) {
    const std::string markerPath = folder + kRepairMarkerName;
    if (qorva::FileExists(markerPath)) return;

    std::vector<UserWordEntry> contradicted;
    for (const UserWordEntry& entry : personalDictionary.GetAllEntries()) {
        if (!AgreesWithLexicon(entry)) contradicted.push_back(entry);
    }
    if (!qorva::WriteWholeFile(markerPath, std::string(kRepairMarkerLine) + kLineEnd)) return;
    if (contradicted.empty()) return;
    std::string previousFile;
    if (!ReadWholeFile(userDictPath, previousFile) ||
        !qorva::WriteWholeFile(userDictPath + kRepairBackupSuffix, previousFile)) {
        return;
    }
    for (const UserWordEntry& entry : contradicted)
        personalDictionary.RemoveWord(entry.roman, entry.text);
}

bool BanglaEngine::SaveLearnedData() { return SaveLearnedFiles(personalDictionary, userBigrams); }

bool BanglaEngine::SaveLearnedChanges() {
    if (userDictPath.empty()) return true;
    PersonalDictionary words;
    LearnedWordPairs pairs;
    personalDictionary.MoveChangesTo(words);
    userBigrams.MoveSessionTo(pairs);
    return SaveLearnedFiles(words, pairs);
}

uint64_t BanglaEngine::LearnedDataChangeCount() const {
    return personalDictionary.ChangeCount() + userBigrams.ChangeCount();
}

bool BanglaEngine::SaveLearnedFiles(PersonalDictionary& words, LearnedWordPairs& pairs) const {
    if (userDictPath.empty()) return true;
    // Changes wait to be merged in this engine or in side files (its own after a failed save, or
    // other engines'). With none the files stay as they are, and no other engine waits for the
    // lock.
    const bool wordsChanged = words.HasChanges() || !PendingChangesPaths(userDictPath).empty();
    const bool pairsChanged = pairs.HasChanges() || !PendingChangesPaths(userBigramsPath).empty();
    if (!wordsChanged && !pairsChanged) return true;
    const std::string folder = FolderOf(userDictPath);
    const LearnedDataLock lock(folder);
    // Without the lock a shared file is never rewritten: another engine may
    // be merging into it this moment. What this engine learned then waits in
    // side files of its own, as it does when a file cannot be read or written.
    const bool pairsSaved =
        !pairsChanged || (lock.Held() && pairs.SaveMergedToFile(userBigramsPath));
    const bool wordsSaved =
        !wordsChanged || (lock.Held() && words.MergeChangesIntoFile(userDictPath));
    if (!pairsSaved) {
        const bool keptAside = pairs.SavePendingChanges(userBigramsPath, lock.Held());
        LogUnsavedLearnedData(folder, kLearnedPairsName, lock.Held(), keptAside);
    }
    if (!wordsSaved) {
        const bool keptAside = words.SavePendingChanges(userDictPath, lock.Held());
        LogUnsavedLearnedData(folder, userDictPath.substr(folder.size()), lock.Held(), keptAside);
    }
    return pairsSaved && wordsSaved;
}

void BanglaEngine::ResetContext() {
    contextWords.clear();
    composition.clear();
}

void BanglaEngine::AppendContextWord(const std::string& word) {
    contextWords.push_back(word);
    if (contextWords.size() > kMaxContextWords) contextWords.erase(contextWords.begin());
}

int32_t BanglaEngine::GetUserWords(const std::string& roman, EngineUserWord* out,
                                   int32_t capacity) const {
    if (out == nullptr || capacity <= 0) return 0;
    std::vector<UserWordEntry> words = personalDictionary.GetWordsByRomanKey(roman);
    std::stable_sort(
        words.begin(), words.end(),
        [](const UserWordEntry& a, const UserWordEntry& b) { return a.frequency > b.frequency; });
    const std::size_t n = std::min(words.size(), static_cast<std::size_t>(capacity));
    for (std::size_t i = 0; i < n; ++i) {
        CopyTextField(words[i].text, out[i].text);
        out[i].frequency = words[i].frequency;
    }
    return static_cast<int32_t>(n);
}

}  // namespace bangla
