#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qorva {

// Where a client sends its requests. Every client defaults to its production service; tests point
// it at a server of their own on the loopback interface.
struct HttpEndpoint {
    std::string host;
    uint16_t port = 443;
    bool secure = true;
};

struct HttpSessionOptions {
    HttpEndpoint endpoint;
    std::string userAgent;
    // Bounds every phase of an exchange: name resolution, connecting, sending, and each wait for
    // response headers or body data.
    std::chrono::milliseconds timeout{0};
    // A phase that needs a bound of its own; 0 leaves it at `timeout`.
    std::chrono::milliseconds connectTimeout{0};
    std::chrono::milliseconds sendTimeout{0};
    std::chrono::milliseconds receiveTimeout{0};  // each wait for response headers or body data
};

struct HttpResponse;

// Receives the body piece by piece instead of collecting it, for downloads too large to hold in
// memory; the response passed along holds the status and the announced length. Returning false
// stops the transfer.
using HttpBodySink =
    std::function<bool(const char* data, std::size_t size, const HttpResponse& head)>;

struct HttpHeader {
    std::string name;
    std::string value;
};

struct HttpRequest {
    std::string method = "GET";
    // Absolute path with its query, already percent-encoded: printable ASCII only.
    std::string path;
    std::vector<HttpHeader> headers;
    std::string body;
    // Reading stops once the body holds more than this many bytes.
    std::size_t maxBodyBytes = std::size_t{1} << 20;
    // When set, the body goes here and maxBodyBytes does not apply.
    HttpBodySink onBodyData;
};

// Which step of an exchange failed, so that clients can tell the user which one.
enum class HttpFailure {
    kNone,
    kOpenSession,
    kConnect,
    kOpenRequest,  // also: a request that would put a control character on the wire
    kSendReceive,
};

struct HttpResponse {
    HttpFailure failure = HttpFailure::kNone;
    uint32_t status = 0;         // 0 when the status could not be read
    uint64_t contentLength = 0;  // 0 when the server announced none
    // What arrived before the end of the body, a failed or empty read, or the size cap.
    std::string body;
    bool truncated = false;  // reading stopped at maxBodyBytes
};

// One open session and connection to one endpoint. Destroying it closes both.
class HttpConnection {
public:
    virtual ~HttpConnection() = default;
    // Synchronous; returns within the session's time-outs, whatever the server does.
    virtual HttpResponse Send(const HttpRequest& request) = 0;
};

struct HttpConnectResult {
    std::unique_ptr<HttpConnection> connection;  // null on failure
    HttpFailure failure = HttpFailure::kNone;    // kOpenSession or kConnect on failure
};

// Opens connections. The one seam between the clients' logic and the platform's HTTP stack:
// tests replace it with a fake, the programs use CreatePlatformHttpTransport().
class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // Safe to call from several threads at once.
    virtual HttpConnectResult Connect(const HttpSessionOptions& options) = 0;
};

// WinHTTP on Windows; elsewhere a transport whose connections always fail (the clients then
// behave as when offline).
std::shared_ptr<HttpTransport> CreatePlatformHttpTransport();

// False when a host, path, header or user agent holds a byte that must never reach the wire
// (control characters, and anything outside printable ASCII in a path or header name).
bool HttpHostIsSafe(const std::string& host);
bool HttpRequestIsSafe(const HttpRequest& request);
bool HttpHeaderValueIsSafe(const std::string& value);

}  // namespace qorva
