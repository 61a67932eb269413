#include "services/http_transport.h"

#include <algorithm>

namespace qorva {
namespace {

bool IsPrintableAscii(unsigned char byte) { return byte > 0x20 && byte < 0x7F; }

bool IsHostCharacter(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.';
}

bool IsMethodCharacter(unsigned char byte) { return byte >= 'A' && byte <= 'Z'; }

template <typename Predicate>
bool NonEmptyAndAll(const std::string& text, Predicate predicate) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
        return predicate(static_cast<unsigned char>(c));
    });
}

bool HeaderNameIsSafe(const std::string& name) {
    return NonEmptyAndAll(name,
                          [](unsigned char byte) { return IsPrintableAscii(byte) && byte != ':'; });
}

}  // namespace

bool HttpHostIsSafe(const std::string& host) { return NonEmptyAndAll(host, IsHostCharacter); }

bool HttpHeaderValueIsSafe(const std::string& value) {
    return std::all_of(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return IsPrintableAscii(byte) || byte == ' ' || byte == '\t';
    });
}

bool HttpRequestIsSafe(const HttpRequest& request) {
    if (!NonEmptyAndAll(request.method, IsMethodCharacter) || request.path.empty() ||
        request.path[0] != '/' || !NonEmptyAndAll(request.path, IsPrintableAscii)) {
        return false;
    }
    return std::all_of(
        request.headers.begin(), request.headers.end(), [](const HttpHeader& header) {
            return HeaderNameIsSafe(header.name) && HttpHeaderValueIsSafe(header.value);
        });
}

}  // namespace qorva
