#include "settings/dashboard_texts.h"

#include <string>

#include "common/text.h"

namespace qorva {
namespace {

constexpr wchar_t kBengaliZero = 0x09E6;

}  // namespace

std::wstring WithBengaliDigits(const std::wstring& text) {
    std::wstring bengali = text;
    for (wchar_t& c : bengali) {
        if (c >= L'0' && c <= L'9') c = static_cast<wchar_t>(kBengaliZero + (c - L'0'));
    }
    return bengali;
}

std::wstring VersionLine(const std::string& version) {
    return L"Qorva (কোর্ভা) — সংস্করণ " +
           WithBengaliDigits(std::wstring(version.begin(), version.end()));
}

std::wstring UpdateOfferText(const std::wstring& currentVersion, const std::wstring& newVersion,
                             const std::wstring& notes) {
    std::wstring text = L"Qorva-এর একটি নতুন সংস্করণ পাওয়া গেছে।\n\nবর্তমান সংস্করণ: " +
                        currentVersion + L"\nনতুন সংস্করণ: " + newVersion + L"\n\n";
    if (!notes.empty()) {
        std::wstring shown = notes;
        if (shown.size() > kOfferNotesLimit) shown = CutUtf16(shown, kOfferNotesLimit) + L"...";
        text += L"নতুন যা যুক্ত হয়েছে:\n" + shown + L"\n\n";
    }
    return text + L"আপনি কি এখন আপডেট করতে চান? (Update Now)";
}

std::wstring DownloadProgressText(uint32_t downloadedKb, uint32_t totalKb) {
    const std::wstring prefix = L"📥 আপডেট ডাউনলোড হচ্ছে... ";
    const std::wstring downloaded = std::to_wstring(downloadedKb);
    if (totalKb != 0) {
        // 64 bits: a count times 100 must not wrap, however large the file.
        const uint64_t percent = uint64_t{downloadedKb} * 100 / totalKb;
        return prefix + std::to_wstring(percent) + L"% (" + downloaded + L" KB / " +
               std::to_wstring(totalKb) + L" KB)";
    }
    if (downloadedKb != 0) return prefix + downloaded + L" KB";
    return {};
}

}  // namespace qorva
