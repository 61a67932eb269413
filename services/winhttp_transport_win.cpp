#include <windows.h>
#include <winhttp.h>

#include <utility>
#include <vector>

#include "common/text.h"
#include "services/http_transport.h"
#include "services/winhttp_timeouts.h"

namespace qorva {
namespace {

constexpr DWORD kReadChunkBytes = 8192;
constexpr DWORD kStreamChunkBytes = 65536;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_) WinHttpCloseHandle(handle_);
    }
    InternetHandle(InternetHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    InternetHandle& operator=(InternetHandle&&) = delete;

    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

std::wstring HeaderBlock(const std::vector<HttpHeader>& headers) {
    std::string block;
    for (const HttpHeader& header : headers) block += header.name + ": " + header.value + "\r\n";
    return Utf8ToUtf16(block);
}

uint32_t StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    return status;
}

uint64_t ContentLength(HINTERNET request) {
    wchar_t text[32] = L"";
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    uint64_t length = 0;
    for (const wchar_t* c = text; *c >= L'0' && *c <= L'9'; ++c) {
        if (length > (UINT64_MAX - 9) / 10) return 0;
        length = length * 10 + static_cast<uint64_t>(*c - L'0');
    }
    return length;
}

// Hands the body to `sink` in pieces of at most `chunkBytes` until it ends, a read fails or returns
// nothing, or the sink refuses more: a broken server can never keep the caller looping.
void StreamBody(HINTERNET request, DWORD chunkBytes, const HttpBodySink& sink,
                const HttpResponse& head) {
    std::vector<char> buffer(chunkBytes);
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available) || available == 0) return;
        DWORD read = 0;
        const DWORD wanted = available < chunkBytes ? available : chunkBytes;
        if (!WinHttpReadData(request, buffer.data(), wanted, &read) || read == 0) return;
        if (!sink(buffer.data(), read, head)) return;
    }
}

// Collects the body up to the cap, so that a hostile server cannot fill the caller's memory.
void ReadBody(HINTERNET request, std::size_t maxBytes, HttpResponse& response) {
    const HttpResponse head = response;
    StreamBody(
        request, kReadChunkBytes,
        [&](const char* data, std::size_t size, const HttpResponse&) {
            response.body.append(data, size);
            response.truncated = response.body.size() > maxBytes;
            return !response.truncated;
        },
        head);
}

class WinHttpConnection : public HttpConnection {
public:
    WinHttpConnection(InternetHandle session, InternetHandle connection, HttpSessionOptions options)
        : session_(std::move(session)),
          connection_(std::move(connection)),
          options_(std::move(options)) {}

    HttpResponse Send(const HttpRequest& request) override {
        HttpResponse response;
        if (!HttpRequestIsSafe(request)) {
            response.failure = HttpFailure::kOpenRequest;
            return response;
        }
        const std::wstring method = Utf8ToUtf16(request.method);
        const std::wstring path = Utf8ToUtf16(request.path);
        InternetHandle handle(WinHttpOpenRequest(
            connection_.get(), method.c_str(), path.c_str(), nullptr, WINHTTP_NO_REFERER,
            WINHTTP_DEFAULT_ACCEPT_TYPES, options_.endpoint.secure ? WINHTTP_FLAG_SECURE : 0));
        if (!handle) {
            response.failure = HttpFailure::kOpenRequest;
            return response;
        }
        ApplyWinHttpTimeouts(handle.get(), options_);
        const std::wstring headers = HeaderBlock(request.headers);
        void* body =
            request.body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(request.body.data());
        const auto bodySize = static_cast<DWORD>(request.body.size());
        if (!WinHttpSendRequest(
                handle.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                headers.empty() ? 0 : static_cast<DWORD>(-1L), body, bodySize, bodySize, 0) ||
            !WinHttpReceiveResponse(handle.get(), nullptr)) {
            response.failure = HttpFailure::kSendReceive;
            return response;
        }
        response.status = StatusCode(handle.get());
        response.contentLength = ContentLength(handle.get());
        if (request.onBodyData) {
            StreamBody(handle.get(), kStreamChunkBytes, request.onBodyData, response);
        } else {
            ReadBody(handle.get(), request.maxBodyBytes, response);
        }
        return response;
    }

private:
    // Members are destroyed in reverse order: the connection closes before its session.
    InternetHandle session_;
    InternetHandle connection_;
    const HttpSessionOptions options_;
};

class WinHttpTransport : public HttpTransport {
public:
    HttpConnectResult Connect(const HttpSessionOptions& options) override {
        if (!HttpHostIsSafe(options.endpoint.host) || !HttpHeaderValueIsSafe(options.userAgent)) {
            return {nullptr, HttpFailure::kConnect};
        }
        const std::wstring agent = Utf8ToUtf16(options.userAgent);
        InternetHandle session(WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
        if (!session) return {nullptr, HttpFailure::kOpenSession};
        ApplyWinHttpTimeouts(session.get(), options);
        const std::wstring host = Utf8ToUtf16(options.endpoint.host);
        InternetHandle connection(
            WinHttpConnect(session.get(), host.c_str(), options.endpoint.port, 0));
        if (!connection) return {nullptr, HttpFailure::kConnect};
        return {
            std::make_unique<WinHttpConnection>(std::move(session), std::move(connection), options),
            HttpFailure::kNone};
    }
};

}  // namespace

// Older WinHTTP versions (and Wine's) wait for response headers without regard to the receive
// time-out, so the response time-out is set to the receive bound as well: a stalled server must
// never hold the caller longer than that.
void ApplyWinHttpTimeouts(HINTERNET handle, const HttpSessionOptions& options) {
    const auto bound = [&](std::chrono::milliseconds phase) {
        return static_cast<int>((phase.count() > 0 ? phase : options.timeout).count());
    };
    const int receive = bound(options.receiveTimeout);
    WinHttpSetTimeouts(handle, bound(options.timeout), bound(options.connectTimeout),
                       bound(options.sendTimeout), receive);
    DWORD response = static_cast<DWORD>(receive);
    WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response, sizeof response);
}

std::shared_ptr<HttpTransport> CreatePlatformHttpTransport() {
    return std::make_shared<WinHttpTransport>();
}

}  // namespace qorva
