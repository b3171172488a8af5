#include "io/AppDataOutputStream.h"

#include "io/AtomicFile.h"
#include "io/IOException.h"
#include "io/PathName.h"
#include "io/VFS.h"
#include "lang/Log.h"

namespace io {

class AppDataOutputStream::Impl : public lang::Object {
public:
    explicit Impl(const std::string& target) : target_(target) {}
    ~Impl() override {
        if (open_) {
            try {
                close();
            } catch (const IOException& e) {
                QF_LOG("", lang::log::WARNING, "%s", e.what());
            }
        }
    }

    int write(const void* buffer, int count) {
        if (!open_) {
            throw IOException(lang::Format("{0} is closed", target_));
        }
        if (count <= 0) {
            return 0;
        }
        bytes_.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
        return count;
    }
    void close() {
        if (!open_) {
            return;
        }
        open_ = false;
        replaceFile(target_, bytes_.data(), bytes_.size());
    }
    const std::string& target() const { return target_; }

private:
    std::string target_;
    std::string bytes_;
    bool open_ = true;
};

AppDataOutputStream::AppDataOutputStream(const std::string& path)
    : OutputStream(lang::Ptr<OutputStream>()),
      impl_(new Impl(pathUnderRoot(appDataRoot(), path))) {}

AppDataOutputStream::~AppDataOutputStream() = default;

int AppDataOutputStream::write(const void* buffer, int count) {
    return impl_->write(buffer, count);
}

void AppDataOutputStream::close() {
    impl_->close();
}

std::string AppDataOutputStream::getName() const {
    return impl_->target();
}

}  // namespace io
