#include "universal/language_list.h"

#include <algorithm>
#include <iterator>

namespace qorva::universal {
namespace {

constexpr const wchar_t* kBengaliTags[] = {L"bn-BD", L"bn", L"bn-IN"};
constexpr wchar_t kFallbackLanguage[] = L"en-US";

bool IsBengaliTag(const std::wstring& tag) {
    return std::any_of(std::begin(kBengaliTags), std::end(kBengaliTags),
                       [&](const wchar_t* bengali) { return tag == bengali; });
}

}  // namespace

std::wstring LanguageListWithoutBengali(const std::wstring& stored) {
    std::wstring kept;
    for (size_t start = 0; start < stored.size();) {
        const size_t end = std::min(stored.find(L'\0', start), stored.size());
        if (end == start) break;  // the list's closing empty string
        const std::wstring tag = stored.substr(start, end - start);
        if (!IsBengaliTag(tag)) kept += tag + L'\0';
        start = end + 1;
    }
    if (kept.empty()) kept = std::wstring(kFallbackLanguage) + L'\0';
    return kept + L'\0';
}

}  // namespace qorva::universal
