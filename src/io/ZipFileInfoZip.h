#pragma once

#include "io/ZipFile.h"

namespace io {

/// Zip archives through minizip's unzip code over io::InputStream.
class ZipFileInfoZip : public ZipFile {
public:
    ZipFileInfoZip();
    ~ZipFileInfoZip() override;

    int open(InputStream& stream) override;
    int list(std::vector<std::string>& names) override;
    int extract(int index, std::vector<uint8_t>& bytes) override;

    struct State;

private:
    void close();

    State* state_;
};

}  // namespace io
