#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gr/Image.h"

namespace grtest {

/// Largest difference of one colour channel that still matches, and the share
/// of pixels allowed to differ by more (see golden/README.md).
const int GOLDEN_CHANNEL_TOLERANCE = 4;
const double GOLDEN_PIXEL_SHARE = 0.002;

/// Compares the image with tests/<folder>/golden/<name>.png. With
/// QF_UPDATE_GOLDEN=1 in the environment it writes the image there instead. A
/// mismatch leaves the image in <build>/tests/<folder>/out/<name>.png.
::testing::AssertionResult matchesGolden(const gr::Image& image, const std::string& name,
                                         const std::string& folder = "gr");

/// Reads a PNG file.
gr::Image readPng(const std::string& path);

/// Where a test of tests/<folder> may write files.
std::string outputDir(const std::string& folder = "gr");

}  // namespace grtest
