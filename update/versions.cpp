#include <cctype>
#include <climits>
#include <cstdlib>

#include "update/update_service.h"

namespace qorva {
namespace {

// Reads a piece as the standard string-to-int conversion would: leading blanks and a sign, then the
// leading digits; no digits or a value outside 32 bits reads as 0.
int32_t ReadVersionNumber(const std::string& piece) {
    std::size_t i = 0;
    while (i < piece.size() && std::isspace(static_cast<unsigned char>(piece[i]))) ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
    if (i == piece.size() || !std::isdigit(static_cast<unsigned char>(piece[i]))) return 0;
    int64_t value = 0;
    for (; i < piece.size() && std::isdigit(static_cast<unsigned char>(piece[i])); ++i) {
        value = value * 10 + (piece[i] - '0');
        if (value > int64_t{INT32_MAX} + 1) return 0;
    }
    if (negative) value = -value;
    return (value < INT32_MIN || value > INT32_MAX) ? 0 : static_cast<int32_t>(value);
}

int CompareNumbers(int32_t a, int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

SemVer SemVer::Parse(const std::string& text) {
    SemVer version;
    std::string rest = text;
    if (!rest.empty() && (rest[0] == 'v' || rest[0] == 'V')) rest.erase(0, 1);
    const std::size_t dash = rest.find('-');
    if (dash != std::string::npos) {
        version.preRelease = rest.substr(dash + 1);
        rest.erase(dash);
    }
    int32_t* numbers[] = {&version.major, &version.minor, &version.patch};
    std::size_t start = 0;
    for (int32_t* number : numbers) {
        const std::size_t dot = rest.find('.', start);
        *number = ReadVersionNumber(
            rest.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return version;
}

int UpdateService::CompareVersions(const std::string& a, const std::string& b) {
    const SemVer va = SemVer::Parse(a);
    const SemVer vb = SemVer::Parse(b);
    if (int c = CompareNumbers(va.major, vb.major)) return c;
    if (int c = CompareNumbers(va.minor, vb.minor)) return c;
    if (int c = CompareNumbers(va.patch, vb.patch)) return c;
    if (va.preRelease.empty() || vb.preRelease.empty()) {
        return CompareNumbers(va.preRelease.empty(), vb.preRelease.empty());
    }
    const int order = va.preRelease.compare(vb.preRelease);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace qorva
