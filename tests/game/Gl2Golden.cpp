#include "game/Gl2Golden.h"

#include "gr/GoldenImage.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

extern "C" gr::Context* createContext(int width, int height, int orientation, void* windowHandle,
                                      void* deviceContext);
extern "C" const char* createContextError();

namespace gametest {

namespace {

const int SIZE = 128;

}  // namespace

SDL_Window* Gl2GoldenTest::window_ = nullptr;

void Gl2GoldenTest::SetUpTestSuite() {
    if (SDL_VideoInit("offscreen") != 0) {
        FAIL() << "SDL offscreen video: " << SDL_GetError();
    }
    // One more reference keeps the GL driver loaded to the end of the process, so
    // that the leak checker can still see the driver's own allocations as such.
    SDL_GL_LoadLibrary(nullptr);
    window_ =
        SDL_CreateWindow("test_game", 0, 0, SIZE, SIZE, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window_) {
        FAIL() << "SDL window: " << SDL_GetError();
    }
}

void Gl2GoldenTest::TearDownTestSuite() {
    if (window_) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    SDL_VideoQuit();
}

void Gl2GoldenTest::SetUp() {
    ASSERT_NE(window_, nullptr);
    gr::Context* made = createContext(SIZE, SIZE, 0, window_, nullptr);
    ASSERT_NE(made, nullptr) << createContextError();
    ctx = made;
    ctx->beginFrame();
    ctx->clear(0xff202020u, true, true, true);
}

gr::Image Gl2GoldenTest::capture(const std::string& name) {
    const std::string path = grtest::outputDir("game") + "/" + name + "-capture.png";
    ctx->endFrame();
    ctx->captureScreen(path);
    return grtest::readPng(path);
}

::testing::AssertionResult matchesGolden(const gr::Image& image, const std::string& name) {
    return grtest::matchesGolden(image, name, "game");
}

}  // namespace gametest
