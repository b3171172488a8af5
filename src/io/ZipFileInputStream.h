#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "io/InputStream.h"
#include "io/ZipEntryInputStream.h"
#include "io/ZipFile.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace io {

/// Lists the entries of a 7z archive (`zip` false) or a zip archive (`zip` true)
/// and decodes one on request. Throws io::IOException "Error opening 7zip file.
/// Error {0}" when the data is not such an archive. Entries are decoded on
/// demand, so the archive stream must stay alive as long as this object.
class ZipFileInputStream : public lang::Object {
public:
    /// Reads `stream`, which the caller keeps alive.
    ZipFileInputStream(InputStream& stream, bool zip);
    /// Shares ownership of `stream`.
    ZipFileInputStream(const lang::Ptr<InputStream>& stream, bool zip);
    /// Reads a copy of an archive held in memory.
    ZipFileInputStream(const std::vector<uint8_t>& bytes, bool zip);
    ~ZipFileInputStream() override;

    /// Names of the entries that are not folders, UTF-8, in archive order.
    const std::vector<std::string>& getEntryNames() const { return names_; }
    int getEntryCount() const { return static_cast<int>(names_.size()); }
    /// The index-th listed entry, decoded. Throws io::IOException when the index
    /// is out of range or the entry fails to decode.
    lang::Ptr<ZipEntryInputStream> entry(int index);

private:
    void open(InputStream& stream, bool zip);

    lang::Ptr<InputStream> stream_;  // kept alive when shared
    std::unique_ptr<ZipFile> backend_;
    std::vector<std::string> names_;
};

}  // namespace io
