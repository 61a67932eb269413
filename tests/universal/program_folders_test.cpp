// Where the universal program finds its sounds, and which sound a mode switch
// plays, over a made-up set of existing files and a player that records what it was given.
#include "universal/program_folders.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace qorva::universal {
namespace {

const std::wstring kExe = L"C:\\Qorva";
const std::wstring kData = L"C:\\Users\\u\\AppData\\Roaming\\Pelorin";

FileExistsTest Existing(std::set<std::wstring> files) {
    return [files](const std::wstring& path) { return files.count(path) > 0; };
}

TEST(SoundSearchTest, DataFolderWinsOverTheProgramsFolders) {
    EXPECT_EQ(SoundFileCandidates(L"switch_bn.wav", kData, kExe),
              (std::vector<std::wstring>{kData + L"\\sound\\switch_bn.wav",
                                         L"C:\\Qorva\\sound\\switch_bn.wav",
                                         L"C:\\Qorva\\..\\assets\\sound\\switch_bn.wav"}));
    EXPECT_EQ(SoundFileCandidates(L"x.wav", L"", kExe).front(), L"C:\\Qorva\\sound\\x.wav");
}

// With the installer both under Program Files and beside the program, the installed copy is used;
// a folder that could not be found adds no place.
TEST(InstallerSearchTest, ProgramFilesThenBesideTheProgramThenTheDataFolder) {
    const std::wstring programFiles = L"C:\\Program Files";
    EXPECT_EQ(
        InstallerCandidates(programFiles, kExe, kData),
        (std::vector<std::wstring>{L"C:\\Program Files\\Qorva\\QorvaSetup.exe",
                                   L"C:\\Qorva\\QorvaSetup.exe", kData + L"\\QorvaSetup.exe"}));
    EXPECT_EQ(FirstExisting(InstallerCandidates(programFiles, kExe, kData),
                            Existing({L"C:\\Qorva\\QorvaSetup.exe",
                                      L"C:\\Program Files\\Qorva\\QorvaSetup.exe"})),
              L"C:\\Program Files\\Qorva\\QorvaSetup.exe");
    EXPECT_EQ(InstallerCandidates(L"", L"", kData),
              std::vector<std::wstring>{kData + L"\\QorvaSetup.exe"});
    EXPECT_TRUE(InstallerCandidates(L"", L"", L"").empty());
}

// switch_bn.wav only beside the program and switch_en.wav only in the development tree: each
// switch finds its own; with no files at all, Windows' sound plays.
TEST(ModeSwitchSoundTest, EachKindPlaysItsFileOrTheFallback) {
    const FileExistsTest exists = Existing(
        {L"C:\\Qorva\\sound\\switch_bn.wav", L"C:\\Qorva\\..\\assets\\sound\\switch_en.wav"});
    const auto find = [&](const std::wstring& name) {
        return FirstExisting(SoundFileCandidates(name, kData, kExe), exists);
    };
    const auto findNothing = [](const std::wstring&) { return std::wstring(); };

    struct Case {
        int kind;
        bool filesPresent;
        bool playerRefusesFiles;
        std::vector<std::wstring> played;
    };
    const Case cases[] = {
        {1, true, false, {L"C:\\Qorva\\sound\\switch_bn.wav"}},
        {2, true, false, {L"C:\\Qorva\\..\\assets\\sound\\switch_en.wav"}},
        {0, true, false, {L"C:\\Qorva\\..\\assets\\sound\\switch_en.wav"}},
        {1, false, false, {kFallbackSound}},
        {2, false, false, {kFallbackSound}},
        {1, true, true, {L"C:\\Qorva\\sound\\switch_bn.wav", kFallbackSound}},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> played;
        const auto play = [&](const std::wstring& path) {
            played.push_back(path);
            return !c.playerRefusesFiles;
        };
        if (c.filesPresent) {
            PlayModeSwitchSound(c.kind, find, play);
        } else {
            PlayModeSwitchSound(c.kind, findNothing, play);
        }
        EXPECT_EQ(played, c.played) << "kind " << c.kind;
    }
}

}  // namespace
}  // namespace qorva::universal
