#include "engine/index_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bangla {
namespace {

IndexSamples SamplesOf(const std::vector<std::string>& texts) {
    IndexSamples samples;
    samples.Build(static_cast<uint32_t>(texts.size()),
                  [&](uint32_t position) { return std::string_view(texts[position]); });
    return samples;
}

// Texts before the window are smaller, after it greater.
void ExpectWindowHolds(const std::vector<std::string>& sorted, const IndexSamples& samples,
                       const std::string& text) {
    const IndexSamples::Window window = samples.Around(text);
    for (uint32_t position = 0; position < sorted.size(); ++position) {
        if (position < window.first) {
            EXPECT_LT(sorted[position], text) << "position " << position;
        } else if (position > window.last) {
            EXPECT_GT(sorted[position], text) << "position " << position;
        }
    }
}

TEST(IndexSamplesTest, TextsOutsideTheWindowOrderAsTheirPositions) {
    std::vector<std::string> sorted = {"", "a", "ab", "\xE0\xA6\x95", "\xFF", "\xFF\xFF\xFF"};
    // 120 texts that share their first eight bytes, across several samples.
    for (int i = 0; i < 120; ++i) sorted.push_back("abcdefgh" + std::to_string(i));
    for (int i = 0; i < 75; ++i) sorted.push_back("m" + std::to_string(i));
    std::sort(sorted.begin(), sorted.end());
    const IndexSamples samples = SamplesOf(sorted);
    std::vector<std::string> queries = {"",           "\x01",     "abcdefgh",
                                        "abcdefgh5z", "abcdefg",  "abcdefgi",
                                        "zzzzzz",     "\xFF\xFF", "\xFF\xFF\xFF\xFF"};
    for (const std::string& text : sorted) {
        queries.push_back(text);
        queries.push_back(text + '\x01');
        if (!text.empty()) queries.push_back(text.substr(0, text.size() - 1));
    }
    for (const std::string& query : queries) {
        SCOPED_TRACE(query);
        ExpectWindowHolds(sorted, samples, query);
    }
}

// The samples are only worth their memory when a text of a prefix of its
// own leaves a window of a few positions.
TEST(IndexSamplesTest, DistinctPrefixesLeaveAFewPositions) {
    std::vector<std::string> sorted;
    for (int i = 0; i < 1000; ++i) sorted.push_back(std::to_string(100000 + i));
    const IndexSamples samples = SamplesOf(sorted);
    for (const std::string& text : {std::string("100000"), std::string("100500"),
                                    std::string("100999"), std::string("1005005")}) {
        const IndexSamples::Window window = samples.Around(text);
        EXPECT_LT(window.last + 1 - window.first, 2 * IndexSamples::kSpacing) << text;
    }
}

TEST(IndexSamplesTest, WindowsStayInsideAnyIndex) {
    const std::vector<std::vector<std::string>> indexes = {
        {},
        {"only"},
        // Not sorted, as a damaged file may be.
        {"z", "a", "m", "b", "y", "c", "x", "d", "w", "e", "v", "f", "u",
         "g", "t", "h", "s", "i", "r", "j", "q", "k", "p", "l", "o", "n"},
    };
    for (const std::vector<std::string>& texts : indexes) {
        const IndexSamples samples = SamplesOf(texts);
        for (const std::string& query :
             {std::string(""), std::string("a"), std::string("n"), std::string("zz")}) {
            const IndexSamples::Window window = samples.Around(query);
            EXPECT_LE(window.last + 1, static_cast<int64_t>(texts.size())) << query;
            EXPECT_LE(int64_t{window.first}, window.last + 1) << query;
        }
    }
}

}  // namespace
}  // namespace bangla
