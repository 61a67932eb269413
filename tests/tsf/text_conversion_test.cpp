#include <gtest/gtest.h>

#include <string>

#include "tsf/dll_main.h"

namespace qorva_tsf {
namespace {

TEST(TextConversionTest, BengaliRoundTrips) {
  const std::wstring wide = L"ami \u0986\u09AE\u09BF \U0001F600";
  const std::string utf8 = Utf16ToUtf8(wide);
  EXPECT_EQ(utf8, "ami \xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF \xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16(utf8), wide);
}

TEST(TextConversionTest, EmptyStaysEmpty) {
  EXPECT_EQ(Utf16ToUtf8(L""), "");
  EXPECT_EQ(Utf8ToUtf16(""), L"");
}

TEST(TextConversionTest, IllFormedInputGetsReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(Utf16ToUtf8(std::wstring(L"a") + wchar_t(0xD800) + L"b"), "a\xEF\xBF\xBD" "b");
}

}  // namespace
}  // namespace qorva_tsf
