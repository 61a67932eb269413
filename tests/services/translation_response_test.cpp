#include "services/translation_response.h"

#include <gtest/gtest.h>

#include <string>

namespace qorva {
namespace {

struct PolishCase {
    const char* reply;
    const char* english;
};

class PolishedTranslationTest : public ::testing::TestWithParam<PolishCase> {};

TEST_P(PolishedTranslationTest, ReadsFirstStringAndPolishesIt) {
    std::string out;
    ASSERT_TRUE(ParseTranslationResponse(GetParam().reply, out));
    EXPECT_EQ(out, GetParam().english);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, PolishedTranslationTest,
    ::testing::Values(
        // Question starters, also before an apostrophe or as a contraction.
        PolishCase{R"(["how are you"])", "How are you?"},
        PolishCase{R"(["what's your name"])", "What's your name?"},
        PolishCase{R"(["isn't it nice"])", "Isn't it nice?"},
        PolishCase{R"(["Where, then"])", "Where, then?"},
        // The pronoun, sentence starts and the closing mark.
        PolishCase{R"(["i think so"])", "I think so."},
        PolishCase{R"(["i'm here, and (i) agree"])", "I'm here, and (I) agree."},
        PolishCase{R"(["hello"])", "Hello"}, PolishCase{R"(["yes!really"])", "Yes! Really."},
        PolishCase{R"(["hello , world"])", "Hello, world."},
        PolishCase{R"(["ok.  fine"])", "Ok. Fine."}, PolishCase{R"(["is it?"])", "Is it?"},
        PolishCase{R"(["what a day!"])", "What a day!"},
        // Two spaces before a mark: only the one next to it goes.
        PolishCase{R"(["well  , then"])", "Well , then."},
        // Numbers, ellipses and web addresses keep their points.
        PolishCase{R"(["3.5 kg"])", "3.5 kg."},
        PolishCase{R"(["it costs 1,000 taka"])", "It costs 1,000 taka."},
        PolishCase{R"(["wait...what"])", "Wait... What."},
        PolishCase{R"(["see https://example.com/a?b=1 now"])",
                   "See https://example.com/a?b=1 now."},
        PolishCase{R"(["visit www.example.com today"])", "Visit www.example.com today."},
        // Only the first string counts; blanks and brackets before it are skipped.
        PolishCase{" \r\n[[[\"good morning\",\"\u09b8\u09c1\"],[\"x\"]]", "Good morning."},
        // Escapes, and text that is not ASCII passes unchanged.
        PolishCase{R"(["tab\there \"quoted\" a\/b"])", "Tab\there \"quoted\" a/b."},
        PolishCase{R"(["\u0986mi"])", "\xE0\xA6\x86mi"},
        PolishCase{R"(["smile \ud83d\ude00"])", "Smile \xF0\x9F\x98\x80."},
        PolishCase{R"(["\ud83dx"])", "\xED\xA0\xBDx"}, PolishCase{R"(["\ude00"])", "\xED\xB8\x80"},
        PolishCase{R"(["a\qb"])", "Aqb"}));

class RejectedReplyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RejectedReplyTest, GivesFalseAndEmptyOutput) {
    std::string out = "stale";
    EXPECT_FALSE(ParseTranslationResponse(GetParam(), out));
    EXPECT_TRUE(out.empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, RejectedReplyTest,
                         ::testing::Values("", " [ [", R"({"sentences":[]})", "42", "hello",
                                           R"(["unterminated)", R"(["ends in a backslash\)",
                                           R"(["\u12g4"])", R"(["\u12"])", R"(["   "])",
                                           R"(["\n\t"])"));

}  // namespace
}  // namespace qorva
