#include "io/FileInputStream.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "io/IOException.h"
#include "io/PathName.h"
#include "io/posix/FileHandle.h"

namespace io {

class FileInputStream::Impl : public lang::Object {
public:
    explicit Impl(const std::string& path);
    ~Impl() override { std::fclose(file_); }

    int read(void* buffer, int count);
    void skip(int count);
    bool seek(int64_t offset, int origin);
    int available();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::FILE* file_;
};

namespace {

[[noreturn]] void throwOpenFailure(const std::string& path, int error) {
    throw IOException(
        lang::Format("Failed to open {0} with errno {1} ({2})", path, error, std::strerror(error)));
}

int seekOrigin(int origin) {
    return origin == 1 ? SEEK_CUR : (origin == 2 ? SEEK_END : SEEK_SET);
}

}  // namespace

FileInputStream::Impl::Impl(const std::string& path) : path_(PathName(path).toString()) {
    if (path_.empty() || path_.back() == '/' || path.back() == '\\') {
        throw IOException(lang::Format("Failed to open {0} with errno {1}", path_, EINVAL));
    }
    file_ = std::fopen(path_.c_str(), "rb");
    if (!file_) {
        throwOpenFailure(path_, errno);
    }
    // The C library opens folders too; reading one would fail later and less clearly.
    if (posix::isDirectory(file_)) {
        std::fclose(file_);
        throwOpenFailure(path_, EISDIR);
    }
}

int FileInputStream::Impl::read(void* buffer, int count) {
    if (count <= 0) {
        return 0;
    }
    size_t got = std::fread(buffer, 1, static_cast<size_t>(count), file_);
    if (got < static_cast<size_t>(count) && std::ferror(file_)) {
        throw IOException(lang::Format("Failed to read {0} bytes from {1}", count, path_));
    }
    return static_cast<int>(got);
}

void FileInputStream::Impl::skip(int count) {
    if (count > 0 && std::fseek(file_, count, SEEK_CUR) != 0) {
        throw IOException(lang::Format("Failed to skip {0} bytes from {1}", count, path_));
    }
}

bool FileInputStream::Impl::seek(int64_t offset, int origin) {
    return std::fseek(file_, static_cast<long>(offset), seekOrigin(origin)) == 0;
}

int FileInputStream::Impl::available() {
    long pos = std::ftell(file_);
    if (pos < 0 || std::fseek(file_, 0, SEEK_END) != 0) {
        throw IOException(lang::Format("Failed to seek {0}", path_));
    }
    long end = std::ftell(file_);
    if (end < 0 || std::fseek(file_, pos, SEEK_SET) != 0) {
        throw IOException(lang::Format("Failed to seek {0}", path_));
    }
    long left = end > pos ? end - pos : 0;
    return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

FileInputStream::FileInputStream(const std::string& path)
    : InputStream(lang::Ptr<InputStream>()), impl_(new Impl(path)) {}

FileInputStream::~FileInputStream() = default;

int FileInputStream::read(void* buffer, int count) {
    return impl_->read(buffer, count);
}

void FileInputStream::skip(int count) {
    impl_->skip(count);
}

bool FileInputStream::seek(int64_t offset, int origin) {
    return impl_->seek(offset, origin);
}

int FileInputStream::available() {
    return impl_->available();
}

std::string FileInputStream::getName() const {
    return impl_->path();
}

}  // namespace io
