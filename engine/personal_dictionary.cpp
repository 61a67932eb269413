#include "engine/personal_dictionary.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "common/file_path.h"

namespace bangla {

namespace {

// A line holds two fields and three short numbers; anything much longer is
// damage (or an attack on the reader's memory) and is skipped unread.
constexpr std::size_t kMaxLineBytes = 2 * PersonalDictionary::kMaxFieldBytes + 128;
constexpr std::size_t kReadChunkBytes = 64 * 1024;

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

bool IsDecimal(const std::string& token) {
    return !token.empty() &&
           std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// False when the decimal does not fit below the limit.
bool ParseDecimal(const std::string& digits, uint64_t limit, uint64_t& value) {
    value = 0;
    for (char c : digits) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (limit - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

std::vector<std::string> SplitOnBlanks(const std::string& text) {
    std::vector<std::string> tokens;
    std::size_t position = 0;
    while (true) {
        const std::size_t start = text.find_first_not_of(" \t", position);
        if (start == std::string::npos) break;
        const std::size_t end = text.find_first_of(" \t", start);
        tokens.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        position = end;
    }
    return tokens;
}

// Reads one counter column into value. Returns false for a number too large
// for its type (the line is damaged and is skipped); sets `stop` when the
// column is missing or not a number, which ends the reading of columns.
bool ReadCounterColumn(const std::vector<std::string>& columns, std::size_t index, uint64_t limit,
                       uint64_t& value, bool& stop) {
    if (index >= columns.size()) {
        stop = true;
        return true;
    }
    if (!IsDecimal(columns[index])) {
        value = 0;
        stop = true;
        return true;
    }
    return ParseDecimal(columns[index], limit, value);
}

// frequency, lastUsed and flag after the second TAB. Missing columns keep the
// presets; a column that is not a number reads as 0 and ends the reading.
bool ReadCounters(const std::string& rest, UserWordEntry& entry) {
    const std::vector<std::string> columns = SplitOnBlanks(rest);
    bool stop = false;
    uint64_t frequency = entry.frequency;
    if (!ReadCounterColumn(columns, 0, std::numeric_limits<uint32_t>::max(), frequency, stop))
        return false;
    entry.frequency = static_cast<uint32_t>(frequency);
    if (stop) return true;
    uint64_t lastUsed = entry.lastUsed;
    if (!ReadCounterColumn(columns, 1, std::numeric_limits<uint64_t>::max(), lastUsed, stop))
        return false;
    entry.lastUsed = lastUsed;
    if (stop || columns.size() < 3) return true;
    if (columns[2].size() == 1) entry.autoLearned = columns[2] == "1";
    return true;
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
    if (secondTab == std::string::npos) return true;
    return ReadCounters(line.substr(secondTab + 1), entry);
}

// Hands every line to onLine, without its "\n" and without a CR before it
// (files written on Windows end lines with CR LF). Over-long lines are
// dropped without being held in memory.
template <typename OnLine>
void ForEachLine(std::FILE* file, OnLine onLine) {
    std::vector<char> chunk(kReadChunkBytes);
    std::string line;
    bool overlong = false;
    auto finishLine = [&]() {
        if (!overlong) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) onLine(line);
        }
        line.clear();
        overlong = false;
    };
    std::size_t read;
    while ((read = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        const char* position = chunk.data();
        const char* end = chunk.data() + read;
        while (position < end) {
            const char* newline =
                static_cast<const char*>(std::memchr(position, '\n', end - position));
            const char* pieceEnd = newline != nullptr ? newline : end;
            if (!overlong) {
                line.append(position, pieceEnd);
                if (line.size() > kMaxLineBytes) {
                    overlong = true;
                    line.clear();
                }
            }
            if (newline == nullptr) break;
            finishLine();
            position = newline + 1;
        }
    }
    finishLine();
}

std::string FormatLine(const UserWordEntry& entry) {
    return entry.roman + '\t' + entry.text + '\t' + std::to_string(entry.frequency) + '\t' +
           std::to_string(entry.lastUsed) + '\t' + (entry.autoLearned ? '1' : '0') + '\n';
}

// A name beside the destination that no other writer (another engine in
// another process, another thread) picks at the same moment.
std::string TemporaryPathBeside(const std::string& utf8Path) {
    static std::atomic<uint64_t> s_counter{0};
    std::random_device device;
    const uint64_t ticks =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const uint64_t unique =
        ticks ^ (static_cast<uint64_t>(device()) << 32) ^ (++s_counter * 0x9E3779B97F4A7C15ull);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(unique));
    return utf8Path + suffix;
}

bool WriteAll(std::FILE* file, const std::unordered_map<std::string, UserWordEntry>& entries) {
    for (const auto& item : entries) {
        const std::string line = FormatLine(item.second);
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) return false;
    }
    return std::fflush(file) == 0 && std::ferror(file) == 0;
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
    if (!UseLocked(text, 1, now)) return false;
    RecordUseLocked(ChangeKind::Use, std::string(), text, false, now);
    return true;
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

void PersonalDictionary::AddLocked(const std::string& roman, const std::string& text,
                                   bool autoLearned, uint32_t count, uint64_t time) {
    auto found = entries.find(text);
    if (found != entries.end()) {
        UserWordEntry& entry = found->second;
        entry.frequency += count;
        entry.lastUsed = time;
        // Adding by hand makes a word the user's own; learning never takes that back.
        if (!autoLearned) entry.autoLearned = false;
        return;
    }
    entries.emplace(text, UserWordEntry{roman, text, count, time, autoLearned});
    romanIndex[roman].push_back(text);
}

bool PersonalDictionary::UseLocked(const std::string& text, uint32_t count, uint64_t time) {
    auto found = entries.find(text);
    if (found == entries.end()) return false;
    found->second.frequency += count;
    found->second.lastUsed = time;
    return true;
}

bool PersonalDictionary::RemoveLocked(const std::string& roman, const std::string& text) {
    if (entries.erase(text) == 0) return false;
    auto listed = romanIndex.find(roman);
    if (listed == romanIndex.end()) return true;
    std::vector<std::string>& texts = listed->second;
    texts.erase(std::remove(texts.begin(), texts.end(), text), texts.end());
    if (texts.empty()) romanIndex.erase(listed);
    return true;
}

std::size_t PersonalDictionary::ClearLocked(ChangeKind kind) {
    std::size_t removed = 0;
    for (auto it = entries.begin(); it != entries.end();) {
        const bool matches = kind == ChangeKind::ClearAll ||
                             (kind == ChangeKind::ClearAutoLearned) == it->second.autoLearned;
        if (matches) {
            it = entries.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    RebuildRomanIndexLocked();
    return removed;
}

void PersonalDictionary::StoreLoadedLocked(UserWordEntry entry) {
    romanIndex[entry.roman].push_back(entry.text);
    const std::string text = entry.text;
    entries[text] = std::move(entry);  // a later line of the same word wins
}

void PersonalDictionary::RebuildRomanIndexLocked() {
    romanIndex.clear();
    for (const auto& item : entries) romanIndex[item.second.roman].push_back(item.first);
}

// --- Reading ----------------------------------------------------------------

std::vector<UserWordEntry> PersonalDictionary::GetWordsByRomanKey(const std::string& roman) const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<UserWordEntry> words;
    auto listed = romanIndex.find(roman);
    if (listed == romanIndex.end()) return words;
    for (const std::string& text : listed->second) {
        auto found = entries.find(text);
        if (found != entries.end())
            words.push_back(found->second);  // removed under another key: skipped
    }
    return words;
}

std::vector<UserWordEntry> PersonalDictionary::GetAllEntries() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<UserWordEntry> words;
    words.reserve(entries.size());
    for (const auto& item : entries) words.push_back(item.second);
    return words;
}

std::unordered_map<std::string, float> PersonalDictionary::GetUserBoosts() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::unordered_map<std::string, float> boosts;
    for (const auto& item : entries) {
        const float logCount = std::log10(static_cast<float>(item.second.frequency) + 1.0f);
        boosts[item.first] = std::min(1.0f, logCount / 3.0f + 0.2f);
    }
    return boosts;
}

// --- The change journal -------------------------------------------------------

void PersonalDictionary::RecordUseLocked(ChangeKind kind, const std::string& roman,
                                         const std::string& text, bool autoLearned, uint64_t time) {
    auto open = openRecordOfText.find(text);
    if (open != openRecordOfText.end()) {
        Change& pending = journal[open->second];
        // Replaying "use" after "add" equals a larger add, and two uses equal
        // one larger use; an add after a use does not fold, since the use
        // alone would not create a word that the file lacks.
        if (pending.kind == ChangeKind::Add || kind == ChangeKind::Use) {
            pending.count += 1;
            pending.time = time;
            if (kind == ChangeKind::Add && !autoLearned) pending.autoLearned = false;
            return;
        }
    }
    journal.push_back(Change{kind, roman, text, autoLearned, 1, time});
    openRecordOfText[text] = journal.size() - 1;
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

// --- Files ----------------------------------------------------------------------

bool PersonalDictionary::LoadFromFile(const std::string& utf8Path) {
    std::lock_guard<std::mutex> lock(mutex);
    return ReadFileLocked(utf8Path);
}

bool PersonalDictionary::SaveToFile(const std::string& utf8Path) const {
    std::lock_guard<std::mutex> lock(mutex);
    return WriteFileLocked(utf8Path);
}

bool PersonalDictionary::MergeChangesIntoFile(const std::string& utf8Path) {
    std::lock_guard<std::mutex> lock(mutex);
    PersonalDictionary current;
    std::lock_guard<std::mutex> currentLock(current.mutex);
    if (!current.ReadFileLocked(utf8Path) && qorva::FileExists(utf8Path)) return false;
    for (const Change& change : journal) current.ApplyLocked(change);
    if (!current.WriteFileLocked(utf8Path)) return false;
    entries.swap(current.entries);
    romanIndex.swap(current.romanIndex);
    ForgetChangesLocked();
    return true;
}

bool PersonalDictionary::ReadFileLocked(const std::string& utf8Path) {
    // Binary, with CR LF handled by the line reader: the same bytes load the
    // same way on every platform.
    std::FILE* file = qorva::OpenFile(utf8Path, "rb");
    if (file == nullptr) return false;
    auto keptEntries = std::move(entries);
    auto keptIndex = std::move(romanIndex);
    entries.clear();
    romanIndex.clear();
    ForEachLine(file, [this](const std::string& line) {
        UserWordEntry entry;
        if (ParseLine(line, entry)) StoreLoadedLocked(std::move(entry));
    });
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    if (readFailed) {  // a folder, or a disk error: half a file is no file
        entries = std::move(keptEntries);
        romanIndex = std::move(keptIndex);
        return false;
    }
    ForgetChangesLocked();
    return true;
}

bool PersonalDictionary::WriteFileLocked(const std::string& utf8Path) const {
    // Written beside the old file and moved over it only when complete: a
    // crash or a full disk midway must not cost the user their words.
    const std::string temporaryPath = TemporaryPathBeside(utf8Path);
    std::FILE* file = qorva::OpenFile(temporaryPath, "w");  // text mode: CR LF on Windows
    if (file == nullptr) return false;
    const bool written = WriteAll(file, entries);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || !qorva::MoveFileReplacing(temporaryPath, utf8Path)) {
        qorva::RemoveFile(temporaryPath);
        return false;
    }
    ForgetChangesLocked();
    return true;
}

}  // namespace bangla
