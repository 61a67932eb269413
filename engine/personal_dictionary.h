#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/learned_data_format.h"

namespace bangla {

// One of the user's own words under one of its spellings.
struct UserWordEntry {
    std::string roman;         // the Latin key it was stored under, as given
    std::string text;          // the Bengali word, UTF-8; unique under its roman key
    uint32_t frequency = 0;    // use count
    uint64_t lastUsed = 0;     // seconds since 1970-01-01 UTC; 0 when unknown
    bool autoLearned = false;  // learned from a commit, not added by the user
    std::string moreColumns;   // what the line held after its known columns, kept as it was
};

// The user's words, each under the roman keys typed for it, kept in
// user_dict.txt: one line per spelling of a word, "roman TAB text TAB
// frequency TAB lastUsed TAB flag" with flag "1" for a learned and "0" for an
// explicit word; lines with only the first two or three columns load with
// defaults, and columns after the flag are kept.
//
// The file is the user's: a save keeps every line it holds in its place.
// A word's line that did not change is written back byte for byte; lines
// that are no word (comments, lines with a control character, invalid
// UTF-8 or a field too long) are kept as they are, and only a line too long
// to hold (see kMaxLineBytes) is moved to a side file, which
// learned_data.log names.
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
    // A line holds two fields and a few short numbers; a longer one is
    // damage (or an attack on the reader's memory) and is never held whole.
    static constexpr std::size_t kMaxLineBytes = 2 * kMaxFieldBytes + 128;

    PersonalDictionary() = default;
    PersonalDictionary(const PersonalDictionary&) = delete;
    PersonalDictionary& operator=(const PersonalDictionary&) = delete;

    // Adds a new word, or a new spelling of a stored word, with count 1, or
    // counts a stored spelling again (an explicit add makes a learned word
    // explicit, never the reverse). False for an empty, over-long or
    // non-UTF-8 argument or one holding control characters, which the file
    // could not carry.
    bool AddWord(const std::string& roman, const std::string& text, bool autoLearned);
    // Counts a stored word again, under its first spelling; false when it is
    // not stored. While the file could not be read, the use of a word not
    // stored is kept for the next merge all the same, as the file may hold
    // the word.
    bool IncrementFrequency(const std::string& text);
    // Removes the word's spelling `roman`, or, when it has no such spelling,
    // the word under every spelling.
    bool RemoveWord(const std::string& roman, const std::string& text);
    // Each returns the number of words removed.
    std::size_t ClearAll();
    std::size_t ClearAutoLearned();
    std::size_t ClearExplicitUserWords();

    // Copies of the words listed under roman, in the order they were listed.
    std::vector<UserWordEntry> GetWordsByRomanKey(const std::string& roman) const;
    std::vector<UserWordEntry> GetAllEntries() const;
    // Per word min(1, log10(frequency + 1) / 3 + 0.2), its spellings' counts added.
    std::unordered_map<std::string, float> GetUserBoosts() const;

    // Whether anything changed since the last load, save or merge: a save of
    // an unchanged dictionary would only rewrite the file.
    bool HasChanges() const;
    // How many changes were recorded since the dictionary was made; grows
    // with every change and never falls.
    uint64_t ChangeCount() const;
    // Hands the changes recorded since the last load, save or merge to an
    // empty dictionary, which can merge them into the file while this one
    // goes on being used, and forgets them here.
    void MoveChangesTo(PersonalDictionary& carrier);

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
    // Lines too long to hold go to a side file "<file>.overlong-<time>-<n>"
    // first, named in learned_data.log; when that fails nothing is written.
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

    // A stored spelling; while asRead, its line of the file is written back
    // as it was.
    struct Stored {
        UserWordEntry word;
        bool asRead = false;
    };
    // One line in its place: a spelling (by its key) with the text it was
    // read as (empty for one added since), or, without a key, a line that is
    // no word, kept as it was.
    struct FileLine {
        std::string key;
        std::string text;
    };

    static std::string KeyOf(const std::string& roman, const std::string& text);
    Stored* FirstSpellingLocked(const std::string& text);
    void AddLocked(const std::string& roman, const std::string& text, bool autoLearned,
                   uint32_t count, uint64_t time);
    bool UseLocked(const std::string& text, uint32_t count, uint64_t time);
    bool RemoveLocked(const std::string& roman, const std::string& text);
    std::size_t ClearLocked(ChangeKind kind);
    std::size_t ClearAndRecord(ChangeKind kind);
    void StoreLoadedLocked(UserWordEntry entry, const std::string& line,
                           std::unordered_map<std::string, std::size_t>& lineOfKey);
    void EraseLocked(const std::string& key);
    void RebuildIndexesLocked();
    void ApplyLocked(const Change& change);

    void RecordUseLocked(ChangeKind kind, const std::string& roman, const std::string& text,
                         bool autoLearned, uint64_t time);
    void RecordLocked(Change change);
    void ForgetChangesLocked() const;

    static std::string FormatChange(const Change& change);
    static bool ParseChange(const std::string& line, Change& change);
    static bool ReadChangesFile(const std::string& utf8Path, std::vector<Change>& into);

    // Reads the file; with setAsidePath, lines too long to hold are copied
    // there (false in setAsideFailed when that could not be done) and
    // counted in setAside.
    FileReadResult ReadFileLocked(const std::string& utf8Path,
                                  const std::string& setAsidePath = std::string(),
                                  std::size_t* setAside = nullptr, bool* setAsideFailed = nullptr);
    bool WriteFileLocked(const std::string& utf8Path) const;

    mutable std::mutex mutex;
    // By KeyOf(roman, text).
    std::unordered_map<std::string, Stored> entries;
    // The file's lines in order, then the spellings added since; a key whose
    // spelling was removed, or that comes again, is skipped when writing.
    mutable std::vector<FileLine> lines;
    std::unordered_map<std::string, std::vector<std::string>> romanIndex;  // roman -> texts
    std::unordered_map<std::string, std::vector<std::string>> spellings;   // text -> romans
    uint64_t changeCount = 0;
    // Changes since the file was last read or written. Saving makes the file
    // match memory, so even the const SaveToFile starts a new journal.
    mutable std::vector<Change> journal;
    // Per word, the journal record that further uses of it fold into.
    mutable std::unordered_map<std::string, std::size_t> openRecordOfText;
    // The file exists but could not be read when last loaded.
    bool fileUnread = false;
    // The last load found side files, which the next merge takes in.
};

}  // namespace bangla
