#include "gr/Gl2Fixture.h"

#include <SDL.h>

#include <cstdlib>

#include "gr/GoldenImage.h"
#include "gr/Plugin.h"

extern "C" gr::Context* createContext(int width, int height, int orientation, void* windowHandle,
                                      void* deviceContext);
extern "C" const char* createContextError();

namespace grtest {

SDL_Window* Gl2Test::window_ = nullptr;

void Gl2Test::SetUpTestSuite() {
    if (window_) {
        return;
    }
    if (SDL_VideoInit("offscreen") != 0) {
        FAIL() << "SDL offscreen video: " << SDL_GetError();
    }
    window_ = SDL_CreateWindow("test_gr", 0, 0, 128, 128, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window_) {
        FAIL() << "SDL window: " << SDL_GetError();
    }
}

// The window and the video driver stay until the process ends: closing them
// unloads the GL driver, and the leak checker could then no longer tell the
// driver's own allocations from ours.
void Gl2Test::TearDownTestSuite() {}

void Gl2Test::SetUp() {
    ASSERT_NE(window_, nullptr);
}

void Gl2Test::TearDown() {
    ctx.reset();
}

void Gl2Test::makeContext(int width, int height, int orientation) {
    ctx.reset();
    gr::Context* made = createContext(width, height, orientation, window_, nullptr);
    ASSERT_NE(made, nullptr) << createContextError();
    ctx = made;
    ctx->beginFrame();
    ctx->clear(0xff202020u, true, true, true);
}

gr::Image Gl2Test::capture(const std::string& name) {
    const std::string path = outputDir() + "/" + name + "-capture.png";
    ctx->endFrame();
    ctx->captureScreen(path);
    return readPng(path);
}

gr::Image tileImage() {
    gr::Image image(16, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = image.pixel(x, y);
            const bool border = x == 0 || y == 0 || x == 15 || y == 15;
            const bool right = x >= 8, bottom = y >= 8;
            p[0] = border || (!bottom) != right ? 255 : 0;
            p[1] = border || right ? 255 : 0;
            p[2] = border || (bottom && !right) ? 255 : 0;
            p[3] = 255;
        }
    }
    return image;
}

lang::Ptr<gr::Texture> Gl2Test::makeTile() {
    const gr::Image image = tileImage();
    lang::Ptr<gr::Texture> tile = ctx->createEmptyTexture(16, 16, gr::PIXELFORMAT_A8B8G8R8);
    tile->setPixels(0, 0, image.pixels.data(), 64, 16, 16, gr::PIXELFORMAT_A8B8G8R8);
    return tile;
}

lang::Ptr<gr::Texture> Gl2Test::makeFade() {
    gr::Image image(16, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = image.pixel(x, y);
            p[0] = p[1] = p[2] = 255;
            p[3] = static_cast<uint8_t>(255 - x * 17);
        }
    }
    gr::premultiplyAlpha(image);
    lang::Ptr<gr::Texture> fade = ctx->createEmptyTexture(16, 16, gr::PIXELFORMAT_A8B8G8R8);
    fade->setPixels(0, 0, image.pixels.data(), 64, 16, 16, gr::PIXELFORMAT_A8B8G8R8);
    return fade;
}

std::string Gl2Test::shaderFolder() {
    const char* source = std::getenv("QF_SOURCE_DIR");
    return std::string(source ? source : "../..") + "/bundle/shaders/gl2";
}

uint32_t rgba(const gr::Image& image, int x, int y) {
    const uint8_t* p = image.pixel(x, y);
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

}  // namespace grtest
