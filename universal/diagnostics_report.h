// The text of the universal program's diagnostics report ("--check"): what it found of the engine,
// the foreground application and its typing policy, and whether a keyboard hook can be installed.
// The run gathers the facts; the text is built here, line by line, as support staff expect to
// read it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/bangla_engine.h"
#include "settings/settings_file.h"

namespace qorva::universal {

inline constexpr char kReportFileName[] = "universal_check.txt";

// Appends printf-style text to the report; a piece longer than 1023 bytes is cut there.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void Report(std::string& report, const char* format, ...);

struct DiagnosticsFacts {
    std::string lexiconPath;                   // UTF-8; empty when no lexicon.bin was found
    std::vector<std::string> lexiconSearched;  // UTF-8 places looked in for it, in order
    std::string dataFolder;                    // UTF-8
    bool engineCreated = false;
    // Entries of the lexicon the engine holds; 0 when it loaded none (or there is no engine).
    uint32_t lexiconEntries = 0;
    // Each test word with the engine's first candidate for it (empty when it has none); listed
    // only when the engine was created.
    std::vector<std::pair<std::string, std::string>> testWords;
    std::string processPath;  // UTF-8 image of the foreground process; empty when unknown
    uint16_t layoutLanguage = 0;
    bool tsfLoaded = false;
    bool hostEnabled = false;
    InputMode inputMode = InputMode::Automatic;
    bool wouldHandle = false;
    bool hookInstalled = false;
};

// The words whose first candidate the report shows, in its order.
inline constexpr const char* kDiagnosticsTestWords[] = {"ami", "poriborton", "somossa", "office",
                                                        "sakkho"};

// The test words with the engine's first candidate for each; none without an engine.
std::vector<std::pair<std::string, std::string>> TestWordResults(BanglaEngineHandle engine);

// A lexicon that was not found or did not load is the report's first line: without it every
// candidate is a rough phonetic spelling, which support staff must not take for a ranking fault.
std::string BuildDiagnosticsReport(const DiagnosticsFacts& facts);

}  // namespace qorva::universal
