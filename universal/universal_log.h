// universal.log, the universal program's log in the per-user data folder: one line per event,
// stamped with the local time, restarted when it has grown past 256 KiB. Each line is written with
// its own open and close, so a second instance may append to the same file.
#pragma once

#include <cstdint>
#include <string>

namespace qorva::universal {

inline constexpr char kLogFileName[] = "universal.log";
// A log larger than this is deleted before the next line is written.
inline constexpr uint64_t kLogRestartBytes = 262144;

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "YYYY-MM-DD hh:mm:ss " before every message.
std::string LogLinePrefix(const LocalTime& time);

// Appends "<prefix><message>" and a CR LF line end to the log at `utf8Path`, first deleting a file
// larger than kLogRestartBytes. Nothing is reported: a log that cannot be written is not the
// user's concern.
void AppendLogLine(const std::string& utf8Path, const LocalTime& time, const std::string& message);

}  // namespace qorva::universal
