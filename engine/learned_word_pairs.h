#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/learned_data_format.h"

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
//
// What is kept is bounded, so that years of typing or a damaged file cannot
// slow typing down or fill memory. The file's line order is its memory of
// recency: a save writes the pairs counted since the last save first, then
// the file's pairs in their order. Once a bound is reached, the pairs just
// counted stay, and the least used of the older half of the rest go first, so
// that a full file still learns the user's new phrases and an old habit
// fades.
struct TrimRank;

class LearnedWordPairs {
public:
    using FollowerCounts = std::unordered_map<std::string, uint32_t>;
    using PairCounts = std::unordered_map<std::string, FollowerCounts>;

    // Longest word of a pair; a first key of two words is two of them and a space.
    static constexpr std::size_t kMaxWordBytes = 256;
    static constexpr std::size_t kMaxFirstKeyBytes = 2 * kMaxWordBytes + 1;
    // A line holds a first key, a follower and a count; anything longer is damage.
    static constexpr std::size_t kMaxLineBytes = kMaxFirstKeyBytes + kMaxWordBytes + 32;
    static constexpr std::size_t kMaxFollowersPerKey = 1000;
    static constexpr std::size_t kMaxPairs = 100000;

    // One follower of a key with its count, in FollowersByUse.
    struct FollowerUse {
        const std::string* follower;
        uint32_t count;
    };

    // Adds 1 to the pair; a count at its maximum stays there. A pair with an
    // empty, equal or over-long word is not counted.
    void Count(const std::string& firstKey, const std::string& follower);

    // The followers of the key with their counts, or null.
    const FollowerCounts* FollowersOf(const std::string& firstKey) const;

    // The followers of the key, most used first (equal counts in byte order);
    // valid until the pairs next change. Sorted once per change of the key,
    // so that a keystroke can weigh the few most used followers of a word
    // without walking all of them.
    const std::vector<FollowerUse>& FollowersByUse(const std::string& firstKey) const;

    bool Empty() const { return pairs.counts.empty(); }

    // Forgets every pair; the next save empties the file too, keeping only
    // pairs counted after this call.
    void Clear();

    // Whether anything was counted or cleared since the last load or save.
    // The session's changes are guarded by a lock of their own, so that this,
    // ChangeCount and MoveSessionTo may be called from another thread while
    // the pairs are in use.
    bool HasChanges() const;
    // How many pairs were counted or clears made since construction; never falls.
    uint64_t ChangeCount() const;
    // Hands this session's changes to an empty object, which can save them
    // while this one goes on being used, and starts a new session here.
    void MoveSessionTo(LearnedWordPairs& carrier);

    // Replaces the pairs with the file's, plus the changes other engines left
    // in side files, and starts a new session.
    FileReadResult LoadFromFile(const std::string& utf8Path);

    // Writes the file's current pairs with every side file's changes and this
    // session's applied, through a temporary file moved over the old one, and
    // deletes the side files it took in. The caller holds the writers' lock.
    // On success the pairs become what was written and a new session starts;
    // on failure (a file that exists but cannot be read is never overwritten)
    // the file and the session are left as they were.
    bool SaveMergedToFile(const std::string& utf8Path);

    // Writes this session's changes to a side file of the file instead, for a
    // later save to merge, and starts a new session. With gatherOthers (the
    // caller holds the lock) the other side files are taken into this one and
    // deleted, so that they do not pile up while the file cannot be written.
    bool SavePendingChanges(const std::string& utf8Path, bool gatherOthers);

    // Adds the pairs of one line to counts; malformed lines, pairs of equal,
    // empty or over-long words and zero counts are ignored, and a count too
    // large for 32 bits reads as the largest.
    static void ParseLine(const std::string& line, PairCounts& counts);

private:
    // Pair counts held within the bounds.
    struct BoundedPairs {
        PairCounts counts;
        std::size_t total = 0;
        // How far down the file each pair read from it was (1 for its first
        // line), by the address of its follower in counts; a pair without an
        // entry was counted since, or the ages are not tracked.
        std::unordered_map<const std::string*, uint32_t> ages;
        uint32_t oldestAge = 0;

        // Adds count to the pair, which then counts as recent. When a bound
        // is passed by a margin, the least used pairs go, never this one; the
        // margin keeps trimming rare. True when pairs were dropped.
        bool Add(const std::string& firstKey, const std::string& follower, uint32_t count);
        // Adds a pair read from the file's line `age`, which keeps that age.
        void AddAged(const std::string& firstKey, const std::string& follower, uint32_t count,
                     uint32_t age);
        void AddAll(const PairCounts& more);
        void ForgetAges();
        // Down to the bounds exactly.
        void Trim();
        // Down to the bound on the key's followers, or on all pairs; the
        // spared pair (when given) is kept. True when pairs were dropped.
        bool TrimKey(const std::string& firstKey, const std::string* spare);
        bool TrimAll(const std::string* spareKey, const std::string* spare);

    private:
        // Adds a pair of that age (0: recent) and keeps the bounds.
        bool Insert(const std::string& firstKey, const std::string& follower, uint32_t count,
                    uint32_t age);
        TrimRank RankOf(const std::string& firstKey, const std::string& follower, uint32_t count,
                        bool spared) const;
    };

    // What a session (or a side file) did to the pairs: cleared them or not,
    // then counted these.
    struct Changes {
        bool cleared = false;
        BoundedPairs counted;

        void ApplyTo(BoundedPairs& target) const;
        // These changes followed by later ones.
        void Append(const Changes& later);
    };

    // withAges: each pair's line number is kept as its age, for a trim by recency.
    static FileReadResult ReadPairsFile(const std::string& utf8Path, BoundedPairs& into,
                                        bool withAges);
    static bool ReadChangesFile(const std::string& utf8Path, Changes& into);
    static std::string FormatPairs(const PairCounts& counts);
    // The pairs, the recent ones first, then by age.
    static std::string FormatByRecency(const BoundedPairs& pairs);
    static std::string FormatChanges(const Changes& changes);
    void StartSession(BoundedPairs adopted);

    BoundedPairs pairs;  // what lookups see
    mutable std::mutex sessionMutex;
    Changes session;           // since the last load or save; under sessionMutex
    uint64_t changeCount = 0;  // under sessionMutex
    mutable std::unordered_map<std::string, std::vector<FollowerUse>> byUse;
};

// Reads one line of a text file without its "\n" (and without a "\r" before
// it, so files written on the other platform read the same); false at the end.
bool ReadTextLine(std::FILE* file, std::string& line);

}  // namespace bangla
