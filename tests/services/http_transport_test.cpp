#include "services/http_transport.h"

#include <gtest/gtest.h>

#include <string>

namespace qorva {
namespace {

HttpRequest RequestWith(std::string method, std::string path, std::string headerName,
                        std::string headerValue) {
    HttpRequest request;
    request.method = std::move(method);
    request.path = std::move(path);
    request.headers.push_back({std::move(headerName), std::move(headerValue)});
    return request;
}

struct SafetyCase {
    const char* name;
    HttpRequest request;
    bool safe;
};

class HttpRequestSafetyTest : public ::testing::TestWithParam<SafetyCase> {};

TEST_P(HttpRequestSafetyTest, NothingUnsafeReachesTheWire) {
    EXPECT_EQ(HttpRequestIsSafe(GetParam().request), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, HttpRequestSafetyTest,
    ::testing::Values(
        SafetyCase{"Plain", RequestWith("GET", "/a?b=%20c", "User-Agent", "Mozilla/5.0 (X; y)"),
                   true},
        SafetyCase{"TabInValue", RequestWith("POST", "/", "X-A", "a\tb"), true},
        SafetyCase{"NewlineInPath", RequestWith("GET", "/a\r\nHost: x", "X-A", "b"), false},
        SafetyCase{"SpaceInPath", RequestWith("GET", "/a b", "X-A", "b"), false},
        SafetyCase{"NonAsciiPath", RequestWith("GET", "/\xE0\xA6\x86", "X-A", "b"), false},
        SafetyCase{"RelativePath", RequestWith("GET", "a", "X-A", "b"), false},
        SafetyCase{"NewlineInValue", RequestWith("GET", "/", "X-A", "b\r\nX-B: c"), false},
        SafetyCase{"NulInValue", RequestWith("GET", "/", "X-A", std::string("b\0c", 3)), false},
        SafetyCase{"ColonInName", RequestWith("GET", "/", "X:A", "b"), false},
        SafetyCase{"EmptyName", RequestWith("GET", "/", "", "b"), false},
        SafetyCase{"LowerCaseMethod", RequestWith("get", "/", "X-A", "b"), false},
        SafetyCase{"MethodWithSpace", RequestWith("GET /x", "/", "X-A", "b"), false}),
    [](const ::testing::TestParamInfo<SafetyCase>& info) { return std::string(info.param.name); });

TEST(HttpHostSafetyTest, AcceptsHostNamesOnly) {
    EXPECT_TRUE(HttpHostIsSafe("translate.googleapis.com"));
    EXPECT_TRUE(HttpHostIsSafe("localhost"));
    EXPECT_FALSE(HttpHostIsSafe(""));
    EXPECT_FALSE(HttpHostIsSafe("evil.com/path"));
    EXPECT_FALSE(HttpHostIsSafe("a b"));
    EXPECT_FALSE(HttpHostIsSafe("host\r\n"));
}

}  // namespace
}  // namespace qorva
