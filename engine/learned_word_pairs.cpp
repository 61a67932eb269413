#include "engine/learned_word_pairs.h"

#include <cerrno>
#include <cstdlib>

#include "common/file_path.h"

namespace bangla {

namespace {

// Reads an unsigned 32-bit decimal at the start of text (after blanks and
// tabs); false when there is none or it does not fit.
bool ParseCount(const std::string& text, uint32_t& count) {
    std::size_t position = text.find_first_not_of(" \t");
    if (position == std::string::npos) return false;
    const char first = text[position];
    if (first < '0' || first > '9') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str() + position, &end, 10);
    if (errno == ERANGE || value > UINT32_MAX) return false;
    count = static_cast<uint32_t>(value);
    return true;
}

}  // namespace

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

void LearnedWordPairs::AddCount(PairCounts& counts, const std::string& firstKey,
                                const std::string& follower, uint32_t count) {
    counts[firstKey][follower] += count;
}

void LearnedWordPairs::Count(const std::string& firstKey, const std::string& follower) {
    AddCount(pairs, firstKey, follower, 1);
    AddCount(sessionCounts, firstKey, follower, 1);
}

const LearnedWordPairs::FollowerCounts* LearnedWordPairs::FollowersOf(
    const std::string& firstKey) const {
    const auto found = pairs.find(firstKey);
    return found == pairs.end() ? nullptr : &found->second;
}

void LearnedWordPairs::Clear() {
    pairs.clear();
    sessionCounts.clear();
    clearedInSession = true;
}

void LearnedWordPairs::ParseLine(const std::string& line, PairCounts& counts) {
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string::npos || firstTab + 1 == line.size()) return;
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    const std::string firstKey = line.substr(0, firstTab);
    const std::string follower = secondTab == std::string::npos
                                     ? line.substr(firstTab + 1)
                                     : line.substr(firstTab + 1, secondTab - firstTab - 1);
    uint32_t count = 0;
    if (secondTab == std::string::npos || !ParseCount(line.substr(secondTab + 1), count)) return;
    if (firstKey.empty() || follower.empty() || firstKey == follower || count == 0) return;
    AddCount(counts, firstKey, follower, count);
}

LearnedWordPairs::PairCounts LearnedWordPairs::ReadFile(const std::string& utf8Path, bool* opened) {
    PairCounts counts;
    std::FILE* file = qorva::OpenFile(utf8Path, "r");
    if (opened != nullptr) *opened = file != nullptr;
    if (file == nullptr) return counts;
    std::string line;
    while (ReadTextLine(file, line)) ParseLine(line, counts);
    std::fclose(file);
    return counts;
}

bool LearnedWordPairs::LoadFromFile(const std::string& utf8Path) {
    bool opened = false;
    pairs = ReadFile(utf8Path, &opened);
    sessionCounts.clear();
    clearedInSession = false;
    return opened;
}

bool LearnedWordPairs::WriteFile(const std::string& utf8Path, const PairCounts& counts) {
    const std::string temporaryPath = utf8Path + ".tmp";
    std::FILE* file = qorva::OpenFile(temporaryPath, "w");
    if (file == nullptr) return false;
    bool written = true;
    for (const auto& [firstKey, followers] : counts) {
        for (const auto& [follower, count] : followers) {
            if (std::fprintf(file, "%s\t%s\t%lu\n", firstKey.c_str(), follower.c_str(),
                             static_cast<unsigned long>(count)) < 0) {
                written = false;
            }
        }
    }
    if (std::fclose(file) != 0) written = false;
    if (written && qorva::MoveFileReplacing(temporaryPath, utf8Path)) return true;
    qorva::RemoveFile(temporaryPath);
    return false;
}

bool LearnedWordPairs::SaveMergedToFile(const std::string& utf8Path) {
    PairCounts merged = clearedInSession ? PairCounts() : ReadFile(utf8Path, nullptr);
    for (const auto& [firstKey, followers] : sessionCounts) {
        for (const auto& [follower, count] : followers) AddCount(merged, firstKey, follower, count);
    }
    if (!WriteFile(utf8Path, merged)) return false;
    pairs = std::move(merged);
    sessionCounts.clear();
    clearedInSession = false;
    return true;
}

}  // namespace bangla
