#pragma once

#include <string>

#include "io/InputStream.h"

namespace io {

// Reads a file of the per-user application-data folder.
// Throws io::IOException like io::FileInputStream.
class AppDataInputStream : public InputStream {
public:
    // `path` is relative to io::appDataRoot(); a leading '/' is ignored.
    explicit AppDataInputStream(const std::string& path);
    ~AppDataInputStream() override;

    int read(void* buffer, int count) override;
    void skip(int count) override;
    bool seek(int64_t offset, int origin) override;
    int available() override;
    // The file's full path.
    std::string getName() const override;

    class Impl;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace io
