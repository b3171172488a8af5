#pragma once

#include <cstddef>
#include <string>

namespace io {

/// Replaces the file at `path` with `size` bytes so that a reader, a crash or
/// a kill at any moment finds either the old content or the new one, whole:
/// the bytes go to a temporary file of a unique name in the same folder, which
/// is synced to the disk and renamed over the target, and then the folder is
/// synced. Temporary files that killed processes left behind are removed.
/// A new file is readable by its owner only; a replaced one keeps its mode.
/// Throws io::IOException naming the file and the error; the old file is then
/// untouched and no temporary file remains.
void replaceFile(const std::string& path, const void* data, size_t size);

/// Whether `name` (a bare file name) is a temporary file of replaceFile for
/// the file `target` (also a bare name).
bool isTemporaryOf(const std::string& name, const std::string& target);

}  // namespace io
