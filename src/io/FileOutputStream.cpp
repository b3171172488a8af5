#include "io/FileOutputStream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "io/IOException.h"
#include "io/PathName.h"
#include "lang/Log.h"

namespace io {

class FileOutputStream::Impl : public lang::Object {
public:
    explicit Impl(const std::string& path);
    ~Impl() override;

    int write(const void* buffer, int count);
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::FILE* file_;
};

FileOutputStream::Impl::Impl(const std::string& path) : path_(PathName(path).toString()) {
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_) {
        int error = errno;
        throw IOException(lang::Format("Failed to open {0} for writing with errno {1} ({2})", path_,
                                       error, std::strerror(error)));
    }
}

FileOutputStream::Impl::~Impl() {
    // Closing flushes the last buffered bytes: losing them must not go unnoticed.
    if (std::fclose(file_) != 0) {
        QF_LOG("", lang::log::ERROR, "Failed to close %s: %s", path_.c_str(), std::strerror(errno));
    }
}

int FileOutputStream::Impl::write(const void* buffer, int count) {
    if (count <= 0) {
        return 0;
    }
    size_t put = std::fwrite(buffer, 1, static_cast<size_t>(count), file_);
    if (put == static_cast<size_t>(count)) {
        return count;
    }
    if (std::ferror(file_)) {
        throw IOException(lang::Format("Failed to write {0} bytes to {1}", count, path_));
    }
    return 0;
}

FileOutputStream::FileOutputStream(const std::string& path)
    : OutputStream(lang::Ptr<OutputStream>()), impl_(new Impl(path)) {}

FileOutputStream::~FileOutputStream() = default;

int FileOutputStream::write(const void* buffer, int count) {
    return impl_->write(buffer, count);
}

std::string FileOutputStream::getName() const {
    return impl_->path();
}

}  // namespace io
