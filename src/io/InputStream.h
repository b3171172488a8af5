#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace io {

/// Byte source. The base class is a forwarding decorator: it passes every
/// operation to its target, or to the wrapped stream when the target is itself.
/// Concrete streams pass an empty reference and override every operation.
/// A stream is used by one thread at a time.
class InputStream : public lang::Object {
public:
    enum SeekOrigin { SEEK_FROM_START = 0, SEEK_FROM_CURRENT = 1, SEEK_FROM_END = 2 };

    /// Wraps (and shares ownership of) `wrapped`, which may be empty.
    explicit InputStream(const lang::Ptr<InputStream>& wrapped);
    /// Forwards to `target`, which is not owned and must outlive this stream.
    explicit InputStream(InputStream* target);
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;
    ~InputStream() override;

    /// Copies up to `count` bytes; fewer only at the end of the data.
    virtual int read(void* buffer, int count);
    /// Advances by a non-negative count.
    virtual void skip(int count);
    /// origin: SEEK_FROM_START, SEEK_FROM_CURRENT or SEEK_FROM_END.
    virtual bool seek(int64_t offset, int origin);
    /// Bytes left; negative when the length is not known in advance.
    virtual int available();
    /// Used in messages; the path for file streams.
    virtual std::string getName() const;

private:
    InputStream* forwardTarget() const;

    lang::Ptr<InputStream> wrapped_;
    InputStream* target_;
};

/// The stream's remaining bytes.
std::vector<uint8_t> readAll(InputStream& stream);
std::string readAllAsString(InputStream& stream);

}  // namespace io
