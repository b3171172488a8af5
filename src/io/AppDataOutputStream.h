#pragma once

#include <string>

#include "io/OutputStream.h"

namespace io {

/// Writes a file in the application-data folder atomically (io::replaceFile):
/// the bytes are collected, and close() or the last reference replaces the
/// target with them whole. Until then, and whenever saving fails, the target
/// keeps its old content.
class AppDataOutputStream : public OutputStream {
public:
    /// `path` is relative to the application-data root; a leading '/' is ignored.
    explicit AppDataOutputStream(const std::string& path);
    /// Commits when close() was not called; a failure then is logged.
    ~AppDataOutputStream() override;

    int write(const void* buffer, int count) override;
    /// Replaces the target with what was written; later writes are refused.
    /// Throws io::IOException naming the file and the error.
    void close();
    /// The target path.
    std::string getName() const override;

    class Impl;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace io
