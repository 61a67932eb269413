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

}  // namespace
}  // namespace qorva
