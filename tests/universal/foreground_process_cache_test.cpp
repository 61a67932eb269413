// The answer whether the input processor serves the foreground process is walked for once per
// foreground window and half second, not at every key.
#include "universal/foreground_process_cache.h"

#include <gtest/gtest.h>

namespace qorva::universal {
namespace {

TEST(ForegroundProcessCacheTest, WalksAgainOnlyForANewWindowOrAnOldAnswer) {
    ForegroundProcessCache cache;
    int walks = 0;
    bool loaded = false;
    auto walk = [&] {
        ++walks;
        return loaded;
    };
    struct Step {
        const char* name;
        uint64_t window;
        uint32_t process;
        uint32_t now;
        bool loadedNow;
        int walks;
        bool served;
    };
    const Step steps[] = {
        {"first key", 0x10, 7, 1000, false, 1, false},
        {"next key, same window", 0x10, 7, 1100, true, 1, false},
        {"499 ms after the walk", 0x10, 7, 1499, true, 1, false},
        {"500 ms after the walk", 0x10, 7, 1500, true, 2, true},
        {"another window", 0x20, 7, 1600, false, 3, false},
        {"another process behind a reused handle", 0x20, 8, 1601, true, 4, true},
        {"200 ms later", 0x20, 8, 1801, false, 4, true},
    };
    for (const Step& s : steps) {
        loaded = s.loadedNow;
        EXPECT_EQ(cache.Answer(s.window, s.process, s.now, walk), s.served) << s.name;
        EXPECT_EQ(walks, s.walks) << s.name;
    }

    // Across the 32-bit tick counter's wrap.
    ForegroundProcessCache wrapping;
    walks = 0;
    wrapping.Answer(0x10, 7, 0xFFFFFF00u, walk);
    wrapping.Answer(0x10, 7, 0x10, walk);  // 272 ms later
    EXPECT_EQ(walks, 1);
    wrapping.Answer(0x10, 7, 0x100, walk);  // 512 ms later
    EXPECT_EQ(walks, 2);
}

}  // namespace
}  // namespace qorva::universal
