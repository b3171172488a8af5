#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sheetpack {

// The whole file; throws sheetpack::Error naming the path.
std::vector<uint8_t> readFile(const std::string& path);
std::string readText(const std::string& path);

// Writes beside the target and renames, so that a failed run leaves the old
// file, and leaves a file whose bytes would not change untouched (so that the
// build sees nothing new). Creates the folder. Throws sheetpack::Error.
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace sheetpack
