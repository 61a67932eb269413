#pragma once

// What each engine of the learned-data sharing test learns, so that the test
// knows every word and count that must reach the files.

#include <string>

#include "engine/bangla_engine.h"

namespace bangla::sharing_test {

inline const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";                // আমি
inline const std::string kBhalo = "\xE0\xA6\xAD\xE0\xA6\xBE\xE0\xA6\xB2\xE0\xA7\x8B";  // ভালো

// "ঌ" followed by the number in Bengali digits: a word no other test uses.
inline std::string NumberedWord(int number) {
    std::string word = "\xE0\xA6\x8C";
    const std::string digits = std::to_string(number);
    for (const char digit : digits) {
        word += "\xE0\xA7";
        word += static_cast<char>(0xA6 + (digit - '0'));
    }
    return word;
}

// The word that peer learns in round, under the key "p<peer>r<round>".
inline std::string RoundWord(int peer, int round) {
    return NumberedWord(1000 * (peer + 1) + round);
}
inline std::string RoundKey(int peer, int round) {
    return "p" + std::to_string(peer) + "r" + std::to_string(round);
}
// The word that follows আমি ভালো in every round of that peer.
inline std::string PeerWord(int peer) { return NumberedWord(peer); }

// One round: the pair আমি → ভালো, shared by every peer; ভালো → the peer's
// word and আমি ভালো → the peer's word, its own; and a new word after it.
inline void LearnOneRound(BanglaEngineHandle engine, int peer, int round) {
    BanglaEngine_ResetContext(engine);
    BanglaEngine_CommitWord(engine, kAmi.c_str());
    BanglaEngine_CommitWord(engine, kBhalo.c_str());
    BanglaEngine_CommitWord(engine, PeerWord(peer).c_str());
    BanglaEngine_LearnWord(engine, RoundKey(peer, round).c_str(), RoundWord(peer, round).c_str());
}

}  // namespace bangla::sharing_test
