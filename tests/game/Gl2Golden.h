#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gr/Context.h"
#include "gr/Image.h"
#include "lang/Ptr.h"

struct SDL_Window;

namespace gametest {

// Largest difference of one colour channel that still matches, and the share
// of pixels allowed to differ by more (see golden/README.md).
const int GOLDEN_CHANNEL_TOLERANCE = 4;
const double GOLDEN_PIXEL_SHARE = 0.002;

// A context of the gl2 plug-in on a hidden window of SDL's offscreen video
// driver, cleared to dark grey.
class Gl2GoldenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override { ctx.reset(); }

    // Ends the frame and reads it back as captureScreen writes it.
    gr::Image capture(const std::string& name);

    static SDL_Window* window_;
    lang::Ptr<gr::Context> ctx;
};

// Compares the image with golden/<name>.png, or writes it there when the
// environment has QF_UPDATE_GOLDEN=1. A mismatch leaves the image in
// <build>/tests/game/out/<name>.png.
::testing::AssertionResult matchesGolden(const gr::Image& image, const std::string& name);

}  // namespace gametest
