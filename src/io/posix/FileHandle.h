#pragma once

#include <cstdio>
#include <string>

/// File-handle services the C library lacks; POSIX behind a plain interface.
namespace io {
namespace posix {

/// True when the open handle names a directory.
bool isDirectory(std::FILE* file);
/// Forces the file's written data to the storage device; errno on failure.
bool syncFile(std::FILE* file);
/// Makes a rename inside the folder that holds `path` durable; errno on failure.
bool syncParentDirectory(const std::string& path);

}  // namespace posix
}  // namespace io
