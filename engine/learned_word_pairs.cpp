#include "engine/learned_word_pairs.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "common/file_path.h"
#include "engine/pending_changes.h"

namespace bangla {

namespace {

// A side file begins with this line when its session cleared the pairs
// before counting the ones that follow.
constexpr const char* kClearedLine = "cleared";

// Trimming waits until a bound is passed by a quarter, so that it runs once
// per many additions instead of at each.
constexpr std::size_t WithMargin(std::size_t bound) { return bound + bound / 4; }

// An unsigned decimal at the start of text (after blanks and tabs), clamped
// to 32 bits; false when there is none.
bool ParseCount(const std::string& text, uint32_t& count) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return false;
    std::size_t end = start;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    uint64_t value = 0;
    if (!ParseClampedDecimal(text.substr(start, end - start), std::numeric_limits<uint32_t>::max(),
                             value)) {
        return false;
    }
    count = static_cast<uint32_t>(value);
    return true;
}

bool IsCountablePair(const std::string& firstKey, const std::string& follower) {
    return !firstKey.empty() && !follower.empty() && firstKey != follower &&
           firstKey.size() <= LearnedWordPairs::kMaxFirstKeyBytes &&
           follower.size() <= LearnedWordPairs::kMaxWordBytes;
}

struct PairLine {
    std::string firstKey;
    std::string follower;
    uint32_t count = 0;
};

// One line of the pairs file; false for a line to skip.
bool ParsePairLine(const std::string& line, PairLine& pair) {
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string::npos || firstTab + 1 == line.size()) return false;
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    if (secondTab == std::string::npos) return false;
    pair.firstKey.assign(line, 0, firstTab);
    pair.follower.assign(line, firstTab + 1, secondTab - firstTab - 1);
    return ParseCount(line.substr(secondTab + 1), pair.count) && pair.count != 0 &&
           IsCountablePair(pair.firstKey, pair.follower);
}

}  // namespace

// Which of two pairs is kept when only one can be: the spared pair, then one
// counted since the file was read, then one of the newer half of the file,
// then the more used, then the one higher up the file, then the earlier in
// byte order, so that every engine trims a file the same way.
struct TrimRank {
    bool spared;
    bool recent;
    bool newerHalf;
    uint32_t count;
    uint32_t age;
    const std::string* firstKey;
    const std::string* follower;

    bool operator<(const TrimRank& other) const {
        if (spared != other.spared) return spared;
        if (recent != other.recent) return recent;
        if (newerHalf != other.newerHalf) return newerHalf;
        if (count != other.count) return count > other.count;
        if (age != other.age) return age < other.age;
        return std::tie(*firstKey, *follower) < std::tie(*other.firstKey, *other.follower);
    }
};

bool ReadTextLine(std::FILE* file, std::string& line) {
    line.clear();
    int c = std::fgetc(file);
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
        line += static_cast<char>(c);
        c = std::fgetc(file);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// --- Bounded counts -----------------------------------------------------------

bool LearnedWordPairs::BoundedPairs::Add(const std::string& firstKey, const std::string& follower,
                                         uint32_t count) {
    return Insert(firstKey, follower, count, 0);
}

void LearnedWordPairs::BoundedPairs::AddAged(const std::string& firstKey,
                                             const std::string& follower, uint32_t count,
                                             uint32_t age) {
    Insert(firstKey, follower, count, std::max<uint32_t>(age, 1));
}

bool LearnedWordPairs::BoundedPairs::Insert(const std::string& firstKey,
                                            const std::string& follower, uint32_t count,
                                            uint32_t age) {
    FollowerCounts& followers = counts[firstKey];
    const auto [slot, inserted] = followers.try_emplace(follower, 0);
    slot->second = SaturatingAdd(slot->second, count);
    // Counted again: recent now. A repeated line of the file keeps the age of its first.
    if (!inserted) {
        if (age == 0) ages.erase(&slot->first);
        return false;
    }
    if (age != 0) {
        ages.emplace(&slot->first, age);
        oldestAge = std::max(oldestAge, age);
    }
    ++total;
    const bool spare = age == 0;
    bool trimmed = false;
    if (followers.size() > WithMargin(kMaxFollowersPerKey))
        trimmed = TrimKey(firstKey, spare ? &follower : nullptr);
    if (total > WithMargin(kMaxPairs))
        trimmed = TrimAll(spare ? &firstKey : nullptr, spare ? &follower : nullptr) || trimmed;
    return trimmed;
}

TrimRank LearnedWordPairs::BoundedPairs::RankOf(const std::string& firstKey,
                                                const std::string& follower, uint32_t count,
                                                bool spared) const {
    const auto aged = ages.find(&follower);
    const uint32_t age = aged == ages.end() ? 0 : aged->second;
    return {spared, age == 0, age <= oldestAge / 2, count, age, &firstKey, &follower};
}

void LearnedWordPairs::BoundedPairs::ForgetAges() {
    ages.clear();
    oldestAge = 0;
}

void LearnedWordPairs::BoundedPairs::AddAll(const PairCounts& more) {
    for (const auto& [firstKey, followers] : more) {
        for (const auto& [follower, count] : followers) Add(firstKey, follower, count);
    }
}

void LearnedWordPairs::BoundedPairs::Trim() {
    for (const auto& key : counts) TrimKey(key.first, nullptr);
    TrimAll(nullptr, nullptr);
}

bool LearnedWordPairs::BoundedPairs::TrimKey(const std::string& firstKey,
                                             const std::string* spare) {
    const std::size_t keep = kMaxFollowersPerKey;
    FollowerCounts& followers = counts[firstKey];
    if (followers.size() <= keep) return false;
    std::vector<std::pair<TrimRank, FollowerCounts::iterator>> ranked;
    ranked.reserve(followers.size());
    for (auto it = followers.begin(); it != followers.end(); ++it) {
        const bool spared = spare != nullptr && it->first == *spare;
        ranked.push_back({RankOf(firstKey, it->first, it->second, spared), it});
    }
    std::nth_element(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(keep),
                     ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = keep; i < ranked.size(); ++i) {
        ages.erase(&ranked[i].second->first);
        followers.erase(ranked[i].second);
    }
    total -= ranked.size() - keep;
    return true;
}

bool LearnedWordPairs::BoundedPairs::TrimAll(const std::string* spareKey,
                                             const std::string* spare) {
    const std::size_t keep = kMaxPairs;
    if (total <= keep) return false;
    struct Entry {
        TrimRank rank;
        PairCounts::iterator key;
        FollowerCounts::iterator follower;
    };
    std::vector<Entry> ranked;
    ranked.reserve(total);
    for (auto key = counts.begin(); key != counts.end(); ++key) {
        const bool sparedKey = spareKey != nullptr && key->first == *spareKey;
        for (auto it = key->second.begin(); it != key->second.end(); ++it) {
            const bool spared = sparedKey && it->first == *spare;
            ranked.push_back({RankOf(key->first, it->first, it->second, spared), key, it});
        }
    }
    std::nth_element(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(keep),
                     ranked.end(), [](const Entry& a, const Entry& b) { return a.rank < b.rank; });
    for (std::size_t i = keep; i < ranked.size(); ++i) {
        ages.erase(&ranked[i].follower->first);
        ranked[i].key->second.erase(ranked[i].follower);
    }
    for (auto key = counts.begin(); key != counts.end();)
        key = key->second.empty() ? counts.erase(key) : std::next(key);
    total = keep;
    return true;
}

void LearnedWordPairs::Changes::ApplyTo(BoundedPairs& target) const {
    if (cleared) target = BoundedPairs();
    target.AddAll(counted.counts);
}

void LearnedWordPairs::Changes::Append(const Changes& later) {
    if (later.cleared) {
        *this = later;
    } else {
        counted.AddAll(later.counted.counts);
    }
}

// --- Counting and lookups -------------------------------------------------------

void LearnedWordPairs::Count(const std::string& firstKey, const std::string& follower) {
    if (!IsCountablePair(firstKey, follower)) return;
    {
        std::lock_guard<std::mutex> lock(sessionMutex);
        session.counted.Add(firstKey, follower, 1);
        ++changeCount;
    }
    // A trim may drop any key's followers, whose sorted views would then dangle.
    if (pairs.Add(firstKey, follower, 1)) {
        byUse.clear();
    } else {
        byUse.erase(firstKey);
    }
}

const LearnedWordPairs::FollowerCounts* LearnedWordPairs::FollowersOf(
    const std::string& firstKey) const {
    const auto found = pairs.counts.find(firstKey);
    return found == pairs.counts.end() ? nullptr : &found->second;
}

const std::vector<LearnedWordPairs::FollowerUse>& LearnedWordPairs::FollowersByUse(
    const std::string& firstKey) const {
    static const std::vector<FollowerUse> s_none;
    const FollowerCounts* followers = FollowersOf(firstKey);
    if (followers == nullptr) return s_none;
    const auto cached = byUse.find(firstKey);
    if (cached != byUse.end()) return cached->second;
    std::vector<FollowerUse>& sorted = byUse[firstKey];
    sorted.reserve(followers->size());
    for (const auto& [follower, count] : *followers) sorted.push_back({&follower, count});
    std::sort(sorted.begin(), sorted.end(), [](const FollowerUse& a, const FollowerUse& b) {
        return a.count != b.count ? a.count > b.count : *a.follower < *b.follower;
    });
    return sorted;
}

void LearnedWordPairs::Clear() {
    pairs = BoundedPairs();
    byUse.clear();
    std::lock_guard<std::mutex> lock(sessionMutex);
    session = Changes();
    session.cleared = true;
    ++changeCount;
}

bool LearnedWordPairs::HasChanges() const {
    std::lock_guard<std::mutex> lock(sessionMutex);
    return session.cleared || !session.counted.counts.empty();
}

uint64_t LearnedWordPairs::ChangeCount() const {
    std::lock_guard<std::mutex> lock(sessionMutex);
    return changeCount;
}

void LearnedWordPairs::MoveSessionTo(LearnedWordPairs& carrier) {
    std::scoped_lock lock(sessionMutex, carrier.sessionMutex);
    carrier.session.Append(session);
    session = Changes();
}

void LearnedWordPairs::StartSession(BoundedPairs adopted) {
    byUse.clear();
    pairs = std::move(adopted);
    // Lookups need no ages; a save reads them from the file again.
    pairs.ForgetAges();
    std::lock_guard<std::mutex> lock(sessionMutex);
    session = Changes();
}

// --- Files -----------------------------------------------------------------------

void LearnedWordPairs::ParseLine(const std::string& line, PairCounts& counts) {
    PairLine pair;
    if (!ParsePairLine(line, pair)) return;
    uint32_t& stored = counts[pair.firstKey][pair.follower];
    stored = SaturatingAdd(stored, pair.count);
}

FileReadResult LearnedWordPairs::ReadPairsFile(const std::string& utf8Path, BoundedPairs& into,
                                               bool withAges) {
    PairLine pair;
    uint32_t lineNumber = 0;
    const FileReadResult result =
        ReadFileLines(utf8Path, kMaxLineBytes, [&](const std::string& text) {
            lineNumber = SaturatingAdd(lineNumber, 1u);
            if (!ParsePairLine(text, pair)) return;
            if (withAges) {
                into.AddAged(pair.firstKey, pair.follower, pair.count, lineNumber);
            } else {
                into.Add(pair.firstKey, pair.follower, pair.count);
            }
        });
    if (result == FileReadResult::kRead) into.Trim();
    return result;
}

bool LearnedWordPairs::ReadChangesFile(const std::string& utf8Path, Changes& into) {
    PairLine pair;
    bool first = true;
    const FileReadResult result =
        ReadFileLines(utf8Path, kMaxLineBytes, [&](const std::string& text) {
            if (first && text == kClearedLine) into.cleared = true;
            first = false;
            if (ParsePairLine(text, pair))
                into.counted.Add(pair.firstKey, pair.follower, pair.count);
        });
    return result == FileReadResult::kRead;
}

std::string LearnedWordPairs::FormatPairs(const PairCounts& counts) {
    std::string text;
    for (const auto& [firstKey, followers] : counts) {
        for (const auto& [follower, count] : followers) {
            text += firstKey;
            text += '\t';
            text += follower;
            text += '\t';
            text += std::to_string(count);
            text += kLineEnd;
        }
    }
    return text;
}

std::string LearnedWordPairs::FormatByRecency(const BoundedPairs& pairs) {
    struct Line {
        uint32_t age;
        const std::string* firstKey;
        const std::string* follower;
        uint32_t count;
    };
    std::vector<Line> lines;
    lines.reserve(pairs.total);
    for (const auto& [firstKey, followers] : pairs.counts) {
        for (const auto& [follower, count] : followers) {
            const auto aged = pairs.ages.find(&follower);
            lines.push_back(
                {aged == pairs.ages.end() ? 0 : aged->second, &firstKey, &follower, count});
        }
    }
    std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return std::tie(a.age, *a.firstKey, *a.follower) <
               std::tie(b.age, *b.firstKey, *b.follower);
    });
    std::string text;
    for (const Line& line : lines) {
        text += *line.firstKey;
        text += '\t';
        text += *line.follower;
        text += '\t';
        text += std::to_string(line.count);
        text += kLineEnd;
    }
    return text;
}

std::string LearnedWordPairs::FormatChanges(const Changes& changes) {
    return (changes.cleared ? std::string(kClearedLine) + kLineEnd : std::string()) +
           FormatPairs(changes.counted.counts);
}

FileReadResult LearnedWordPairs::LoadFromFile(const std::string& utf8Path) {
    BoundedPairs loaded;
    // Lookups need no ages: the file is trimmed by recency when it is next written.
    const FileReadResult result = ReadPairsFile(utf8Path, loaded, false);
    if (result == FileReadResult::kUnreadable) loaded = BoundedPairs();
    for (const std::string& sideFile : PendingChangesPaths(utf8Path)) {
        Changes changes;
        if (ReadChangesFile(sideFile, changes)) changes.ApplyTo(loaded);
    }
    loaded.Trim();
    StartSession(std::move(loaded));
    return result;
}

bool LearnedWordPairs::SaveMergedToFile(const std::string& utf8Path) {
    BoundedPairs merged;
    if (ReadPairsFile(utf8Path, merged, true) == FileReadResult::kUnreadable) return false;
    std::vector<std::string> takenIn;
    for (const std::string& sideFile : PendingChangesPaths(utf8Path)) {
        Changes changes;
        if (!ReadChangesFile(sideFile, changes)) continue;  // left for a later save
        changes.ApplyTo(merged);
        takenIn.push_back(sideFile);
    }
    {
        std::lock_guard<std::mutex> lock(sessionMutex);
        session.ApplyTo(merged);
    }
    merged.Trim();
    if (!qorva::WriteWholeFile(utf8Path, FormatByRecency(merged))) return false;
    for (const std::string& sideFile : takenIn) qorva::RemoveFile(sideFile);
    StartSession(std::move(merged));
    return true;
}

bool LearnedWordPairs::SavePendingChanges(const std::string& utf8Path, bool gatherOthers) {
    std::lock_guard<std::mutex> lock(sessionMutex);
    if (!session.cleared && session.counted.counts.empty()) return true;
    Changes gathered;
    std::vector<std::string> takenIn;
    if (gatherOthers) {
        for (const std::string& sideFile : PendingChangesPaths(utf8Path)) {
            Changes changes;
            if (!ReadChangesFile(sideFile, changes)) continue;
            gathered.Append(changes);
            takenIn.push_back(sideFile);
        }
    }
    gathered.Append(session);
    gathered.counted.Trim();
    if (!qorva::WriteWholeFile(NewPendingChangesPath(utf8Path), FormatChanges(gathered)))
        return false;
    for (const std::string& sideFile : takenIn) qorva::RemoveFile(sideFile);
    session = Changes();
    return true;
}

}  // namespace bangla
