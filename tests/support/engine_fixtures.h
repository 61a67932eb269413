#pragma once

// Helpers shared by every test and benchmark that needs an engine: lexicon
// fixtures written with the lexicon writer, engines over them in a temporary
// data folder, and readers of the result records and files.

#include <cstdio>
#include <string>
#include <vector>

#include "common/engine_host.h"
#include "common/file_path.h"
#include "engine/bangla_engine.h"
#include "engine/lexicon_trie.h"
#include "tools/lib/lexicon_writer.h"
#include "tools/lib/temp_folder.h"

namespace bangla {
namespace testing_support {

using EnginePtr = qorva::EnginePtr;

// A well-formed lexicon file without words. Loaded after the default
// locations, it replaces whatever lexicon the build put beside the tests, so
// that a test sees only its own fixture.
inline const std::string& EmptyLexiconPath() {
    static TempFolder folder("empty_lexicon");
    static const std::string path = [] {
        const std::string file = folder.File("lexicon.bin");
        WriteLexiconFile(file, {});
        return file;
    }();
    return path;
}

// An engine over the lexicon file (an empty lexicon when the path is empty)
// with its personal files at userDictPath (none when empty).
inline EnginePtr MakeEngine(const std::string& lexiconPath, const std::string& userDictPath,
                            int32_t maxCandidates = 5) {
    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    config.maxCandidates = maxCandidates;
    config.lexiconPath = lexiconPath.empty() ? EmptyLexiconPath().c_str() : lexiconPath.c_str();
    config.userDictPath = userDictPath.c_str();
    return EnginePtr(BanglaEngine_Create(&config));
}

inline LexiconEntry Word(const std::string& word, const std::string& roman, uint32_t frequency,
                         uint16_t tag = 0) {
    return LexiconEntry{word, roman, frequency, tag};
}

// A Bengali filler word and key for index i that no test types: the word is
// "ঌ" followed by i in Bengali digits, the key "zq" followed by i in letters.
inline LexiconEntry FillerWord(uint32_t i) {
    std::string word = "\xE0\xA6\x8C";
    std::string roman = "zq";
    for (uint32_t n = i;; n /= 10) {
        word += "\xE0\xA7";
        word += static_cast<char>(0xA6 + n % 10);
        roman += static_cast<char>('a' + n % 10);
        if (n < 10) break;
    }
    return LexiconEntry{word, roman, 1, 0};
}

// The entries followed by filler words up to `total` entries.
inline std::vector<LexiconEntry> PaddedTo(std::vector<LexiconEntry> entries, uint32_t total) {
    for (uint32_t i = 0; entries.size() < total; ++i) entries.push_back(FillerWord(i));
    return entries;
}

inline std::vector<std::string> Texts(const EngineCandidateList& list) {
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < list.count && i < BANGLA_ENGINE_MAX_CANDIDATES; ++i) {
        texts.emplace_back(list.candidates[i].text);
    }
    return texts;
}

inline std::vector<std::string> CandidatesFor(BanglaEngineHandle engine, const std::string& typed) {
    BanglaEngine_SetComposition(engine, typed.c_str());
    EngineCandidateList list;
    BanglaEngine_GetCandidates(engine, &list);
    return Texts(list);
}

inline std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    std::FILE* file = qorva::OpenFile(path, "rb");
    if (file == nullptr) return bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

// Writes text in text mode, as the engine and the add-word dialog do.
inline void WriteTextFile(const std::string& path, const std::string& text,
                          const char* mode = "w") {
    std::FILE* file = qorva::OpenFile(path, mode);
    if (file == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

// Lines of a text file without their line ends.
inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : ReadFileBytes(path)) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace testing_support
}  // namespace bangla
