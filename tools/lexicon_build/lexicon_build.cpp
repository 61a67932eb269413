// Builds lexicon.bin from the committed lexicon source:
//   lexicon_build SOURCE.tsv LEXICON.bin
// Exit code 0 on success, 1 on a malformed source or a failed write.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/lexicon_build/lexicon_source.h"
#include "tools/lib/lexicon_writer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lexicon_build SOURCE.tsv LEXICON.bin\n");
        return 1;
    }
    std::vector<bangla::LexiconEntry> entries;
    std::string error;
    if (!bangla::LexiconSource::ReadFile(argv[1], entries, error)) {
        std::fprintf(stderr, "lexicon_build: %s\n", error.c_str());
        return 1;
    }
    bangla::LexiconSource::OrderKeyRuns(entries);
    if (!bangla::WriteLexiconFile(argv[2], entries)) {
        std::fprintf(stderr, "lexicon_build: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("lexicon_build: %zu records written to %s\n", entries.size(), argv[2]);
    return 0;
}
