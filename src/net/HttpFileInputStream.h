#pragma once

#include <string>

#include "io/ByteArrayInputStream.h"
#include "io/InputStream.h"
#include "lang/Ptr.h"

namespace net {

/// A downloaded document as a stream. The constructor performs the GET and keeps
/// the body in memory; any status but 200 throws HttpRequestException.
class HttpFileInputStream : public io::InputStream {
public:
    explicit HttpFileInputStream(const std::string& url);
    ~HttpFileInputStream() override;

    int read(void* buffer, int count) override;
    void skip(int count) override;
    bool seek(int64_t offset, int origin) override;
    int available() override;
    /// The URL.
    std::string getName() const override;

private:
    lang::Ptr<io::ByteArrayInputStream> data_;
    std::string url_;
};

}  // namespace net
