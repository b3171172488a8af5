#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gr/Context.h"
#include "gr/Image.h"
#include "lang/Ptr.h"

struct SDL_Window;

namespace gametest {

/// A context of the gl2 plug-in on a hidden window of SDL's offscreen video
/// driver, cleared to dark grey.
class Gl2GoldenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override { ctx.reset(); }

    /// Ends the frame and reads it back as captureScreen writes it.
    gr::Image capture(const std::string& name);

    static SDL_Window* window_;
    lang::Ptr<gr::Context> ctx;
};

/// Compares the image with golden/<name>.png, or writes it there when the
/// environment has QF_UPDATE_GOLDEN=1. A mismatch leaves the image in
/// <build>/tests/game/out/<name>.png.
::testing::AssertionResult matchesGolden(const gr::Image& image, const std::string& name);

}  // namespace gametest
