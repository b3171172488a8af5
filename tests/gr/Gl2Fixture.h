#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gr/Context.h"
#include "gr/Image.h"
#include "lang/Ptr.h"

struct SDL_Window;

namespace grtest {

/// A context of the gl2 plug-in on a hidden window of SDL's offscreen video
/// driver (no display needed; Mesa draws).
class Gl2Test : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    /// Makes ctx of the given drawable size and orientation, cleared to dark grey.
    void makeContext(int width, int height, int orientation = 0);
    /// The target as captureScreen writes it.
    gr::Image capture(const std::string& name = "capture");
    /// A 16 x 16 texture: red, green, blue and yellow quarters (top-left,
    /// top-right, bottom-left, bottom-right) with a white border pixel.
    lang::Ptr<gr::Texture> makeTile();
    /// A 16 x 16 white texture whose alpha falls from 255 on the left to 0.
    lang::Ptr<gr::Texture> makeFade();
    /// The folder of the bundle's gl2 shaders.
    static std::string shaderFolder();

    static SDL_Window* window_;
    lang::Ptr<gr::Context> ctx;
};

/// The pixel (x, y) as 0xRRGGBBAA.
uint32_t rgba(const gr::Image& image, int x, int y);

/// The tile's pixels, straight from the generator.
gr::Image tileImage();

}  // namespace grtest
