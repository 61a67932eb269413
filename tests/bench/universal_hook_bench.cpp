// Per-keystroke cost of the universal program's keyboard hook, without the window system: the key
// decision, the candidate rows of the word so far and, at the word's end, the commit's choice, its
// key events and the next-word predictions. The hook runs this for every key of the session, and
// Windows drops a hook that answers late.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "services/translation_service.h"
#include "tests/bench/bench_engine.h"
#include "tests/bench/keystroke_timing.h"
#include "universal/hook_decision.h"
#include "universal/word_choice.h"

namespace qorva::universal {
namespace {

using bangla::bench::BenchEngine;

// The typed words as key-downs, each word ended by a space.
std::vector<HookKey> TypedKeys() {
    std::vector<HookKey> keys;
    for (const std::string& word : bangla::bench::TypedWords()) {
        for (char c : word + " ") {
            HookKey key;
            key.character = static_cast<wchar_t>(c);
            key.vk = c >= 'a' && c <= 'z' ? static_cast<uint32_t>(c - 'a' + 'A')
                     : c == ' '           ? 0x20u
                                          : 0xBDu;  // the minus key
            keys.push_back(key);
        }
    }
    return keys;
}

// One iteration is one key-down; the counters give the median and the 99th percentile.
void BM_HookKeystroke(benchmark::State& state) {
    const BanglaEngineHandle engine = BenchEngine::Get();
    TranslationService translation;  // Bangla mode: never asked
    const std::vector<HookKey> keys = TypedKeys();
    UniversalTyping typing;
    typing.SetEnabled(true);
    std::vector<std::wstring> rows;
    bangla::bench::KeystrokeTiming timing;
    std::size_t next = 0;
    for (auto _ : state) {
        const HookKey& key = keys[next];
        next = (next + 1) % keys.size();
        timing.Time([&] {
            HookView view;
            view.handleNow = true;
            view.windowVisible = !rows.empty();
            view.listSize = rows.size();
            const HookDecision decision = DecideKey(key, view, typing);
            if (decision.command == HookDecision::Command::UpdateCandidates) {
                rows = WordCandidates(engine, typing.Buffer());
            } else if (decision.command == HookDecision::Command::CommitWord) {
                const TypingAction& word = decision.commit;
                const std::wstring chosen =
                    rows.empty() ? TopCandidate(engine, word.text) : rows[0];
                const CommitOutcome outcome =
                    CommitChosenWord({word.text, chosen, word.eraseCount, word.boundary},
                                     ModeTarget::Bangla, engine, translation);
                benchmark::DoNotOptimize(outcome.keys.data());
                rows = outcome.predictionsFollow ? NextWordPredictions(engine)
                                                 : std::vector<std::wstring>{};
            }
        });
    }
    timing.Report(state);
}
BENCHMARK(BM_HookKeystroke);

}  // namespace
}  // namespace qorva::universal
