#include "engine/informal_spelling.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace bangla {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::Not;

struct HabitCase {
    std::string typed;
    std::string standard;
};

std::ostream& operator<<(std::ostream& out, const HabitCase& c) {
    return out << '"' << c.typed << '"';
}

class UndoneHabitTest : public ::testing::TestWithParam<HabitCase> {};

TEST_P(UndoneHabitTest, OffersTheStandardKey) {
    const HabitCase& c = GetParam();
    EXPECT_THAT(InformalSpelling::AlternativeKeys(c.typed), Contains(c.standard));
}

INSTANTIATE_TEST_SUITE_P(
    ChatSpellings, UndoneHabitTest,
    ::testing::Values(HabitCase{"korcen", "korchen"},  // c for ch
                      HabitCase{"vai", "bhai"},        // v for bh
                      HabitCase{"tumar", "tomar"},     // u for o, every one
                      HabitCase{"akhon", "ekhon"},     // a for e at the start
                      HabitCase{"zibon", "jibon"},     // z for j
                      HabitCase{"ses", "shesh"},       // s for sh, every one
                      HabitCase{"deka", "dekha"},      // dropped h after k
                      HabitCase{"kota", "kotha"},      // ... after t
                      HabitCase{"bujo", "bujho"},      // ... after j
                      HabitCase{"hoyce", "hoyche"}, HabitCase{"kisu", "kichu"},  // s for ch
                      HabitCase{"hosse", "hochche"},                             // ... also doubled
                      HabitCase{"vhai", "bhai"},                                 // vh for bh
                      HabitCase{"korvo", "korbo"},                               // v for b
                      HabitCase{"aita", "eta"},  // ai or ei for e at the start
                      HabitCase{"eita", "eta"}, HabitCase{"plzzzz", "plz"},   // stretched letters
                      HabitCase{"naaaa", "naa"}, HabitCase{"vaiii", "bhai"},  // ... then a habit
                      HabitCase{"jeeban", "jiban"},  // long vowels spelled double
                      HabitCase{"shoondor", "shundor"}, HabitCase{"aamar", "amar"},
                      HabitCase{"nadii", "nadi"},
                      HabitCase{"korey", "kore"},  // ey for e at the end
                      HabitCase{"thick", "thik"},  // ck for k
                      HabitCase{"pakka", "paka"}, HabitCase{"phul", "ful"}, HabitCase{"kow", "ko"},
                      HabitCase{"sahaj", "sohoj"},  // the inherent vowel as a
                      HabitCase{"maudel", "model"},
                      HabitCase{"teenis", "tenis"},  // English-like spellings
                      HabitCase{"konflict", "konflikt"}, HabitCase{"artilary", "artilari"},
                      HabitCase{"forex", "foreks"}, HabitCase{"proshtut", "prostut"},
                      HabitCase{"mawdel", "maodel"}, HabitCase{"stoon", "ston"},
                      HabitCase{"kuje", "khoje"},  // two habits at once
                      HabitCase{"vuli", "bholi"}));

struct UnchangedCase {
    std::string typed;
    std::string notOffered;
};

std::ostream& operator<<(std::ostream& out, const UnchangedCase& c) {
    return out << '"' << c.typed << '"';
}

class HabitBoundaryTest : public ::testing::TestWithParam<UnchangedCase> {};

TEST_P(HabitBoundaryTest, LeavesStandardLettersAlone) {
    const UnchangedCase& c = GetParam();
    EXPECT_THAT(InformalSpelling::AlternativeKeys(c.typed), Not(Contains(c.notOffered)));
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, HabitBoundaryTest,
    ::testing::Values(UnchangedCase{"chai", "chhai"},  // ch is already whole
                      UnchangedCase{"shesh", "shhesh"}, UnchangedCase{"kotha", "kothha"},
                      UnchangedCase{"bari", "beri"},  // a becomes e only at the start
                      UnchangedCase{"bhai", "bhhai"}, UnchangedCase{"vhai", "bhhai"},
                      UnchangedCase{"pass", "pas"},
                      UnchangedCase{"peyara", "peara"},  // ey becomes e only at the end
                      UnchangedCase{"bowma", "boma"}));  // two equal letters are no stretch

TEST(InformalSpellingTest, NeverOffersTheTypedKeyItself) {
    for (const std::string typed : {"korcen", "vai", "ami", "x"}) {
        EXPECT_THAT(InformalSpelling::AlternativeKeys(typed), Not(Contains(typed))) << typed;
    }
}

TEST(InformalSpellingTest, AWordWithoutChatHabitsGivesNothing) {
    EXPECT_THAT(InformalSpelling::AlternativeKeys("mili"), IsEmpty());
    EXPECT_THAT(InformalSpelling::AlternativeKeys(""), IsEmpty());
}

TEST(InformalSpellingTest, KeysWithOtherBytesGiveNothing) {
    for (const std::string typed : {"Korcen", "korcen2", "kor-cen",
                                    "\xE0\xA6\x95"
                                    "c"}) {
        EXPECT_THAT(InformalSpelling::AlternativeKeys(typed), IsEmpty()) << typed;
    }
}

TEST(InformalSpellingTest, ALongWordStaysWithinTheCapWithoutRepeats) {
    const std::vector<std::string> keys =
        InformalSpelling::AlternativeKeys("vuktabuddisojogkotapuc");
    EXPECT_EQ(keys.size(), InformalSpelling::kMaxAlternatives);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (std::size_t j = i + 1; j < keys.size(); ++j) EXPECT_NE(keys[i], keys[j]);
    }
    // The most telling habits come first.
    EXPECT_EQ(keys.front(), "vuktabuddisojogkotapuch");
}

TEST(InformalSpellingTest, AnOverlongKeyGivesNothing) {
    EXPECT_THAT(InformalSpelling::AlternativeKeys(std::string(100, 'c')), IsEmpty());
}

}  // namespace
}  // namespace bangla
