// Texts the dashboard builds at run time: its version line and the texts of the manual update flow.
// UTF-16 in std::wstring, one code unit per element on every platform.
#pragma once

#include <cstdint>
#include <string>

namespace qorva {

// The digits 0 to 9 as Bengali digits; every other character as it is.
std::wstring WithBengaliDigits(const std::wstring& text);

// "Qorva (কোর্ভা) — সংস্করণ " and the version in Bengali digits.
std::wstring VersionLine(const std::string& version);

// How many units of release notes the offer shows before "...".
constexpr size_t kOfferNotesLimit = 500;

// The question that offers a newer release: the running and the new version, the notes (at most
// kOfferNotesLimit units, then "..."; no notes, no heading), then whether to update now.
std::wstring UpdateOfferText(const std::wstring& currentVersion, const std::wstring& newVersion,
                             const std::wstring& notes);

// The status line while the installer downloads, from kilobytes so far and kilobytes expected (0
// when the server sent no length): percentage and both counts, or the count alone; empty when
// nothing has arrived yet.
std::wstring DownloadProgressText(uint32_t downloadedKb, uint32_t totalKb);

}  // namespace qorva
