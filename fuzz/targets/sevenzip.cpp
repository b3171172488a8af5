// The 7z backend (LZMA SDK decoder).
#include "ArchiveTarget.h"
#include "io/ZipFile7Zip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    io::ZipFile7Zip backend;
    fuzz::runArchive(backend, data, size);
    return 0;
}
