#include "engine/personal_dictionary.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <unordered_set>

#include "common/file_path.h"
#include "engine/learned_data_format.h"
#include "engine/learned_data_log.h"
#include "engine/pending_changes.h"

namespace bangla {

namespace {

constexpr std::size_t kMaxLineBytes = PersonalDictionary::kMaxLineBytes;
constexpr const char* kOverlongMarker = ".overlong-";

std::string NewOverlongLinesPath(const std::string& utf8Path) {
    return NewSideFilePath(utf8Path, kOverlongMarker);
}

void LogOverlongLinesSetAside(const std::string& utf8Path, const std::string& setAsidePath,
                              std::size_t lines) {
    const std::string folder = FolderOf(utf8Path);
    LogLearnedDataEvent(folder, utf8Path.substr(folder.size()) + ": " + std::to_string(lines) +
                                    " line(s) too long to keep moved to " +
                                    setAsidePath.substr(folder.size()));
}

uint64_t NowSeconds() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count();
    return seconds > 0 ? static_cast<uint64_t>(seconds) : 0;
}

// Strict UTF-8: no overlong forms, surrogates or values above U+10FFFF.
bool IsWellFormedUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length;
        char32_t codepoint;
        char32_t smallest;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, codepoint = lead & 0x1F, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, codepoint = lead & 0x0F, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, codepoint = lead & 0x07, smallest = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            codepoint = (codepoint << 6) | (next & 0x3F);
        }
        if (codepoint < smallest || codepoint > 0x10FFFF ||
            (codepoint >= 0xD800 && codepoint <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

bool HasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const unsigned char byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// A field that one line of the file can carry and read back unchanged.
bool IsStorableField(const std::string& field) {
    return field.size() <= PersonalDictionary::kMaxFieldBytes && !HasControlCharacter(field) &&
           IsWellFormedUtf8(field);
}

// A column of the counters: where it starts and ends in its text.
struct Column {
    std::size_t start;
    std::size_t end;
};

std::vector<Column> ColumnsBetweenBlanks(const std::string& text) {
    std::vector<Column> columns;
    std::size_t position = 0;
    while (true) {
        const std::size_t start = text.find_first_not_of(" \t", position);
        if (start == std::string::npos) break;
        const std::size_t end = text.find_first_of(" \t", start);
        columns.push_back({start, end == std::string::npos ? text.size() : end});
        if (end == std::string::npos) break;
        position = end;
    }
    return columns;
}

// frequency, lastUsed and flag after the second TAB. Missing columns keep the
// presets; a column that is not a number reads as 0 and ends the reading.
// What follows the columns read, from the blank before it, is kept as it is.
void ReadCounters(const std::string& rest, UserWordEntry& entry) {
    const std::vector<Column> columns = ColumnsBetweenBlanks(rest);
    const auto text = [&](std::size_t index) {
        return rest.substr(columns[index].start, columns[index].end - columns[index].start);
    };
    std::size_t used = 0;
    uint64_t value = 0;
    if (used < columns.size() &&
        ParseClampedDecimal(text(used), std::numeric_limits<uint32_t>::max(), value)) {
        entry.frequency = static_cast<uint32_t>(value);
        ++used;
        if (used < columns.size() &&
            ParseClampedDecimal(text(used), std::numeric_limits<uint64_t>::max(), value)) {
            entry.lastUsed = value;
            ++used;
            if (used < columns.size() && columns[used].end - columns[used].start == 1 &&
                (rest[columns[used].start] == '0' || rest[columns[used].start] == '1')) {
                entry.autoLearned = rest[columns[used].start] == '1';
                ++used;
            }
        }
    } else if (!columns.empty()) {
        entry.frequency = 0;  // a count that is no number
    }
    if (used < columns.size())
        entry.moreColumns = rest.substr(used == 0 ? 0 : columns[used - 1].end);
}

// One line of user_dict.txt; false for a line to skip.
bool ParseLine(const std::string& line, UserWordEntry& entry) {
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string::npos || firstTab + 1 == line.size()) return false;
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    entry.roman = line.substr(0, firstTab);
    entry.text =
        line.substr(firstTab + 1,
                    secondTab == std::string::npos ? std::string::npos : secondTab - firstTab - 1);
    if (entry.text.empty() || !IsStorableField(entry.roman) || !IsStorableField(entry.text))
        return false;
    entry.frequency = 1;
    entry.lastUsed = 0;
    entry.autoLearned = false;
    entry.moreColumns.clear();
    if (secondTab != std::string::npos) ReadCounters(line.substr(secondTab + 1), entry);
    return true;
}

std::string FormatLine(const UserWordEntry& entry) {
    const bool separated =
        entry.moreColumns.empty() || entry.moreColumns[0] == '\t' || entry.moreColumns[0] == ' ';
    return entry.roman + '\t' + entry.text + '\t' + std::to_string(entry.frequency) + '\t' +
           std::to_string(entry.lastUsed) + '\t' + (entry.autoLearned ? '1' : '0') +
           (separated ? "" : "\t") + entry.moreColumns;
}

// The line with its end. A reader drops one CR before "\n", so a line that
// itself ends in CR gets a CR LF end on every platform to read back whole.
std::string Terminated(const std::string& line) {
    return line + (!line.empty() && line.back() == '\r' ? "\r\n" : kLineEnd);
}

}  // namespace

// --- Changing the words -----------------------------------------------------

bool PersonalDictionary::AddWord(const std::string& roman, const std::string& text,
                                 bool autoLearned) {
    if (roman.empty() || text.empty() || !IsStorableField(roman) || !IsStorableField(text))
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    const uint64_t now = NowSeconds();
    AddLocked(roman, text, autoLearned, 1, now);
    RecordUseLocked(ChangeKind::Add, roman, text, autoLearned, now);
    return true;
}

bool PersonalDictionary::IncrementFrequency(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex);
    const uint64_t now = NowSeconds();
    const bool stored = UseLocked(text, 1, now);
    // Without the file's words in memory, a word not held here may still be
    // one of them: the use is recorded for the merge, which bumps it if so.
    if (stored || fileUnread) RecordUseLocked(ChangeKind::Use, std::string(), text, false, now);
    return stored;
}

bool PersonalDictionary::RemoveWord(const std::string& roman, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex);
    if (!RemoveLocked(roman, text)) return false;
    Change change;
    change.kind = ChangeKind::Remove;
    change.roman = roman;
    change.text = text;
    RecordLocked(std::move(change));
    return true;
}

std::size_t PersonalDictionary::ClearAll() { return ClearAndRecord(ChangeKind::ClearAll); }

std::size_t PersonalDictionary::ClearAutoLearned() {
    return ClearAndRecord(ChangeKind::ClearAutoLearned);
}

std::size_t PersonalDictionary::ClearExplicitUserWords() {
    return ClearAndRecord(ChangeKind::ClearExplicit);
}

std::size_t PersonalDictionary::ClearAndRecord(ChangeKind kind) {
    std::lock_guard<std::mutex> lock(mutex);
    const std::size_t removed = ClearLocked(kind);
    Change change;
    change.kind = kind;
    RecordLocked(std::move(change));
    return removed;
}

std::string PersonalDictionary::KeyOf(const std::string& roman, const std::string& text) {
    return roman + '\t' + text;  // a field holds no TAB, so no two spellings share a key
}

PersonalDictionary::Stored* PersonalDictionary::FirstSpellingLocked(const std::string& text) {
    auto listed = spellings.find(text);
    if (listed == spellings.end()) return nullptr;
    for (const std::string& roman : listed->second) {
        auto found = entries.find(KeyOf(roman, text));
        if (found != entries.end()) return &found->second;
    }
    return nullptr;
}

void PersonalDictionary::AddLocked(const std::string& roman, const std::string& text,
                                   bool autoLearned, uint32_t count, uint64_t time) {
    const std::string key = KeyOf(roman, text);
    auto found = entries.find(key);
    if (found != entries.end()) {
        Stored& stored = found->second;
        stored.word.frequency = SaturatingAdd(stored.word.frequency, count);
        stored.word.lastUsed = time;
        // Adding by hand makes a word the user's own; learning never takes that back.
        if (!autoLearned) stored.word.autoLearned = false;
        stored.asRead = false;
        return;
    }
    entries.emplace(key, Stored{UserWordEntry{roman, text, count, time, autoLearned, {}}, false});
    lines.push_back(FileLine{key, std::string()});
    romanIndex[roman].push_back(text);
    spellings[text].push_back(roman);
}

bool PersonalDictionary::UseLocked(const std::string& text, uint32_t count, uint64_t time) {
    Stored* stored = FirstSpellingLocked(text);
    if (stored == nullptr) return false;
    stored->word.frequency = SaturatingAdd(stored->word.frequency, count);
    stored->word.lastUsed = time;
    stored->asRead = false;
    return true;
}

void PersonalDictionary::EraseLocked(const std::string& key) {
    auto found = entries.find(key);
    if (found == entries.end()) return;
    const std::string roman = found->second.word.roman;
    const std::string text = found->second.word.text;
    entries.erase(found);
    const auto unlist = [](auto& index, const std::string& at, const std::string& value) {
        auto listed = index.find(at);
        if (listed == index.end()) return;
        auto& values = listed->second;
        values.erase(std::remove(values.begin(), values.end(), value), values.end());
        if (values.empty()) index.erase(listed);
    };
    unlist(romanIndex, roman, text);
    unlist(spellings, text, roman);
}

bool PersonalDictionary::RemoveLocked(const std::string& roman, const std::string& text) {
    const std::string key = KeyOf(roman, text);
    if (entries.count(key) != 0) {
        EraseLocked(key);
        return true;
    }
    auto listed = spellings.find(text);
    if (listed == spellings.end()) return false;
    const std::vector<std::string> romans = listed->second;
    for (const std::string& other : romans) EraseLocked(KeyOf(other, text));
    return true;
}

std::size_t PersonalDictionary::ClearLocked(ChangeKind kind) {
    std::size_t removed = 0;
    for (auto it = entries.begin(); it != entries.end();) {
        const bool matches = kind == ChangeKind::ClearAll ||
                             (kind == ChangeKind::ClearAutoLearned) == it->second.word.autoLearned;
        if (matches) {
            it = entries.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    // Clearing everything takes the lines that are no word with it; the
    // other clears leave them, being about words of one kind.
    if (kind == ChangeKind::ClearAll) lines.clear();
    RebuildIndexesLocked();
    return removed;
}

void PersonalDictionary::StoreLoadedLocked(
    UserWordEntry entry, const std::string& line,
    std::unordered_map<std::string, std::size_t>& lineOfKey) {
    const std::string key = KeyOf(entry.roman, entry.text);
    // A later line of the same spelling wins; the earlier one stays in its
    // place as a line that is no word.
    auto earlier = lineOfKey.find(key);
    if (earlier != lineOfKey.end()) {
        lines[earlier->second].key.clear();
        EraseLocked(key);
    }
    lineOfKey[key] = lines.size();
    lines.push_back(FileLine{key, line});
    romanIndex[entry.roman].push_back(entry.text);
    spellings[entry.text].push_back(entry.roman);
    entries[key] = Stored{std::move(entry), true};
}

void PersonalDictionary::RebuildIndexesLocked() {
    romanIndex.clear();
    spellings.clear();
    for (const FileLine& line : lines) {
        auto found = entries.find(line.key);
        if (line.key.empty() || found == entries.end()) continue;
        const UserWordEntry& word = found->second.word;
        std::vector<std::string>& romans = spellings[word.text];
        if (std::find(romans.begin(), romans.end(), word.roman) != romans.end()) continue;
        romans.push_back(word.roman);
        romanIndex[word.roman].push_back(word.text);
    }
}

bool PersonalDictionary::AppendWordToFile(const std::string& utf8Path, const std::string& roman,
                                          const std::string& text, uint32_t frequency) {
    if (roman.empty() || text.empty() || !IsStorableField(roman) || !IsStorableField(text))
        return false;
    return qorva::AppendLine(utf8Path, roman + '\t' + text + '\t' + std::to_string(frequency),
                             kLineEnd);
}

// --- Reading ----------------------------------------------------------------

std::vector<UserWordEntry> PersonalDictionary::GetWordsByRomanKey(const std::string& roman) const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<UserWordEntry> words;
    auto listed = romanIndex.find(roman);
    if (listed == romanIndex.end()) return words;
    for (const std::string& text : listed->second) {
        auto found = entries.find(KeyOf(roman, text));
        if (found != entries.end()) words.push_back(found->second.word);
    }
    return words;
}

std::vector<UserWordEntry> PersonalDictionary::GetAllEntries() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<UserWordEntry> words;
    words.reserve(entries.size());
    for (const auto& item : entries) words.push_back(item.second.word);
    return words;
}

std::unordered_map<std::string, float> PersonalDictionary::GetUserBoosts() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::unordered_map<std::string, uint32_t> counts;
    for (const auto& item : entries) {
        uint32_t& count = counts[item.second.word.text];
        count = SaturatingAdd(count, item.second.word.frequency);
    }
    std::unordered_map<std::string, float> boosts;
    for (const auto& [text, count] : counts) {
        const float logCount = std::log10(static_cast<float>(count) + 1.0f);
        boosts[text] = std::min(1.0f, logCount / 3.0f + 0.2f);
    }
    return boosts;
}

bool PersonalDictionary::HasChanges() const {
    std::lock_guard<std::mutex> lock(mutex);
    return !journal.empty();
}

uint64_t PersonalDictionary::ChangeCount() const {
    std::lock_guard<std::mutex> lock(mutex);
    return changeCount;
}

void PersonalDictionary::MoveChangesTo(PersonalDictionary& carrier) {
    std::scoped_lock lock(mutex, carrier.mutex);
    carrier.journal.insert(carrier.journal.end(), journal.begin(), journal.end());
    carrier.fileUnread = fileUnread;
    ForgetChangesLocked();
}

// --- The change journal -------------------------------------------------------

void PersonalDictionary::RecordUseLocked(ChangeKind kind, const std::string& roman,
                                         const std::string& text, bool autoLearned, uint64_t time) {
    auto open = openRecordOfText.find(text);
    if (open != openRecordOfText.end()) {
        Change& pending = journal[open->second];
        // Replaying "use" after "add" equals a larger add, and two uses equal
        // one larger use; an add after a use does not fold, since the use
        // alone would not create a word that the file lacks, nor does an add
        // of another spelling.
        const bool sameAdd = kind == ChangeKind::Add && pending.roman == roman;
        if ((pending.kind == ChangeKind::Add && (kind == ChangeKind::Use || sameAdd)) ||
            (pending.kind == ChangeKind::Use && kind == ChangeKind::Use)) {
            pending.count = SaturatingAdd(pending.count, 1u);
            pending.time = time;
            if (kind == ChangeKind::Add && !autoLearned) pending.autoLearned = false;
            ++changeCount;
            return;
        }
    }
    journal.push_back(Change{kind, roman, text, autoLearned, 1, time});
    openRecordOfText[text] = journal.size() - 1;
    ++changeCount;
}

// Uses recorded before a removal or a clear must not fold into records that
// come after it, or the replay would move them across it.
void PersonalDictionary::RecordLocked(Change change) {
    if (change.kind == ChangeKind::Remove) {
        openRecordOfText.erase(change.text);
    } else {
        openRecordOfText.clear();
    }
    journal.push_back(std::move(change));
    ++changeCount;
}

void PersonalDictionary::ForgetChangesLocked() const {
    journal.clear();
    openRecordOfText.clear();
}

void PersonalDictionary::ApplyLocked(const Change& change) {
    switch (change.kind) {
        case ChangeKind::Add:
            AddLocked(change.roman, change.text, change.autoLearned, change.count, change.time);
            break;
        case ChangeKind::Use: UseLocked(change.text, change.count, change.time); break;
        case ChangeKind::Remove: RemoveLocked(change.roman, change.text); break;
        case ChangeKind::ClearAll:
        case ChangeKind::ClearAutoLearned:
        case ChangeKind::ClearExplicit: ClearLocked(change.kind); break;
    }
}

// --- Side files of changes ----------------------------------------------------

namespace {

// How each kind of change is named in a side file, in the order of ChangeKind.
constexpr const char* kChangeNames[] = {"add",       "use",           "remove",
                                        "clear-all", "clear-learned", "clear-explicit"};

std::vector<std::string> SplitAtTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

}  // namespace

// One change a line: kind, roman, text, count, time and flag, TAB-separated.
std::string PersonalDictionary::FormatChange(const Change& change) {
    const char* name = kChangeNames[static_cast<int>(change.kind)];
    return std::string(name) + '\t' + change.roman + '\t' + change.text + '\t' +
           std::to_string(change.count) + '\t' + std::to_string(change.time) + '\t' +
           (change.autoLearned ? '1' : '0') + kLineEnd;
}

bool PersonalDictionary::ParseChange(const std::string& line, Change& change) {
    const std::vector<std::string> fields = SplitAtTabs(line);
    if (fields.size() != 6) return false;
    const auto named = std::find(std::begin(kChangeNames), std::end(kChangeNames), fields[0]);
    if (named == std::end(kChangeNames)) return false;
    change.kind = static_cast<ChangeKind>(named - std::begin(kChangeNames));
    change.roman = fields[1];
    change.text = fields[2];
    uint64_t count = 0;
    if (!ParseClampedDecimal(fields[3], std::numeric_limits<uint32_t>::max(), count) ||
        !ParseClampedDecimal(fields[4], std::numeric_limits<uint64_t>::max(), change.time)) {
        return false;
    }
    change.count = static_cast<uint32_t>(count);
    change.autoLearned = fields[5] == "1";
    if (!IsStorableField(change.roman) || !IsStorableField(change.text)) return false;
    switch (change.kind) {
        case ChangeKind::Add: return !change.roman.empty() && !change.text.empty() && count > 0;
        case ChangeKind::Use: return !change.text.empty() && count > 0;
        case ChangeKind::Remove: return !change.text.empty();
        default: return true;
    }
}

// Appends the file's changes; false (with nothing appended) when it cannot be read.
bool PersonalDictionary::ReadChangesFile(const std::string& utf8Path, std::vector<Change>& into) {
    std::vector<Change> changes;
    const FileReadResult result =
        ReadFileLines(utf8Path, kMaxLineBytes, [&changes](const std::string& line) {
            Change change;
            if (ParseChange(line, change)) changes.push_back(std::move(change));
        });
    if (result != FileReadResult::kRead) return false;
    into.insert(into.end(), changes.begin(), changes.end());
    return true;
}

// --- Files ----------------------------------------------------------------------

bool PersonalDictionary::LoadFromFile(const std::string& utf8Path) {
    std::lock_guard<std::mutex> lock(mutex);
    const FileReadResult result = ReadFileLocked(utf8Path);
    fileUnread = result == FileReadResult::kUnreadable;
    if (result != FileReadResult::kRead) return false;
    // What other engines could not write into the file yet is the user's too.
    for (const std::string& sideFile : PendingChangesPaths(utf8Path)) {
        std::vector<Change> changes;
        if (!ReadChangesFile(sideFile, changes)) continue;
        for (const Change& change : changes) ApplyLocked(change);
    }
    return true;
}

bool PersonalDictionary::SaveToFile(const std::string& utf8Path) const {
    std::lock_guard<std::mutex> lock(mutex);
    return WriteFileLocked(utf8Path);
}

bool PersonalDictionary::MergeChangesIntoFile(const std::string& utf8Path) {
    std::lock_guard<std::mutex> lock(mutex);
    PersonalDictionary current;
    std::lock_guard<std::mutex> currentLock(current.mutex);
    std::size_t setAside = 0;
    bool setAsideFailed = false;
    const std::string setAsidePath = NewOverlongLinesPath(utf8Path);
    if (current.ReadFileLocked(utf8Path, setAsidePath, &setAside, &setAsideFailed) ==
            FileReadResult::kUnreadable ||
        setAsideFailed) {
        return false;
    }
    if (setAside > 0) LogOverlongLinesSetAside(utf8Path, setAsidePath, setAside);
    std::vector<std::string> takenIn;
    for (const std::string& sideFile : PendingChangesPaths(utf8Path)) {
        std::vector<Change> changes;
        if (!ReadChangesFile(sideFile, changes)) continue;  // left for a later save
        for (const Change& change : changes) current.ApplyLocked(change);
        takenIn.push_back(sideFile);
    }
    for (const Change& change : journal) current.ApplyLocked(change);
    if (!current.WriteFileLocked(utf8Path)) return false;
    for (const std::string& sideFile : takenIn) qorva::RemoveFile(sideFile);
    fileUnread = false;
    entries.swap(current.entries);
    lines.swap(current.lines);
    romanIndex.swap(current.romanIndex);
    spellings.swap(current.spellings);
    ForgetChangesLocked();
    return true;
}

bool PersonalDictionary::SavePendingChanges(const std::string& utf8Path, bool gatherOthers) {
    std::lock_guard<std::mutex> lock(mutex);
    if (journal.empty()) return true;
    std::vector<Change> gathered;
    std::vector<std::string> takenIn;
    if (gatherOthers) {
        for (const std::string& sideFile : PendingChangesPaths(utf8Path)) {
            if (!ReadChangesFile(sideFile, gathered)) continue;
            takenIn.push_back(sideFile);
        }
    }
    gathered.insert(gathered.end(), journal.begin(), journal.end());
    std::string text;
    for (const Change& change : gathered) text += FormatChange(change);
    if (!qorva::WriteWholeFile(NewPendingChangesPath(utf8Path), text)) return false;
    for (const std::string& sideFile : takenIn) qorva::RemoveFile(sideFile);
    ForgetChangesLocked();
    return true;
}

FileReadResult PersonalDictionary::ReadFileLocked(const std::string& utf8Path,
                                                  const std::string& setAsidePath,
                                                  std::size_t* setAside, bool* setAsideFailed) {
    std::unordered_map<std::string, Stored> keptEntries = std::move(entries);
    std::vector<FileLine> keptLines = std::move(lines);
    auto keptIndex = std::move(romanIndex);
    auto keptSpellings = std::move(spellings);
    entries.clear();
    lines.clear();
    romanIndex.clear();
    spellings.clear();
    std::unordered_map<std::string, std::size_t> lineOfKey;
    OverlongLineSink sink(setAsidePath);
    const FileReadResult result = ReadFileLines(
        utf8Path, kMaxLineBytes,
        [this, &lineOfKey](const std::string& line) {
            UserWordEntry entry;
            if (ParseLine(line, entry)) {
                StoreLoadedLocked(std::move(entry), line, lineOfKey);
            } else {
                lines.push_back(FileLine{std::string(), line});  // no word: kept as it is
            }
        },
        setAsidePath.empty() ? LineSplitter::OnOverlongPiece() : sink.Receiver());
    if (setAside != nullptr) *setAside = sink.Lines();
    if (setAsideFailed != nullptr) *setAsideFailed = !sink.Close();
    if (result != FileReadResult::kRead) {  // half a file is no file
        entries = std::move(keptEntries);
        lines = std::move(keptLines);
        romanIndex = std::move(keptIndex);
        spellings = std::move(keptSpellings);
        return result;
    }
    ForgetChangesLocked();
    return result;
}

bool PersonalDictionary::WriteFileLocked(const std::string& utf8Path) const {
    // Written beside the old file and moved over it only when complete: a
    // crash or a full disk midway must not cost the user their words.
    std::string text;
    std::vector<FileLine> written;
    std::unordered_set<std::string> writtenKeys;
    for (FileLine& line : lines) {
        if (line.key.empty()) {
            text += Terminated(line.text);
        } else {
            auto found = entries.find(line.key);
            if (found == entries.end() || !writtenKeys.insert(line.key).second) continue;
            const Stored& stored = found->second;
            text += Terminated(stored.asRead && !line.text.empty() ? line.text
                                                                   : FormatLine(stored.word));
        }
        written.push_back(std::move(line));
    }
    lines.swap(written);
    if (!qorva::WriteWholeFile(utf8Path, text)) return false;
    ForgetChangesLocked();
    return true;
}

}  // namespace bangla
