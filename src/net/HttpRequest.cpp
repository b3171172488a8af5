#include "net/HttpRequest.h"

#include <curl/curl.h>

#include <map>
#include <mutex>

#include "lang/String.h"
#include "net/Proxy.h"

namespace net {

namespace {

// curl_global_init is not thread-safe; run it once, before the first handle.
void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t collectBody(char* data, size_t size, size_t count, void* user) {
    static_cast<HttpResponse*>(user)->body.append(data, size * count);
    return size * count;
}

// Keeps only the header block of the last response: a new block starts after
// the empty line that ended the previous one (redirects, interim answers).
size_t collectHeader(char* data, size_t size, size_t count, void* user) {
    auto& headers = static_cast<HttpResponse*>(user)->headers;
    std::string line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (!headers.empty() && headers.back().empty()) {
        headers.clear();
    }
    headers.push_back(line);
    return size * count;
}

class HeaderList {
public:
    ~HeaderList() { curl_slist_free_all(list_); }
    void append(const std::string& line) {
        curl_slist* grown = curl_slist_append(list_, line.c_str());
        if (grown == nullptr) {
            throw HttpRequestException(lang::Format("Out of memory"));
        }
        list_ = grown;
    }
    curl_slist* get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

}  // namespace

class HttpRequest::Impl : public lang::Object {
public:
    Impl() {
        initCurlOnce();
        curl_ = curl_easy_init();
        if (curl_ == nullptr) {
            throw HttpRequestException(lang::Format("Creating HttpRequest failed"));
        }
        curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl_, CURLOPT_MAXREDIRS, 20L);
        curl_easy_setopt(curl_, CURLOPT_COOKIEFILE, "");
        // Only the web: a URL from a script must not read local files or reach
        // other protocols, neither directly nor through a redirect.
        curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        // Worker threads: no signals for name-resolution timeouts.
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    }
    ~Impl() override { curl_easy_cleanup(curl_); }

    void addHeader(const std::string& line) {
        size_t colon = line.find(':');
        if (colon == std::string::npos) {
            throw HttpRequestException(lang::Format("Malformed header {0}", line));
        }
        headers_[lang::toLowerCase(line.substr(0, colon))] = line;
    }

    void setConnectTimeout(int milliseconds) {
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(milliseconds));
    }

    HttpResponse get(const std::string& url) {
        curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, nullptr);
        curl_easy_setopt(curl_, CURLOPT_POST, 0L);
        curl_easy_setopt(curl_, CURLOPT_HTTPGET, 1L);
        return perform(url);
    }

    HttpResponse post(const std::string& url, const std::string& body) {
        curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, nullptr);
        curl_easy_setopt(curl_, CURLOPT_POST, 1L);
        curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, body.data());
        return perform(url);
    }

    HttpResponse del(const std::string& url) {
        curl_easy_setopt(curl_, CURLOPT_POST, 0L);
        curl_easy_setopt(curl_, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, "DELETE");
        return perform(url);
    }

private:
    void setProxy(const std::string& url) {
        ProxyChoice choice = chooseProxy(url);
        // An empty proxy string makes libcurl connect directly, ignoring the
        // environment, so the choice made here is the one that counts.
        curl_easy_setopt(curl_, CURLOPT_PROXY, choice.proxy.c_str());
        curl_easy_setopt(curl_, CURLOPT_NOPROXY, choice.noProxy.c_str());
    }

    void buildHeaders(HeaderList& list) const {
        for (const auto& entry : headers_) {
            list.append(entry.second);
        }
        // libcurl would add a form content type to every POST; the caller
        // decides the type.
        if (headers_.count("content-type") == 0) {
            list.append("Content-Type:");
        }
    }

    HttpResponse perform(const std::string& url) {
        HttpResponse response;
        setProxy(url);
        curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
        HeaderList list;
        buildHeaders(list);
        curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, list.get());
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, collectBody);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &response);
        curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, collectHeader);
        curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &response);
        CURLcode code = curl_easy_perform(curl_);
        curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, nullptr);
        curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, nullptr);
        if (code != CURLE_OK) {
            throw HttpRequestException(lang::Format("{0}", curl_easy_strerror(code)));
        }
        readResults(response);
        return response;
    }

    void readResults(HttpResponse& response) const {
        long status = 0;
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
        response.status = static_cast<int>(status);
        char* effective = nullptr;
        curl_easy_getinfo(curl_, CURLINFO_EFFECTIVE_URL, &effective);
        response.effectiveUrl = effective ? effective : "";
        curl_slist* cookies = nullptr;
        curl_easy_getinfo(curl_, CURLINFO_COOKIELIST, &cookies);
        for (curl_slist* c = cookies; c != nullptr; c = c->next) {
            response.cookies.push_back(c->data);
        }
        curl_slist_free_all(cookies);
        if (!response.headers.empty() && response.headers.back().empty()) {
            response.headers.pop_back();
        }
    }

    CURL* curl_;
    std::map<std::string, std::string> headers_;
};

HttpRequest::HttpRequest() : impl_(new Impl()) {}
HttpRequest::~HttpRequest() = default;

void HttpRequest::addHeader(const std::string& line) {
    impl_->addHeader(line);
}
void HttpRequest::setConnectTimeout(int milliseconds) {
    impl_->setConnectTimeout(milliseconds);
}
HttpResponse HttpRequest::get(const std::string& url) {
    return impl_->get(url);
}
HttpResponse HttpRequest::post(const std::string& url, const std::string& body) {
    return impl_->post(url, body);
}
HttpResponse HttpRequest::del(const std::string& url) {
    return impl_->del(url);
}

}  // namespace net
