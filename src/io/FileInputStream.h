#pragma once

#include <string>

#include "io/InputStream.h"

namespace io {

/// Reads a file; the file is closed when the last reference goes.
/// Throws io::IOException when the file cannot be opened or read.
class FileInputStream : public InputStream {
public:
    explicit FileInputStream(const std::string& path);
    ~FileInputStream() override;

    int read(void* buffer, int count) override;
    void skip(int count) override;
    bool seek(int64_t offset, int origin) override;
    int available() override;
    /// The normalised path.
    std::string getName() const override;

    class Impl;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace io
