#include "engine/phonetic_parser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
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
constexpr float kUnjoinedPenalty = 0.01f;
constexpr const char* kCandidateSource = "beam_search";
// What a long word's deep search holds at most (see SpellingStore).
constexpr std::size_t kTypicalFrontier = 2048;
constexpr std::size_t kTypicalNodes = 8192;

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
        // A digit is written as the Bengali digit, standing on its own.
        {"0", {Consonant(U"\u09E6", 1, 0.0f)}},
        {"1", {Consonant(U"\u09E7", 1, 0.0f)}},
        {"2", {Consonant(U"\u09E8", 1, 0.0f)}},
        {"3", {Consonant(U"\u09E9", 1, 0.0f)}},
        {"4", {Consonant(U"\u09EA", 1, 0.0f)}},
        {"5", {Consonant(U"\u09EB", 1, 0.0f)}},
        {"6", {Consonant(U"\u09EC", 1, 0.0f)}},
        {"7", {Consonant(U"\u09ED", 1, 0.0f)}},
        {"8", {Consonant(U"\u09EE", 1, 0.0f)}},
        {"9", {Consonant(U"\u09EF", 1, 0.0f)}},
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

// The cluster rules that can match at a byte: those with a pattern that
// starts with the byte, ignoring case, in the order they are tried.
const std::vector<const ClusterRule*>& ClusterRulesStartingWith(char byte) {
    static const std::array<std::vector<const ClusterRule*>, 256> kByFirstByte = [] {
        std::array<std::vector<const ClusterRule*>, 256> byFirstByte;
        for (const ClusterRule& rule : ClusterRules()) {
            for (int byte = 0; byte < 256; ++byte) {
                const char letter = static_cast<char>(byte);
                const bool starts = std::any_of(
                    rule.patterns.begin(), rule.patterns.end(), [&](std::string_view pattern) {
                        return !pattern.empty() &&
                               qorva::AsciiLower(pattern[0]) == qorva::AsciiLower(letter);
                    });
                if (starts) byFirstByte[byte].push_back(&rule);
            }
        }
        return byFirstByte;
    }();
    return kByFirstByte[static_cast<unsigned char>(byte)];
}

using SpellingStore = PhoneticParser::SpellingStore;

// Appends the children of one parent state, one spelling at a time.
class ChildWriter {
public:
    ChildWriter(const ParseState& parent, SpellingStore& store, std::vector<ParseState>& children)
        : parent_(parent), store_(store), children_(children) {}

    bool Applies(When when) const {
        switch (when) {
            case When::kAlways: return true;
            case When::kPending: return parent_.pendingConsonant;
            case When::kNotPending: return !parent_.pendingConsonant;
            case When::kNotPendingWithOutput:
                return !parent_.pendingConsonant && parent_.output != SpellingStore::kEmpty;
            case When::kEmptyOutput: return parent_.output == SpellingStore::kEmpty;
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
        Write(child, static_cast<char32_t>(static_cast<signed char>(byte)));
    }

private:
    bool ParentJoinable() const { return parent_.pendingConsonant && parent_.lastConsonant != 0; }

    ParseState& AddChild(std::size_t consumed, float penalty, char32_t lastConsonant,
                         bool pending) {
        children_.push_back(parent_);
        ParseState& child = children_.back();
        child.position += static_cast<uint32_t>(consumed);
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
            Write(child, letterAndSign[0]);
        } else if (letterAndSign.size() > 1) {
            Write(child, letterAndSign[1]);
        }
    }

    // After a pending consonant, offers the conjunct first and the plain
    // sequence at a small extra cost. Only letters form conjuncts: a digit, the
    // danda or a sign typed after a consonant stands on its own, never glued to
    // it by a hasant ("k1" is "ক১", not "ক্১").
    void WriteConsonant(char32_t consonant, std::size_t consumed, float penalty) {
        const bool letter = UnicodeUtils::IsConsonant(consonant);
        if (letter && ParentJoinable()) {
            const char32_t joinedLetter = JoinedLetter(consonant);
            ParseState& joined = AddChild(consumed, penalty, consonant, true);
            Write(joined, kHasant);
            Write(joined, joinedLetter);
            const float unjoinedPenalty = penalty + kUnjoinedPenalty;
            Write(AddChild(consumed, unjoinedPenalty, consonant, true), consonant);
        } else {
            Write(AddChild(consumed, penalty, letter ? consonant : 0, letter), consonant);
        }
    }

    // Ya after a consonant is the ya-phala, except after a ref (ra + hasant),
    // where it keeps its own shape.
    char32_t JoinedLetter(char32_t consonant) const {
        const bool afterRef = parent_.lastConsonant == kRa &&
                              parent_.output != SpellingStore::kEmpty &&
                              store_.Last(parent_.output) == kRa;
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
            Write(child, kHasant);
        } else if (spelling.form == Form::kAPrefixed) {
            Write(child, parent_.pendingConsonant ? kAaSign : kAa);
        }
        for (char32_t codepoint : spelling.text) Write(child, codepoint);
    }

    void Write(ParseState& child, char32_t codepoint) {
        child.output = store_.Append(child.output, codepoint);
    }

    // A copy, so that appending children never moves the parent under it.
    const ParseState parent_;
    SpellingStore& store_;
    std::vector<ParseState>& children_;
};

// A state waiting in the search's heap, as one word: the bits of its
// penalty above where it is stored. Penalties are sums of the rules'
// penalties, never negative, and the bits of floats that are not negative
// order as the floats do; a word, unlike a pair of fields, moves through
// registers without a round trip through memory.
class FrontierEntry {
public:
    FrontierEntry(float penalty, uint32_t state) {
        uint32_t bits;
        std::memcpy(&bits, &penalty, sizeof bits);
        word_ = (static_cast<uint64_t>(bits) << 32) | state;
    }
    uint32_t PenaltyBits() const { return static_cast<uint32_t>(word_ >> 32); }
    uint32_t State() const { return static_cast<uint32_t>(word_); }

private:
    uint64_t word_;
};

// Heap order: the state of least penalty on top; equal penalties are equal,
// whatever their places. Function objects, so that the heap and sort
// algorithms inline the comparison.
struct HigherPenalty {
    bool operator()(const FrontierEntry& a, const FrontierEntry& b) const {
        return a.PenaltyBits() > b.PenaltyBits();
    }
};

struct LowerPenalty {
    bool operator()(const ParseState& a, const ParseState& b) const {
        return a.penalty < b.penalty;
    }
};

// The partial spelling that has read the most input, the cheaper of equals.
// Finishing it greedily comes closer to the best spelling than finishing the
// cheapest state, which the search tends to leave near the start.
const ParseState& MostAdvanced(const std::vector<FrontierEntry>& frontier,
                               const std::vector<ParseState>& states) {
    const auto entry = std::max_element(
        frontier.begin(), frontier.end(), [&](const FrontierEntry& x, const FrontierEntry& y) {
            const ParseState& a = states[x.State()];
            const ParseState& b = states[y.State()];
            return a.position < b.position || (a.position == b.position && a.penalty > b.penalty);
        });
    return states[entry->State()];
}

// The texts already given out by one Parse, as an open-addressing table of
// their places in the results: deep searches complete hundreds of states,
// and a node-based set would allocate for each.
class SeenTexts {
public:
    SeenTexts(const std::vector<PhoneticCandidate>& results, std::size_t capacity)
        : results_(results), slots_(TableSize(capacity), kFree) {}

    bool Contains(std::string_view text) const { return slots_[SlotOf(text)] != kFree; }

    // Remembers that the text, not given out before, is at `place` of the
    // results.
    void Add(std::string_view text, std::size_t place) { slots_[SlotOf(text)] = place; }

private:
    static constexpr std::size_t kFree = static_cast<std::size_t>(-1);

    // The text's slot, or the free slot where it would go.
    std::size_t SlotOf(std::string_view text) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = std::hash<std::string_view>()(text) & mask;
        while (slots_[slot] != kFree && results_[slots_[slot]].text != text)
            slot = (slot + 1) & mask;
        return slot;
    }

    // At most half full, so probes stay short.
    static std::size_t TableSize(std::size_t capacity) {
        std::size_t size = 16;
        while (size < 2 * capacity) size *= 2;
        return size;
    }

    const std::vector<PhoneticCandidate>& results_;
    std::vector<std::size_t> slots_;
};

}  // namespace

// The rules that apply at each position, in the order they are tried: the
// multi-letter rules whose pattern matches (ignoring case) up to the first
// that ends the list, then a digit, a letter's own spellings or the byte
// copied as it stands.
class PhoneticParser::InputReadings {
public:
    explicit InputReadings(const std::string& input) : input_(input) {
        const std::string lowerInput = qorva::AsciiLower(input);
        firstReading_.reserve(input.size() + 1);
        for (std::size_t position = 0; position < input.size(); ++position) {
            firstReading_.push_back(static_cast<uint32_t>(readings_.size()));
            AddReadingsAt(lowerInput, position);
        }
        firstReading_.push_back(static_cast<uint32_t>(readings_.size()));
    }

    std::size_t Size() const { return input_.size(); }

    // Appends the children of one state: each is the state extended by one
    // spelling of the next one to five input bytes, its text in the store.
    // Appends nothing when the state has read the whole input.
    void Expand(const ParseState& state, SpellingStore& store,
                std::vector<ParseState>& children) const {
        const std::size_t position = state.position;
        if (position >= input_.size()) return;
        ChildWriter writer(state, store, children);
        for (uint32_t r = firstReading_[position]; r < firstReading_[position + 1]; ++r) {
            const Reading& reading = readings_[r];
            if (reading.spelling == nullptr) {
                writer.CopyByte(input_[position]);
            } else if (writer.Applies(reading.spelling->when)) {
                writer.Write(*reading.spelling, reading.matchedLength);
            }
        }
    }

private:
    struct Reading {
        const Spelling* spelling;  // null: the byte is copied
        std::size_t matchedLength;
    };

    void AddReadingsAt(const std::string& lowerInput, std::size_t position) {
        const std::string_view rest = std::string_view(lowerInput).substr(position);
        for (const ClusterRule* rule : ClusterRulesStartingWith(lowerInput[position])) {
            const auto matched = std::find_if(
                rule->patterns.begin(), rule->patterns.end(), [&](std::string_view pattern) {
                    return rest.compare(0, pattern.size(), pattern) == 0;
                });
            if (matched == rule->patterns.end() ||
                (rule->condition != nullptr && !rule->condition(input_, position))) {
                continue;
            }
            for (const Spelling& spelling : rule->spellings)
                readings_.push_back({&spelling, matched->size()});
            if (rule->ends) return;
        }
        const LetterRule* rule = FindLetterRule(input_[position]);
        if (rule == nullptr) {
            readings_.push_back({nullptr, 1});
            return;
        }
        for (const Spelling& spelling : rule->spellings) readings_.push_back({&spelling, 1});
    }

    const std::string& input_;
    std::vector<Reading> readings_;
    std::vector<uint32_t> firstReading_;  // per position, and one past the last
};

PhoneticParser::SpellingStore::SpellingStore() {
    static_assert(kWordBytes == qorva::kMaxUtf8Bytes, "a node's word holds any code point's UTF-8");
    nodes.reserve(kTypicalNodes);
    nodes.push_back(Entry{kEmpty, 0});
}

PhoneticParser::SpellingStore::Node PhoneticParser::SpellingStore::Append(Node tail,
                                                                          char32_t codepoint) {
    nodes.push_back(Entry{tail, codepoint});
    return static_cast<Node>(nodes.size() - 1);
}

PhoneticParser::SpellingStore::EncodedCodepoint PhoneticParser::SpellingStore::EncodedOf(
    char32_t codepoint) {
    return codepoint - kFirstBengali < kBengaliBlock.size()
               ? kBengaliBlock[codepoint - kFirstBengali]
               : Encode(codepoint);
}

PhoneticParser::SpellingStore::EncodedCodepoint PhoneticParser::SpellingStore::Encode(
    char32_t codepoint) {
    char bytes[qorva::kMaxUtf8Bytes];
    const std::size_t length = qorva::EncodeUtf8(codepoint, bytes);
    char lastBytes[kWordBytes] = {};
    std::memcpy(lastBytes + kWordBytes - length, bytes, length);
    EncodedCodepoint encoded{0, static_cast<uint32_t>(length)};
    std::memcpy(&encoded.word, lastBytes, kWordBytes);
    return encoded;
}

// Nearly every code point a spelling writes is of the Bengali block.
const std::array<PhoneticParser::SpellingStore::EncodedCodepoint, 128>
    PhoneticParser::SpellingStore::kBengaliBlock = [] {
        std::array<EncodedCodepoint, 128> block{};
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = Encode(kFirstBengali + static_cast<char32_t>(i));
        return block;
    }();

// The spelling's length is summed first; then each node, last first, is
// written as a whole word that ends where its bytes end: what the word
// writes before them lies where the nodes before it write later, or in the
// slack before the first.
std::string_view PhoneticParser::SpellingStore::Utf8(Node tail, std::string& buffer) const {
    uint32_t length = 0;
    for (Node node = tail; node != kEmpty; node = nodes[node].previous)
        length += EncodedOf(nodes[node].codepoint).length;
    buffer.resize(kWordBytes + length);
    char* const textStart = buffer.data() + kWordBytes;
    uint32_t end = length;
    for (Node node = tail; node != kEmpty; node = nodes[node].previous) {
        const EncodedCodepoint encoded = EncodedOf(nodes[node].codepoint);
        std::memcpy(textStart + end - kWordBytes, &encoded.word, kWordBytes);
        end -= encoded.length;
    }
    return std::string_view(textStart, length);
}

std::vector<PhoneticCandidate> PhoneticParser::Parse(const std::string& input,
                                                     std::size_t maxResults,
                                                     std::size_t maxCompletedStates) const {
    WorkBudget budget(kMaxExpandedStates + kFinishSteps);
    return Parse(input, maxResults, maxCompletedStates, budget);
}

std::vector<PhoneticCandidate> PhoneticParser::Parse(const std::string& input,
                                                     std::size_t maxResults,
                                                     std::size_t maxCompletedStates,
                                                     WorkBudget& budget,
                                                     const SpellingFilter& filter) const {
    std::vector<PhoneticCandidate> results;
    if (input.empty() || budget.Remaining() <= kFinishSteps) {
        return results;
    }
    SpellingStore store;
    const InputReadings readings(input);
    std::vector<ParseState> completed =
        SearchCompletedStates(readings, maxCompletedStates, store, budget);
    std::sort(completed.begin(), completed.end(), LowerPenalty());
    results.reserve(std::min(completed.size(), maxResults + 1));
    SeenTexts seenTexts(results, completed.size());
    std::string buffer;
    for (const ParseState& state : completed) {
        const std::string_view text = store.Utf8(state.output, buffer);
        if ((results.size() >= filter.unfiltered && filter.wanted && !filter.wanted(text)) ||
            seenTexts.Contains(text)) {
            continue;
        }
        seenTexts.Add(text, results.size());
        results.push_back({std::string(text), std::exp(-state.penalty), kCandidateSource});
        if (results.size() >= maxResults) {
            break;
        }
    }
    return results;
}

std::vector<PhoneticParser::ParseState> PhoneticParser::SearchCompletedStates(
    const InputReadings& readings, std::size_t maxCompletedStates, SpellingStore& store,
    WorkBudget& budget) const {
    // Every state the search writes stays where it was written; the heap
    // orders small entries that name them. It compares penalties alone, as a
    // heap of the states themselves would, so states of equal penalty come
    // out in the same order.
    std::vector<ParseState> states;
    states.reserve(kTypicalFrontier);
    states.emplace_back();
    std::vector<FrontierEntry> frontier;
    frontier.reserve(kTypicalFrontier);
    frontier.emplace_back(states.front().penalty, 0);
    std::vector<ParseState> completed;
    while (completed.size() < maxCompletedStates && !frontier.empty()) {
        std::pop_heap(frontier.begin(), frontier.end(), HigherPenalty());
        const FrontierEntry entry = frontier.back();
        frontier.pop_back();
        const ParseState state = states[entry.State()];
        if (state.position >= readings.Size()) {
            completed.push_back(state);
            continue;
        }
        if (budget.Remaining() <= kFinishSteps) {
            if (completed.empty()) {
                frontier.push_back(entry);
                completed.push_back(
                    CompleteGreedily(readings, MostAdvanced(frontier, states), store, budget));
            }
            break;
        }
        budget.Charge();
        // The children are pushed into the heap one by one, in the order
        // they were written.
        const std::size_t firstChild = states.size();
        readings.Expand(state, store, states);
        for (std::size_t child = firstChild; child < states.size(); ++child) {
            frontier.emplace_back(states[child].penalty, static_cast<uint32_t>(child));
            std::push_heap(frontier.begin(), frontier.end(), HigherPenalty());
        }
    }
    return completed;
}

PhoneticParser::ParseState PhoneticParser::CompleteGreedily(const InputReadings& readings,
                                                            ParseState state, SpellingStore& store,
                                                            WorkBudget& budget) const {
    std::vector<ParseState> children;
    for (std::size_t step = 0; step < kFinishSteps && state.position < readings.Size(); ++step) {
        budget.Charge();
        children.clear();
        readings.Expand(state, store, children);
        state = *std::min_element(children.begin(), children.end(), LowerPenalty());
    }
    return state;
}

void PhoneticParser::ExpandState(const std::string& input, const ParseState& state,
                                 SpellingStore& store, std::vector<ParseState>& children) const {
    InputReadings(input).Expand(state, store, children);
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
