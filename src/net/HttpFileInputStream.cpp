#include "net/HttpFileInputStream.h"

#include "net/HttpRequest.h"

namespace net {

HttpFileInputStream::HttpFileInputStream(const std::string& url)
    : io::InputStream(lang::Ptr<io::InputStream>()), url_(url) {
    lang::Ptr<HttpRequest> request = new HttpRequest();
    HttpResponse response = request->get(url);
    if (response.status != 200) {
        throw HttpRequestException(lang::Format(
            "Creating HttpFileInputStream failed with status: {0} URL: {1}", response.status, url));
    }
    data_ = new io::ByteArrayInputStream(
        std::vector<uint8_t>(response.body.begin(), response.body.end()));
}

HttpFileInputStream::~HttpFileInputStream() = default;

int HttpFileInputStream::read(void* buffer, int count) {
    return data_->read(buffer, count);
}
void HttpFileInputStream::skip(int count) {
    data_->skip(count);
}
bool HttpFileInputStream::seek(int64_t offset, int origin) {
    return data_->seek(offset, origin);
}
int HttpFileInputStream::available() {
    return data_->available();
}
std::string HttpFileInputStream::getName() const {
    return url_;
}

}  // namespace net
