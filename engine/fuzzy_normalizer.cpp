#include "engine/fuzzy_normalizer.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "common/text.h"

namespace bangla {
namespace {

struct Rewrite {
    const char* from;
    const char* to;
};

// Whole-word corrections. Every from-text occurs once, so row order is free.
const Rewrite kWordMaps[] = {
    {"battary", "battery"},
    {"batery", "battery"},
    {"batary", "battery"},
    {"battari", "battery"},
    {"batari", "battery"},
    {"batteri", "battery"},
    {"batarry", "battery"},
    {"somossa", "somossha"},
    {"somosha", "somossha"},
    {"shomossa", "somossha"},
    {"shomossha", "somossha"},
    {"shomosya", "somossha"},
    {"shomoshya", "somossha"},
    {"somosya", "somossha"},
    {"somoshya", "somossha"},
    {"poribarton", "poriborton"},
    {"poribortan", "poriborton"},
    {"poribertan", "poriborton"},
    {"paribartan", "poriborton"},
    {"poriskar", "porishkar"},
    {"porizkar", "porishkar"},
    {"parishkar", "porishkar"},
    {"cheyar", "chair"},
    {"chear", "chair"},
    {"cheyear", "chair"},
    {"tebil", "table"},
    {"tabil", "table"},
    {"teble", "table"},
    {"kontrol", "control"},
    {"conrol", "control"},
    {"kontrole", "control"},
    {"compyuter", "computer"},
    {"computar", "computer"},
    {"compyutar", "computer"},
    {"kompiutar", "computer"},
    {"intarnet", "internet"},
    {"internit", "internet"},
    {"intenet", "internet"},
    {"enternet", "internet"},
    {"phan", "fan"},
    {"fyan", "fan"},
    {"maus", "mouse"},
    {"maush", "mouse"},
    {"ofis", "office"},
    {"ofice", "office"},
    {"ophis", "office"},
    {"skrinshot", "screenshot"},
    {"skrinshat", "screenshot"},
    {"outpot", "output"},
    {"bren", "brain"},
    {"betor", "better"},
    {"betar", "better"},
    {"powerd", "powered"},
    {"suggession", "suggestion"},
    {"sajeshon", "suggestion"},
    {"sajeson", "suggestion"},
    {"window", "windows"},
    {"tenshon", "tension"},
    {"bangladeshi", "bangladesh"},
    {"khusi", "khushi"},
    {"manish", "manush"},
    {"manosh", "manush"},
    {"shongit", "shongeet"},
    {"sangit", "shongeet"},
    {"shobuj", "sobuj"},
    // Identity rows: these words are right as typed and must not reach the
    // ending rules or the doubled-letter collapse.
    {"hide", "hide"},
    {"haid", "hide"},
    {"unhide", "unhide"},
    {"butone", "buttone"},
    {"botone", "buttone"},
    {"batone", "buttone"},
    {"buton", "button"},
    {"baton", "button"},
    {"conflikt", "conflict"},
    {"kanflikt", "conflict"},
    {"konflikt", "conflict"},
    {"sachonnodo", "swacchondo"},
    {"shachonnodo", "swacchondo"},
    {"sachondo", "swacchondo"},
    {"shachondo", "swacchondo"},
    {"shacchondo", "swacchondo"},
    {"shachchondo", "swacchondo"},
    {"swachondo", "swacchondo"},
    {"sachonnodoe", "swacchondye"},
    {"sachondye", "swacchondye"},
    {"swachondye", "swacchondye"},
    {"dicsonari", "dictionary"},
    {"diksonari", "dictionary"},
    {"dikshonari", "dictionary"},
    {"dicsionari", "dictionary"},
    {"diksionari", "dictionary"},
};

// Ending corrections, tried in this order; the first matching ending wins.
const Rewrite kSuffixRules[] = {
    {"ary", "ery"},
    {"ari", "ery"},
    {"eri", "ery"},
    {"arry", "ery"},
    {"ossa", "ossha"},
    {"osha", "ossha"},
    {"barton", "borton"},
    {"bortan", "borton"},
    {"bertan", "borton"},
    {"iskar", "ishkar"},
    {"arishkar", "orishkar"},
    {"eyar", "air"},
    {"ear", "air"},
    // Maps onto itself so that "control" and its relatives stay untouched.
    {"ontrol", "ontrol"},
};

const size_t kMinLengthForEndingRules = 3;

bool IsCollapsible(char letter) {
    return std::string_view("bdfglmnprt").find(letter) != std::string_view::npos;
}

// Doubled letters before h spell an aspirate (uddhar, buddhi) and are kept.
bool FormsAspirateWithH(char letter) {
    return std::string_view("bcdgkprst").find(letter) != std::string_view::npos;
}

bool EndsWith(const std::string& word, std::string_view ending) {
    return word.size() >= ending.size() &&
           std::string_view(word).substr(word.size() - ending.size()) == ending;
}

// Every keystroke asks several keys, so the table is hashed once.
const char* FindWordMap(const std::string& word) {
    static const std::unordered_map<std::string_view, const char*> kByWord = [] {
        std::unordered_map<std::string_view, const char*> byWord;
        for (const Rewrite& row : kWordMaps) byWord.emplace(row.from, row.to);
        return byWord;
    }();
    const auto found = kByWord.find(word);
    return found == kByWord.end() ? nullptr : found->second;
}

const Rewrite* FindSuffixRule(const std::string& word) {
    if (word.size() < kMinLengthForEndingRules) return nullptr;
    for (const Rewrite& rule : kSuffixRules) {
        if (EndsWith(word, rule.from)) return &rule;
    }
    return nullptr;
}

}  // namespace

std::string FuzzyNormalizer::ToLower(const std::string& word) { return qorva::AsciiLower(word); }

std::string FuzzyNormalizer::ApplyRules(const std::string& word) const {
    const std::string lower = ToLower(word);
    if (const char* replacement = FindWordMap(lower)) return replacement;
    if (const Rewrite* rule = FindSuffixRule(lower)) {
        return lower.substr(0, lower.size() - std::strlen(rule->from)) + rule->to;
    }
    return CollapseDoubledLetters(lower);
}

std::string FuzzyNormalizer::CollapseDoubledLetters(const std::string& word) {
    // Most keys hold no such pair; they are answered without building one.
    bool anyPair = false;
    for (size_t i = 0; i + 1 < word.size() && !anyPair; ++i) {
        anyPair = word[i] == word[i + 1] && IsCollapsible(word[i]) &&
                  !(FormsAspirateWithH(word[i]) && i + 2 < word.size() && word[i + 2] == 'h');
    }
    if (!anyPair) return std::string();
    std::string collapsed;
    collapsed.reserve(word.size());
    bool skippedAny = false;
    size_t i = 0;
    while (i < word.size()) {
        const char letter = word[i];
        collapsed += letter;
        ++i;
        while (i < word.size() && word[i] == letter && IsCollapsible(letter) &&
               !(FormsAspirateWithH(letter) && i + 1 < word.size() && word[i + 1] == 'h')) {
            ++i;
            skippedAny = true;
        }
    }
    return skippedAny ? collapsed : std::string();
}

std::vector<std::string> FuzzyNormalizer::Normalize(const std::string& word) const {
    const std::string lower = ToLower(word);
    std::vector<std::string> keys{lower};
    const std::string first = ApplyRules(lower);
    if (first.empty() || first == lower) return keys;
    keys.push_back(first);
    const std::string second = ApplyRules(first);
    if (!second.empty() && second != first && second != lower) keys.push_back(second);
    return keys;
}

std::string FuzzyNormalizer::BestCanonical(const std::string& word) const {
    return Normalize(word).back();
}

}  // namespace bangla
