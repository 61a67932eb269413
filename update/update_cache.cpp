#include "update/update_cache.h"

#include <cstdio>

#include "update/release_feed.h"

namespace qorva::update_cache {
namespace {

using release_feed::ExtractJsonNumber;
using release_feed::ExtractJsonString;

// The readers decode backslash escapes, so a version text from a hostile feed cannot end the
// value early or break the file's lines.
std::string EscapeForFile(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) continue;
        if (c == '"' || c == '\\') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

uint64_t NumberOr(const std::optional<std::string>& text, const char* key, uint64_t fallback) {
    uint64_t value = fallback;
    if (text) ExtractJsonNumber(*text, key, value);
    return value;
}

std::string BengaliDigits(const std::string& ascii) {
    std::string out;
    for (const char c : ascii) {
        if (c >= '0' && c <= '9') {
            // U+09E6..U+09EF: E0 A7 A6..AF
            out += "\xE0\xA7";
            out += static_cast<char>(0xA6 + (c - '0'));
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string Format(const Contents& contents) {
    return "{\r\n"
           "  \"last_check_epoch\": " +
           std::to_string(contents.lastCheckEpoch) +
           ",\r\n"
           "  \"dismissed_version\": \"" +
           EscapeForFile(contents.dismissedVersion) +
           "\",\r\n"
           "  \"dismissed_epoch\": " +
           std::to_string(contents.dismissedEpoch) +
           "\r\n"
           "}\r\n";
}

Contents AfterCheck(const std::optional<std::string>& oldText, uint64_t now) {
    Contents contents;
    contents.lastCheckEpoch = now;
    if (oldText) ExtractJsonString(*oldText, "dismissed_version", contents.dismissedVersion);
    contents.dismissedEpoch = NumberOr(oldText, "dismissed_epoch", 0);
    return contents;
}

Contents AfterDismissal(const std::optional<std::string>& oldText, const std::string& version,
                        uint64_t now) {
    Contents contents;
    const uint64_t lastCheck = NumberOr(oldText, "last_check_epoch", 0);
    contents.lastCheckEpoch = lastCheck != 0 ? lastCheck : now;
    contents.dismissedVersion = version;
    contents.dismissedEpoch = now;
    return contents;
}

bool IsCheckDue(const std::optional<std::string>& text, uint64_t now) {
    uint64_t lastCheck = 0;
    if (!text || !ExtractJsonNumber(*text, "last_check_epoch", lastCheck)) return true;
    return now < lastCheck || now - lastCheck >= kCheckIntervalSeconds;
}

bool IsDismissed(const std::optional<std::string>& text, const std::string& version, uint64_t now) {
    std::string dismissedVersion;
    uint64_t dismissedAt = 0;
    if (!text || !ExtractJsonString(*text, "dismissed_version", dismissedVersion) ||
        !ExtractJsonNumber(*text, "dismissed_epoch", dismissedAt)) {
        return false;
    }
    return dismissedVersion == version && now >= dismissedAt &&
           now - dismissedAt < kDismissalSeconds;
}

std::string LastCheckText(const std::optional<std::string>& text, const std::tm& nowLocal,
                          std::tm (*toLocal)(uint64_t epoch)) {
    const uint64_t lastCheck = NumberOr(text, "last_check_epoch", 0);
    if (lastCheck == 0) {
        return "এখনও পরীক্ষা করা হয়নি";
    }
    const std::tm when = toLocal(lastCheck);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d", when.tm_hour, when.tm_min);
    const bool sameYear = when.tm_year == nowLocal.tm_year;
    if (sameYear && when.tm_yday == nowLocal.tm_yday) {
        return "আজ " + BengaliDigits(clock);
    }
    if (sameYear && when.tm_yday + 1 == nowLocal.tm_yday) {
        return "গতকাল " + BengaliDigits(clock);
    }
    char full[48];
    std::snprintf(full, sizeof full, "%02d/%02d/%04d %02d:%02d", when.tm_mday, when.tm_mon + 1,
                  when.tm_year + 1900, when.tm_hour, when.tm_min);
    return BengaliDigits(full);
}

}  // namespace qorva::update_cache
