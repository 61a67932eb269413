#include "tests/support/temp_app_data.h"

#include <gtest/gtest.h>

#include "common/file_path.h"
#include "common/text.h"
#include "tests/support/engine_fixtures.h"
#include "tools/lib/lexicon_writer.h"

namespace qorva_test {

TempAppData::TempAppData() {
    folder_ = qorva::Utf8ToUtf16(temp_.Path());
    if (!folder_.empty() && (folder_.back() == L'\\' || folder_.back() == L'/')) folder_.pop_back();
    CreateDirectoryW(DataFolder().c_str(), nullptr);

    override_ = std::make_unique<AppDataOverride>(folder_);

    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    savedCurrentFolder_ = current;
    SetCurrentDirectoryW(folder_.c_str());
}

TempAppData::~TempAppData() { SetCurrentDirectoryW(savedCurrentFolder_.c_str()); }

void TempAppData::WriteSettings(const std::string& json) const {
    WriteFileBytes(DataFile(L"settings.json"), json);
}

void TempAppData::WriteLexicon(const std::vector<bangla::LexiconEntry>& entries) const {
    ASSERT_TRUE(bangla::WriteLexiconFile(qorva::Utf16ToUtf8(DataFile(L"lexicon.bin")), entries));
}

std::string TempAppData::ReadUserDictionary() const {
    return ReadFileBytes(DataFile(L"user_dict.txt"));
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::FILE* file = qorva::OpenFile(qorva::Utf16ToUtf8(path), "wb");
    ASSERT_NE(file, nullptr) << qorva::Utf16ToUtf8(path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ASSERT_TRUE(std::fclose(file) == 0 && written) << qorva::Utf16ToUtf8(path);
}

std::string ReadFileBytes(const std::wstring& path) {
    return bangla::testing_support::ReadFileBytes(qorva::Utf16ToUtf8(path));
}

}  // namespace qorva_test
