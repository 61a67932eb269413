#include "universal/word_choice.h"

#include <algorithm>

#include "common/text.h"

namespace qorva::universal {
namespace {

std::vector<std::wstring> EngineRows(const EngineCandidateList& list) {
    std::vector<std::wstring> rows;
    const uint32_t count = std::min<uint32_t>(list.count, BANGLA_ENGINE_MAX_CANDIDATES);
    for (uint32_t i = 0; i < count && rows.size() < kMaxEngineRows; ++i) {
        std::wstring text = Utf8ToUtf16(list.candidates[i].text);
        if (text.empty() || std::find(rows.begin(), rows.end(), text) != rows.end()) continue;
        rows.push_back(std::move(text));
    }
    return rows;
}

EngineCandidateList CandidatesOf(BanglaEngineHandle engine, const std::wstring& word) {
    EngineCandidateList list{};
    BanglaEngine_SetComposition(engine, Utf16ToUtf8(word).c_str());
    BanglaEngine_GetCandidates(engine, &list);
    return list;
}

}  // namespace

std::vector<std::wstring> CandidateRows(const EngineCandidateList& list,
                                        const std::wstring& typedWord) {
    std::vector<std::wstring> rows = EngineRows(list);
    if (std::find(rows.begin(), rows.end(), typedWord) == rows.end()) rows.push_back(typedWord);
    return rows;
}

std::vector<std::wstring> PredictionRows(const EngineCandidateList& list) {
    return EngineRows(list);
}

std::vector<std::wstring> WordCandidates(BanglaEngineHandle engine, const std::wstring& word) {
    if (!engine || word.empty()) return {};
    return CandidateRows(CandidatesOf(engine, word), word);
}

std::vector<std::wstring> NextWordPredictions(BanglaEngineHandle engine) {
    if (!engine) return {};
    EngineCandidateList list{};
    BanglaEngine_GetNextWordPredictions(engine, &list);
    return PredictionRows(list);
}

std::wstring TopCandidate(BanglaEngineHandle engine, const std::wstring& word) {
    if (!engine || word.empty()) return {};
    const EngineCandidateList list = CandidatesOf(engine, word);
    if (list.count == 0) return {};
    const std::string top = list.candidates[0].text;
    if (top.empty() || AsciiLower(top) == AsciiLower(Utf16ToUtf8(word))) return {};
    return Utf8ToUtf16(top);
}

CommitOutcome CommitChosenWord(const WordCommit& commit, ModeTarget mode, BanglaEngineHandle engine,
                               TranslationService& translation) {
    CommitOutcome outcome;
    outcome.text = commit.chosen;
    if (mode == ModeTarget::BanglishToEnglish && !outcome.text.empty()) {
        std::wstring english;
        if (translation.LookupCache(outcome.text, english) && !english.empty()) {
            outcome.text = english;
        } else {
            translation.RequestTranslation(outcome.text, 0);
        }
    }
    outcome.keys = BuildKeystrokes(commit.eraseCount, outcome.text, commit.boundary);
    if (outcome.text.empty()) return outcome;
    if (engine && mode != ModeTarget::English) {
        const std::string text = Utf16ToUtf8(outcome.text);
        BanglaEngine_LearnWord(engine, Utf16ToUtf8(commit.typed).c_str(), text.c_str());
        BanglaEngine_CommitWord(engine, text.c_str());
    }
    outcome.predictionsFollow = mode == ModeTarget::Bangla;
    return outcome;
}

Keystrokes CommitPrediction(const std::wstring& word, BanglaEngineHandle engine) {
    if (engine && !word.empty()) BanglaEngine_CommitWord(engine, Utf16ToUtf8(word).c_str());
    return BuildKeystrokes(0, word, L" ");
}

}  // namespace qorva::universal
