#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gr/Image.h"

// PNG files for the sheet tools, through libpng. Pixels keep straight
// (not premultiplied) alpha: the engine multiplies when it makes a texture.
namespace sheetpack {

// Decodes any PNG into 8-bit RGBA. Throws sheetpack::Error naming `name` when
// the bytes are not a PNG libpng can read.
gr::Image readPng(const uint8_t* data, size_t size, const std::string& name);

// Encodes 8-bit RGBA. The same pixels always give the same bytes.
std::vector<uint8_t> writePng(const gr::Image& image);

}  // namespace sheetpack
