// Candidate generation: the typed Latin word becomes the ordered list of
// Bengali candidates that the typing programs show. Runs on every keystroke.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/text.h"
#include "engine/bangla_engine_impl.h"
#include "engine/bangla_morphology.h"
#include "engine/bangla_unicode.h"
#include "engine/engine_text.h"
#include "engine/informal_spelling.h"

namespace bangla {

namespace {

constexpr std::size_t kParsedSpellings = 8;
// With a big lexicon the parser's further spellings are read too, but only
// the lexicon words among them are kept: a word typed in a way no key holds
// is often a less likely reading of the letters. The search completes more
// states than the parser's usual limit so that such words are reached; the
// depth is tuning: 192 finds most of what 256 does at a lower cost in the
// slowest keystrokes (held-out words).
constexpr std::size_t kWordSearchSpellings = 192;
constexpr std::size_t kWordSearchStates = 192;
constexpr uint64_t kFilterProbeResults = 2;
constexpr uint64_t kFuzzyWords = 5;
constexpr uint64_t kStemWords = 5;
constexpr uint64_t kStemFuzzyWords = 3;
constexpr std::size_t kMorphologyWords = 2;
constexpr std::size_t kMaxCompoundParts = 6;
constexpr uint64_t kExactWordSearch = 8;
constexpr std::size_t kShortSpellingCodepoints = 3;
constexpr std::size_t kLearnedFollowersWeighed = 32;

// Chat spellings: the words of a few standard keys behind the typed one,
// scored below the typed key's own words.
constexpr uint64_t kInformalWordsPerKey = 3;
constexpr std::size_t kInformalWords = 5;
constexpr float kInformalScore = 0.2f;
// Words of the typed spelling's outline (vowels, h's and doubled letters
// aside): reached however the writer spelled the vowels, ranked below the
// typed key's own words. Three guesses rather than two or four: the best
// count on the Dakshina sentences' tuning quarter (tools/lexicon_pipeline).
constexpr std::size_t kSkeletonWords = 3;
constexpr uint64_t kSkeletonSearch = 5;
constexpr std::size_t kSkeletonMinLetters = 3;
constexpr float kSkeletonScore = 0.0f;
constexpr float kSkeletonScoreGap = 0.001f;
constexpr std::size_t kNotSkeletonWord = static_cast<std::size_t>(-1);
constexpr float kFuzzyScore = 0.9f;
constexpr float kMorphologyScore = 0.99f;
constexpr float kPersonalScore = 1.0f;
constexpr float kWeakPersonalScore = 0.3f;
constexpr float kStrictModeScore = 0.2f;
constexpr float kStrictModeFloor = 0.12f;
constexpr float kExactWordStep = 0.001f;
constexpr float kAutoSelectTolerance = 0.0001f;
constexpr uint16_t kExactWordTag = 1;
// Classifiers typed as a word of their own after a number or a word ("5 ta",
// "boi ta") belong to that word: টা, টি, টো, টুকু. Other readings of the
// same keys (তা, তি) are words of their own at the start of a phrase.
const char* const kClassifiers[] = {
    "\xE0\xA6\x9F\xE0\xA6\xBE",
    "\xE0\xA6\x9F\xE0\xA6\xBF",
    "\xE0\xA6\x9F\xE0\xA7\x8B",
    "\xE0\xA6\x9F\xE0\xA7\x81\xE0\xA6\x95\xE0\xA7\x81",
};
constexpr uint32_t kExactWordFlags = BANGLA_SOURCE_PHONETIC | BANGLA_SOURCE_LEXICON;

// The request's work in budget steps (BanglaEngine::kRequestSteps): a parser
// expansion is one step, a lexicon lookup two, a fuzzy search three lookups,
// an outline search its bounds and the words of a run it compares. The
// typed word's spelling search may take a share far above what real words
// need (a few thousand); each stem's search of the suffix and hyphen
// handling a smaller one; and every step before the ranking leaves enough
// for the ranking to look up each spelling it is handed (fewer than 256),
// so that a request never spends more than its budget.
constexpr std::size_t kLookupSteps = 2;
constexpr std::size_t kFuzzySearchSteps = 3 * kLookupSteps;
constexpr std::size_t kSkeletonSearchSteps = 2 * 20 * kLookupSteps + 128 * 2;
constexpr std::size_t kParseSteps = 8000;
constexpr std::size_t kStemParseSteps = 1500;
constexpr std::size_t kRankReserve = 256 * kLookupSteps;

// Code points counted from UTF-8 lead bytes, as a quick length of a spelling.
std::size_t CountCodepoints(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80)
            i += 1;
        else if ((lead & 0xE0) == 0xC0)
            i += 2;
        else if ((lead & 0xF0) == 0xE0)
            i += 3;
        else
            i += 4;
    }
    return count;
}

bool ContainsText(const std::vector<PhoneticCandidate>& sources, const std::string& text) {
    return std::any_of(sources.begin(), sources.end(),
                       [&](const PhoneticCandidate& c) { return c.text == text; });
}

void AppendUnique(std::vector<std::string>& words, const std::string& word) {
    if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(word);
}

// Writes slots of a candidate list: once per canonical text, never past the
// engine's maximum.
class CandidateListWriter {
public:
    CandidateListWriter(EngineCandidateList& list, uint32_t maxCandidates)
        : list(list), maxCandidates(maxCandidates) {
        seenTexts.reserve(maxCandidates);
    }

    bool Full() const { return list.count >= maxCandidates; }

    void Add(const std::string& text, const std::string& roman, float score, uint32_t sourceFlags,
             bool autoSelect) {
        if (Full()) return;
        // Canonical text is well-formed UTF-8: what the decoder refused is
        // gone. A text with nothing left (a spelling of bytes that are no
        // letters, a typed text that is no UTF-8) is no candidate.
        std::string canonical = UnicodeUtils::CanonicalizeBengali(text);
        if (canonical.empty() ||
            std::find(seenTexts.begin(), seenTexts.end(), canonical) != seenTexts.end())
            return;
        EngineCandidate& slot = list.candidates[list.count++];
        CopyTextField(canonical, slot.text);
        CopyTextField(roman, slot.roman);
        slot.score = score;
        slot.sourceFlags = sourceFlags;
        slot.autoSelect = autoSelect;
        seenTexts.push_back(std::move(canonical));
    }

private:
    EngineCandidateList& list;
    const uint32_t maxCandidates;
    std::vector<std::string> seenTexts;  // canonical, at most one list's worth
};

// The working data of one request, step by step.
class CandidateGeneration {
public:
    CandidateGeneration(const BanglaEngine& engine, WorkBudget& budget)
        : engine(engine),
          budget(budget),
          composition(engine.composition),
          lexicon(engine.lexicon),
          previousWord(engine.contextWords.empty() ? std::string() : engine.contextWords.back()) {}

    void Run(EngineCandidateList& list) {
        // Of the deep search's further spellings only words will stay.
        const SpellingFilter furtherWords{
            kParsedSpellings, [&](std::string_view text) { return lexicon.MayHoldWord(text); }};
        sources = engine.bigLexicon ? ParseWithin(composition, kWordSearchSpellings,
                                                  kWordSearchStates, kParseSteps, furtherWords)
                                    : ParseWithin(composition, kParsedSpellings,
                                                  PhoneticParser::kMaxCompletedStates, kParseSteps);
        if (engine.bigLexicon) KeepLexiconSpellings();
        AddFuzzyWords();
        AddInformalWords();
        AddSkeletonWords();
        AddMorphologyWords();
        AddPersonalWords();
        AddLearnedPairBoosts();
        // The ranking's lookups and the exact words' one.
        budget.Charge((sources.size() + 2) * kLookupSteps);
        // The outline guesses go behind the typed words only after ranking:
        // the list is ranked with room for them, so that they never push a
        // word the letters spell out of it, and cut to its size afterwards.
        ranked = engine.ranker.RankCandidates(
            composition, sources, lexicon, previousWord, boosts, engine.config.autoCorrect,
            engine.config.autoCorrectThreshold, engine.MaxCandidates() + skeletonOnlyTexts.size());
        KeepSkeletonWordsBehindTypedWords();
        OrderSkeletonWordsByNearness();
        KeepSpellingAmongGuesses();
        CutToListSize();
        PromoteFrequentPersonalWords();
        Write(list);
    }

private:
    // Steps before the ranking: recorded only when they leave the ranking
    // its reserve.
    bool Afford(std::size_t steps) const { return budget.Afford(steps, kRankReserve); }

    // The parser's spellings within `share` of the budget. A spelling the
    // search leaves unfinished takes up to PhoneticParser::kFinishSteps more,
    // which are kept back too.
    std::vector<PhoneticCandidate> ParseWithin(const std::string& text, std::size_t maxResults,
                                               std::size_t maxCompletedStates, std::size_t share,
                                               const SpellingFilter& filter = {}) const {
        const std::size_t kept = kRankReserve + PhoneticParser::kFinishSteps;
        const std::size_t available = budget.Remaining() > kept ? budget.Remaining() - kept : 0;
        WorkBudget parseBudget(std::min(share, available));
        std::vector<PhoneticCandidate> spellings =
            engine.parser.Parse(text, maxResults, maxCompletedStates, parseBudget, filter);
        budget.Charge(parseBudget.Spent());
        return spellings;
    }

    // A lexicon word by Find, within the budget; a text the budget cannot
    // look up counts as no word.
    bool IsLexiconWord(const std::string& text) const {
        return Afford(kLookupSteps) && lexicon.Find(text) != nullptr;
    }

    // With a big lexicon, spellings that are no word are noise once some
    // spelling or a near key is a word; short ones among the parser's best
    // stay as building blocks. Of the further spellings only words stay.
    void KeepLexiconSpellings() {
        std::vector<bool> words(sources.size());
        for (std::size_t rank = 0; rank < sources.size(); ++rank)
            words[rank] = IsLexiconWord(sources[rank].text);
        const bool anyWord = std::find(words.begin(), words.end(), true) != words.end();
        if (!anyWord &&
            (!Afford(kFuzzySearchSteps) ||
             lexicon.SearchRomanFuzzy(composition, engine.fuzzyNormalizer, kFilterProbeResults)
                 .empty())) {
            if (sources.size() > kParsedSpellings) sources.resize(kParsedSpellings);
            return;
        }
        // Moved out: once one is kept, the kept ones replace the sources.
        std::vector<PhoneticCandidate> kept;
        for (std::size_t rank = 0; rank < sources.size(); ++rank) {
            const bool buildingBlock =
                rank < kParsedSpellings &&
                CountCodepoints(sources[rank].text) <= kShortSpellingCodepoints;
            if (buildingBlock || words[rank]) kept.push_back(std::move(sources[rank]));
        }
        if (!kept.empty()) {
            sources = std::move(kept);
        } else if (sources.size() > kParsedSpellings) {
            sources.resize(kParsedSpellings);
        }
    }

    void AddFuzzyWords() {
        if (!Afford(kFuzzySearchSteps)) return;
        for (const LexiconEntry& entry :
             lexicon.SearchRomanFuzzy(composition, engine.fuzzyNormalizer, kFuzzyWords)) {
            if (!ContainsText(sources, entry.word))
                sources.push_back({entry.word, kFuzzyScore, "fuzzy_roman"});
        }
    }

    // The words under the keys the typed chat spelling stands for, the keys
    // of its most telling habits first; doubled letters are forgiven as for
    // the typed key.
    void AddInformalWords() {
        std::size_t added = 0;
        for (const std::string& key :
             InformalSpelling::AlternativeKeys(FuzzyNormalizer::ToLower(composition))) {
            if (!Afford(kFuzzySearchSteps)) return;
            for (const LexiconEntry& entry :
                 lexicon.SearchRomanFuzzy(key, engine.fuzzyNormalizer, kInformalWordsPerKey)) {
                if (ContainsText(sources, entry.word)) continue;
                sources.push_back({entry.word, kInformalScore, "informal_roman"});
                if (++added == kInformalWords) return;
            }
        }
    }

    // The nearest words of the outline often are the typed key's own words
    // already; a few more are read so that new ones still come in.
    void AddSkeletonWords() {
        if (composition.size() < kSkeletonMinLetters || !Afford(kSkeletonSearchSteps)) return;
        std::size_t added = 0;
        for (const LexiconEntry& entry : lexicon.SearchSkeleton(composition, kSkeletonSearch)) {
            if (ContainsText(sources, entry.word)) continue;
            sources.push_back({entry.word, kSkeletonScore, "skeleton_roman"});
            skeletonOnlyTexts.push_back(entry.word);
            if (++added == kSkeletonWords) return;
        }
    }

    std::vector<std::string> StemWords(const std::string& stem) const {
        std::vector<std::string> words;
        const std::string lowerStem = FuzzyNormalizer::ToLower(stem);
        if (!Afford(2 * kLookupSteps + kFuzzySearchSteps)) return words;
        for (const LexiconEntry& e : lexicon.SearchRoman(lowerStem, kStemWords))
            AppendUnique(words, e.word);
        if (lowerStem != stem) {
            for (const LexiconEntry& e : lexicon.SearchRoman(stem, kStemWords))
                AppendUnique(words, e.word);
        }
        for (const LexiconEntry& e :
             lexicon.SearchRomanFuzzy(stem, engine.fuzzyNormalizer, kStemFuzzyWords)) {
            AppendUnique(words, e.word);
        }
        if (words.empty()) {
            for (const PhoneticCandidate& c :
                 ParseWithin(stem, 1, PhoneticParser::kMaxCompletedStates, kStemParseSteps))
                AppendUnique(words, c.text);
        }
        return words;
    }

    // Words joined by hyphens (uttor-purbo, grame-ganje) are each read as
    // typed and joined again: the parser alone reads the whole token letter
    // by letter and finds no word in it.
    std::string HyphenatedCompound() const {
        if (composition.find('-') == std::string::npos) return std::string();
        std::vector<std::string> parts;
        for (std::size_t start = 0;;) {
            const std::size_t hyphen = composition.find('-', start);
            parts.push_back(
                composition.substr(start, hyphen == std::string::npos ? hyphen : hyphen - start));
            if (hyphen == std::string::npos) break;
            start = hyphen + 1;
        }
        if (parts.size() > kMaxCompoundParts) return std::string();
        std::string compound;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::vector<std::string> words =
                parts[i].empty() ? std::vector<std::string>{} : StemWords(parts[i]);
            if (words.empty()) return std::string();
            if (i > 0) compound += '-';
            compound += words.front();
        }
        return compound;
    }

    std::vector<std::string> PartsAndSuffixWords() const {
        std::string stem;
        std::string suffix;
        const bool split = BanglaMorphology::DecomposeHyphenatedToken(composition, stem, suffix) ||
                           BanglaMorphology::DecomposeCompoundToken(composition, stem, suffix) ||
                           BanglaMorphology::DecomposeNumberToken(composition, stem, suffix);
        if (!split || stem.empty() || suffix.empty()) {
            const std::string compound = HyphenatedCompound();
            return compound.empty() ? std::vector<std::string>{}
                                    : std::vector<std::string>{compound};
        }
        std::vector<std::string> words;
        for (const std::string& stemWord : StemWords(stem)) {
            const std::string word = BanglaMorphology::AttachSuffix(stemWord, suffix);
            if (word.empty() || std::find(words.begin(), words.end(), word) != words.end())
                continue;
            words.push_back(word);
            if (words.size() == kMorphologyWords) break;
        }
        return words;
    }

    void AddMorphologyWords() {
        morphologyWords = PartsAndSuffixWords();
        if (morphologyWords.empty()) return;
        std::vector<PhoneticCandidate> merged;
        for (const std::string& word : morphologyWords)
            merged.push_back({word, kMorphologyScore, "morphology"});
        for (const PhoneticCandidate& c : sources) {
            if (c.text.find('-') == std::string::npos) merged.push_back(c);
        }
        sources = std::move(merged);
    }

    void AddPersonalWords() {
        for (const UserWordEntry& word :
             engine.personalDictionary.GetWordsByRomanKey(composition)) {
            // Words learned before only Bengali text was learned may be English.
            if (word.autoLearned && !qorva::HoldsBengaliLetter(word.text)) continue;
            // The agreement costs two lookups for an auto-learned word.
            if (engine.bigLexicon && word.autoLearned && !Afford(2 * kLookupSteps)) continue;
            if (!engine.AgreesWithLexicon(word)) continue;
            const bool weak = word.autoLearned && word.frequency <= 1;
            sources.push_back(
                {word.text, weak ? kWeakPersonalScore : kPersonalScore, "personal_dict"});
            if (weak) continue;
            const float boost = std::log10(static_cast<float>(word.frequency) + 1.0f) / 3.0f + 0.2f;
            boosts[word.text] = std::min(1.0f, boost);
            if (word.frequency >= 2) promotedTexts.insert(word.text);
        }
    }

    // Only the most used followers of the previous word are weighed: a word
    // can have followed it thousands of times, and a keystroke must stay cheap.
    void AddLearnedPairBoosts() {
        if (previousWord.empty()) return;
        const std::vector<LearnedWordPairs::FollowerUse>& followers =
            engine.userBigrams.FollowersByUse(previousWord);
        const std::size_t weighed = std::min(followers.size(), kLearnedFollowersWeighed);
        for (std::size_t i = 0; i < weighed; ++i) {
            const std::string& follower = *followers[i].follower;
            if (!qorva::HoldsBengaliLetter(follower)) continue;
            if (engine.bigLexicon && !IsLexiconWord(follower)) continue;
            const float boost = std::min(
                1.0f, std::log10(static_cast<float>(followers[i].count) + 1.0f) * 0.25f + 0.35f);
            const auto existing = boosts.find(follower);
            if (existing == boosts.end() || boost > existing->second) boosts[follower] = boost;
        }
    }

    // A word found only through the outline of the typed spelling is a
    // guess at what the writer meant: it is never committed on its own, and
    // it never leads a word that the typed letters themselves spell.
    void KeepSkeletonWordsBehindTypedWords() {
        if (skeletonOnlyTexts.empty()) return;
        const auto isSkeletonOnly = [&](const ScoredCandidate& c) {
            return SkeletonRank(c.text) != kNotSkeletonWord;
        };
        float bestTypedWordScore = -1.0f;
        for (ScoredCandidate& c : ranked) {
            if (isSkeletonOnly(c)) {
                c.autoSelect = false;
            } else if ((c.sourceFlags & BANGLA_SOURCE_LEXICON) != 0) {
                bestTypedWordScore = std::max(bestTypedWordScore, c.finalScore);
            }
        }
        if (bestTypedWordScore < 0.0f) return;
        for (ScoredCandidate& c : ranked) {
            if (isSkeletonOnly(c))
                c.finalScore = std::min(c.finalScore, bestTypedWordScore - kSkeletonScoreGap);
        }
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const ScoredCandidate& a, const ScoredCandidate& b) {
                             return a.finalScore > b.finalScore;
                         });
    }

    std::size_t SkeletonRank(const std::string& text) const {
        const auto found = std::find(skeletonOnlyTexts.begin(), skeletonOnlyTexts.end(), text);
        return found == skeletonOnlyTexts.end()
                   ? kNotSkeletonWord
                   : static_cast<std::size_t>(found - skeletonOnlyTexts.begin());
    }

    // Among themselves, outline guesses keep the order of their nearness to
    // the typed spelling (anektayi: অনেকটাই before the more frequent অনেকটা);
    // they swap places and scores, so the list stays ordered by score.
    void OrderSkeletonWordsByNearness() {
        std::vector<std::size_t> places;
        for (std::size_t i = 0; i < ranked.size(); ++i) {
            if (SkeletonRank(ranked[i].text) != kNotSkeletonWord) places.push_back(i);
        }
        std::vector<ScoredCandidate> words;
        std::vector<float> scores;
        for (std::size_t place : places) {
            words.push_back(ranked[place]);
            scores.push_back(ranked[place].finalScore);
        }
        std::stable_sort(words.begin(), words.end(),
                         [&](const ScoredCandidate& a, const ScoredCandidate& b) {
                             return SkeletonRank(a.text) < SkeletonRank(b.text);
                         });
        for (std::size_t k = 0; k < places.size(); ++k) {
            ranked[places[k]] = words[k];
            ranked[places[k]].finalScore = scores[k];
        }
    }

    // When the letters spell no word and the outline found only guesses,
    // the best spelling of the letters (a name, a word the lexicon lacks)
    // follows the guesses instead of giving way to them, and keeps a place
    // before the typed text however few the list's slots.
    void KeepSpellingAmongGuesses() {
        const std::size_t none = ranked.size();
        std::size_t firstGuess = none;
        std::size_t lastGuess = none;
        std::size_t spelling = none;
        for (std::size_t i = 0; i < ranked.size(); ++i) {
            const ScoredCandidate& c = ranked[i];
            if (IsFallback(c)) continue;
            const bool guess = SkeletonRank(c.text) != kNotSkeletonWord;
            if (!guess && (c.sourceFlags & BANGLA_SOURCE_LEXICON) != 0) return;
            if (guess) {
                if (firstGuess == none) firstGuess = i;
                lastGuess = i;
            } else if (spelling == none) {
                spelling = i;
            }
        }
        if (firstGuess == none || spelling == none || spelling < firstGuess) return;
        ScoredCandidate kept = std::move(ranked[spelling]);
        ranked.erase(ranked.begin() + static_cast<std::ptrdiff_t>(spelling));
        if (lastGuess > spelling) --lastGuess;
        const std::size_t lastBeforeTypedText =
            engine.MaxCandidates() >= 2 ? engine.MaxCandidates() - 2 : 0;
        const std::size_t place =
            std::max(firstGuess + 1, std::min(lastGuess + 1, lastBeforeTypedText));
        kept.finalScore = ranked[place - 1].finalScore;
        ranked.insert(ranked.begin() + static_cast<std::ptrdiff_t>(place), std::move(kept));
    }

    // The ranker's list shape: at most the list's slots, the typed text in
    // the last place when the list is full.
    void CutToListSize() {
        const std::size_t slots = engine.MaxCandidates();
        if (ranked.size() <= slots) return;
        const auto fallback = std::find_if(ranked.begin(), ranked.end(),
                                           [&](const ScoredCandidate& c) { return IsFallback(c); });
        if (fallback == ranked.end() || slots == 0) {
            ranked.resize(slots);
            return;
        }
        ScoredCandidate typedText = std::move(*fallback);
        ranked.erase(fallback);
        ranked.resize(slots - 1);
        ranked.push_back(std::move(typedText));
    }

    void PromoteFrequentPersonalWords() {
        std::stable_partition(ranked.begin(), ranked.end(), [&](const ScoredCandidate& c) {
            return promotedTexts.count(c.text) != 0;
        });
    }

    static bool IsClassifier(const std::string& word) {
        return std::any_of(std::begin(kClassifiers), std::end(kClassifiers),
                           [&](const char* classifier) { return word == classifier; });
    }

    // The typed key's marked words; after a number or a word, its classifier first.
    std::vector<std::string> ExactWords() const {
        std::vector<std::string> words;
        const std::vector<LexiconEntry> typedKeyWords =
            lexicon.SearchRoman(FuzzyNormalizer::ToLower(composition), kExactWordSearch);
        if (!previousWord.empty()) {
            for (const LexiconEntry& e : typedKeyWords) {
                if (IsClassifier(e.word)) AppendUnique(words, e.word);
            }
        }
        for (const LexiconEntry& e : typedKeyWords) {
            if ((e.tag & kExactWordTag) != 0) AppendUnique(words, e.word);
        }
        for (const std::string& word : morphologyWords) AppendUnique(words, word);
        return words;
    }

    bool IsFallback(const ScoredCandidate& c) const { return c.text == composition; }

    void Write(EngineCandidateList& list) const {
        const std::vector<std::string> exactWords = ExactWords();
        const bool strict =
            !exactWords.empty() ||
            std::any_of(ranked.begin(), ranked.end(), [&](const ScoredCandidate& c) {
                return !IsFallback(c) && c.finalScore >= kStrictModeScore;
            });
        CandidateListWriter writer(list, engine.MaxCandidates());
        float exactScore = 1.0f;
        for (const std::string& word : exactWords) {
            const bool autoSelect =
                engine.config.autoCorrect &&
                exactScore >= engine.config.autoCorrectThreshold - kAutoSelectTolerance;
            writer.Add(word, composition, exactScore, kExactWordFlags, autoSelect);
            exactScore -= kExactWordStep;
        }
        for (const ScoredCandidate& c : ranked) {
            if (writer.Full()) break;
            if (IsFallback(c) || (strict && c.finalScore < kStrictModeFloor)) continue;
            writer.Add(c.text, c.roman, c.finalScore, c.sourceFlags, c.autoSelect);
        }
        const auto fallback = std::find_if(ranked.begin(), ranked.end(),
                                           [&](const ScoredCandidate& c) { return IsFallback(c); });
        if (fallback != ranked.end()) {
            writer.Add(fallback->text, fallback->roman, fallback->finalScore, fallback->sourceFlags,
                       false);
        }
    }

    const BanglaEngine& engine;
    WorkBudget& budget;
    const std::string& composition;
    const LexiconTrie& lexicon;
    const std::string previousWord;  // the last word committed, or empty
    std::vector<PhoneticCandidate> sources;
    std::vector<std::string> morphologyWords;
    ContextRanker::PersonalBoosts boosts;
    std::unordered_set<std::string> promotedTexts;
    std::vector<std::string> skeletonOnlyTexts;  // nearest spelling first
    std::vector<ScoredCandidate> ranked;
};

}  // namespace

void BanglaEngine::GetCandidates(EngineCandidateList& list) const {
    WorkBudget budget(kRequestSteps);
    GetCandidates(list, budget);
}

void BanglaEngine::GetCandidates(EngineCandidateList& list, WorkBudget& budget) const {
    std::memset(&list, 0, sizeof list);
    CopyTextField(composition, list.input);
    if (composition.empty()) return;
    CandidateGeneration(*this, budget).Run(list);
}

}  // namespace bangla
