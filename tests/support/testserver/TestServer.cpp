#include "support/testserver/TestServer.h"

#include <curl/curl.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace qftest {

namespace {

size_t append(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

std::string fetch(const std::string& url, const std::string* postBody) {
    CURL* curl = curl_easy_init();
    std::string body;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    if (postBody) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBody->c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(postBody->size()));
    }
    CURLcode code = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (code != CURLE_OK) {
        throw std::runtime_error("test server unreachable: " + url);
    }
    return body;
}

std::string serverScript() {
    const char* source = std::getenv("QF_SOURCE_DIR");
    std::string root = source ? source : "..";
    return root + "/tests/support/testserver/server.py";
}

// The system interpreter starts much faster than version-manager shims.
std::string python() {
    const char* chosen = std::getenv("QF_PYTHON");
    if (chosen && *chosen) {
        return chosen;
    }
    std::error_code ignored;
    return std::filesystem::exists("/usr/bin/python3", ignored) ? "/usr/bin/python3" : "python3";
}

}  // namespace

std::string urlEncode(const std::string& text) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

TestServer::TestServer() : pipe_(nullptr), port_(0) {
    // "exec" so that the server's parent is this process: it stops by itself
    // should the test die.
    std::string command = "exec " + python() + " '" + serverScript() + "'";
    pipe_ = popen(command.c_str(), "r");
    if (pipe_ == nullptr || std::fscanf(pipe_, "PORT %d", &port_) != 1) {
        throw std::runtime_error("cannot start the test server: " + command);
    }
}

TestServer::~TestServer() {
    try {
        control("shutdown");
    } catch (const std::exception&) {
    }
    pclose(pipe_);
}

std::string TestServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void TestServer::reset() {
    control("reset");
}

std::vector<std::string> TestServer::log() {
    std::string text = control("log");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void TestServer::script(const std::string& path, int status, const std::string& body, int count,
                        double delaySeconds) {
    control("script?path=" + urlEncode(path) + "&status=" + std::to_string(status) +
            "&body=" + urlEncode(body) + "&count=" + std::to_string(count) +
            "&delay=" + std::to_string(delaySeconds));
}

std::vector<std::string> TestServer::logFor(const std::string& prefix) {
    std::vector<std::string> matching;
    std::string marker = "\"path\": \"" + prefix;
    for (const std::string& line : log()) {
        if (line.find(marker) != std::string::npos) {
            matching.push_back(line);
        }
    }
    return matching;
}

std::string TestServer::control(const std::string& what, const std::string& body) {
    return fetch(url("/control/" + what), body.empty() ? nullptr : &body);
}

TestServer* ServerTest::server_ = nullptr;

void ServerTest::SetUpTestSuite() {
    if (server_ == nullptr) {
        server_ = new TestServer();
    }
}

void ServerTest::TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
}

void ServerTest::SetUp() {
    server_->reset();
}

}  // namespace qftest
