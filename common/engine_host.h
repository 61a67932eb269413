// What both typing programs do to have an engine: find lexicon.bin, build the engine's
// configuration from the settings, create the engine (once more without the lexicon when that
// fails) with a saver that writes what it learns within seconds (learned_data_saver.h), and
// destroy it, which stops the saver and writes what came after.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/bangla_engine.h"

namespace qorva {

class LearnedDataSaver;

struct EngineDeleter {
    // The engine's saver, stopped before the engine goes; null for none.
    std::shared_ptr<LearnedDataSaver> saver;

    void operator()(BanglaEngineHandle engine) const noexcept;
};
// Destroying the engine writes its learned data to the per-user data folder.
using EnginePtr = std::unique_ptr<BanglaEngineOpaque, EngineDeleter>;

// Where a program looks for lexicon.bin: the UTF-8 candidates in the order they are tried, and the
// path it hands to the engine when none exists.
struct LexiconSearch {
    std::vector<std::string> candidates;
    std::string fallback;
};

// The text input processor's order: beside its module (in "data", in the folder itself, then in
// the source tree's "..\engine\data"), in the per-user data folder, then relative to the current
// folder. An empty folder (no module, no roaming folder) adds none of its candidates.
LexiconSearch InputProcessorLexiconSearch(const std::wstring& moduleFolder,
                                          const std::wstring& dataFolder);

// The universal program's order: beside the program (in "data", in the folder itself), in a
// development tree's release package one and two folders up, then in the per-user data folder.
// No fallback: without a file the engine runs on its built-in words.
LexiconSearch UniversalLexiconSearch(const std::wstring& programFolder,
                                     const std::wstring& dataFolder);

// The first candidate that names an existing file; the fallback when none does.
std::string FindLexicon(const LexiconSearch& search);

// The engine's files, UTF-8; an empty path is not passed on.
struct EngineFiles {
    std::string lexiconPath;
    std::string userDictPath;
};

// The settings that shape an engine.
struct EngineSettings {
    bool autoCorrect = false;
    uint32_t maxCandidates = 5;
    bool personalLearning = true;
};

// The user dictionary's path in the per-user data folder.
std::string UserDictPath(const std::wstring& dataFolder);

// The engine's defaults with the settings and the files; the paths point into `files`, which must
// outlive the configuration (the engine copies them while it is created).
EngineConfig BuildConfig(const EngineFiles& files, const EngineSettings& settings,
                         bool withLexicon);

// An engine with the lexicon or, when that cannot be created, without it; learning switched as the
// settings say. Null when neither attempt gives an engine: typing then passes to the application.
// With a user dictionary, a saver thread writes what the engine learns soon after it does.
EnginePtr CreateEngine(const EngineFiles& files, const EngineSettings& settings);

}  // namespace qorva
