#include <gtest/gtest.h>

#include <stb/stb_image_write.h>

#include "gr/GraphicsException.h"
#include "gr/Image.h"
#include "io/ByteArrayInputStream.h"

namespace {

gr::Image gradient(int w, int h) {
    gr::Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<uint8_t>(x * 16);
            p[1] = static_cast<uint8_t>(y * 16);
            p[2] = 200;
            p[3] = static_cast<uint8_t>(255 - x * 16);
        }
    }
    return image;
}

TEST(Image, PngRoundTripPremultipliesAlpha) {
    const gr::Image original = gradient(16, 8);
    const std::vector<uint8_t> png = gr::encodePng(original);
    const gr::Image decoded = gr::decodeImage(png.data(), png.size(), "gradient.png");
    ASSERT_EQ(decoded.width, 16);
    ASSERT_EQ(decoded.height, 8);
    gr::Image expected = original;
    gr::premultiplyAlpha(expected);
    EXPECT_EQ(decoded.pixels, expected.pixels);
    // Opaque pixels keep their colour; alpha 0 leaves black.
    EXPECT_EQ(decoded.pixel(0, 3)[2], 200);
    gr::Image clear(1, 1);
    clear.pixel(0, 0)[0] = 255;
    gr::premultiplyAlpha(clear);
    EXPECT_EQ(clear.pixel(0, 0)[0], 0);
}

TEST(Image, DecodesJpeg) {
    const gr::Image original = gradient(16, 16);
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(stbi_write_jpg_to_func(
        [](void* out, void* data, int size) {
            auto* bytes = static_cast<std::vector<uint8_t>*>(out);
            bytes->insert(bytes->end(), static_cast<uint8_t*>(data),
                          static_cast<uint8_t*>(data) + size);
        },
        &jpeg, 16, 16, 4, original.pixels.data(), 90));
    const gr::Image decoded = gr::decodeImage(jpeg.data(), jpeg.size(), "gradient.jpg");
    EXPECT_EQ(decoded.width, 16);
    EXPECT_EQ(decoded.height, 16);
    EXPECT_EQ(decoded.pixel(5, 5)[3], 255);  // JPEG has no alpha
}

// A PNG header claiming a huge picture is refused before anything is allocated.
TEST(Image, RefusesSizesTheDataCannotHold) {
    std::vector<uint8_t> png = gr::encodePng(gradient(4, 4));
    // IHDR width and height start at bytes 16 and 20; the CRC is not checked first.
    const uint8_t big[4] = {0x00, 0x00, 0x30, 0x00};  // 12288
    std::copy(big, big + 4, png.begin() + 16);
    std::copy(big, big + 4, png.begin() + 20);
    try {
        gr::decodeImage(png.data(), png.size(), "huge.png");
        FAIL() << "accepted a 12288 x 12288 picture of " << png.size() << " bytes";
    } catch (const gr::GraphicsException& e) {
        EXPECT_NE(std::string(e.what()).find("huge.png"), std::string::npos) << e.what();
    }
}

TEST(Image, RejectsDataThatIsNoImage) {
    const std::vector<uint8_t> png = gr::encodePng(gradient(8, 8));
    const std::string text = "not an image";
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"text", std::vector<uint8_t>(text.begin(), text.end())},
        {"truncated PNG", std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2)},
        {"PNG signature only", std::vector<uint8_t>(png.begin(), png.begin() + 8)},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(gr::decodeImage(c.bytes.data(), c.bytes.size(), c.what), gr::GraphicsException)
            << c.what;
    }
}

// Every prefix of a valid file either decodes or throws; none crashes.
TEST(Image, EveryPrefixOfAFileIsHandled) {
    const std::vector<uint8_t> png = gr::encodePng(gradient(8, 8));
    for (size_t n = 0; n < png.size(); ++n) {
        try {
            gr::decodeImage(png.data(), n, "prefix");
        } catch (const gr::GraphicsException&) {
        }
    }
}

// Files with bytes changed at random decode or throw; none crashes or reads
// out of bounds (the sanitizer build checks that).
TEST(Image, DamagedFilesNeverCrash) {
    const gr::Image original = gradient(16, 16);
    std::vector<uint8_t> jpeg;
    stbi_write_jpg_to_func(
        [](void* out, void* data, int size) {
            auto* bytes = static_cast<std::vector<uint8_t>*>(out);
            bytes->insert(bytes->end(), static_cast<uint8_t*>(data),
                          static_cast<uint8_t*>(data) + size);
        },
        &jpeg, 16, 16, 4, original.pixels.data(), 90);
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (const std::vector<uint8_t>& file : {gr::encodePng(original), jpeg}) {
        for (int round = 0; round < 100; ++round) {
            std::vector<uint8_t> damaged = file;
            for (int k = 0; k < 1 + round % 4; ++k) {
                damaged[next() % damaged.size()] = static_cast<uint8_t>(next());
            }
            try {
                const gr::Image image = gr::decodeImage(damaged.data(), damaged.size(), "damaged");
                EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height * 4);
            } catch (const gr::GraphicsException&) {
            }
        }
    }
}

TEST(Image, ReadStreamStopsAtTheLimit) {
    const std::vector<uint8_t> bytes(100000, 7);
    io::ByteArrayInputStream whole(bytes);
    EXPECT_EQ(gr::readStream(whole, 100000).size(), 100000u);
    io::ByteArrayInputStream tooLong(bytes);
    EXPECT_THROW(gr::readStream(tooLong, 99999), gr::GraphicsException);
}

TEST(Image, EncodeRejectsMalformedImages) {
    gr::Image bad(4, 4);
    bad.pixels.resize(10);
    EXPECT_THROW(gr::encodePng(bad), gr::GraphicsException);
    EXPECT_THROW(gr::encodePng(gr::Image()), gr::GraphicsException);
}

}  // namespace
