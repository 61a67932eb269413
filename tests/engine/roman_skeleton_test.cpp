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

}  // namespace
}  // namespace bangla
