// Where the universal program finds its sounds, and which sound a mode switch
// plays, over a made-up set of existing files and a player that records what it was given.
#include "universal/program_folders.h"

#include <gtest/gtest.h>

#include <functional>
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

// The bar looks beside itself, then in a development tree, then in both installation folders; with
// none it names the program alone for the shell to find.
TEST(SettingsProgramSearchTest, TheBarTriesItsFivePlacesInOrder) {
    const std::wstring beside = L"C:\\Qorva\\qorva_settings.exe";
    const std::wstring build = L"C:\\Qorva\\..\\build\\qorva_settings.exe";
    const std::wstring x86 = L"C:\\Program Files (x86)\\Qorva\\qorva_settings.exe";
    EXPECT_EQ(TopBarSettingsProgramPath(kExe, Existing({beside, build, x86})), beside);
    EXPECT_EQ(TopBarSettingsProgramPath(kExe, Existing({build, x86})), build);
    EXPECT_EQ(TopBarSettingsProgramPath(kExe, Existing({x86})), x86);
    EXPECT_EQ(TopBarSettingsProgramPath(kExe, Existing({})), L"qorva_settings.exe");
}

// switch_bn.wav only beside the program, switch_en.wav and voice_start.wav only in the development
// tree: each sound finds its own file; kind 0 follows the shared mode, with the general switch
// sound when the mode's own is missing; with no files at all, or a file that does not play,
// Windows' sound of that kind plays.
TEST(SoundTest, EachKindPlaysItsFileOrItsFallback) {
    const std::wstring bn = L"C:\\Qorva\\sound\\switch_bn.wav";
    const std::wstring en = L"C:\\Qorva\\..\\assets\\sound\\switch_en.wav";
    const std::wstring lang = kData + L"\\sound\\switch_lang.wav";
    const std::wstring voice = L"C:\\Qorva\\..\\assets\\sound\\voice_start.wav";
    const auto finder = [&](std::set<std::wstring> files) {
        return [exists = Existing(std::move(files))](const std::wstring& name) {
            return FirstExisting(SoundFileCandidates(name, kData, kExe), exists);
        };
    };
    const auto all = finder({bn, en, lang, voice});
    const auto onlyLang = finder({lang});
    const auto none = finder({});

    struct Case {
        int kind;
        ModeTarget mode;
        std::function<std::wstring(const std::wstring&)> find;
        bool playerRefusesFiles;
        std::vector<std::wstring> played;
    };
    const Case cases[] = {
        {kSoundBangla, ModeTarget::English, all, false, {bn}},
        {kSoundEnglish, ModeTarget::Bangla, all, false, {en}},
        {kSoundVoiceStart, ModeTarget::Bangla, all, false, {voice}},
        {kSoundOfSharedMode, ModeTarget::English, all, false, {en}},
        {kSoundOfSharedMode, ModeTarget::BanglishToEnglish, all, false, {bn}},
        {kSoundOfSharedMode, ModeTarget::BanglishToEnglish, onlyLang, false, {lang}},
        {kSoundOfSharedMode, ModeTarget::BanglishToEnglish, none, false, {kFallbackSound}},
        {kSoundBangla, ModeTarget::Bangla, none, false, {kFallbackSound}},
        {kSoundEnglish, ModeTarget::English, none, false, {kFallbackSound}},
        {kSoundVoiceStart, ModeTarget::English, none, false, {kVoiceFallbackSound}},
        {kSoundBangla, ModeTarget::Bangla, all, true, {bn, kFallbackSound}},
        {kSoundVoiceStart, ModeTarget::Bangla, all, true, {voice, kVoiceFallbackSound}},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> played;
        const auto play = [&](const std::wstring& path) {
            played.push_back(path);
            return !c.playerRefusesFiles;
        };
        PlayChosenSound(c.kind, c.mode, c.find, play);
        EXPECT_EQ(played, c.played) << "kind " << c.kind << ", mode " << static_cast<int>(c.mode);
    }
}

}  // namespace
}  // namespace qorva::universal
