#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>

namespace bangla {

// The word pairs learned from what the user committed: a first key (one word,
// or the two preceding words joined by one space), the word that followed it,
// and how often it did.
//
// Stored in user_bigrams.tsv, one pair a line: first TAB follower TAB count.
// Several engines (one per application using the input method, plus the
// universal program) share that file, so a save never simply writes this
// engine's memory: it re-reads the file, applies what this engine counted or
// cleared since it loaded, and replaces the file in one step. Counts made
// meanwhile by other engines survive, and a crash mid-write leaves the old file.
class LearnedWordPairs {
public:
    using FollowerCounts = std::unordered_map<std::string, uint32_t>;
    using PairCounts = std::unordered_map<std::string, FollowerCounts>;

    // Adds 1 to the pair (wrapping at 2^32).
    void Count(const std::string& firstKey, const std::string& follower);

    // The followers of the key with their counts, or null.
    const FollowerCounts* FollowersOf(const std::string& firstKey) const;

    bool Empty() const { return pairs.empty(); }

    // Forgets every pair; the next save empties the file too, keeping only
    // pairs counted after this call.
    void Clear();

    // Replaces the pairs with the file's and starts a new session. False when
    // the file cannot be opened; the pairs are then empty.
    bool LoadFromFile(const std::string& utf8Path);

    // Writes the file's current pairs with this session's changes applied,
    // through a temporary file moved over the old one. The caller serialises
    // writers. On success the pairs become what was written and a new session
    // starts; on failure the file and the session are left as they were.
    bool SaveMergedToFile(const std::string& utf8Path);

    // Adds the pairs of one line to counts; malformed lines, pairs of equal or
    // empty words and zero counts are ignored.
    static void ParseLine(const std::string& line, PairCounts& counts);

private:
    static PairCounts ReadFile(const std::string& utf8Path, bool* opened);
    static bool WriteFile(const std::string& utf8Path, const PairCounts& counts);
    static void AddCount(PairCounts& counts, const std::string& firstKey,
                         const std::string& follower, uint32_t count);

    PairCounts pairs;          // what lookups see
    PairCounts sessionCounts;  // counted since the last load or save
    bool clearedInSession = false;
};

// Reads one line of a text file without its "\n" (and without a "\r" before
// it, so files written on the other platform read the same); false at the end.
bool ReadTextLine(std::FILE* file, std::string& line);

}  // namespace bangla
