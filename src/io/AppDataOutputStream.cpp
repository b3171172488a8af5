#include "io/AppDataOutputStream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "io/IOException.h"
#include "io/PathName.h"
#include "io/VFS.h"
#include "io/posix/FileHandle.h"
#include "lang/Log.h"

namespace io {

class AppDataOutputStream::Impl : public lang::Object {
public:
    explicit Impl(const std::string& target);
    ~Impl() override;

    int write(const void* buffer, int count);
    const std::string& target() const { return target_; }

private:
    // Flushes, syncs and closes the temporary file; false (and logged) on failure.
    bool finishTemporary();
    void commit();

    std::string target_;
    std::string temporary_;
    std::FILE* file_;
    bool failed_;
};

AppDataOutputStream::Impl::Impl(const std::string& target)
    : target_(target), temporary_(target + ".tmp"), failed_(false) {
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (!file_) {
        int error = errno;
        throw IOException(lang::Format("Failed to open {0} for writing, with errno {1} ({2})",
                                       target_, error, std::strerror(error)));
    }
}

AppDataOutputStream::Impl::~Impl() {
    commit();
}

int AppDataOutputStream::Impl::write(const void* buffer, int count) {
    if (count <= 0) {
        return 0;
    }
    size_t put = std::fwrite(buffer, 1, static_cast<size_t>(count), file_);
    if (put == static_cast<size_t>(count)) {
        return count;
    }
    // Incomplete content must never replace the target.
    failed_ = true;
    if (std::ferror(file_)) {
        throw IOException(lang::Format("Failed to write {1} bytes to {0}", target_, count));
    }
    return 0;
}

bool AppDataOutputStream::Impl::finishTemporary() {
    bool ok = std::fflush(file_) == 0 && posix::syncFile(file_);
    int error = errno;
    if (std::fclose(file_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        QF_LOG("", lang::log::ERROR, "Failed to write %s: %s", temporary_.c_str(),
               std::strerror(error));
    }
    return ok;
}

void AppDataOutputStream::Impl::commit() {
    if (!finishTemporary() || failed_) {
        QF_LOG("", lang::log::ERROR, "%s keeps its old content: its new content failed to write",
               target_.c_str());
        std::remove(temporary_.c_str());
        return;
    }
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        QF_LOG("", lang::log::ERROR, "Failed to replace %s: %s", target_.c_str(),
               std::strerror(errno));
        std::remove(temporary_.c_str());
        return;
    }
    if (!posix::syncParentDirectory(target_)) {
        QF_LOG("", lang::log::ERROR, "Failed to sync the folder of %s: %s", target_.c_str(),
               std::strerror(errno));
    }
}

namespace {

std::string appDataPath(const std::string& path) {
    return pathUnderRoot(appDataRoot(), path);
}

}  // namespace

AppDataOutputStream::AppDataOutputStream(const std::string& path)
    : OutputStream(lang::Ptr<OutputStream>()), impl_(new Impl(appDataPath(path))) {}

AppDataOutputStream::~AppDataOutputStream() = default;

int AppDataOutputStream::write(const void* buffer, int count) {
    return impl_->write(buffer, count);
}

std::string AppDataOutputStream::getName() const {
    return impl_->target();
}

}  // namespace io
