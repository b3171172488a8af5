#include "io/BundleInputStream.h"

#include "io/FileInputStream.h"
#include "io/PathName.h"
#include "io/VFS.h"

namespace io {

class BundleInputStream::Impl : public lang::Object {
public:
    explicit Impl(const std::string& path) : file(new FileInputStream(fullPath(path))) {}

    lang::Ptr<FileInputStream> file;

private:
    static std::string fullPath(const std::string& path) {
        std::string rel = !path.empty() && path[0] == '/' ? path.substr(1) : path;
        return PathName(bundleRoot(), rel).toString();
    }
};

BundleInputStream::BundleInputStream(const std::string& path)
    : InputStream(lang::Ptr<InputStream>()), impl_(new Impl(path)) {}

BundleInputStream::~BundleInputStream() = default;

int BundleInputStream::read(void* buffer, int count) {
    return impl_->file->read(buffer, count);
}

void BundleInputStream::skip(int count) {
    impl_->file->skip(count);
}

bool BundleInputStream::seek(int64_t offset, int origin) {
    return impl_->file->seek(offset, origin);
}

int BundleInputStream::available() {
    return impl_->file->available();
}

std::string BundleInputStream::getName() const {
    return impl_->file->getName();
}

}  // namespace io
