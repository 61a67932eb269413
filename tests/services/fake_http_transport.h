#pragma once

// An in-memory HttpTransport for tests of the clients' logic: it records every connection and
// request, answers through a test-supplied responder, and can refuse connections. Thread-safe,
// since the clients call it from their workers.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "services/http_transport.h"

namespace qorva::testing {

struct SentRequest {
    HttpSessionOptions session;  // of the connection that carried it
    int connectionId = 0;        // 1 for the first connection opened, and so on
    HttpRequest request;
};

class FakeHttpTransport : public HttpTransport {
public:
    using Responder = std::function<HttpResponse(const HttpRequest&)>;

    static HttpResponse Reply(uint32_t status, std::string body) {
        HttpResponse response;
        response.status = status;
        response.body = std::move(body);
        return response;
    }

    static HttpResponse Failed(HttpFailure failure) {
        HttpResponse response;
        response.failure = failure;
        return response;
    }

    void SetResponder(Responder responder) {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->responder = std::move(responder);
    }

    // kNone lets connections open again.
    void FailConnects(HttpFailure failure) {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->connectFailure = failure;
    }

    std::vector<SentRequest> Requests() const {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->requests;
    }

    std::vector<HttpSessionOptions> ConnectAttempts() const {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->connectAttempts;
    }

    int OpenConnections() const {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->openConnections;
    }

    // Waits until at least `count` requests were sent; false after `limit`. The limit only keeps a
    // broken client from hanging the test run.
    bool WaitForRequests(std::size_t count,
                         std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        std::unique_lock<std::mutex> lock(state_->mutex);
        return state_->changed.wait_for(lock, limit,
                                        [&] { return state_->requests.size() >= count; });
    }

    bool WaitForConnectAttempts(std::size_t count,
                                std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        std::unique_lock<std::mutex> lock(state_->mutex);
        return state_->changed.wait_for(lock, limit,
                                        [&] { return state_->connectAttempts.size() >= count; });
    }

    HttpConnectResult Connect(const HttpSessionOptions& options) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->connectAttempts.push_back(options);
        state_->changed.notify_all();
        if (state_->connectFailure != HttpFailure::kNone) return {nullptr, state_->connectFailure};
        ++state_->openConnections;
        return {std::make_unique<Connection>(state_, options,
                                             static_cast<int>(state_->connectAttempts.size())),
                HttpFailure::kNone};
    }

private:
    struct State {
        mutable std::mutex mutex;
        std::condition_variable changed;
        Responder responder = [](const HttpRequest&) { return Reply(404, ""); };
        HttpFailure connectFailure = HttpFailure::kNone;
        std::vector<HttpSessionOptions> connectAttempts;
        std::vector<SentRequest> requests;
        int openConnections = 0;
    };

    class Connection : public HttpConnection {
    public:
        Connection(std::shared_ptr<State> state, HttpSessionOptions options, int id)
            : state_(std::move(state)), options_(std::move(options)), id_(id) {}

        ~Connection() override {
            std::lock_guard<std::mutex> lock(state_->mutex);
            --state_->openConnections;
        }

        HttpResponse Send(const HttpRequest& request) override {
            Responder responder;
            {
                std::lock_guard<std::mutex> lock(state_->mutex);
                state_->requests.push_back({options_, id_, request});
                responder = state_->responder;
                state_->changed.notify_all();
            }
            // The real transport refuses such requests before anything reaches the wire.
            if (!HttpRequestIsSafe(request)) return Failed(HttpFailure::kOpenRequest);
            HttpResponse response = responder(request);
            if (request.onBodyData) {
                // Streamed like the real transport: the body goes to the sink, not the response.
                std::string body;
                body.swap(response.body);
                response.contentLength = body.size();
                if (!body.empty()) request.onBodyData(body.data(), body.size(), response);
                return response;
            }
            // Like the real transport, reading stops once the body passes the cap.
            if (response.body.size() > request.maxBodyBytes + 1) {
                response.body.resize(request.maxBodyBytes + 1);
                response.truncated = true;
            }
            return response;
        }

    private:
        std::shared_ptr<State> state_;
        HttpSessionOptions options_;
        int id_;
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace qorva::testing
