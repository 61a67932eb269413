#include "universal/add_word.h"

#include "common/engine_host.h"
#include "common/text.h"
#include "settings/personal_word_list.h"

namespace qorva::universal {
namespace {

constexpr int32_t kScreenMargin = 10;
constexpr int32_t kGapToBar = 10;

bool BreaksLines(const std::wstring& text) {
    return text.find_first_of(L"\t\r\n") != std::wstring::npos;
}

}  // namespace

LayoutPoint AddWordDialogPosition(const LayoutRect& barWindow, int32_t barWidth,
                                  int32_t screenWidth, int32_t screenHeight) {
    LayoutPoint at{barWindow.left + (barWidth - kAddWordDialogWidth) / 2, 0};
    if (at.x < kScreenMargin) at.x = kScreenMargin;
    if (at.x + kAddWordDialogWidth >= screenWidth - 9)
        at.x = screenWidth - kAddWordDialogWidth - 10;
    const int32_t roomNeeded = kAddWordDialogHeight + kGapToBar;
    at.y = barWindow.bottom + roomNeeded < screenHeight - 39 ? barWindow.bottom + kGapToBar
                                                             : barWindow.top - roomNeeded;
    return at;
}

AddWordFields CheckAddWordFields(const std::wstring& key, const std::wstring& word) {
    if (key.empty() || word.empty()) return AddWordFields::Missing;
    if (BreaksLines(key) || BreaksLines(word)) return AddWordFields::BreaksLines;
    return AddWordFields::Ok;
}

const wchar_t* AddWordFieldsWarning(AddWordFields fields) {
    switch (fields) {
        case AddWordFields::Missing: return L"দয়া করে রোমান কী এবং বাংলা শব্দ উভয়ই লিখুন।";
        case AddWordFields::BreaksLines:
            return L"রোমান কী বা বাংলা শব্দে Tab বা নতুন লাইন রাখা যাবে না।\n"
                   L"(The key and the word cannot hold a tab or a line break.)";
        case AddWordFields::Ok: break;
    }
    return L"";
}

AddWordWrites AddWordToDataFolder(const std::wstring& dataFolder, const std::wstring& key,
                                  const std::wstring& word, BanglaEngineHandle runningEngine) {
    AddWordWrites writes;
    if (dataFolder.empty()) return writes;
    writes.wordList = AppendWordListEntry(dataFolder + L"\\" + kPersonalWordListName, key, word);
    const std::string roman = Utf16ToUtf8(key);
    const std::string text = Utf16ToUtf8(word);
    writes.dictionary = BanglaEngine_AppendUserWordToFile(
        UserDictPath(dataFolder).c_str(), roman.c_str(), text.c_str(), kAddedWordFrequency);
    if (runningEngine) BanglaEngine_AddUserWord(runningEngine, roman.c_str(), text.c_str());
    return writes;
}

AddWordReport ReportOfAddWord(const AddWordWrites& writes) {
    if (writes.wordList && writes.dictionary) {
        return {L"✅ শব্দটি সফলভাবে Qorva ডিকশনারিতে যুক্ত করা হয়েছে!", false};
    }
    std::wstring failed;
    if (!writes.wordList) failed = kPersonalWordListName;
    if (!writes.dictionary) failed += std::wstring(failed.empty() ? L"" : L", ") + L"user_dict.txt";
    return {L"⚠️ শব্দটি এই ফাইলে লেখা যায়নি: " +
                failed + L"\n(The word could not be written to " + failed + L".)",
            true};
}

}  // namespace qorva::universal
