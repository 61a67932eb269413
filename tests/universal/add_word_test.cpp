// The add-word dialog's rules: where it opens, the fields it refuses and what it reports after
// writing.
#include "universal/add_word.h"

#include <gtest/gtest.h>

#include <string>

namespace qorva::universal {
namespace {

// Centred under the bar, kept 10 pixels from the left and pulled to screen width - 400 on the
// right; above the bar when the dialog would reach into the screen's last 39 pixels.
TEST(AddWordDialogTest, OpensUnderTheBarInsideTheScreen) {
    struct Case {
        const char* name;
        LayoutRect bar;
        int32_t width;
        LayoutPoint expected;
    };
    const Case cases[] = {
        {"centred under a full bar", {829, 0, 1091, 24}, 262, {829 - 64, 34}},
        {"centred under a compact bar", {829, 0, 989, 24}, 160, {829 - 115, 34}},
        {"at the left edge", {0, 0, 262, 24}, 262, {10, 34}},
        {"at the right edge", {1658, 50, 1920, 74}, 262, {1920 - 400, 84}},
        {"ending 11 pixels before the right edge", {1583, 0, 1845, 24}, 262, {1519, 34}},
        {"near the bottom", {829, 1000, 1091, 1024}, 262, {765, 1000 - 265}},
        {"with just enough room below", {829, 751, 1091, 775}, 262, {765, 785}},
        {"one pixel short of room below", {829, 752, 1091, 776}, 262, {765, 752 - 265}},
    };
    for (const Case& c : cases) {
        const LayoutPoint at = AddWordDialogPosition(c.bar, c.width, 1920, 1080);
        EXPECT_EQ(at.x, c.expected.x) << c.name;
        EXPECT_EQ(at.y, c.expected.y) << c.name;
    }
}

TEST(AddWordDialogTest, RefusesEmptyFieldsAndFieldsThatWouldBreakTheFilesLines) {
    struct Case {
        const wchar_t* key;
        const wchar_t* word;
        AddWordFields expected;
    };
    const Case cases[] = {
        {L"ami", L"আমি", AddWordFields::Ok},
        {L"a mi", L"আমি আছি", AddWordFields::Ok},
        {L"", L"আমি", AddWordFields::Missing},
        {L"ami", L"", AddWordFields::Missing},
        {L"a\tmi", L"আমি", AddWordFields::BreaksLines},
        {L"ami", L"আমি\t100", AddWordFields::BreaksLines},
        {L"ami\r", L"আমি", AddWordFields::BreaksLines},
        {L"ami", L"আ\nমি", AddWordFields::BreaksLines},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckAddWordFields(c.key, c.word), c.expected)
            << testing::PrintToString(std::wstring(c.key) + L"|" + c.word);
    }
    EXPECT_STREQ(AddWordFieldsWarning(AddWordFields::Missing),
                 L"দয়া করে রোমান কী এবং বাংলা শব্দ উভয়ই লিখুন।");
    EXPECT_NE(std::wstring(AddWordFieldsWarning(AddWordFields::BreaksLines)).find(L"tab"),
              std::wstring::npos);
}

// Success only when both files took the pair; otherwise a warning that names the files that did
// not, and only those.
TEST(AddWordDialogTest, ReportsSuccessOnlyWhenBothFilesWereWritten) {
    const AddWordReport both = ReportOfAddWord({true, true});
    EXPECT_FALSE(both.warning);
    EXPECT_EQ(both.text, L"✅ শব্দটি সফলভাবে Qorva ডিকশনারিতে যুক্ত করা হয়েছে!");

    struct Case {
        AddWordWrites writes;
        bool namesWordList;
        bool namesDictionary;
    };
    const Case cases[] = {
        {{false, true}, true, false}, {{true, false}, false, true}, {{false, false}, true, true}};
    for (const Case& c : cases) {
        const AddWordReport report = ReportOfAddWord(c.writes);
        EXPECT_TRUE(report.warning);
        EXPECT_EQ(report.text.find(L"personal_dict.txt") != std::wstring::npos, c.namesWordList);
        EXPECT_EQ(report.text.find(L"user_dict.txt") != std::wstring::npos, c.namesDictionary);
    }
}

}  // namespace
}  // namespace qorva::universal
