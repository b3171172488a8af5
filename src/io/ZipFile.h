#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace io {

class InputStream;

/// An archive decoder behind io::ZipFileInputStream. The stream given to open()
/// must outlive the backend, which reads it on demand. Backends never throw for
/// bad archive data: they return their library's error code. An exception of the
/// stream itself passes through.
class ZipFile {
public:
    virtual ~ZipFile() = default;
    /// 0 on success, otherwise the backend's error code.
    virtual int open(InputStream& stream) = 0;
    /// Appends the names of the entries that are not folders, in archive order;
    /// 0 on success.
    virtual int list(std::vector<std::string>& names) = 0;
    /// The content of the index-th listed entry; 0 on success. On failure
    /// `bytes` is left empty.
    virtual int extract(int index, std::vector<uint8_t>& bytes) = 0;
};

}  // namespace io
