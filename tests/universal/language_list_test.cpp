// The language list left when the input method is prepared for removal, over REG_MULTI_SZ texts
// as the registry holds them.
#include "universal/language_list.h"

#include <gtest/gtest.h>

#include <string>

namespace qorva::universal {
namespace {

// A REG_MULTI_SZ text from its strings: each with its NUL, then one more.
std::wstring MultiString(std::initializer_list<const wchar_t*> strings) {
    std::wstring text;
    for (const wchar_t* s : strings) text += std::wstring(s) + L'\0';
    return text + L'\0';
}

TEST(LanguageListWithoutBengali, BengaliEntriesGoAndAnEmptyListHoldsEnglish) {
    const struct {
        std::wstring stored;
        std::wstring written;
    } cases[] = {
        {MultiString({L"bn-BD", L"en-US", L"bn"}), MultiString({L"en-US"})},
        {MultiString({L"bn-IN"}), MultiString({L"en-US"})},
        {MultiString({L"BN-BD", L"fr-FR", L"bn-BD"}), MultiString({L"BN-BD", L"fr-FR"})},
        {MultiString({L"de-DE", L"bn-BD-x", L"ja"}), MultiString({L"de-DE", L"bn-BD-x", L"ja"})},
        {MultiString({}), MultiString({L"en-US"})},
        {L"", MultiString({L"en-US"})},
        // Strings after the closing empty one are not part of the list.
        {MultiString({L"fr-FR"}) + L"bn-BD" + L'\0', MultiString({L"fr-FR"})},
        // A value cut short without its NULs still gives its strings.
        {L"en-GB", MultiString({L"en-GB"})},
        {std::wstring(L"bn\0en-GB", 8), MultiString({L"en-GB"})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LanguageListWithoutBengali(c.stored), c.written);
    }
}

}  // namespace
}  // namespace qorva::universal
