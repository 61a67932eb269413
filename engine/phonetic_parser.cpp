#include "engine/phonetic_parser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>
#include <utility>

#include "common/text.h"
#include "engine/bangla_unicode.h"

namespace bangla {

namespace {

using ParseState = PhoneticParser::ParseState;

constexpr char32_t kHasant = 0x09CD;
constexpr char32_t kRa = 0x09B0;
constexpr char32_t kYa = 0x09AF;
constexpr char32_t kAntasthaYa = 0x09DF;
constexpr char32_t kAa = 0x0986;
constexpr char32_t kAaSign = 0x09BE;
constexpr char32_t kBengaliDigitZero = 0x09E6;
constexpr float kUnjoinedPenalty = 0.01f;
constexpr const char* kCandidateSource = "beam_search";

// How a spelling extends its parent.
enum class Form {
    kVowel,      // text = independent vowel, then its sign if it has one
    kConsonant,  // text = the consonant; joined to a pending one by hasant or not
    kJoined,     // hasant first when the parent is joinable, then text
    kPlain,      // text as it stands
    kAPrefixed,  // the vowel aa (letter or sign), then text
};

// Which parents a single-letter spelling applies to.
enum class When { kAlways, kPending, kNotPending, kNotPendingWithOutput, kEmptyOutput };

struct Spelling {
    Form form;
    std::u32string_view text;
    std::size_t consumed;  // 0: as many bytes as the matched pattern
    float penalty;
    char32_t lastConsonant = 0;  // written forms only; the steps set their own
    bool pending = false;        // written forms only
    When when = When::kAlways;
};

using ClusterCondition = bool (*)(const std::string& input, std::size_t position);

struct ClusterRule {
    std::vector<std::string_view> patterns;  // longest first
    ClusterCondition condition;              // nullptr: always
    std::vector<Spelling> spellings;
    bool ends = true;  // false: the rules below are tried as well
};

bool IsNotSchool(const std::string& input, std::size_t position) {
    return !PhoneticParser::MatchPrefix(input, position, "school");
}

bool IsNotSth(const std::string& input, std::size_t position) {
    return !PhoneticParser::MatchPrefix(input, position, "sth");
}

bool EndsInput(const std::string& input, std::size_t position) {
    return position + 2 == input.size();
}

Spelling Vowel(std::u32string_view letterAndSign, std::size_t consumed, float penalty) {
    return {Form::kVowel, letterAndSign, consumed, penalty};
}

Spelling Consonant(std::u32string_view consonant, std::size_t consumed, float penalty) {
    return {Form::kConsonant, consonant, consumed, penalty};
}

Spelling Written(Form form, std::u32string_view text, std::size_t consumed, float penalty,
                 char32_t lastConsonant, bool pending) {
    return {form, text, consumed, penalty, lastConsonant, pending};
}

Spelling Only(When when, Spelling spelling) {
    spelling.when = when;
    return spelling;
}

// Multi-letter rules in the order they are tried at a position. Patterns
// ignore case.
const std::vector<ClusterRule>& ClusterRules() {
    static const std::vector<ClusterRule> kRules = {
        {{"shchh", "schh", "shch", "sch", "cchh", "chch", "cch", "chh"},
         IsNotSchool,
         {Written(Form::kJoined, U"\u099A\u09CD\u099B", 0, 0.0f, 0x099B, true),
          Written(Form::kJoined, U"\u099B", 0, 0.03f, 0x099B, true)}},
        {{"xt"},
         nullptr,
         {Written(Form::kJoined, U"\u0995\u09CD\u09B8\u09CD\u099F", 2, 0.0f, 0x099F, true),
          Written(Form::kJoined, U"\u0995\u09CD\u09B8\u09CD\u09A4", 2, 0.04f, 0x09A4, true)}},
        {{"tion"},
         nullptr,
         {Written(Form::kPlain, U"\u09B6\u09A8", 4, 0.01f, 0x09A8, true)},
         false},
        {{"kkh", "khh"},
         nullptr,
         {Written(Form::kJoined, U"\u0995\u09CD\u09B7", 3, 0.0f, 0x09B7, true)}},
        {{"ngsh", "nsh"},
         nullptr,
         {Written(Form::kPlain, U"\u0982\u09B6", 0, 0.0f, 0x09B6, true),
          Written(Form::kPlain, U"\u0982\u09B8", 0, 0.02f, 0x09B8, true)}},
        {{"ggan", "gyan"},
         nullptr,
         {Written(Form::kPlain, U"\u099C\u09CD\u099E\u09BE\u09A8", 4, 0.0f, 0, false)}},
        {{"tth"},
         nullptr,
         {Consonant(U"\u09A0", 3, 0.0f),
          Written(Form::kJoined, U"\u09A4\u09CD\u09A5", 3, 0.03f, 0x09A5, true)}},
        {{"thh"},
         nullptr,
         {Written(Form::kJoined, U"\u09A5\u09CD\u09AF", 3, 0.02f, 0x09AF, true),
          Consonant(U"\u09A5", 3, 0.04f)}},
        {{"ddh"}, nullptr, {Consonant(U"\u09A2", 3, 0.0f)}},
        {{"kh"}, nullptr, {Consonant(U"\u0996", 2, 0.0f)}},
        {{"gh"}, nullptr, {Consonant(U"\u0998", 2, 0.0f)}},
        {{"ng"}, nullptr, {Consonant(U"\u0982", 2, 0.0f), Consonant(U"\u0999", 2, 0.05f)}},
        {{"ch"}, nullptr, {Consonant(U"\u099A", 2, 0.0f), Consonant(U"\u099B", 2, 0.05f)}},
        {{"jh"}, nullptr, {Consonant(U"\u099D", 2, 0.0f)}},
        {{"th"}, nullptr, {Consonant(U"\u09A5", 2, 0.0f), Consonant(U"\u09A0", 2, 0.05f)}},
        {{"dh"}, nullptr, {Consonant(U"\u09A7", 2, 0.0f), Consonant(U"\u09A2", 2, 0.05f)}},
        {{"ph"}, nullptr, {Consonant(U"\u09AB", 2, 0.0f)}},
        {{"bh"}, nullptr, {Consonant(U"\u09AD", 2, 0.0f)}},
        {{"shh"}, nullptr, {Consonant(U"\u09B6", 3, 0.0f), Consonant(U"\u09B8", 3, 0.02f)}},
        {{"sh"},
         nullptr,
         {Consonant(U"\u09B6", 2, 0.0f), Consonant(U"\u09B8", 2, 0.01f),
          Consonant(U"\u09B7", 2, 0.05f)}},
        {{"rh"}, nullptr, {Consonant(U"\u09DC", 2, 0.0f), Consonant(U"\u09DD", 2, 0.05f)}},
        {{"st"},
         IsNotSth,
         {Written(Form::kJoined, U"\u09B7\u09CD\u099F", 2, 0.0f, 0x099F, true),
          Written(Form::kJoined, U"\u09B8\u09CD\u09A4", 2, 0.01f, 0x09A4, true),
          Written(Form::kJoined, U"\u09B8\u09CD\u099F", 2, 0.02f, 0x099F, true)}},
        {{"aw"},
         nullptr,
         {Written(Form::kAPrefixed, U"\u0993", 2, 0.0f, 0, false),
          Written(Form::kAPrefixed, U"\u09AC", 2, 0.08f, 0x09AC, true)}},
        {{"ao"}, nullptr, {Written(Form::kAPrefixed, U"\u0993", 2, 0.0f, 0, false)}},
        {{"aa"}, nullptr, {Vowel(U"\u0986\u09BE", 2, 0.0f)}},
        {{"ee", "ii"},
         nullptr,
         {Vowel(U"\u0987\u09BF", 2, 0.0f), Vowel(U"\u0988\u09C0", 2, 0.02f)}},
        {{"oo", "uu"},
         nullptr,
         {Vowel(U"\u0989\u09C1", 2, 0.0f), Vowel(U"\u098A\u09C2", 2, 0.02f)}},
        // Ra alone consumes only the r, so the i or ri after it is read again.
        {{"ri"}, nullptr, {Consonant(U"\u09B0", 1, 0.0f), Vowel(U"\u098B\u09C3", 2, 0.03f)}},
        {{"rri"}, nullptr, {Consonant(U"\u09B0", 1, 0.0f), Vowel(U"\u098B\u09C3", 3, 0.03f)}},
        {{"oi"}, nullptr, {Vowel(U"\u0990\u09C8", 2, 0.0f)}},
        {{"ou", "ow"}, nullptr, {Vowel(U"\u0994\u09CC", 2, 0.0f)}},
        {{"oy"},
         nullptr,
         {Written(Form::kPlain, U"\u09DF", 2, 0.0f, 0, false), Vowel(U"\u0990\u09C8", 2, 0.05f)}},
        {{"ai"}, EndsInput, {Written(Form::kAPrefixed, U"\u09DF", 2, 0.0f, 0, false)}},
    };
    return kRules;
}

struct LetterRule {
    std::string_view bytes;  // the letters (case matters) that share the spellings
    std::vector<Spelling> spellings;
};

// Single-letter rules, each consuming one byte.
const std::vector<LetterRule>& LetterRules() {
    static const std::vector<LetterRule> kRules = {
        {"aA",
         {Vowel(U"\u0986\u09BE", 1, 0.0f), Vowel(U"\u0985", 1, 0.01f),
          Only(When::kNotPending, Vowel(U"\u098F\u09C7", 1, 0.02f))}},
        {"bB", {Consonant(U"\u09AC", 1, 0.0f)}},
        {"c", {Consonant(U"\u099A", 1, 0.0f), Consonant(U"\u0995", 1, 0.05f)}},
        {"C", {Consonant(U"\u099B", 1, 0.0f)}},
        {"d", {Consonant(U"\u09A6", 1, 0.0f), Consonant(U"\u09A1", 1, 0.03f)}},
        {"D", {Consonant(U"\u09A1", 1, 0.0f), Consonant(U"\u09A6", 1, 0.05f)}},
        {"eE", {Vowel(U"\u098F\u09C7", 1, 0.0f)}},
        {"fF", {Consonant(U"\u09AB", 1, 0.0f)}},
        {"gG", {Consonant(U"\u0997", 1, 0.0f)}},
        {"hH", {Consonant(U"\u09B9", 1, 0.0f)}},
        {"iI", {Vowel(U"\u0987\u09BF", 1, 0.0f), Vowel(U"\u0988\u09C0", 1, 0.05f)}},
        {"j", {Consonant(U"\u099C", 1, 0.0f), Consonant(U"\u09AF", 1, 0.01f)}},
        {"J", {Consonant(U"\u099D", 1, 0.0f), Consonant(U"\u099C", 1, 0.02f)}},
        {"k", {Consonant(U"\u0995", 1, 0.0f), Consonant(U"\u0996", 1, 0.02f)}},
        {"K", {Consonant(U"\u0996", 1, 0.0f), Consonant(U"\u0995", 1, 0.02f)}},
        {"lL", {Consonant(U"\u09B2", 1, 0.0f)}},
        {"mM", {Consonant(U"\u09AE", 1, 0.0f)}},
        {"n", {Consonant(U"\u09A8", 1, 0.0f), Consonant(U"\u09A3", 1, 0.05f)}},
        {"N", {Consonant(U"\u09A3", 1, 0.0f), Consonant(U"\u09A8", 1, 0.02f)}},
        // A word-initial o is most often the inherent vowel; elsewhere o-kar.
        {"oO",
         {Only(When::kPending, Vowel(U"\u0993\u09CB", 1, 0.0f)),
          Only(When::kPending, Vowel(U"\u0985", 1, 0.01f)),
          Only(When::kNotPendingWithOutput, Vowel(U"\u0993\u09CB", 1, 0.0f)),
          Only(When::kNotPendingWithOutput, Vowel(U"\u0985", 1, 0.03f)),
          Only(When::kEmptyOutput, Vowel(U"\u0985", 1, 0.0f)),
          Only(When::kEmptyOutput, Vowel(U"\u0993\u09CB", 1, 0.02f))}},
        {"pP", {Consonant(U"\u09AA", 1, 0.0f)}},
        {"r", {Consonant(U"\u09B0", 1, 0.0f), Consonant(U"\u09DC", 1, 0.04f)}},
        {"R", {Consonant(U"\u09DC", 1, 0.0f), Consonant(U"\u09B0", 1, 0.05f)}},
        {"s", {Consonant(U"\u09B8", 1, 0.0f), Consonant(U"\u09B6", 1, 0.02f)}},
        {"S", {Consonant(U"\u09B6", 1, 0.0f), Consonant(U"\u09B7", 1, 0.03f)}},
        {"t", {Consonant(U"\u09A4", 1, 0.0f), Consonant(U"\u099F", 1, 0.03f)}},
        {"T", {Consonant(U"\u099F", 1, 0.0f), Consonant(U"\u09A4", 1, 0.05f)}},
        {"uU", {Vowel(U"\u0989\u09C1", 1, 0.0f), Vowel(U"\u098A\u09C2", 1, 0.01f)}},
        {"vV", {Consonant(U"\u09AD", 1, 0.0f), Consonant(U"\u09AC", 1, 0.05f)}},
        {"wW",
         {Only(When::kNotPendingWithOutput, Written(Form::kPlain, U"\u0993", 1, 0.0f, 0, false)),
          Consonant(U"\u09AC", 1, 0.05f)}},
        {"xX",
         {Written(Form::kJoined, U"\u0995\u09CD\u09B8", 1, 0.01f, 0x09B8, true),
          Written(Form::kJoined, U"\u0995\u09CD\u09B7", 1, 0.04f, 0x09B7, true)}},
        {"yY", {Consonant(U"\u09DF", 1, 0.0f), Consonant(U"\u09AF", 1, 0.02f)}},
        {"zZ", {Consonant(U"\u099C", 1, 0.0f), Consonant(U"\u09AF", 1, 0.02f)}},
        {".", {Consonant(U"\u0964", 1, 0.0f)}},
    };
    return kRules;
}

const LetterRule* FindLetterRule(char byte) {
    static const std::array<const LetterRule*, 256> kByByte = [] {
        std::array<const LetterRule*, 256> byByte{};
        for (const LetterRule& rule : LetterRules()) {
            for (char letter : rule.bytes) {
                byByte[static_cast<unsigned char>(letter)] = &rule;
            }
        }
        return byByte;
    }();
    return kByByte[static_cast<unsigned char>(byte)];
}

// Appends the children of one parent state, one spelling at a time.
class ChildWriter {
public:
    ChildWriter(const ParseState& parent, std::vector<ParseState>& children)
        : parent_(parent), children_(children) {}

    bool Applies(When when) const {
        switch (when) {
            case When::kAlways: return true;
            case When::kPending: return parent_.pendingConsonant;
            case When::kNotPending: return !parent_.pendingConsonant;
            case When::kNotPendingWithOutput:
                return !parent_.pendingConsonant && !parent_.output.empty();
            case When::kEmptyOutput: return parent_.output.empty();
        }
        return false;
    }

    void Write(const Spelling& spelling, std::size_t matchedLength) {
        const std::size_t consumed = spelling.consumed != 0 ? spelling.consumed : matchedLength;
        switch (spelling.form) {
            case Form::kVowel: WriteVowel(spelling.text, consumed, spelling.penalty); break;
            case Form::kConsonant:
                WriteConsonant(spelling.text.front(), consumed, spelling.penalty);
                break;
            case Form::kJoined:
            case Form::kPlain:
            case Form::kAPrefixed: WriteForm(spelling, consumed); break;
        }
    }

    // A byte no rule names is copied. Bytes above 0x7F become values outside
    // Unicode, which the conversion to UTF-8 leaves out.
    void CopyByte(char byte) {
        ParseState& child = AddChild(1, 0.0f, 0, false);
        child.output.push_back(static_cast<char32_t>(static_cast<signed char>(byte)));
    }

private:
    bool ParentJoinable() const { return parent_.pendingConsonant && parent_.lastConsonant != 0; }

    ParseState& AddChild(std::size_t consumed, float penalty, char32_t lastConsonant,
                         bool pending) {
        children_.push_back(parent_);
        ParseState& child = children_.back();
        child.position += consumed;
        child.penalty += penalty;
        child.lastConsonant = lastConsonant;
        child.pendingConsonant = pending;
        return child;
    }

    // After a pending consonant a vowel is written as its sign; the inherent
    // vowel, which has no sign, writes nothing.
    void WriteVowel(std::u32string_view letterAndSign, std::size_t consumed, float penalty) {
        ParseState& child = AddChild(consumed, penalty, 0, false);
        if (!parent_.pendingConsonant) {
            child.output.push_back(letterAndSign[0]);
        } else if (letterAndSign.size() > 1) {
            child.output.push_back(letterAndSign[1]);
        }
    }

    // After a pending consonant, offers the conjunct first and the plain
    // sequence at a small extra cost. Only letters form conjuncts: a digit, the
    // danda or a sign typed after a consonant stands on its own, never glued to
    // it by a hasant ("k1" is "ক১", not "ক্১").
    void WriteConsonant(char32_t consonant, std::size_t consumed, float penalty) {
        const bool letter = UnicodeUtils::IsConsonant(consonant);
        if (letter && ParentJoinable()) {
            ParseState& joined = AddChild(consumed, penalty, consonant, true);
            joined.output.push_back(kHasant);
            joined.output.push_back(JoinedLetter(consonant));
            const float unjoinedPenalty = penalty + kUnjoinedPenalty;
            AddChild(consumed, unjoinedPenalty, consonant, true).output.push_back(consonant);
        } else {
            AddChild(consumed, penalty, letter ? consonant : 0, letter).output.push_back(consonant);
        }
    }

    // Ya after a consonant is the ya-phala, except after a ref (ra + hasant),
    // where it keeps its own shape.
    char32_t JoinedLetter(char32_t consonant) const {
        const bool afterRef =
            parent_.lastConsonant == kRa && !parent_.output.empty() && parent_.output.back() == kRa;
        if (!afterRef && consonant == kAntasthaYa) {
            return kYa;
        }
        return consonant;
    }

    void WriteForm(const Spelling& spelling, std::size_t consumed) {
        const bool joinable = ParentJoinable();
        ParseState& child =
            AddChild(consumed, spelling.penalty, spelling.lastConsonant, spelling.pending);
        if (spelling.form == Form::kJoined && joinable) {
            child.output.push_back(kHasant);
        } else if (spelling.form == Form::kAPrefixed) {
            child.output.push_back(parent_.pendingConsonant ? kAaSign : kAa);
        }
        child.output.append(spelling.text);
    }

    const ParseState& parent_;
    std::vector<ParseState>& children_;
};

// Heap order: the state of least penalty on top.
bool HigherPenalty(const ParseState& a, const ParseState& b) { return a.penalty > b.penalty; }

bool LowerPenalty(const ParseState& a, const ParseState& b) { return a.penalty < b.penalty; }

// The partial spelling that has read the most input, the cheaper of equals.
// Finishing it greedily comes closer to the best spelling than finishing the
// cheapest state, which the search tends to leave near the start.
const ParseState& MostAdvanced(const std::vector<ParseState>& states) {
    return *std::max_element(
        states.begin(), states.end(), [](const ParseState& a, const ParseState& b) {
            return a.position < b.position || (a.position == b.position && a.penalty > b.penalty);
        });
}

}  // namespace

std::vector<PhoneticCandidate> PhoneticParser::Parse(const std::string& input,
                                                     std::size_t maxResults,
                                                     std::size_t maxCompletedStates) const {
    std::vector<PhoneticCandidate> results;
    if (input.empty()) {
        return results;
    }
    std::vector<ParseState> completed = SearchCompletedStates(input, maxCompletedStates);
    std::sort(completed.begin(), completed.end(), LowerPenalty);
    // A set, since deep searches complete hundreds of states.
    std::unordered_set<std::string> seenTexts;
    for (const ParseState& state : completed) {
        std::string text = UnicodeUtils::Utf32ToUtf8(state.output);
        if (!seenTexts.insert(text).second) {
            continue;
        }
        results.push_back({std::move(text), std::exp(-state.penalty), kCandidateSource});
        if (results.size() >= maxResults) {
            break;
        }
    }
    return results;
}

std::vector<PhoneticParser::ParseState> PhoneticParser::SearchCompletedStates(
    const std::string& input, std::size_t maxCompletedStates) const {
    std::vector<ParseState> frontier(1);
    std::vector<ParseState> completed;
    std::vector<ParseState> children;
    std::size_t expanded = 0;
    while (completed.size() < maxCompletedStates && !frontier.empty()) {
        std::pop_heap(frontier.begin(), frontier.end(), HigherPenalty);
        ParseState state = std::move(frontier.back());
        frontier.pop_back();
        if (state.position >= input.size()) {
            completed.push_back(std::move(state));
            continue;
        }
        if (expanded == kMaxExpandedStates) {
            if (completed.empty()) {
                frontier.push_back(std::move(state));
                completed.push_back(CompleteGreedily(input, MostAdvanced(frontier)));
            }
            break;
        }
        ++expanded;
        children.clear();
        ExpandState(input, state, children);
        for (ParseState& child : children) {
            frontier.push_back(std::move(child));
            std::push_heap(frontier.begin(), frontier.end(), HigherPenalty);
        }
    }
    return completed;
}

PhoneticParser::ParseState PhoneticParser::CompleteGreedily(const std::string& input,
                                                            ParseState state) const {
    std::vector<ParseState> children;
    while (state.position < input.size()) {
        children.clear();
        ExpandState(input, state, children);
        state = std::move(*std::min_element(children.begin(), children.end(), LowerPenalty));
    }
    return state;
}

void PhoneticParser::ExpandState(const std::string& input, const ParseState& state,
                                 std::vector<ParseState>& children) const {
    const std::size_t position = state.position;
    if (position >= input.size()) {
        return;
    }
    ChildWriter writer(state, children);
    for (const ClusterRule& rule : ClusterRules()) {
        const auto matched = std::find_if(
            rule.patterns.begin(), rule.patterns.end(),
            [&](std::string_view pattern) { return MatchPrefix(input, position, pattern); });
        if (matched == rule.patterns.end() ||
            (rule.condition != nullptr && !rule.condition(input, position))) {
            continue;
        }
        for (const Spelling& spelling : rule.spellings) {
            writer.Write(spelling, matched->size());
        }
        if (rule.ends) {
            return;
        }
    }
    const char byte = input[position];
    if (byte >= '0' && byte <= '9') {
        const char32_t digit = kBengaliDigitZero + static_cast<char32_t>(byte - '0');
        writer.Write(Consonant(std::u32string_view(&digit, 1), 1, 0.0f), 1);
        return;
    }
    const LetterRule* rule = FindLetterRule(byte);
    if (rule == nullptr) {
        writer.CopyByte(byte);
        return;
    }
    for (const Spelling& spelling : rule->spellings) {
        if (writer.Applies(spelling.when)) {
            writer.Write(spelling, 1);
        }
    }
}

bool PhoneticParser::MatchPrefix(const std::string& input, std::size_t position,
                                 std::string_view pattern) {
    if (position > input.size() || input.size() - position < pattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (qorva::AsciiLower(input[position + i]) != qorva::AsciiLower(pattern[i])) {
            return false;
        }
    }
    return true;
}

std::string PhoneticParser::ToLower(const std::string& text) { return qorva::AsciiLower(text); }

}  // namespace bangla
