#include "game/Gl2Golden.h"

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

std::string goldenDir() {
    const char* source = std::getenv("QF_SOURCE_DIR");
    return source ? std::string(source) + "/tests/game/golden" : std::string("golden");
}

std::string outputDir() {
    const char* binary = std::getenv("QF_BINARY_DIR");
    std::filesystem::path dir = binary ? std::filesystem::path(binary) / "tests/game/out"
                                       : std::filesystem::temp_directory_path() / "qf-test-game";
    std::filesystem::create_directories(dir);
    return dir.string();
}

gr::Image readPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    return gr::decodeImage(bytes.data(), bytes.size(), path);
}

// Pixels whose largest channel difference exceeds the tolerance.
size_t differingPixels(const gr::Image& a, const gr::Image& b, int& worst) {
    size_t bad = 0;
    worst = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 4) {
        int diff = 0;
        for (size_t c = 0; c < 4; ++c) {
            diff = std::max(diff, std::abs(a.pixels[i + c] - b.pixels[i + c]));
        }
        worst = std::max(worst, diff);
        bad += diff > GOLDEN_CHANNEL_TOLERANCE ? 1 : 0;
    }
    return bad;
}

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
    const std::string path = outputDir() + "/" + name + "-capture.png";
    ctx->endFrame();
    ctx->captureScreen(path);
    return readPng(path);
}

::testing::AssertionResult matchesGolden(const gr::Image& image, const std::string& name) {
    const std::string golden = goldenDir() + "/" + name + ".png";
    const char* update = std::getenv("QF_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
        gr::writePng(golden, image);
        return ::testing::AssertionSuccess() << "wrote " << golden;
    }
    if (!std::filesystem::exists(golden)) {
        return ::testing::AssertionFailure()
               << golden << " is missing; make it with QF_UPDATE_GOLDEN=1";
    }
    const gr::Image expected = readPng(golden);
    const std::string actual = outputDir() + "/" + name + ".png";
    if (expected.width != image.width || expected.height != image.height) {
        gr::writePng(actual, image);
        return ::testing::AssertionFailure() << name << " has another size; see " << actual;
    }
    int worst = 0;
    size_t bad = differingPixels(image, expected, worst);
    size_t allowed = static_cast<size_t>(GOLDEN_PIXEL_SHARE * image.width * image.height);
    if (bad > allowed) {
        gr::writePng(actual, image);
        return ::testing::AssertionFailure()
               << name << ": " << bad << " pixels differ (largest " << worst << "), " << allowed
               << " allowed; see " << actual;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace gametest
