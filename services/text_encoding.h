#pragma once

#include <string>

namespace qorva {

// UTF-16 text travels in std::wstring, one UTF-16 code unit per element on every platform, so that
// the same code serves the Windows API and the native test build.

// Invalid UTF-8 is not rejected: each byte that starts no valid sequence becomes U+FFFD, as the
// Windows conversion without flags does.
std::wstring Utf8ToUtf16(const std::string& utf8);
// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::wstring& utf16);

// ASCII letters, digits, "-", ".", "_" and "~" stay; every other byte becomes "%XX" (upper-case
// hexadecimal), so no byte of the text can end a query value or reach the wire as a control.
std::string PercentEncode(const std::string& bytes);

}  // namespace qorva
