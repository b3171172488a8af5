#pragma once

#include "io/ZipFile.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace io {

/// 7z archives through the LZMA SDK decoder. The last decoded solid block is
/// kept, so entries of one block are decoded once.
class ZipFile7Zip : public ZipFile {
public:
    ZipFile7Zip();
    ~ZipFile7Zip() override;

    int open(InputStream& stream) override;
    int list(std::vector<std::string>& names) override;
    int extract(int index, std::vector<uint8_t>& bytes) override;

    class Impl;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace io
