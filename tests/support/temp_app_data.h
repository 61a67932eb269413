// A private per-user data folder for a Windows test: the roaming application-data folder of this
// process points at a fresh temporary folder while the object lives.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <memory>

#include "engine/lexicon_trie.h"
#include "tests/support/app_data_override.h"
#include "tools/lib/temp_folder.h"

namespace qorva_test {

// A settings.json for a started program that keeps it off the network (no update check, no online
// translation) and its next-word prediction off; every top bar key is left to its default.
constexpr char kOfflineProgramSettings[] =
    "{\n  \"auto_check_update\": false,\n  \"english_translation\": false,\n"
    "  \"word_prediction\": false,\n  \"input_mode\": \"automatic\"\n}\n";

// Points this process's roaming application-data folder at a fresh temporary folder (through the
// per-user shell-folder setting, restored afterwards) and makes that folder the current one, so
// that neither the engine's relative lexicon locations nor the user's real data are touched.
class TempAppData {
public:
    TempAppData();
    ~TempAppData();
    TempAppData(const TempAppData&) = delete;
    TempAppData& operator=(const TempAppData&) = delete;

    // The application-data folder, without a trailing separator.
    const std::wstring& Folder() const { return folder_; }
    // The program's data folder inside it ("...\Pelorin"), created.
    std::wstring DataFolder() const { return folder_ + L"\\Pelorin"; }
    std::wstring DataFile(const wchar_t* name) const { return DataFolder() + L"\\" + name; }

    void WriteSettings(const std::string& json) const;
    void WriteLexicon(const std::vector<bangla::LexiconEntry>& entries) const;
    // The learned words the engine saved, as bytes; empty when there is no file.
    std::string ReadUserDictionary() const;

private:
    bangla::TempFolder temp_{"app_data"};
    std::wstring folder_;
    std::wstring savedCurrentFolder_;
    std::unique_ptr<AppDataOverride> override_;
};

// Writes `bytes` to a file whose path is UTF-16; a failure fails the test.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

}  // namespace qorva_test
