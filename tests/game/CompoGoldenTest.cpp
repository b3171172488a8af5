// Pictures of sprites and composite sprites drawn by the gl2 renderer,
// compared with golden images (golden/README.md).

#include <cstring>

#include "game/Anchor.h"
#include "game/GameTestUtil.h"
#include "game/Gl2Golden.h"
#include "game/Resources.h"

using namespace game;
using namespace gametest;

namespace {

void setPixel(gr::Image& image, int x, int y, uint32_t rgba) {
    uint8_t* p = image.pixel(x, y);
    p[0] = static_cast<uint8_t>(rgba >> 24);
    p[1] = static_cast<uint8_t>(rgba >> 16);
    p[2] = static_cast<uint8_t>(rgba >> 8);
    p[3] = static_cast<uint8_t>(rgba);
}

// Red, green, blue and yellow quarters with a white border.
uint32_t tilePixel(int x, int y) {
    if (x == 0 || y == 0 || x == 15 || y == 15) {
        return 0xffffffffu;
    }
    const uint32_t quarters[4] = {0xff0000ffu, 0x00ff00ffu, 0x0000ffffu, 0xffff00ffu};
    return quarters[(y >= 8 ? 2 : 0) + (x >= 8 ? 1 : 0)];
}

// 16 x 8: a white top row over a red left half and a cyan right half, with
// one magenta pixel to tell the corners apart.
uint32_t flagPixel(int x, int y) {
    if (x == 1 && y == 6) {
        return 0xff00ffffu;
    }
    return y == 0 ? 0xffffffffu : x < 8 ? 0xff0000ffu : 0x00ffffffu;
}

// 48 x 16: the tile at x 0, the flag stored a quarter turn around at x 16
// (8 x 16 pixels), the flag as it is at x 24.
gr::Image sheetImage() {
    gr::Image image(48, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            setPixel(image, x, y, tilePixel(x, y));
        }
    }
    for (int sy = 0; sy < 16; ++sy) {
        for (int sx = 0; sx < 8; ++sx) {
            setPixel(image, 16 + sx, sy, flagPixel(sy, 7 - sx));
        }
    }
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            setPixel(image, 24 + x, y, flagPixel(x, y));
        }
    }
    return image;
}

const char* const SHEET_JSON = R"({"frames": [
    {"filename": "art/tile.png", "frame": {"x": 0, "y": 0, "w": 16, "h": 16}, "rotated": false},
    {"filename": "art/flag.png", "frame": {"x": 16, "y": 0, "w": 16, "h": 8}, "rotated": true},
    {"filename": "art/flatflag.png", "frame": {"x": 24, "y": 0, "w": 16, "h": 8}, "rotated": false}],
    "meta": {"app": "http://www.texturepacker.com", "image": "parts.png"}})";

// Drawn from the last part to the first.
const char* const FIGURE_JSON = R"({
    "meta": {"app": "Adobe Animate", "image": "parts.png", "sheet": "parts"},
    "compo": [{"name": "figure", "sprites": [
        {"name": "flag", "x": 40, "y": 8, "angle": 90},
        {"name": "tile", "x": 24, "y": 24, "scale": 1.5, "angle": 45},
        {"name": "tile", "x": 0, "y": 24, "flip": [1, -1]},
        {"name": "tile", "x": 24, "y": 0, "scale": [0.5, 1], "flip": [-1, 1]},
        {"name": "tile", "x": 0, "y": 0}]}]})";

class GoldenResourcesTest : public Gl2GoldenTest {
protected:
    void SetUp() override {
        Gl2GoldenTest::SetUp();
        bundle.write("gfx/parts.png", gr::encodePng(sheetImage()));
        bundle.write("gfx/parts.json", SHEET_JSON);
        bundle.write("gfx/figures.json", FIGURE_JSON);
        res = new Resources(ctx);
        res->setPath("gfx");
        res->createSpriteSheet("parts.json", false);
        res->createCompoSpriteSet("figures.json", false);
    }
    void TearDown() override {
        res.reset();
        Gl2GoldenTest::TearDown();
    }

    BundleDir bundle;
    lang::Ptr<Resources> res;
};

bool sameRegion(const gr::Image& image, int ax, int ay, int bx, int by, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (std::memcmp(image.pixel(ax + x, ay + y), image.pixel(bx + x, by + y), 4) != 0) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

TEST_F(GoldenResourcesTest, SpritesAnchoredStretchedAndStoredTurned) {
    res->drawSprite("tile", 8, 8, ANCHOR_TOP, ANCHOR_LEFT);
    res->drawSprite("tile", 64, 16, ANCHOR_VCENTER, ANCHOR_HCENTER);
    res->drawSprite("tile", 120, 24, ANCHOR_BOTTOM, ANCHOR_RIGHT);
    res->drawSprite("tile", 8, 40, ANCHOR_TOP, ANCHOR_LEFT, 48, 16);
    res->drawSprite("flag", 8, 72, ANCHOR_TOP, ANCHOR_LEFT);
    res->drawSprite("flatflag", 8, 88, ANCHOR_TOP, ANCHOR_LEFT);
    res->drawSprite("flag", 40, 72, ANCHOR_TOP, ANCHOR_LEFT, 64, 32);
    gr::Image image = capture("sprites");
    // The sprite stored turned draws exactly like its upright copy.
    EXPECT_TRUE(sameRegion(image, 8, 72, 8, 88, 16, 8));
    EXPECT_TRUE(matchesGolden(image, "sprites"));
}

TEST_F(GoldenResourcesTest, CompositeWithScaledFlippedAndTurnedParts) {
    res->drawSprite("figure", 8, 8, ANCHOR_TOP, ANCHOR_LEFT);
    gr::RenderState& state = ctx->renderState();
    state.translateX = 10;
    state.translateY = 20;
    state.scaleX = state.scaleY = 0.75f;
    state.setAngle(0.3f);
    res->drawSprite("figure", 80, 70, ANCHOR_VPIVOT, ANCHOR_HPIVOT);
    state.reset();
    gr::Image image = capture("composite");
    EXPECT_TRUE(matchesGolden(image, "composite"));
}
