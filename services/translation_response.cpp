#include "services/translation_response.h"

#include <cstring>

#include "common/text.h"
#include "services/json_string.h"

namespace qorva {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLowerAscii(char c) { return c >= 'a' && c <= 'z'; }

bool IsOneOf(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }

void Trim(std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    text = text.substr(begin, end - begin);
}

void RemoveSpaceBeforeMarks(std::string& text) {
    std::size_t i = 1;
    while (i < text.size()) {
        if (IsOneOf(text[i], "!,.;?") && text[i - 1] == ' ') {
            text.erase(i - 1, 1);  // the mark moves to i - 1; go on with the character after it
        } else {
            ++i;
        }
    }
}

// The whitespace-delimited word around `pos` looks like a web address, whose points and
// question marks must stay as they are.
bool InsideWebAddress(const std::string& text, std::size_t pos) {
    std::size_t begin = pos;
    while (begin > 0 && text[begin - 1] != ' ') --begin;
    std::size_t end = pos;
    while (end < text.size() && text[end] != ' ') ++end;
    const std::string word = text.substr(begin, end - begin);
    return word.find("://") != std::string::npos || word.compare(0, 4, "www.") == 0;
}

// A point or comma between two digits (3.5, 1,000), a point inside an ellipsis, and the marks of
// a web address are not sentence punctuation and get no space after them.
bool KeepsMarkAttached(const std::string& text, std::size_t mark) {
    const char next = text[mark + 1];
    if (mark > 0 && IsDigit(text[mark - 1]) && IsDigit(next)) return true;
    if (text[mark] == '.' && next == '.') return true;
    return InsideWebAddress(text, mark);
}

void InsertSpaceAfterMarks(std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (IsOneOf(text[i], "!,.?") && !IsOneOf(text[i + 1], " \"'") &&
            !KeepsMarkAttached(text, i)) {
            text.insert(i + 1, 1, ' ');
            ++i;  // go on behind the inserted space
        }
    }
}

void CollapseSpaceRuns(std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out.push_back(c);
    }
    text.swap(out);
}

void CapitaliseSentenceStarts(std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsSentence =
            i == 0 || (i >= 2 && text[i - 1] == ' ' && IsOneOf(text[i - 2], ".!?"));
        if (startsSentence && IsLowerAscii(text[i]))
            text[i] = static_cast<char>(text[i] - 'a' + 'A');
    }
}

void CapitalisePronounI(std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != 'i') continue;
        const bool alone = (i == 0 || IsOneOf(text[i - 1], " \"(")) &&
                           (i + 1 == text.size() || IsOneOf(text[i + 1], " !\"')',.?"));
        if (alone) text[i] = 'I';
    }
}

bool IsQuestionStarter(const std::string& word) {
    static const char* const kQuestionStarters[] = {
        "what",   "why",      "how",      "when",     "where",  "who",     "whom",   "whose",
        "which",  "are",      "is",       "am",       "was",    "were",    "can",    "could",
        "will",   "would",    "shall",    "should",   "do",     "does",    "did",    "have",
        "has",    "had",      "may",      "might",    "aren't", "isn't",   "wasn't", "weren't",
        "can't",  "couldn't", "won't",    "wouldn't", "don't",  "doesn't", "didn't", "haven't",
        "hasn't", "hadn't",   "shouldn't"};
    for (const char* starter : kQuestionStarters) {
        if (word == starter) return true;
    }
    return false;
}

void AddClosingMark(std::string& text) {
    if (IsOneOf(text.back(), ".!?")) return;
    std::string firstWord;
    for (std::size_t i = 0; i < text.size() && text[i] != ' ' && text[i] != ','; ++i) {
        firstWord.push_back(AsciiLower(text[i]));
    }
    const std::string beforeApostrophe = firstWord.substr(0, firstWord.find('\''));
    if (IsQuestionStarter(firstWord) || IsQuestionStarter(beforeApostrophe)) {
        text.push_back('?');
    } else if (text.find(' ') != std::string::npos) {
        text.push_back('.');
    }
}

// Tidies machine-translated English into one sentence. Works on bytes and touches only ASCII.
void PolishEnglishSentence(std::string& text) {
    Trim(text);
    if (text.empty()) return;
    RemoveSpaceBeforeMarks(text);
    InsertSpaceAfterMarks(text);
    CollapseSpaceRuns(text);
    CapitaliseSentenceStarts(text);
    CapitalisePronounI(text);
    AddClosingMark(text);
}

}  // namespace

bool ParseTranslationResponse(const std::string& reply, std::string& out) {
    out.clear();
    std::size_t pos = 0;
    while (pos < reply.size() && (IsBlank(reply[pos]) || reply[pos] == '[')) ++pos;
    if (pos >= reply.size() || reply[pos] != '"') return false;
    std::string text;
    std::size_t end = 0;
    if (!DecodeJsonString(reply, pos, text, end)) return false;
    PolishEnglishSentence(text);
    out.swap(text);
    return !out.empty();
}

}  // namespace qorva
