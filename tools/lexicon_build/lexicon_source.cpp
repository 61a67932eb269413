#include "tools/lexicon_build/lexicon_source.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <limits>

namespace bangla {

namespace {

constexpr uint16_t kTagLeadsKey = 1;
constexpr char kLeadMarker = '!';

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// Decimal digits only, 1 to 2^32 - 1: every record must stay findable by
// frequency order, so 0 is refused as a typo rather than stored.
bool ParseFrequency(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t number = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return false;
        number = number * 10 + static_cast<uint64_t>(ch - '0');
    }
    if (number == 0 || number > std::numeric_limits<uint32_t>::max()) return false;
    value = static_cast<uint32_t>(number);
    return true;
}

bool IsRomanKey(const std::string& key) {
    return !key.empty() &&
           std::all_of(key.begin(), key.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; });
}

}  // namespace

bool LexiconSource::ParseLine(const std::string& line, std::vector<LexiconEntry>& entries,
                              std::string& error) {
    const std::vector<std::string> fields = Split(line, '\t');
    if (fields.size() != 3) {
        error = "expected word, frequency and keys separated by tabs";
        return false;
    }
    if (fields[0].empty()) {
        error = "empty word";
        return false;
    }
    uint32_t frequency = 0;
    if (!ParseFrequency(fields[1], frequency)) {
        error = "frequency is not a number from 1 to 4294967295";
        return false;
    }
    std::vector<LexiconEntry> parsed;
    for (std::string key : Split(fields[2], ',')) {
        uint16_t tag = 0;
        if (!key.empty() && key.back() == kLeadMarker) {
            key.pop_back();
            tag = kTagLeadsKey;
        }
        if (!IsRomanKey(key)) {
            error = "key \"" + key + "\" is not lower-case Latin letters";
            return false;
        }
        parsed.push_back(LexiconEntry{fields[0], key, frequency, tag});
    }
    entries.insert(entries.end(), parsed.begin(), parsed.end());
    return true;
}

bool LexiconSource::ReadFile(const std::string& path, std::vector<LexiconEntry>& entries,
                             std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::string line;
    uint64_t number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string lineError;
        if (!ParseLine(line, entries, lineError)) {
            error = path + ":" + std::to_string(number) + ": " + lineError;
            return false;
        }
    }
    if (file.bad()) {
        error = "read error in " + path;
        return false;
    }
    return true;
}

void LexiconSource::OrderKeyRuns(std::vector<LexiconEntry>& entries) {
    std::sort(entries.begin(), entries.end(), [](const LexiconEntry& a, const LexiconEntry& b) {
        if (a.roman != b.roman) return a.roman < b.roman;
        if (a.frequency != b.frequency) return a.frequency > b.frequency;
        return a.word < b.word;
    });
}

}  // namespace bangla
