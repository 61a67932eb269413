// Feeds arbitrary bytes, as a damaged disk or another program could leave
// them, to the readers of the learned data: user_dict.txt, user_bigrams.tsv
// and the side files of both. No input may crash, and whatever loads must
// survive a save: loading what was saved gives the same words and pairs
// again, with the side files taken in. The line reader must also cut the
// same lines however the bytes arrive in pieces.
//
// Input layout: byte 0 picks the size of the pieces, bytes 1 to 3 where the
// rest is cut into the four files, each a share (of 255) of what remains.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "common/file_path.h"
#include "engine/learned_data_format.h"
#include "engine/learned_word_pairs.h"
#include "engine/pending_changes.h"
#include "engine/personal_dictionary.h"
#include "tools/lib/temp_folder.h"

namespace {

using Entry = std::tuple<std::string, std::string, uint32_t, uint64_t, bool>;

std::vector<std::string> SplitLines(const std::string& bytes, std::size_t pieceSize) {
    std::vector<std::string> lines;
    bangla::LineSplitter splitter(64, [&lines](const std::string& line) { lines.push_back(line); });
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize)
        splitter.Feed(bytes.data() + at, std::min(pieceSize, bytes.size() - at));
    splitter.Finish();
    return lines;
}

void CheckPiecesDoNotMatter(const std::string& bytes, std::size_t pieceSize) {
    if (SplitLines(bytes, pieceSize) != SplitLines(bytes, bytes.size() + 1)) __builtin_trap();
}

std::vector<Entry> Words(const bangla::PersonalDictionary& dictionary) {
    std::vector<Entry> words;
    for (const bangla::UserWordEntry& e : dictionary.GetAllEntries())
        words.emplace_back(e.roman, e.text, e.frequency, e.lastUsed, e.autoLearned);
    std::sort(words.begin(), words.end());
    return words;
}

std::vector<std::tuple<std::string, std::string, uint32_t>> Pairs(
    const bangla::LearnedWordPairs& pairs, const std::vector<std::string>& keys) {
    std::vector<std::tuple<std::string, std::string, uint32_t>> all;
    for (const std::string& key : keys) {
        if (const auto* followers = pairs.FollowersOf(key)) {
            for (const auto& [follower, count] : *followers) all.emplace_back(key, follower, count);
        }
    }
    std::sort(all.begin(), all.end());
    return all;
}

// Every first key a pairs file could hold: the first field of each line.
std::vector<std::string> FirstFields(const std::string& bytes) {
    std::vector<std::string> keys;
    for (const std::string& line : SplitLines(bytes, bytes.size() + 1))
        keys.push_back(line.substr(0, line.find('\t')));
    return keys;
}

void CheckDictionarySurvivesASave(const std::string& path) {
    bangla::PersonalDictionary loaded;
    loaded.LoadFromFile(path);
    bangla::PersonalDictionary saver;
    saver.LoadFromFile(path);
    if (!saver.MergeChangesIntoFile(path)) __builtin_trap();
    bangla::PersonalDictionary reloaded;
    reloaded.LoadFromFile(path);
    if (Words(reloaded) != Words(loaded) || !bangla::PendingChangesPaths(path).empty())
        __builtin_trap();
}

void CheckPairsSurviveASave(const std::string& path, const std::vector<std::string>& keys) {
    bangla::LearnedWordPairs loaded;
    loaded.LoadFromFile(path);
    bangla::LearnedWordPairs saver;
    saver.LoadFromFile(path);
    if (!saver.SaveMergedToFile(path)) __builtin_trap();
    bangla::LearnedWordPairs reloaded;
    reloaded.LoadFromFile(path);
    if (Pairs(reloaded, keys) != Pairs(loaded, keys) || !bangla::PendingChangesPaths(path).empty())
        __builtin_trap();
    for (const std::string& key : keys) loaded.FollowersByUse(key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bangla::TempFolder s_folder("learned_data_fuzz");
    if (size < 4) return 0;
    const std::size_t pieceSize = 1 + data[0] % 64;
    const std::string rest(reinterpret_cast<const char*>(data) + 4, size - 4);
    const std::size_t cutA = rest.size() * data[1] / 255;
    const std::size_t cutB = cutA + (rest.size() - cutA) * data[2] / 255;
    const std::size_t cutC = cutB + (rest.size() - cutB) * data[3] / 255;
    const std::string dictBytes = rest.substr(0, cutA);
    const std::string dictSideBytes = rest.substr(cutA, cutB - cutA);
    const std::string pairsBytes = rest.substr(cutB, cutC - cutB);
    const std::string pairsSideBytes = rest.substr(cutC);

    CheckPiecesDoNotMatter(rest, pieceSize);

    const std::string dictPath = s_folder.File("user_dict.txt");
    const std::string pairsPath = s_folder.File("user_bigrams.tsv");
    if (!qorva::WriteWholeFile(dictPath, dictBytes) ||
        !qorva::WriteWholeFile(bangla::NewPendingChangesPath(dictPath), dictSideBytes) ||
        !qorva::WriteWholeFile(pairsPath, pairsBytes) ||
        !qorva::WriteWholeFile(bangla::NewPendingChangesPath(pairsPath), pairsSideBytes)) {
        __builtin_trap();
    }
    CheckDictionarySurvivesASave(dictPath);
    std::vector<std::string> keys = FirstFields(pairsBytes);
    for (std::string& key : FirstFields(pairsSideBytes)) keys.push_back(std::move(key));
    CheckPairsSurviveASave(pairsPath, keys);
    return 0;
}
