#pragma once

#include <string>

#include "io/OutputStream.h"

namespace io {

/// Writes a file in the application-data folder atomically: the bytes go to
/// "<target>.tmp", and when the last reference goes that file is flushed to the
/// disk and renamed over the target. Until then, and whenever writing failed,
/// the target keeps its old content. Failures at that point are logged.
class AppDataOutputStream : public OutputStream {
public:
    /// `path` is relative to the application-data root; a leading '/' is ignored.
    explicit AppDataOutputStream(const std::string& path);
    ~AppDataOutputStream() override;

    int write(const void* buffer, int count) override;
    /// The target path.
    std::string getName() const override;

    class Impl;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace io
