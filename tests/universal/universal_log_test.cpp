// universal.log: time-stamped lines, restarted once it has grown past 256 KiB.
#include "universal/universal_log.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/engine_fixtures.h"

namespace qorva::universal {
namespace {

using bangla::testing_support::ReadFileBytes;
using bangla::testing_support::WriteTextFile;

const LocalTime kNoon{2024, 3, 7, 12, 5, 9};

TEST(UniversalLogTest, EachLineIsStampedWithTheLocalTimeAndEndsInCrLf) {
    bangla::TempFolder folder("universal_log");
    const std::string log = folder.File(kLogFileName);
    AppendLogLine(log, kNoon, "universal host started (hook=ok)");
    AppendLogLine(log, LocalTime{2025, 12, 31, 23, 59, 58}, "hotkey: bangla mode");
    EXPECT_EQ(ReadFileBytes(log),
              "2024-03-07 12:05:09 universal host started (hook=ok)\r\n"
              "2025-12-31 23:59:58 hotkey: bangla mode\r\n");
}

TEST(UniversalLogTest, ALogPastTheLimitIsRestartedWithTheNewLine) {
    bangla::TempFolder folder("universal_log");
    const std::string log = folder.File(kLogFileName);
    const std::string line = "2024-03-07 12:05:09 hotkey: english mode\r\n";

    WriteTextFile(log, std::string(kLogRestartBytes, 'x'), "wb");
    AppendLogLine(log, kNoon, "hotkey: english mode");
    EXPECT_EQ(ReadFileBytes(log), std::string(kLogRestartBytes, 'x') + line)
        << "exactly 262144 bytes are kept";

    WriteTextFile(log, std::string(kLogRestartBytes + 1, 'x'), "wb");
    AppendLogLine(log, kNoon, "hotkey: english mode");
    EXPECT_EQ(ReadFileBytes(log), line) << "262145 bytes are deleted first";
}

}  // namespace
}  // namespace qorva::universal
