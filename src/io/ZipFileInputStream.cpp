#include "io/ZipFileInputStream.h"

#include "io/ByteArrayInputStream.h"
#include "io/IOException.h"
#include "io/ZipFile7Zip.h"
#include "io/ZipFileInfoZip.h"

namespace io {

ZipFileInputStream::ZipFileInputStream(InputStream& stream, bool zip) {
    open(stream, zip);
}

ZipFileInputStream::ZipFileInputStream(const lang::Ptr<InputStream>& stream, bool zip)
    : stream_(stream) {
    open(*stream_, zip);
}

ZipFileInputStream::ZipFileInputStream(const std::vector<uint8_t>& bytes, bool zip)
    : stream_(new ByteArrayInputStream(bytes)) {
    open(*stream_, zip);
}

ZipFileInputStream::~ZipFileInputStream() = default;

void ZipFileInputStream::open(InputStream& stream, bool zip) {
    if (zip) {
        backend_.reset(new ZipFileInfoZip());
    } else {
        backend_.reset(new ZipFile7Zip());
    }
    int err = backend_->open(stream);
    if (err == 0) {
        // A listing that breaks off is a damaged archive, not a shorter one.
        err = backend_->list(names_);
    }
    if (err != 0) {
        backend_.reset();
        throw IOException(lang::Format("Error opening 7zip file. Error {0}", err));
    }
}

lang::Ptr<ZipEntryInputStream> ZipFileInputStream::entry(int index) {
    if (index < 0 || index >= getEntryCount()) {
        throw IOException(lang::Format("Entry index out of bounds! (index: {0}, size: {1})", index,
                                       getEntryCount()));
    }
    std::vector<uint8_t> bytes;
    int err = backend_->extract(index, bytes);
    if (err != 0) {
        throw IOException(
            lang::Format("Error extracting \"{0}\" from archive. Error {1}", names_[index], err));
    }
    return new ZipEntryInputStream(names_[index], std::move(bytes));
}

}  // namespace io
