#include "gr/GoldenImage.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace grtest {
namespace {

std::string goldenDir(const std::string& folder) {
    const char* source = std::getenv("QF_SOURCE_DIR");
    return source ? std::string(source) + "/tests/" + folder + "/golden" : std::string("golden");
}

bool updating() {
    const char* update = std::getenv("QF_UPDATE_GOLDEN");
    return update && std::strcmp(update, "1") == 0;
}

}  // namespace

std::string outputDir(const std::string& folder) {
    const char* binary = std::getenv("QF_BINARY_DIR");
    std::filesystem::path dir =
        binary ? std::filesystem::path(binary) / "tests" / folder / "out"
               : std::filesystem::temp_directory_path() / ("qf-test-" + folder);
    std::filesystem::create_directories(dir);
    return dir.string();
}

gr::Image readPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    return gr::decodeImage(bytes.data(), bytes.size(), path);
}

::testing::AssertionResult matchesGolden(const gr::Image& image, const std::string& name,
                                         const std::string& folder) {
    const std::string golden = goldenDir(folder) + "/" + name + ".png";
    if (updating()) {
        gr::writePng(golden, image);
        return ::testing::AssertionSuccess() << "wrote " << golden;
    }
    if (!std::filesystem::exists(golden)) {
        return ::testing::AssertionFailure()
               << golden << " is missing; make it with QF_UPDATE_GOLDEN=1";
    }
    const gr::Image expected = readPng(golden);
    const std::string actual = outputDir(folder) + "/" + name + ".png";
    if (expected.width != image.width || expected.height != image.height) {
        gr::writePng(actual, image);
        return ::testing::AssertionFailure()
               << name << " is " << image.width << "x" << image.height << ", the golden image "
               << expected.width << "x" << expected.height << "; see " << actual;
    }
    size_t bad = 0;
    int worst = 0;
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        int diff = 0;
        for (int c = 0; c < 4; ++c) {
            diff = std::max(diff, std::abs(image.pixels[i + c] - expected.pixels[i + c]));
        }
        worst = std::max(worst, diff);
        bad += diff > GOLDEN_CHANNEL_TOLERANCE ? 1 : 0;
    }
    const size_t allowed = static_cast<size_t>(GOLDEN_PIXEL_SHARE * image.width * image.height);
    if (bad > allowed) {
        gr::writePng(actual, image);
        return ::testing::AssertionFailure()
               << name << ": " << bad << " pixels differ (largest " << worst << "), " << allowed
               << " allowed; see " << actual;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace grtest
