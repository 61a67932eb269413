#pragma once

// What the per-keystroke benchmarks share: one engine over a lexicon of realistic size (300,000
// generated words whose keys share prefixes the way Banglish keys do), and the words typed key by
// key.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "tests/bench/generated_lexicon.h"
#include "tests/support/engine_fixtures.h"

namespace bangla::bench {

constexpr uint32_t kLexiconEntries = 300000;

// One engine over the generated lexicon, with learning off, shared by every benchmark.
class BenchEngine {
public:
    static BanglaEngineHandle Get() {
        static BenchEngine instance;
        return instance.engine.get();
    }

private:
    BenchEngine() {
        WriteLexiconFile(folder.File("lexicon.bin"), GeneratedLexicon(kLexiconEntries));
        engine =
            testing_support::MakeEngine(folder.File("lexicon.bin"), folder.File("user_dict.txt"));
        BanglaEngine_SetLearningEnabled(engine.get(), false);
    }

    TempFolder folder{"bench"};
    testing_support::EnginePtr engine;
};

// Words as a user types them.
inline const std::vector<std::string>& TypedWords() {
    static const std::vector<std::string> words = {
        "ami",        "bhalo",     "kemon",   "achi",   "korbo",    "bangladesh",
        "poriborton", "dhonnobad", "bari-te", "shomoy", "bidyaloy", "kothay"};
    return words;
}

// Every prefix of the typed words, as typed key by key.
inline std::vector<std::string> Keystrokes() {
    std::vector<std::string> typed;
    for (const std::string& word : TypedWords()) {
        for (std::size_t keys = 1; keys <= word.size(); ++keys)
            typed.push_back(word.substr(0, keys));
    }
    return typed;
}

}  // namespace bangla::bench
