// What the composition tests share: a private per-user data folder with a small lexicon and a
// settings file, and a text service with the real composition manager driven through the
// framework stand-ins key by key.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/lexicon_trie.h"
#include "tests/tsf/tsf_doubles.h"
#include "tools/lib/temp_folder.h"
#include "tsf/composition_handler.h"
#include "tsf/online_services.h"
#include "tsf/text_service.h"
#include "universal/mode_ipc.h"

namespace qorva_tsf_test {

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
    bangla::TempFolder temp_{"tsf_appdata"};
    std::wstring folder_;
    std::wstring savedCurrentFolder_;
    std::vector<BYTE> savedShellFolder_;
    DWORD savedShellFolderType_ = REG_EXPAND_SZ;
    bool hadShellFolder_ = false;
};

// The words the composition tests type.
std::vector<bangla::LexiconEntry> SmallLexicon();

// Writes `bytes` to a file whose path is UTF-16.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);

// A text service with the real composition manager, activated on stand-ins of the framework,
// typing into `document`. The shared typing mode starts in Bangla; online clients stay offline.
class CompositionServiceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Presses keys as the framework delivers them. Plain characters are keys ('a' to 'z' letters,
    // digits, ' ' Space, '.' full stop); named keys go in braces: {enter} {esc} {bs} {up} {down}.
    void Press(const std::string& keys);
    qorva_tsf::CompositionManager& Manager() { return handler_->Manager(); }
    void Activate();
    void Deactivate();
    // The document the keys go to.
    void Focus(FakeContext* context) { threadMgr_->focus = context; }

    TempAppData appData_;
    // Where the online helpers of the text service that SetUp makes send their requests; a derived
    // fixture points them elsewhere before SetUp.
    qorva_tsf::OnlineServices online_ = qorva_tsf::DefaultOnlineServices();
    FakeThreadMgr* threadMgr_ = nullptr;
    FakeContext* document_ = nullptr;
    qorva_tsf::TextService* service_ = nullptr;
    qorva_tsf::ManagedCompositionHandler* handler_ = nullptr;
    bool active_ = false;
};

}  // namespace qorva_tsf_test
