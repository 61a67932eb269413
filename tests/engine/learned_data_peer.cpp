// Another application using the input method, for the learned-data sharing
// test: round after round it creates an engine on the data folder, learns a
// word of its own, counts a pair shared by every peer and one of its own, and
// saves. Its exit code is the number of saves that could not write the files
// themselves and had to leave their changes in side files.
//
//   qorva_learned_data_peer.exe FOLDER PEER ROUNDS   (FOLDER without a final backslash)
#include <cstdlib>
#include <string>

#include "engine/bangla_engine.h"
#include "engine/bangla_engine_impl.h"
#include "tests/engine/learned_data_sharing.h"

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const std::string dictPath = std::string(argv[1]) + "\\user_dict.txt";
    const int peer = std::atoi(argv[2]);
    const int rounds = std::atoi(argv[3]);
    int savedAside = 0;
    for (int round = 0; round < rounds; ++round) {
        EngineConfig config;
        BanglaEngine_GetDefaultConfig(&config);
        config.userDictPath = dictPath.c_str();
        BanglaEngineHandle engine = BanglaEngine_Create(&config);
        if (engine == nullptr) return 1;
        bangla::sharing_test::LearnOneRound(engine, peer, round);
        if (!reinterpret_cast<bangla::BanglaEngine*>(engine)->SaveLearnedData()) ++savedAside;
        BanglaEngine_Destroy(engine);
    }
    return savedAside;
}
