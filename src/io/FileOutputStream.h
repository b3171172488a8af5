#pragma once

#include <string>

#include "io/OutputStream.h"

namespace io {

/// Writes a file from the start, replacing its content; the file is closed when
/// the last reference goes. Throws io::IOException when it cannot be opened or
/// written.
class FileOutputStream : public OutputStream {
public:
    explicit FileOutputStream(const std::string& path);
    ~FileOutputStream() override;

    int write(const void* buffer, int count) override;
    std::string getName() const override;

    class Impl;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace io
