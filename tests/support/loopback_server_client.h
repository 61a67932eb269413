#pragma once

// The test side of the loopback server (loopback_server.py): finds the server that ctest started
// for this program (QORVA_LOOPBACK_DIR), gives its endpoints, reads back what it received, and on
// Windows makes the test prefix trust its throwaway certificate authority.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "services/http_transport.h"

#ifdef _WIN32
#include <windows.h>
#include <wincrypt.h>
#endif

namespace qorva::testing {

struct LoopbackRequest {
    std::string method;
    std::string target;  // path and query exactly as sent
    std::vector<HttpHeader> headers;
    std::string body;

    // The value of the first header of that name (case-insensitive); empty when absent.
    std::string Header(const std::string& name) const {
        const auto equal = [](const std::string& a, const std::string& b) {
            return a.size() == b.size() &&
                   std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                       return std::tolower(static_cast<unsigned char>(x)) ==
                              std::tolower(static_cast<unsigned char>(y));
                   });
        };
        for (const HttpHeader& header : headers) {
            if (equal(header.name, name)) return header.value;
        }
        return {};
    }
};

class LoopbackServer {
public:
    // Empty directory (not Ready) when the test was not started with the fixture.
    static LoopbackServer FromEnvironment() {
        const char* dir = std::getenv("QORVA_LOOPBACK_DIR");
        return LoopbackServer(dir ? dir : "");
    }

    explicit LoopbackServer(std::string stateDir) : stateDir_(std::move(stateDir)) { ReadPorts(); }

    bool Ready() const { return httpPort_ != 0 && httpsPort_ != 0; }

    // "localhost", never an IP address: certificate checks match host names only.
    HttpEndpoint Https() const { return {"localhost", httpsPort_, true}; }
    HttpEndpoint Http() const { return {"localhost", httpPort_, false}; }

    std::string StateFile(const std::string& name) const { return stateDir_ + "/" + name; }

    // Every request received since the server started, oldest first.
    std::vector<LoopbackRequest> Requests() const {
        std::ifstream log(StateFile("requests.log"), std::ios::binary);
        std::vector<LoopbackRequest> requests;
        std::string line;
        LoopbackRequest current;
        while (std::getline(log, line)) {
            if (line.rfind("request ", 0) == 0) {
                current = LoopbackRequest();
                std::istringstream words(line.substr(8));
                words >> current.method >> current.target;
            } else if (line.rfind("header ", 0) == 0) {
                const std::size_t colon = line.find(": ", 7);
                current.headers.push_back(
                    {line.substr(7, colon - 7),
                     colon == std::string::npos ? "" : line.substr(colon + 2)});
            } else if (line.rfind("body ", 0) == 0) {
                current.body = FromHex(line.substr(5));
            } else if (line == "end") {
                requests.push_back(current);
            }
        }
        return requests;
    }

    // Waits until at least `count` requests were received; false after `limit`, which only keeps
    // a broken client from hanging the run.
    bool WaitForRequests(std::size_t count,
                         std::chrono::milliseconds limit = std::chrono::seconds(20)) const {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (Requests().size() < count) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

#ifdef _WIN32
    // Adds the server's certificate authority to the current user's ROOT store, which lives in the
    // test prefix's registry; repeating it is harmless.
    bool TrustCertificateAuthority() const {
        std::ifstream file(StateFile("ca.der"), std::ios::binary);
        const std::string der((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
        if (der.empty()) return false;
        HCERTSTORE store =
            CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"ROOT");
        if (!store) return false;
        const BOOL added = CertAddEncodedCertificateToStore(
            store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
        CertCloseStore(store, 0);
        return added != FALSE;
    }
#endif

private:
    void ReadPorts() {
        std::ifstream ports(StateFile("ports"));
        std::string scheme;
        unsigned port = 0;
        while (ports >> scheme >> port) {
            if (scheme == "http") httpPort_ = static_cast<uint16_t>(port);
            if (scheme == "https") httpsPort_ = static_cast<uint16_t>(port);
        }
    }

    static std::string FromHex(const std::string& hex) {
        std::string bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        }
        return bytes;
    }

    std::string stateDir_;
    uint16_t httpPort_ = 0;
    uint16_t httpsPort_ = 0;
};

#ifdef _WIN32
// The server ctest started for this test program, read once.
inline const LoopbackServer& SharedLoopbackServer() {
    static const LoopbackServer instance = LoopbackServer::FromEnvironment();
    return instance;
}

// Whether the shared server runs and the test prefix trusts its certificate authority.
inline ::testing::AssertionResult SharedLoopbackServerUsable() {
    if (!SharedLoopbackServer().Ready()) {
        return ::testing::AssertionFailure() << "the loopback server fixture is not running";
    }
    if (!SharedLoopbackServer().TrustCertificateAuthority()) {
        return ::testing::AssertionFailure()
               << "the loopback server's certificate authority could not be trusted";
    }
    return ::testing::AssertionSuccess();
}

// A suite that talks to the shared server; it stops at once when the server is not usable.
class LoopbackServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SharedLoopbackServerUsable()); }
    static const LoopbackServer& Server() { return SharedLoopbackServer(); }
};
#endif

}  // namespace qorva::testing
