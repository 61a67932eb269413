#include "services/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace qorva {
namespace {

TEST(PercentEncodeTest, KeepsUnreservedAndEncodesEveryOtherByte) {
    EXPECT_EQ(PercentEncode("aZ09-._~"), "aZ09-._~");
    EXPECT_EQ(PercentEncode("ami tumi"), "ami%20tumi");
    EXPECT_EQ(PercentEncode("\xE0\xA6\x86"), "%E0%A6%86");
    EXPECT_EQ(PercentEncode("a&b=c#d+e/f?%"), "a%26b%3Dc%23d%2Be%2Ff%3F%25");
    EXPECT_EQ(PercentEncode(std::string("\r\n\0\x7F", 4)), "%0D%0A%00%7F");
}

TEST(Utf16ConversionTest, RoundTripsBengaliAndSurrogatePairs) {
    const std::string utf8 = "ami \xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF \xF0\x9F\x98\x80";
    const std::wstring utf16 = Utf8ToUtf16(utf8);
    const std::wstring expected = {L'a',
                                   L'm',
                                   L'i',
                                   L' ',
                                   0x0986,
                                   0x09AE,
                                   0x09BF,
                                   L' ',
                                   static_cast<wchar_t>(0xD83D),
                                   static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(utf16, expected);
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
}

TEST(Utf16ConversionTest, ReplacesWhatIsNotValid) {
    const std::wstring replacement(1, static_cast<wchar_t>(0xFFFD));
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              L"a" + replacement + L"b");
    EXPECT_EQ(Utf8ToUtf16("\xE0\xA6"), replacement + replacement);
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), replacement + replacement);                    // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\xBD"), replacement + replacement + replacement);  // surrogate
    const std::wstring loneHigh = {L'x', static_cast<wchar_t>(0xD83D)};
    EXPECT_EQ(Utf16ToUtf8(loneHigh), "x\xEF\xBF\xBD");
}

}  // namespace
}  // namespace qorva
