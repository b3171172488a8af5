#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace io {

/// Byte sink; forwards like io::InputStream.
class OutputStream : public lang::Object {
public:
    explicit OutputStream(const lang::Ptr<OutputStream>& wrapped);
    explicit OutputStream(OutputStream* target);
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;
    ~OutputStream() override;

    /// Returns the number of bytes written.
    virtual int write(const void* buffer, int count);
    virtual std::string getName() const;

private:
    OutputStream* forwardTarget() const;

    lang::Ptr<OutputStream> wrapped_;
    OutputStream* target_;
};

}  // namespace io
