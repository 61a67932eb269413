#include "update/release_feed.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "update/update_endpoints.h"

namespace qorva {
namespace release_feed {

const char* const kReleasePageUrl = kMakerReleasePageUrl;

namespace {

const char kBullet[] = "•";

bool IsJsonSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Index just after the colon that follows the first quoted key at or after start, or npos.
std::size_t FindValueStart(const std::string& text, const std::string& key, std::size_t start) {
    const std::string needle = "\"" + key + "\"";
    const std::size_t at = text.find(needle, start);
    if (at == std::string::npos || at + needle.size() >= text.size()) return std::string::npos;
    const std::size_t colon = text.find(':', at + needle.size());
    return colon == std::string::npos ? std::string::npos : colon + 1;
}

char UnescapedByte(char escaped) {
    switch (escaped) {
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        default: return escaped;  // quote, slash, backslash and anything else stand for themselves
    }
}

bool IsInstallerName(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0;
}

bool IsPreferredInstallerName(const std::string& name) {
    return name == "QorvaSetup.exe" || name.find("Qorva_Setup") != std::string::npos;
}

void AppendNote(std::string& notes, const std::string& item) {
    if (item.empty()) return;
    if (!notes.empty()) notes += '\n';
    notes += kBullet;
    notes += ' ';
    notes += item;
}

std::string ChangelogNotes(const std::string& text) {
    std::string notes;
    const std::size_t key = text.find("\"changelog\"");
    if (key == std::string::npos) return notes;
    const std::size_t open = text.find('[', key);
    if (open == std::string::npos) return notes;
    const std::size_t close = text.find(']', open);
    if (close == std::string::npos) return notes;

    std::size_t pos = open + 1;
    while (pos < close) {
        const std::size_t quote = text.find('"', pos);
        if (quote == std::string::npos || quote >= close) break;
        std::string item;
        std::size_t i = quote + 1;
        for (; i < close; ++i) {
            const char c = text[i];
            if (c == '"' && text[i - 1] != '\\') break;
            if (c != '\\') item += c;
        }
        AppendNote(notes, item);
        pos = i + 1;
    }
    return notes;
}

void ReadInstallerAsset(const std::string& text, ReleaseInfo& release) {
    const std::size_t assets = text.find("\"assets\"");
    if (assets == std::string::npos) return;
    std::size_t pos = assets;
    std::string url, digest;
    uint64_t size = 0;
    std::string name;
    std::size_t nameEnd = 0;
    while (ExtractJsonString(text, "name", name, pos, &nameEnd)) {
        pos = nameEnd;
        if (!IsInstallerName(name)) continue;
        ExtractJsonString(text, "browser_download_url", url, pos);
        ExtractJsonString(text, "digest", digest, pos);
        ExtractJsonNumber(text, "size", size, pos);
        release.downloadUrl = url;
        if (!digest.empty()) release.sha256Hex = digest;
        if (size != 0) release.fileSize = size;
        if (IsPreferredInstallerName(name)) break;
    }
}

bool HasNoSuffix(const ReleaseInfo& release) {
    return SemVer::Parse(release.versionText).preRelease.empty();
}

bool IsAcceptable(bool isRelease, const ReleaseInfo& release, bool includePrerelease) {
    if (!isRelease || release.isDraft) return false;
    return includePrerelease || (!release.isPrerelease && HasNoSuffix(release));
}

bool IsBetter(const ReleaseInfo& candidate, const ReleaseInfo& best, bool includePrerelease) {
    const SemVer a = SemVer::Parse(candidate.versionText);
    const SemVer b = SemVer::Parse(best.versionText);
    if (a.major != b.major) return a.major > b.major;
    if (a.minor != b.minor) return a.minor > b.minor;
    if (a.patch != b.patch) return a.patch > b.patch;
    if (includePrerelease)
        return UpdateService::CompareVersions(candidate.versionText, best.versionText) > 0;
    return !b.preRelease.empty();
}

// The top-level objects of a JSON array, as texts; quoted braces and brackets do not count.
std::vector<std::string> SplitTopLevelObjects(const std::string& text, std::size_t openBracket) {
    std::vector<std::string> objects;
    bool inString = false;
    int depth = 0;
    std::size_t startMark = std::string::npos;
    for (std::size_t i = openBracket + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' && text[i - 1] != '\\') {
            inString = !inString;
            continue;
        }
        if (inString) continue;
        if (c == '{') {
            if (depth == 0) startMark = i;
            ++depth;
        } else if (c == '}') {
            if (depth == 1 && startMark != std::string::npos) {
                objects.push_back(text.substr(startMark, i - startMark + 1));
                startMark = std::string::npos;
            }
            --depth;
        } else if (c == ']' && depth == 0) {
            break;
        }
    }
    return objects;
}

}  // namespace

bool ExtractJsonBool(const std::string& text, const std::string& key, bool& value) {
    std::size_t pos = FindValueStart(text, key, 0);
    if (pos == std::string::npos) return false;
    while (pos < text.size() && IsJsonSpace(text[pos])) ++pos;
    if (text.compare(pos, 4, "true") == 0) {
        value = true;
        return true;
    }
    if (text.compare(pos, 5, "false") == 0) {
        value = false;
        return true;
    }
    return false;
}

bool ExtractJsonNumber(const std::string& text, const std::string& key, uint64_t& value,
                       std::size_t start) {
    std::size_t pos = FindValueStart(text, key, start);
    if (pos == std::string::npos) return false;
    while (pos < text.size() && !IsDigit(text[pos])) ++pos;
    if (pos == text.size()) return false;
    uint64_t number = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        const uint64_t digit = static_cast<uint64_t>(text[pos] - '0');
        if (number > (UINT64_MAX - digit) / 10) return false;
        number = number * 10 + digit;
    }
    value = number;
    return true;
}

bool ExtractJsonString(const std::string& text, const std::string& key, std::string& value,
                       std::size_t start, std::size_t* end) {
    const std::size_t colonEnd = FindValueStart(text, key, start);
    if (colonEnd == std::string::npos || colonEnd >= text.size()) return false;
    const std::size_t quote = text.find('"', colonEnd);
    if (quote == std::string::npos) return false;

    std::string result;
    for (std::size_t i = quote + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            value = result;
            if (end) *end = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < text.size()) {
            result += UnescapedByte(text[++i]);
        } else {
            result += c;
        }
    }
    return false;
}

bool ParseSingleReleaseObject(const std::string& text, ReleaseInfo& release) {
    if (text.empty()) return false;
    std::string tag, version;
    if (ExtractJsonString(text, "tag_name", tag)) {
        release.tag = tag;
        release.versionText =
            (!tag.empty() && (tag[0] == 'v' || tag[0] == 'V')) ? tag.substr(1) : tag;
    } else if (ExtractJsonString(text, "version", version)) {
        release.versionText = version;
        release.tag = "v" + version;
    } else {
        return false;
    }

    ExtractJsonBool(text, "prerelease", release.isPrerelease);
    ExtractJsonBool(text, "draft", release.isDraft);
    if (!SemVer::Parse(release.versionText).preRelease.empty()) release.isPrerelease = true;

    ExtractJsonString(text, "name", release.title);
    if (release.title.empty()) release.title = "Qorva " + release.tag;

    ExtractJsonString(text, "body", release.notes);
    if (release.notes.empty()) release.notes = ChangelogNotes(text);

    ExtractJsonString(text, "published_at", release.publishedAt);
    if (release.publishedAt.empty()) ExtractJsonString(text, "release_date", release.publishedAt);

    release.pageUrl = kReleasePageUrl;
    ExtractJsonString(text, "download_url", release.downloadUrl);
    ExtractJsonString(text, "sha256", release.sha256Hex);
    ExtractJsonNumber(text, "file_size", release.fileSize);
    ReadInstallerAsset(text, release);
    if (release.downloadUrl.empty()) release.downloadUrl = kReleasePageUrl;
    return true;
}

}  // namespace release_feed

bool UpdateService::ParseReleaseJson(const std::string& text, ReleaseInfo& release,
                                     bool includePrerelease) {
    std::size_t first = 0;
    while (first < text.size() && release_feed::IsJsonSpace(text[first])) ++first;
    if (first == text.size()) return false;

    const std::vector<std::string> objects = text[first] == '['
                                                 ? release_feed::SplitTopLevelObjects(text, first)
                                                 : std::vector<std::string>{text};

    bool found = false;
    ReleaseInfo best;
    for (const std::string& object : objects) {
        ReleaseInfo candidate;
        const bool isRelease = release_feed::ParseSingleReleaseObject(object, candidate);
        if (!release_feed::IsAcceptable(isRelease, candidate, includePrerelease)) continue;
        if (!found || release_feed::IsBetter(candidate, best, includePrerelease)) {
            best = candidate;
            found = true;
        }
    }
    if (found) release = best;
    return found;
}

}  // namespace qorva
