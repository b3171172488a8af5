#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qftest {

/// The local Python server (server.py beside this file) on 127.0.0.1. It starts on
/// a free port, which it prints, and stops when this object is destroyed. Talks
/// to it with libcurl directly so that the code under test is not its own judge.
class TestServer {
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return port_; }
    /// "http://127.0.0.1:<port>" followed by path.
    std::string url(const std::string& path) const;

    /// Forgets the request log, scripted answers and cloud state.
    void reset();
    /// The requests received since the last reset, one JSON object per entry.
    std::vector<std::string> log();
    /// Queues `count` answers with this status and body for the path.
    /// The answers wait `delaySeconds` before they are sent.
    void script(const std::string& path, int status, const std::string& body = "", int count = 1,
                double delaySeconds = 0);
    /// The logged requests whose path (query included) starts with prefix.
    std::vector<std::string> logFor(const std::string& prefix);
    /// GET (or POST with a body) of /control/<what>; returns the answer body.
    std::string control(const std::string& what, const std::string& body = "");

private:
    FILE* pipe_;
    int port_;
};

/// A fixture that shares one server per test suite and resets it before each test.
class ServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static TestServer& server() { return *server_; }
    static std::string url(const std::string& path) { return server_->url(path); }

private:
    static TestServer* server_;
};

/// Percent-encodes everything but letters, digits and "-_.~".
std::string urlEncode(const std::string& text);

}  // namespace qftest
