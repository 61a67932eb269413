// Builds lexicon.bin from the committed lexicon source:
//   lexicon_build SOURCE.tsv LEXICON.bin [MAX_BYTES]
// Exit code 0 on success, 1 on a malformed source, a failed write, or a
// file larger than MAX_BYTES (every application that uses the input method
// loads lexicon.bin whole, so the build holds it to its size budget).

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/file_path.h"
#include "tools/lexicon_build/lexicon_source.h"
#include "tools/lib/lexicon_writer.h"

namespace {

long FileSize(const std::string& path) {
    std::FILE* file = qorva::OpenFile(path, "rb");
    if (file == nullptr) return -1;
    const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    std::fclose(file);
    return size;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: lexicon_build SOURCE.tsv LEXICON.bin [MAX_BYTES]\n");
        return 1;
    }
    const long maxBytes = argc == 4 ? std::strtol(argv[3], nullptr, 10) : 0;
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
    const long size = FileSize(argv[2]);
    if (maxBytes > 0 && size > maxBytes) {
        std::fprintf(stderr, "lexicon_build: %s takes %ld bytes, more than its budget of %ld\n",
                     argv[2], size, maxBytes);
        qorva::RemoveFile(argv[2]);
        return 1;
    }
    std::printf("lexicon_build: %zu records, %ld bytes written to %s\n", entries.size(), size,
                argv[2]);
    return 0;
}
