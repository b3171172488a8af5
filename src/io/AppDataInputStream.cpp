#include "io/AppDataInputStream.h"

#include "io/FileInputStream.h"
#include "io/PathName.h"
#include "io/VFS.h"

namespace io {

class AppDataInputStream::Impl : public lang::Object {
public:
    explicit Impl(const std::string& path) : file(new FileInputStream(fullPath(path))) {}

    lang::Ptr<FileInputStream> file;

private:
    static std::string fullPath(const std::string& path) {
        std::string rel = !path.empty() && path[0] == '/' ? path.substr(1) : path;
        return PathName(appDataRoot(), rel).toString();
    }
};

AppDataInputStream::AppDataInputStream(const std::string& path)
    : InputStream(lang::Ptr<InputStream>()), impl_(new Impl(path)) {}

AppDataInputStream::~AppDataInputStream() = default;

int AppDataInputStream::read(void* buffer, int count) {
    return impl_->file->read(buffer, count);
}

void AppDataInputStream::skip(int count) {
    impl_->file->skip(count);
}

bool AppDataInputStream::seek(int64_t offset, int origin) {
    return impl_->file->seek(offset, origin);
}

int AppDataInputStream::available() {
    return impl_->file->available();
}

std::string AppDataInputStream::getName() const {
    return impl_->file->getName();
}

}  // namespace io
