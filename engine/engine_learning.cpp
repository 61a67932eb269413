// Committing, learning and sentence transliteration: what the user commits
// feeds the context, the learned word pairs and the personal dictionary.
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine/bangla_engine_impl.h"

namespace bangla {

namespace {

constexpr const char* kDanda = "\xE0\xA5\xA4";  // U+0964, written for a typed '.'

// A word that can be learned: Bengali text, and nothing that would break the
// line and field structure of the learned-data files.
bool IsLearnableWord(const std::string& word) {
    return qorva::HoldsBengaliLetter(word) && word.find_first_of("\t\r\n") == std::string::npos;
}

std::vector<std::string> SplitAtWhiteSpace(const std::string& text) {
    static const char* const kWhiteSpace = " \t\n\r\v\f";
    std::vector<std::string> tokens;
    std::size_t start = text.find_first_not_of(kWhiteSpace);
    while (start != std::string::npos) {
        const std::size_t end = text.find_first_of(kWhiteSpace, start);
        tokens.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? end : text.find_first_not_of(kWhiteSpace, end);
    }
    return tokens;
}

// Moves the trailing '!', ',', '.', '?' of the token into the returned text,
// in typed order, with '.' written as the danda.
std::string TakeTrailingPunctuation(std::string& token) {
    std::string punctuation;
    while (!token.empty()) {
        const char last = token.back();
        if (last != '!' && last != ',' && last != '.' && last != '?') break;
        token.pop_back();
        punctuation.insert(0, last == '.' ? std::string(kDanda) : std::string(1, last));
    }
    return punctuation;
}

// The word without the punctuation kept after it: trailing ASCII bytes and
// dandas (a typed '.'), so that no suffix lands after a full stop.
std::string BengaliBaseOf(const std::string& word) {
    std::string base = word;
    for (;;) {
        if (!base.empty() && static_cast<unsigned char>(base.back()) < 0x80) {
            base.pop_back();
        } else if (base.size() >= 3 && base.compare(base.size() - 3, 3, kDanda) == 0) {
            base.resize(base.size() - 3);
        } else {
            return base;
        }
    }
}

// Ends in a vowel sign U+09BE..U+09CC.
bool EndsInVowelSign(const std::string& base) {
    if (base.size() <= 2) return false;
    const unsigned char* tail =
        reinterpret_cast<const unsigned char*>(base.data() + base.size() - 3);
    if (tail[0] != 0xE0) return false;
    if (tail[1] == 0xA6) return tail[2] == 0xBE || tail[2] == 0xBF;
    return tail[1] == 0xA7 && tail[2] >= 0x80 && tail[2] <= 0x8C;
}

// The Bengali form of a detached suffix token typed after a word, or empty
// when the token does not join that base.
std::string DetachedSuffixForm(const std::string& token, bool baseEndsInVowelSign) {
    if (baseEndsInVowelSign) return token == "r" ? "\xE0\xA6\xB0" : "";
    if (token == "e") return "\xE0\xA7\x87";
    if (token == "te") return "\xE0\xA6\xA4\xE0\xA7\x87";
    if (token == "ke") return "\xE0\xA6\x95\xE0\xA7\x87";
    return "";
}

// Joins a detached suffix token ("bari te") onto the previous output word.
// Only a Bengali base takes a suffix: a word left in Latin letters would
// otherwise be replaced by the bare suffix.
bool JoinDetachedSuffix(std::vector<std::string>& output, const std::string& token,
                        const std::string& punctuation) {
    if (output.empty() || output.back().size() <= 2) return false;
    const std::string base = BengaliBaseOf(output.back());
    if (base.empty() || !qorva::HoldsBengaliLetter(base)) return false;
    const std::string suffix = DetachedSuffixForm(token, EndsInVowelSign(base));
    if (suffix.empty()) return false;
    output.back() = base + suffix + punctuation;
    return true;
}

std::string JoinWithSpaces(const std::vector<std::string>& words) {
    std::string joined;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) joined += ' ';
        joined += words[i];
    }
    return joined;
}

}  // namespace

void BanglaEngine::CountCommittedPairs(const std::string& word) {
    const std::size_t size = contextWords.size();
    if (!learningEnabled || size < 2 || !IsLearnableWord(word)) return;
    const std::string& previous = contextWords[size - 2];
    if (previous.empty() || previous == word || !IsLearnableWord(previous)) return;
    userBigrams.Count(previous, word);
    if (size < 3) return;
    const std::string& beforePrevious = contextWords[size - 3];
    if (beforePrevious.empty() || beforePrevious == previous || !IsLearnableWord(beforePrevious))
        return;
    userBigrams.Count(beforePrevious + " " + previous, word);
}

void BanglaEngine::CommitWord(const std::string& word) {
    AppendContextWord(word);
    CountCommittedPairs(word);
    personalDictionary.IncrementFrequency(word);
    composition.clear();
}

bool BanglaEngine::LearnWord(const std::string& roman, const std::string& word) {
    if (!learningEnabled || !IsLearnableWord(word) ||
        roman.find_first_of("\t\r\n") != std::string::npos) {
        return false;
    }
    const std::string last = contextWords.empty() ? std::string() : contextWords.back();
    const bool stored = personalDictionary.AddWord(roman, word, true);
    if (!last.empty() && last != word && IsLearnableWord(last)) userBigrams.Count(last, word);
    AppendContextWord(word);
    composition.clear();
    return stored;
}

// The text input processor calls this on every keystroke of its English
// target, so it learns nothing: the chosen words are context only for the
// words after them in the sentence, and the context of the user's own
// commits is left as it was found.
bool BanglaEngine::TransliterateSentence(const std::string& roman, char* dst, uint64_t dstLen) {
    if (dst == nullptr || dstLen == 0) return false;
    std::vector<std::string> userContext;
    userContext.swap(contextWords);
    ResetContext();
    std::vector<std::string> output;
    EngineCandidateList list;
    for (std::string token : SplitAtWhiteSpace(roman)) {
        const std::string punctuation = TakeTrailingPunctuation(token);
        if (JoinDetachedSuffix(output, token, punctuation)) continue;
        composition = token;
        GetCandidates(list);
        const std::string chosen = list.count > 0 ? std::string(list.candidates[0].text) : token;
        output.push_back(chosen + punctuation);
        AppendContextWord(chosen);
    }
    composition.clear();
    contextWords.swap(userContext);
    const std::string sentence = JoinWithSpaces(output);
    if (sentence.size() >= dstLen) return false;
    std::memcpy(dst, sentence.data(), sentence.size());
    std::memset(dst + sentence.size(), 0, static_cast<std::size_t>(dstLen - sentence.size()));
    return true;
}

}  // namespace bangla
