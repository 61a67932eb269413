#include "engine/bangla_engine_impl.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/file_path.h"
#include "engine/engine_text.h"
#include "engine/learned_data_lock.h"

namespace bangla {

namespace {

constexpr const char* kRepairMarkerName = "learned_repaired_v2.flag";
constexpr const char* kRepairMarkerLine = "learned entries repaired against the fixed lexicon\n";
constexpr const char* kRepairBackupSuffix = ".pre-lexicon-fix.bak";
constexpr const char* kLearnedPairsName = "user_bigrams.tsv";

std::string CopyOrEmpty(const char* text) { return text == nullptr ? std::string() : text; }

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::FILE* file = qorva::OpenFile(path, "rb");
    if (file == nullptr) return false;
    bytes.clear();
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, read);
    const bool complete = std::ferror(file) == 0;
    std::fclose(file);
    return complete;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, const char* mode) {
    std::FILE* file = qorva::OpenFile(path, mode);
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

void SetDefaultConfig(EngineConfig& config) {
    config.autoCorrect = false;
    config.autoCorrectThreshold = 0.85f;
    config.maxCandidates = 5;
    config.lexiconPath = nullptr;
    config.userDictPath = nullptr;
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

BanglaEngine::BanglaEngine(const EngineConfig* given) {
    AdoptConfig(given);
    lexicon.LoadDefaultVocabulary();
    if (!lexiconPath.empty()) lexicon.LoadFromFile(lexiconPath);
    bigLexicon = lexicon.EntryCount() > kBigLexiconEntries;
    if (userDictPath.empty()) return;

    personalDictionary.LoadFromFile(userDictPath);
    const std::string folder = FolderOf(userDictPath);
    userBigramsPath = folder + kLearnedPairsName;
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

// Words learned before the lexicon was fixed may be misspellings the user
// never chose. An auto-learned word whose key's most frequent lexicon word
// differs is dropped once per data folder, after a backup of the file. Words
// the user added explicitly are the user's own choice and stay.
void BanglaEngine::RepairPersonalDictionaryOnce(const std::string& folder) {
    const std::string markerPath = folder + kRepairMarkerName;
    if (qorva::FileExists(markerPath)) return;

    std::vector<UserWordEntry> misspelt;
    for (const UserWordEntry& entry : personalDictionary.GetAllEntries()) {
        if (!entry.autoLearned) continue;
        const std::vector<LexiconEntry> known = lexicon.SearchRoman(entry.roman, 8);
        if (!known.empty() && known.front().word != entry.text) misspelt.push_back(entry);
    }
    if (!misspelt.empty()) {
        std::string previousFile;
        if (ReadWholeFile(userDictPath, previousFile)) {
            WriteWholeFile(userDictPath + kRepairBackupSuffix, previousFile, "wb");
        }
        for (const UserWordEntry& entry : misspelt)
            personalDictionary.RemoveWord(entry.roman, entry.text);
    }
    WriteWholeFile(markerPath, kRepairMarkerLine, "w");
}

bool BanglaEngine::SaveLearnedData() {
    if (userDictPath.empty()) return true;
    const LearnedDataLock lock(FolderOf(userDictPath));
    const bool pairsSaved = userBigrams.SaveMergedToFile(userBigramsPath);
    const bool wordsSaved = personalDictionary.MergeChangesIntoFile(userDictPath);
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
