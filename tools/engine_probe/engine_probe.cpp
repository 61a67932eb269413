// Prints the engine's ranked candidates for Banglish words, through the same
// C interface the typing programs use.
//
//   engine_probe [--lexicon PATH] [--data FOLDER] [--max N] [--sentence] [WORD...]
//
// Words come from the command line, or else from standard input (one or more
// per line). --sentence transliterates each line (or the words given) as one
// sentence instead. The engine's learned data goes to a fresh temporary
// folder unless --data names one, so real user data is never touched.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"
#include "tools/lib/temp_folder.h"

namespace {

struct ProbeOptions {
    std::string lexiconPath;
    std::string dataFolder;
    int maxCandidates = 5;
    bool sentence = false;
    std::vector<std::string> words;
};

void PrintUsage() {
    std::fprintf(
        stderr,
        "usage: engine_probe [--lexicon PATH] [--data FOLDER] [--max N] [--sentence] [WORD...]\n");
}

bool ParseOptions(int argc, char** argv, ProbeOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--lexicon" && hasValue) {
            options.lexiconPath = argv[++i];
        } else if (argument == "--data" && hasValue) {
            options.dataFolder = argv[++i];
        } else if (argument == "--max" && hasValue) {
            options.maxCandidates = std::atoi(argv[++i]);
        } else if (argument == "--sentence") {
            options.sentence = true;
        } else if (argument == "--help" || argument.rfind("--", 0) == 0) {
            return false;
        } else {
            options.words.push_back(argument);
        }
    }
    return true;
}

std::string SourceNames(uint32_t flags) {
    static const struct {
        uint32_t bit;
        const char* name;
    } kSources[] = {{BANGLA_SOURCE_PHONETIC, "phonetic"},
                    {BANGLA_SOURCE_LEXICON, "lexicon"},
                    {BANGLA_SOURCE_CONTEXT, "context"},
                    {BANGLA_SOURCE_PERSONAL, "personal"},
                    {BANGLA_SOURCE_PREDICTION, "prediction"}};
    std::string names;
    for (const auto& source : kSources) {
        if ((flags & source.bit) == 0) continue;
        if (!names.empty()) names += '+';
        names += source.name;
    }
    return names.empty() ? "typed" : names;
}

void PrintCandidates(BanglaEngineHandle engine, const std::string& word) {
    BanglaEngine_SetComposition(engine, word.c_str());
    EngineCandidateList list;
    BanglaEngine_GetCandidates(engine, &list);
    std::printf("%s\n", word.c_str());
    for (uint32_t i = 0; i < list.count; ++i) {
        const EngineCandidate& c = list.candidates[i];
        std::printf("  %u. %s\t%s\t%.4f\t%s%s\n", i + 1, c.text, c.roman, c.score,
                    SourceNames(c.sourceFlags).c_str(), c.autoSelect ? "\tauto" : "");
    }
}

void PrintSentence(BanglaEngineHandle engine, const std::string& sentence) {
    std::vector<char> buffer(4 * sentence.size() + 64, '\0');
    if (BanglaEngine_TransliterateSentence(engine, sentence.c_str(), buffer.data(),
                                           buffer.size())) {
        std::printf("%s\n  %s\n", sentence.c_str(), buffer.data());
    } else {
        std::printf("%s\n  (no result)\n", sentence.c_str());
    }
}

std::string JoinWords(const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

void Probe(BanglaEngineHandle engine, const ProbeOptions& options,
           const std::vector<std::string>& line) {
    if (options.sentence) {
        PrintSentence(engine, JoinWords(line));
        return;
    }
    for (const std::string& word : line) PrintCandidates(engine, word);
}

}  // namespace

int main(int argc, char** argv) {
    ProbeOptions options;
    if (!ParseOptions(argc, argv, options)) {
        PrintUsage();
        return 2;
    }
    bangla::TempFolder scratch("probe");
    const std::string dataFolder =
        options.dataFolder.empty() ? scratch.Path() : options.dataFolder + "/";
    const std::string userDictPath = dataFolder + "user_dict.txt";

    EngineConfig config;
    BanglaEngine_GetDefaultConfig(&config);
    config.maxCandidates = options.maxCandidates;
    config.lexiconPath = options.lexiconPath.c_str();
    config.userDictPath = dataFolder.empty() ? nullptr : userDictPath.c_str();
    BanglaEngineHandle engine = BanglaEngine_Create(&config);
    if (engine == nullptr) {
        std::fprintf(stderr, "engine_probe: the engine could not be created\n");
        return 1;
    }

    if (!options.words.empty()) {
        Probe(engine, options, options.words);
    } else {
        std::string text;
        while (std::getline(std::cin, text)) {
            std::istringstream stream(text);
            std::vector<std::string> line;
            for (std::string word; stream >> word;) line.push_back(word);
            if (!line.empty()) Probe(engine, options, line);
        }
    }
    BanglaEngine_Destroy(engine);
    return 0;
}
