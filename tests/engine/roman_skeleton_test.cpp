#include "engine/roman_skeleton.h"

#include <gtest/gtest.h>

#include <string>

namespace bangla {
namespace {

TEST(RomanSkeletonTest, SpellingsOfOneWordShareAnOutline) {
    struct Case {
        const char* roman;
        const char* skeleton;
    };
    const Case cases[] = {
        {"shotti", "st"},
        {"sotyi", "st"},
        {"satti", "st"},
        {"kapsul", "kpsl"},
        {"capshule", "kpsl"},
        {"bhalo", "bl"},
        {"valo", "bl"},
        {"VALOW", "bl"},
        {"phone", "pn"},
        {"fon", "pn"},
        {"zinish", "jns"},
        {"jinis", "jns"},
        {"box", "bks"},
        {"boks", "bks"},
        {"quick", "k"},
        // A leading vowel is kept, as "a", so ami and mi differ.
        {"ami", "am"},
        {"emi", "am"},
        {"mi", "m"},
        {"wapka", "apk"},
        {"yes", "as"},
        // A leading h is a sound of its own; later ones mark aspirates.
        {"hat", "ht"},
        {"khub", "kb"},
        {"", ""},
        {"aeiou", "a"},
        {"h", "h"},
    };
    for (const Case& c : cases) EXPECT_EQ(RomanSkeleton::Of(c.roman), c.skeleton) << c.roman;
}

TEST(RomanSkeletonTest, DistanceChargesConsonantsMoreThanVowelsAndAspirates) {
    EXPECT_FLOAT_EQ(RomanSkeleton::Distance("ami", "ami"), 0.0f);
    EXPECT_FLOAT_EQ(RomanSkeleton::Distance("ami", "AMI"), 0.0f);
    EXPECT_FLOAT_EQ(RomanSkeleton::Distance("", "ab"), 1.6f);
    // vowel change < h < doubled letter ordering as a writer's habits go
    EXPECT_LT(RomanSkeleton::Distance("bhallo", "bhalo"), RomanSkeleton::Distance("bhalo", "balo"));
    EXPECT_LT(RomanSkeleton::Distance("balo", "bhalo"),
              RomanSkeleton::Distance("bolo", "bhalo") + 0.01f);
    EXPECT_LT(RomanSkeleton::Distance("bhalo", "bhalu"), RomanSkeleton::Distance("bhalo", "bhado"));
    EXPECT_FLOAT_EQ(RomanSkeleton::Distance("kapsul", "capshule"),
                    RomanSkeleton::Distance("capshule", "kapsul"));
}

TEST(RomanSkeletonTest, OverlongSpellingsAreComparedUpToTheLimit) {
    const std::string longText(200, 'k');
    EXPECT_FLOAT_EQ(RomanSkeleton::Distance(longText, longText), 0.0f);
}

// Spellings of a few outlines, with the letters writers swap, double, drop
// and stretch.
const char* const kSpellings[] = {
    "",      "a",      "ami",   "emi",    "AMI",    "bhalo",      "valo",
    "balo",  "bhallo", "bhalu", "bolo",   "kapsul", "capshule",   "shotti",
    "sotyi", "satti",  "korbo", "korbe",  "kurba",  "karabo",     "khub",
    "kub",   "x",      "ks",    "quick",  "aeiou",  "zinish",     "jinis",
    "phone", "fon",    "hhh",   "vaiiii", "bhaiya", "poriborton", "porivortan",
};

// The outline search skips a key by these bounds and compares the others
// only up to a ceiling; a bound above the distance, or a comparison that
// gives up too soon, would lose words.
TEST(RomanSkeletonTest, BoundsAndCeilingsNeverMisstateADistance) {
    const float ceilings[] = {0.0f, 0.2f, 0.4f, 0.6f, 1.0f, 1.5f, 3.0f, 100.0f};
    for (const char* a : kSpellings) {
        for (const char* b : kSpellings) {
            SCOPED_TRACE(std::string(a) + " / " + b);
            const float distance = RomanSkeleton::Distance(a, b);
            const RomanSkeleton::Spelling typed(a);
            const RomanSkeleton::Spelling key(b);
            EXPECT_LE(RomanSkeleton::LeastDistance(std::string(a).size(), std::string(b).size()),
                      distance);
            EXPECT_LE(RomanSkeleton::LeastDistance(typed, key), distance);
            for (const float ceiling : ceilings) {
                const float within = RomanSkeleton::DistanceWithin(typed, key, ceiling);
                if (distance <= ceiling) {
                    EXPECT_EQ(within, distance) << "ceiling " << ceiling;
                } else {
                    EXPECT_GT(within, ceiling) << "ceiling " << ceiling;
                }
            }
        }
    }
}

}  // namespace
}  // namespace bangla
