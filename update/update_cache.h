#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

// What update_cache.json remembers, and the decisions read from it. Pure functions over the file's
// text (nullopt when the file does not open) and the current time, so every rule is testable
// without a clock or a file system.
namespace qorva::update_cache {

inline constexpr uint64_t kCheckIntervalSeconds = 86400;
inline constexpr uint64_t kDismissalSeconds = 604800;

struct Contents {
    uint64_t lastCheckEpoch = 0;
    std::string dismissedVersion;
    uint64_t dismissedEpoch = 0;
};

// The five-line file, lines ending in CR LF.
std::string Format(const Contents& contents);

Contents AfterCheck(const std::optional<std::string>& oldText, uint64_t now);
Contents AfterDismissal(const std::optional<std::string>& oldText, const std::string& version,
                        uint64_t now);

bool IsCheckDue(const std::optional<std::string>& text, uint64_t now);
bool IsDismissed(const std::optional<std::string>& text, const std::string& version, uint64_t now);

// "এখনও পরীক্ষা করা হয়নি", or the last check's local time ("আজ 09:05", "গতকাল 23:10",
// "05/03/2026 14:00"), in Bengali digits, as UTF-8.
std::string LastCheckText(const std::optional<std::string>& text, const std::tm& nowLocal,
                          std::tm (*toLocal)(uint64_t epoch));

}  // namespace qorva::update_cache
