#pragma once

#include <string>
#include <vector>

#include "engine/lexicon_trie.h"

namespace bangla {

// Reads the committed lexicon source (engine/data/lexicon_source.tsv inside
// its archive): one word per line, `word<TAB>frequency<TAB>keys`, the keys
// comma-separated lower-case Latin texts; a key followed by "!" gives that
// record tag bit 0 (the word leads its key).
class LexiconSource {
public:
    // Appends one entry per key of the line. False, with `error` set and
    // `entries` unchanged, when the line is malformed.
    static bool ParseLine(const std::string& line, std::vector<LexiconEntry>& entries,
                          std::string& error);

    // Reads a whole file; an error names the line number. A final line
    // without newline and CR LF line ends are accepted, empty lines are not.
    static bool ReadFile(const std::string& path, std::vector<LexiconEntry>& entries,
                         std::string& error);

    // Orders the entries so that every run of equal keys lists its words by
    // descending frequency (ties by word bytes): the engine reads the first
    // records of a run, and the writer keeps the given order within runs.
    static void OrderKeyRuns(std::vector<LexiconEntry>& entries);
};

}  // namespace bangla
