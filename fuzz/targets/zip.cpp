// The zip backend (minizip).
#include "ArchiveTarget.h"
#include "io/ZipFileInfoZip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    io::ZipFileInfoZip backend;
    fuzz::runArchive(backend, data, size);
    return 0;
}
