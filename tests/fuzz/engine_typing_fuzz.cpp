// Types arbitrary text into an engine with a big lexicon, the way a host does
// on every keystroke: every prefix of each line is set as the composition and
// its candidates are read. No input may crash, hang or overrun a candidate
// field, whatever the parser, the outline search, the chat-spelling reader
// or the hyphen and suffix handling make of it, and no keystroke may spend
// more steps than the request's budget, so none can stall its host (a step
// count, where a timed check would fail on a busy machine). Every candidate
// is a non-empty text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "engine/bangla_engine_impl.h"
#include "engine/lexicon_trie.h"
#include "tools/lib/lexicon_writer.h"
#include "tools/lib/temp_folder.h"

namespace {

// Enough words to switch on the engine's big-lexicon behaviour, under keys
// that share outlines so that the outline search has runs to read.
std::vector<bangla::LexiconEntry> FuzzLexicon() {
    std::vector<bangla::LexiconEntry> entries = {
        {"আমি", "ami", 90000, 1},     {"ভালো", "bhalo", 20000, 1}, {"ভালো", "valo", 20000, 0},
        {"কেমন", "kemon", 9000, 0},   {"উত্তর", "uttor", 3000, 0},  {"পূর্ব", "purbo", 2500, 0},
        {"শুটিং", "shooting", 700, 0}, {"জগৎ", "jogot", 800, 0},    {"গাঁ", "ga", 300, 0},
    };
    const char* const consonants[] = {"ক", "খ", "গ", "ত", "দ", "ন", "প", "ব", "ম", "র", "ল", "স"};
    const char* const romans[] = {"k", "kh", "g", "t", "d", "n", "p", "b", "m", "r", "l", "s"};
    for (uint32_t i = 0; entries.size() < 1200; ++i) {
        const uint32_t a = i % 12, b = (i / 12) % 12, c = (i / 144) % 12;
        entries.push_back({std::string(consonants[a]) + "া" + consonants[b] + consonants[c],
                           std::string(romans[a]) + "a" + romans[b] + "o" + romans[c], 1 + i, 0});
    }
    return entries;
}

struct FuzzEngine {
    FuzzEngine() : folder("typing_fuzz") {
        const std::string lexicon = folder.File("lexicon.bin");
        const std::string dict = folder.File("user_dict.txt");
        if (!bangla::WriteLexiconFile(lexicon, FuzzLexicon())) return;
        EngineConfig config;
        BanglaEngine_GetDefaultConfig(&config);
        config.lexiconPath = lexicon.c_str();
        config.userDictPath = dict.c_str();
        config.autoCorrect = true;
        handle = BanglaEngine_Create(&config);
        if (handle != nullptr) BanglaEngine_SetLearningEnabled(handle, false);
    }
    ~FuzzEngine() {
        if (handle != nullptr) BanglaEngine_Destroy(handle);
    }

    bangla::TempFolder folder;
    BanglaEngineHandle handle = nullptr;
};

// Key by key up to a word's usual length, then the whole line at once: long
// lines still reach every path, without a search per key of them.
constexpr size_t kKeyByKeyBytes = 20;
constexpr size_t kMaxLines = 8;

void Request(bangla::BanglaEngine& engine, const std::string& typed) {
    engine.composition = typed;
    EngineCandidateList list;
    bangla::WorkBudget budget(bangla::BanglaEngine::kRequestSteps);
    engine.GetCandidates(list, budget);
    if (budget.Spent() > budget.Limit()) __builtin_trap();
    for (uint32_t i = 0; i < list.count; ++i) {
        if (list.candidates[i].text[0] == '\0') __builtin_trap();
    }
}

void Type(bangla::BanglaEngine& engine, const std::string& line) {
    for (size_t length = 1; length <= line.size() && length <= kKeyByKeyBytes; ++length)
        Request(engine, line.substr(0, length));
    if (line.size() > kKeyByKeyBytes) Request(engine, line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzEngine s_engine;
    if (s_engine.handle == nullptr) __builtin_trap();
    // The handle is the engine object behind the C interface.
    bangla::BanglaEngine& engine = *reinterpret_cast<bangla::BanglaEngine*>(s_engine.handle);
    std::string line;
    size_t lines = 0;
    for (size_t i = 0; i <= size && lines < kMaxLines; ++i) {
        // A NUL ends a C string early; lines are typed as separate words.
        if (i == size || data[i] == '\n' || data[i] == '\0') {
            Type(engine, line);
            line.clear();
            ++lines;
        } else {
            line += static_cast<char>(data[i]);
        }
    }
    return 0;
}
