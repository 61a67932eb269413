#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/learned_data_format.h"

namespace bangla {

// One of the user's own words.
struct UserWordEntry {
    std::string roman;         // the Latin key it was stored under, as given
    std::string text;          // the Bengali word, UTF-8; unique in the dictionary
    uint32_t frequency = 0;    // use count
    uint64_t lastUsed = 0;     // seconds since 1970-01-01 UTC; 0 when unknown
    bool autoLearned = false;  // learned from a commit, not added by the user
};

// The user's words, each under the roman key typed for it, kept in
// user_dict.txt: one line per word, "roman TAB text TAB frequency TAB
// lastUsed TAB flag" with flag "1" for a learned and "0" for an explicit
// word; lines with only the first two or three columns load with defaults.
//
// Every public operation holds one mutex for its whole duration, so the
// dictionary may be shared between threads.
//
// Several programs keep a dictionary of the same file, and the add-word
// dialog appends to the file while they run. So besides its words the
// dictionary records what changed since it was loaded (words added, used,
// removed, cleared), and MergeChangesIntoFile replays exactly those changes
// onto what the file holds at that moment instead of overwriting it.
class PersonalDictionary {
public:
    // Longest roman key or word that is stored; longer ones are refused.
    static constexpr std::size_t kMaxFieldBytes = 4096;

    PersonalDictionary() = default;
    PersonalDictionary(const PersonalDictionary&) = delete;
    PersonalDictionary& operator=(const PersonalDictionary&) = delete;

    // Adds a new word with count 1, or counts a stored one again (an explicit
    // add makes a learned word explicit, never the reverse; a stored word
    // keeps its first roman key). False for an empty, over-long or non-UTF-8
    // argument or one holding control characters, which the file could not
    // carry.
    bool AddWord(const std::string& roman, const std::string& text, bool autoLearned);
    // Counts a stored word again; false when it is not stored. While the
    // file could not be read, the use of a word not stored is kept for the
    // next merge all the same, as the file may hold the word.
    bool IncrementFrequency(const std::string& text);
    // Removes the word whatever its own key, and unlists it from `roman`.
    bool RemoveWord(const std::string& roman, const std::string& text);
    // Each returns the number of words removed.
    std::size_t ClearAll();
    std::size_t ClearAutoLearned();
    std::size_t ClearExplicitUserWords();

    // Copies of the words listed under roman, in the order they were listed.
    std::vector<UserWordEntry> GetWordsByRomanKey(const std::string& roman) const;
    std::vector<UserWordEntry> GetAllEntries() const;
    // Per word min(1, log10(frequency + 1) / 3 + 0.2).
    std::unordered_map<std::string, float> GetUserBoosts() const;

    // Writes every word. The file is replaced only once the new content is
    // completely written, so a failure leaves the previous file as it was;
    // false on any failure.
    bool SaveToFile(const std::string& utf8Path) const;
    // Replaces the words with the file's, with the changes that other
    // dictionaries left in side files of it (see pending_changes.h) applied;
    // malformed lines are skipped. False, with the words unchanged, when the
    // file cannot be opened or read.
    bool LoadFromFile(const std::string& utf8Path);
    // Reads the file as it is now, applies the changes of its side files and
    // the changes made here since the last load, save or merge, writes the
    // result like SaveToFile, deletes the side files it took in and adopts
    // the result as the dictionary's content. A missing file counts as empty.
    // False, with the words and the recorded changes kept, when the file
    // exists but cannot be read or the result cannot be written. The caller
    // holds the writers' lock.
    bool MergeChangesIntoFile(const std::string& utf8Path);
    // Writes the changes made here since the last load, save or merge to a
    // side file of the file, for a later merge, and forgets them. With
    // gatherOthers (the caller holds the lock) the other side files are taken
    // into this one and deleted, so that they do not pile up while the file
    // cannot be written.
    bool SavePendingChanges(const std::string& utf8Path, bool gatherOthers);

    // Appends one explicit word to the file, which is created when missing, as the line "roman
    // TAB text TAB frequency" (after a line end when the file's last line has none), without
    // loading it: the add-word dialog's way of giving every engine a word. The caller holds the
    // writers' lock. False for an empty field or one the file could not carry, or when the line
    // could not be written.
    static bool AppendWordToFile(const std::string& utf8Path, const std::string& roman,
                                 const std::string& text, uint32_t frequency);

private:
    enum class ChangeKind { Add, Use, Remove, ClearAll, ClearAutoLearned, ClearExplicit };

    // One recorded change. Uses of a word fold into its pending Add or Use
    // record as a count, so a session's journal stays about as small as the
    // set of words it touched.
    struct Change {
        ChangeKind kind = ChangeKind::ClearAll;
        std::string roman;
        std::string text;
        bool autoLearned = false;
        uint32_t count = 0;
        uint64_t time = 0;
    };

    void AddLocked(const std::string& roman, const std::string& text, bool autoLearned,
                   uint32_t count, uint64_t time);
    bool UseLocked(const std::string& text, uint32_t count, uint64_t time);
    bool RemoveLocked(const std::string& roman, const std::string& text);
    std::size_t ClearLocked(ChangeKind kind);
    std::size_t ClearAndRecord(ChangeKind kind);
    void StoreLoadedLocked(UserWordEntry entry);
    void RebuildRomanIndexLocked();
    void ApplyLocked(const Change& change);

    void RecordUseLocked(ChangeKind kind, const std::string& roman, const std::string& text,
                         bool autoLearned, uint64_t time);
    void RecordLocked(Change change);
    void ForgetChangesLocked() const;

    static std::string FormatChange(const Change& change);
    static bool ParseChange(const std::string& line, Change& change);
    static bool ReadChangesFile(const std::string& utf8Path, std::vector<Change>& into);

    FileReadResult ReadFileLocked(const std::string& utf8Path);
    bool WriteFileLocked(const std::string& utf8Path) const;

    mutable std::mutex mutex;
    std::unordered_map<std::string, UserWordEntry> entries;
    std::unordered_map<std::string, std::vector<std::string>> romanIndex;
    // Changes since the file was last read or written. Saving makes the file
    // match memory, so even the const SaveToFile starts a new journal.
    mutable std::vector<Change> journal;
    // Per word, the journal record that further uses of it fold into.
    mutable std::unordered_map<std::string, std::size_t> openRecordOfText;
    // The file exists but could not be read when last loaded.
    bool fileUnread = false;
};

}  // namespace bangla
