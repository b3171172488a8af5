#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/Sprite.h"
#include "gr/Image.h"
#include "sheetpack/Error.h"

// Pixels and failures for the tests of qfsheet's library.
namespace sheettest {

// Fills the rectangle x0..x1, y0..y1 (exclusive) with one RGBA colour.
inline void paint(gr::Image& image, int x0, int y0, int x1, int y1, uint32_t rgba) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            uint8_t* p = image.pixel(x, y);
            p[0] = uint8_t(rgba >> 24);
            p[1] = uint8_t(rgba >> 16);
            p[2] = uint8_t(rgba >> 8);
            p[3] = uint8_t(rgba);
        }
    }
}

// The message of the sheetpack::Error that f throws.
inline std::string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const sheetpack::Error& e) {
        return e.what();
    }
    return "no failure";
}

// A loaded sprite's size and pivot.
inline void expectShape(const game::Sprite& s, int width, int height, int pivotX, int pivotY) {
    EXPECT_EQ(s.getWidth(), width);
    EXPECT_EQ(s.getHeight(), height);
    EXPECT_EQ(s.getPivotX(), pivotX);
    EXPECT_EQ(s.getPivotY(), pivotY);
}

struct BadCase {
    const char* what;
    std::function<void()> run;
    const char* message;  // how the failure's message begins
};

inline void expectFailures(const std::vector<BadCase>& cases) {
    for (const BadCase& c : cases) {
        const std::string message = failureOf(c.run);
        EXPECT_EQ(message.substr(0, std::string(c.message).size()), c.message)
            << c.what << ": " << message;
    }
}

}  // namespace sheettest
