// Several applications type at once, each with its own engine in its own
// process, all saving into one data folder, while other programs hold the
// files open: engines starting in this process, a reader that holds them the
// way an engine reads them, and an indexer that holds them without letting
// them be replaced. Under Windows file semantics every word and count of
// every engine must reach the files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "common/file_path.h"
#include "engine/pending_changes.h"
#include "tests/support/engine_fixtures.h"
#include "tests/engine/learned_data_sharing.h"

namespace bangla {
namespace {

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;
using namespace sharing_test;

constexpr int kPeers = 4;
constexpr int kRounds = 20;

class PeerProcess {
public:
    // The folder without its final separator, which would escape the closing quote.
    PeerProcess(const std::string& folder, int peer) {
        std::wstring commandLine = L"\"" QORVA_LEARNED_DATA_PEER L"\" \"" +
                                   std::filesystem::u8path(folder).wstring() + L"\" " +
                                   std::to_wstring(peer) + L" " + std::to_wstring(kRounds);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process) != FALSE;
    }
    ~PeerProcess() {
        if (!started) return;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    bool Started() const { return started; }
    // The exit code, or -1 when the process has not ended within the time.
    long Finish(DWORD milliseconds) const {
        if (WaitForSingleObject(process.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION process{};
    bool started = false;
};

// Runs `hold` over and over on its own thread until destroyed.
class Disturbance {
public:
    template <typename Hold>
    explicit Disturbance(Hold hold)
        : thread([this, hold] {
              while (!stop.load()) hold();
          }) {}
    ~Disturbance() {
        stop = true;
        thread.join();
    }

private:
    std::atomic<bool> stop{false};
    std::thread thread;
};

void Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::vector<std::string> ExpectedPairs() {
    std::vector<std::string> pairs = {kAmi + "\t" + kBhalo + "\t" +
                                      std::to_string(kPeers * kRounds)};
    for (int peer = 0; peer < kPeers; ++peer) {
        pairs.push_back(kBhalo + "\t" + PeerWord(peer) + "\t" + std::to_string(kRounds));
        pairs.push_back(kAmi + " " + kBhalo + "\t" + PeerWord(peer) + "\t" +
                        std::to_string(kRounds));
        for (int round = 0; round < kRounds; ++round)
            pairs.push_back(PeerWord(peer) + "\t" + RoundWord(peer, round) + "\t1");
    }
    return pairs;
}

std::vector<std::string> ExpectedWords() {
    std::vector<std::string> words;
    for (int peer = 0; peer < kPeers; ++peer) {
        for (int round = 0; round < kRounds; ++round)
            words.push_back(RoundKey(peer, round) + "\t" + RoundWord(peer, round) + "\t1");
    }
    return words;
}

// The key, word and count of each line of user_dict.txt.
std::vector<std::string> WordsIn(const std::string& path) {
    std::vector<std::string> words;
    for (const std::string& line : testing_support::ReadLines(path))
        words.push_back(line.substr(0, line.find('\t', line.find('\t', line.find('\t') + 1) + 1)));
    return words;
}

TEST(LearnedDataSharingTest, EveryEnginesWordsAndCountsReachTheFiles) {
    TempFolder folder("sharing");
    const std::string dictPath = folder.File("user_dict.txt");
    const std::string pairsPath = folder.File("user_bigrams.tsv");
    testing_support::WriteTextFile(dictPath, "");
    testing_support::WriteTextFile(pairsPath, "");

    std::vector<std::unique_ptr<PeerProcess>> peers;
    {
        // Applications starting and ending here meanwhile, learning nothing.
        Disturbance startingEngines([&] {
            testing_support::MakeEngine("", dictPath).reset();
            Pause(5);
        });
        // A reader that opens the files as an engine reads them, without the lock.
        Disturbance reader([&] {
            for (const std::string& path : {dictPath, pairsPath}) {
                if (std::FILE* file = qorva::OpenFile(path, "rb")) {
                    char buffer[64];
                    std::fread(buffer, 1, sizeof buffer, file);
                    Pause(10);
                    std::fclose(file);
                }
            }
        });
        // An indexer that holds a file for a moment without letting it be replaced.
        Disturbance indexer([&] {
            for (const std::string& path : {dictPath, pairsPath}) {
                HANDLE held = CreateFileW(std::filesystem::u8path(path).wstring().c_str(),
                                          GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
                Pause(40);
                if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
                Pause(150);
            }
        });

        for (int peer = 0; peer < kPeers; ++peer) {
            const std::string& path = folder.Path();
            peers.push_back(std::make_unique<PeerProcess>(path.substr(0, path.size() - 1), peer));
            ASSERT_TRUE(peers.back()->Started());
        }
        // Each peer tells how many of its saves had to leave their changes
        // aside instead of writing the files: none should need to.
        for (const auto& peer : peers) EXPECT_EQ(peer->Finish(240000), 0);
    }
    // An application that starts afterwards takes in whatever an engine had
    // to leave aside, as every later save does.
    testing_support::MakeEngine("", dictPath).reset();

    EXPECT_THAT(WordsIn(dictPath), UnorderedElementsAreArray(ExpectedWords()));
    EXPECT_THAT(testing_support::ReadLines(pairsPath), UnorderedElementsAreArray(ExpectedPairs()));
    EXPECT_THAT(PendingChangesPaths(dictPath), IsEmpty());
    EXPECT_THAT(PendingChangesPaths(pairsPath), IsEmpty());
}

}  // namespace
}  // namespace bangla
