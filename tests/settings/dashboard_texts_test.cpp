// The texts of the dashboard's update flow: the offer of a release and the download progress.
#include <gtest/gtest.h>

#include "settings/dashboard_texts.h"

namespace qorva {
namespace {

const std::wstring kHead =
    L"Qorva-এর একটি নতুন সংস্করণ পাওয়া গেছে।\n\nবর্তমান সংস্করণ: 1.1.0\nনতুন সংস্করণ: 1.3.0\n\n";
const std::wstring kQuestion = L"আপনি কি এখন আপডেট করতে চান? (Update Now)";

TEST(UpdateOfferText, NotesUnderTheirHeadingCutAt500Units) {
    const std::wstring bengali = L"নতুন ফিচার: দ্রুত টাইপিং";
    const struct {
        std::wstring notes;
        std::wstring shown;
    } cases[] = {
        {L"", kHead + kQuestion},
        {bengali, kHead + L"নতুন যা যুক্ত হয়েছে:\n" + bengali + L"\n\n" + kQuestion},
        {std::wstring(500, L'ক'),
         kHead + L"নতুন যা যুক্ত হয়েছে:\n" + std::wstring(500, L'ক') + L"\n\n" + kQuestion},
        {std::wstring(600, L'ক'),
         kHead + L"নতুন যা যুক্ত হয়েছে:\n" + std::wstring(500, L'ক') + L"...\n\n" + kQuestion},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateOfferText(L"1.1.0", L"1.3.0", c.notes), c.shown) << c.notes.size();
    }
}

TEST(DownloadProgressText, PercentWithBothCountsOrTheCountAlone) {
    const std::wstring prefix = L"📥 আপডেট ডাউনলোড হচ্ছে... ";
    const struct {
        uint32_t downloaded, total;
        std::wstring text;
    } cases[] = {
        {10240, 10240, prefix + L"100% (10240 KB / 10240 KB)"},  // 10 MB, size known
        {5120, 10240, prefix + L"50% (5120 KB / 10240 KB)"},
        {0, 10240, prefix + L"0% (0 KB / 10240 KB)"},
        {3000, 0, prefix + L"3000 KB"},  // the server sent no length
        {0, 0, L""},
        {50000000, 50000000, prefix + L"100% (50000000 KB / 50000000 KB)"},  // no wrap at 32 bits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DownloadProgressText(c.downloaded, c.total), c.text) << c.downloaded;
    }
}

TEST(VersionLine, DigitsBecomeBengali) {
    EXPECT_EQ(VersionLine("1.10.9-rc2"), L"Qorva (কোর্ভা) — সংস্করণ ১.১০.৯-rc২");
}

}  // namespace
}  // namespace qorva
