// qfsheet's packer: the sheets it writes, read back through the engine's sheet
// loader, and the inputs it refuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/ChunkFile.h"
#include "game/FakeContext.h"
#include "game/GameTestUtil.h"
#include "game/SheetLoaderDAT.h"
#include "game/Sprite.h"
#include "sheetpack/Error.h"
#include "sheetpack/Png.h"
#include "sheetpack/SheetPacker.h"
#include "tools/SheetTestSupport.h"
#include "tools/ToolRun.h"

using namespace sheetpack;

namespace {

using sheettest::paint;

gr::Image filled(int w, int h, uint32_t rgba) {
    gr::Image image(w, h);
    paint(image, 0, 0, w, h, rgba);
    return image;
}

// A ball with a transparent margin, a post with marked corners, one pixel.
std::vector<SourceSprite> fixture() {
    gr::Image ball(12, 10);
    paint(ball, 3, 2, 9, 8, 0xd04020ff);
    ball.pixel(8, 7)[3] = 128;  // half-covered ink still counts
    gr::Image post = filled(4, 16, 0x2040d0ff);
    paint(post, 0, 0, 1, 1, 0x00ff00ff);
    paint(post, 3, 15, 4, 16, 0xffff00ff);
    return {{"post", post}, {"ball", ball}, {"dot", filled(1, 1, 0xffffffff)}};
}

const SourceSprite& source(const std::vector<SourceSprite>& sprites, const std::string& name) {
    return *std::find_if(sprites.begin(), sprites.end(),
                         [&](const SourceSprite& s) { return s.name == name; });
}

bool samePixel(const uint8_t* a, const uint8_t* b) {
    return std::equal(a, a + 4, b);
}

TEST(SheetPackTest, PackedSpritesLoadThroughTheEngineWithTheirPixels) {
    const std::vector<SourceSprite> sprites = fixture();
    PackOptions options;
    options.textureName = "things.png";
    options.padding = 2;
    options.extrude = 1;
    const Sidecar sidecar = parseSidecar("post pivot=2,16\nball trim  # only the ink\n", "s.txt");
    const PackedSheet packed = packSheet(sprites, sidecar, options);

    gametest::BundleDir bundle;
    bundle.write("gfx/things.png", writePng(packed.atlas));
    bundle.write("gfx/things.dat", packed.file);
    gametest::FakeContext ctx;
    lang::Ptr<game::SpriteSheet> sheet = game::SheetLoaderDAT().loadSheet(&ctx, "gfx/things.dat");
    ASSERT_EQ(ctx.loaded.size(), 1u);

    struct Expect {
        const char* name;
        int width, height, pivotX, pivotY;
        int cutX, cutY;  // where the stored rectangle starts in the source image
    };
    const Expect expected[] = {
        {"ball", 6, 6, 3, 3, 3, 2},  // trimmed: the centre (6, 5) moves by the cut
        {"post", 4, 16, 2, 16, 0, 0},
        {"dot", 1, 1, 0, 0, 0, 0},
    };
    const gr::Image atlas = [&] {
        const std::vector<uint8_t> png = writePng(packed.atlas);
        return readPng(png.data(), png.size(), "atlas");
    }();
    EXPECT_EQ(atlas.width & (atlas.width - 1), 0);
    EXPECT_EQ(atlas.height & (atlas.height - 1), 0);
    std::vector<gr::Rect> claimed;
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.name);
        const game::Sprite* s = sheet->getSprite(e.name);
        ASSERT_NE(s, nullptr);
        sheettest::expectShape(*s, e.width, e.height, e.pivotX, e.pivotY);
        const gr::Image& from = source(sprites, e.name).image;
        for (int y = -1; y <= e.height; ++y) {
            for (int x = -1; x <= e.width; ++x) {
                // One ring of extrusion repeats the nearest edge pixel.
                const int sx = e.cutX + std::clamp(x, 0, e.width - 1);
                const int sy = e.cutY + std::clamp(y, 0, e.height - 1);
                ASSERT_TRUE(
                    samePixel(atlas.pixel(s->getX() + x, s->getY() + y), from.pixel(sx, sy)))
                    << x << "," << y;
            }
        }
        // Then the padding stays clear, unless the atlas ends.
        for (int d = 2; d <= 3; ++d) {
            for (int y = 0; y < e.height; ++y) {
                if (s->getX() - d >= 0) {
                    EXPECT_EQ(atlas.pixel(s->getX() - d, s->getY() + y)[3], 0);
                }
            }
        }
        const gr::Rect r(s->getX() - 1, s->getY() - 1, s->getX() + e.width + 1,
                         s->getY() + e.height + 1);
        EXPECT_GE(r.x0, 0);
        EXPECT_GE(r.y0, 0);
        EXPECT_LE(r.x1, atlas.width);
        EXPECT_LE(r.y1, atlas.height);
        for (const gr::Rect& o : claimed) {
            EXPECT_TRUE(r.x1 <= o.x0 || o.x1 <= r.x0 || r.y1 <= o.y0 || o.y1 <= r.y0);
        }
        claimed.push_back(r);
    }
}

// The "TRIM" records: name, offset and untrimmed size of each trimmed sprite.
struct TrimRecord {
    std::string name;
    int offsetX, offsetY, width, height;
};

std::vector<TrimRecord> trimRecords(const std::vector<uint8_t>& file) {
    std::vector<TrimRecord> records;
    for (const auto& chunk : game::chunkfile::readFileChunks(file.data(), file.size())) {
        if (chunk.id != game::chunkfile::fourCC("TRIM")) {
            continue;
        }
        const uint8_t* p = chunk.data;
        const auto int16 = [&p] {
            const int v = int16_t((p[0] << 8) | p[1]);
            p += 2;
            return v;
        };
        EXPECT_EQ(int16(), 1);
        for (int n = int16(); n > 0; --n) {
            TrimRecord r;
            const int length = int16();
            r.name.assign(reinterpret_cast<const char*>(p), size_t(length));
            p += length;
            r.offsetX = int16();
            r.offsetY = int16();
            r.width = int16();
            r.height = int16();
            records.push_back(r);
        }
    }
    return records;
}

TEST(SheetPackTest, TrimmedSpritesKeepTheirOffsets) {
    PackOptions options;
    options.trim = true;
    const PackedSheet packed = packSheet(fixture(), parseSidecar("dot notrim\n", "s.txt"), options);
    const std::vector<TrimRecord> records = trimRecords(packed.file);
    ASSERT_EQ(records.size(), 1u);  // the post and the dot have no border to lose
    EXPECT_EQ(records[0].name, "ball");
    EXPECT_EQ(records[0].offsetX, 3);
    EXPECT_EQ(records[0].offsetY, 2);
    EXPECT_EQ(records[0].width, 12);
    EXPECT_EQ(records[0].height, 10);

    // The sidecar's "*" line turns trimming off for a folder.
    const PackedSheet kept = packSheet(fixture(), parseSidecar("* notrim\n", "s.txt"), options);
    EXPECT_TRUE(trimRecords(kept.file).empty());

    // A sprite with no ink at all keeps its size.
    const PackedSheet empty = packSheet({{"air", gr::Image(5, 3)}}, Sidecar(), options);
    EXPECT_EQ(empty.sprites[0].width, 5);
    EXPECT_EQ(empty.sprites[0].height, 3);
}

TEST(SheetPackTest, SidecarPivotsFollowTheScale) {
    PackOptions options;
    options.scale = 2;
    const PackedSheet packed = packSheet({{"post", filled(8, 32, 0xffffffff)}},
                                         parseSidecar("post pivot=2,16\n", "s.txt"), options);
    EXPECT_EQ(packed.sprites[0].pivotX, 4);
    EXPECT_EQ(packed.sprites[0].pivotY, 32);
}

TEST(SheetPackTest, TheSameSpritesGiveTheSameBytesInAnyOrder) {
    // Many sprites of one size make ties that the packer's sort may order freely.
    std::vector<SourceSprite> sprites = fixture();
    for (int i = 0; i < 24; ++i) {
        sprites.push_back({"tile" + std::to_string(i), filled(5, 5, 0x10000fffu * (i + 1) | 0xff)});
    }
    PackOptions options;
    options.textureName = "t.png";
    const PackedSheet first = packSheet(sprites, Sidecar(), options);
    std::reverse(sprites.begin(), sprites.end());
    std::rotate(sprites.begin(), sprites.begin() + 7, sprites.end());
    const PackedSheet second = packSheet(sprites, Sidecar(), options);
    EXPECT_EQ(first.file, second.file);
    EXPECT_EQ(writePng(first.atlas), writePng(second.atlas));
}

TEST(SheetPackTest, BadInputIsNamed) {
    const std::vector<uint8_t> png = writePng(filled(4, 4, 0xffffffff));
    const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    const std::vector<uint8_t> cut(png.begin(), png.begin() + 40);
    PackOptions small;
    small.maxSize = 32;
    std::vector<SourceSprite> crowd;
    for (int i = 0; i < 5; ++i) {
        crowd.push_back({"c" + std::to_string(i), filled(12, 12, 0xffffffff)});
    }
    sheettest::expectFailures({
        {"text as PNG", [&] { readPng(text.data(), text.size(), "art/x.png"); },
         "art/x.png: not a PNG file"},
        {"cut PNG", [&] { readPng(cut.data(), cut.size(), "art/y.png"); },
         "art/y.png: unreadable PNG"},
        {"too big",
         [&] {
             packSheet({{"wall", gr::Image(4095, 8)}}, Sidecar(), PackOptions());
         },
         "wall: 4095x8 pixels with padding and extrusion do not fit the largest atlas, 4096x4096"},
        {"too many", [&] { packSheet(crowd, Sidecar(), small); },
         "5 sprites do not fit one atlas of 32x32"},
        {"twice",
         [&] {
             packSheet({{"a", gr::Image(1, 1)}, {"a", gr::Image(2, 2)}}, {}, {});
         },
         "sprite \"a\" is given twice"},
        {"unknown sidecar name",
         [&] { packSheet(fixture(), parseSidecar("bal trim\n", "s.txt"), PackOptions()); },
         "the sidecar names \"bal\", which is no sprite here"},
        {"pivot outside",
         [&] { packSheet(fixture(), parseSidecar("dot pivot=3,0\n", "s.txt"), PackOptions()); },
         "dot: the pivot 3,0 lies outside its 1x1 pixels"},
        {"bad pivot", [] { parseSidecar("# c\na pivot=1\n", "art/s.txt"); },
         "art/s.txt:2: bad pivot \"1\", want pivot=X,Y"},
        {"bad word", [] { parseSidecar("a trim\n\n b wobble\n", "s.txt"); },
         "s.txt:3: unknown setting \"wobble\""},
        {"default pivot", [] { parseSidecar("* pivot=1,1\n", "s.txt"); },
         "s.txt:1: \"*\" cannot set a pivot"},
        {"named twice", [] { parseSidecar("a trim\na notrim\n", "s.txt"); },
         "s.txt:2: \"a\" is named twice"},
    });
}

TEST(SheetPackTest, TheBundleSheetHoldsEverySpriteTheGameDrawsAtBothScales) {
    // The names and sizes the game's scripts and levels were made with.
    struct Size {
        const char* name;
        int width, height;
    };
    const Size sizes[] = {
        {"QUILL_BIRD", 20, 20},   {"GREMLIN", 24, 24},
        {"GREMLIN_HURT", 24, 24}, {"SLINGSHOT", 30, 70},
        {"RUBBERBAND", 16, 6},    {"PARTICLE_SLINGDOT", 6, 6},
        {"TRAIL_WHITE_1", 6, 6},  {"TRAIL_WHITE_2", 4, 4},
        {"TRAIL_WHITE_3", 8, 8},  {"BIRD_SPECIAL", 10, 10},
        {"STAR", 24, 24},         {"STAR_EMPTY", 24, 24},
        {"CLOUD", 64, 28},        {"DEBRIS_WOOD", 6, 6},
        {"DEBRIS_STONE", 6, 6},   {"FEATHER", 8, 4},
        {"BG_HILLS", 256, 96},    {"FG_GROUND", 256, 32},
        {"WOOD_PLANK", 80, 10},   {"WOOD_PLANK_CRACKED", 80, 10},
        {"WOOD_POST", 10, 60},    {"WOOD_POST_CRACKED", 10, 60},
        {"WOOD_BOX", 20, 20},     {"WOOD_BOX_CRACKED", 20, 20},
        {"WOOD_SLAB", 60, 10},    {"WOOD_SLAB_CRACKED", 60, 10},
        {"STONE_PLANK", 80, 10},  {"STONE_PLANK_CRACKED", 80, 10},
        {"STONE_POST", 10, 60},   {"STONE_POST_CRACKED", 10, 60},
        {"STONE_BOX", 20, 20},    {"STONE_BOX_CRACKED", 20, 20},
        {"STONE_SLAB", 60, 10},   {"STONE_SLAB_CRACKED", 60, 10},
    };
    const std::string saved = io::bundleRoot();
    io::setBundleRoot(toolstest::builtBundle() + "/");
    gametest::FakeContext ctx;
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        lang::Ptr<game::SpriteSheet> sheet = game::SheetLoaderDAT().loadSheet(
            &ctx, scale == 1 ? "gfx/quill.dat" : "gfx/hd/quill.dat");
        for (const Size& size : sizes) {
            const game::Sprite* s = sheet->getSprite(size.name);
            ASSERT_NE(s, nullptr) << size.name;
            EXPECT_EQ(s->getWidth(), size.width * scale) << size.name;
            EXPECT_EQ(s->getHeight(), size.height * scale) << size.name;
        }
        // Every drawing of the folder is in the sheet.
        for (const auto& entry :
             std::filesystem::directory_iterator(toolstest::bundleSources() + "/art/quill")) {
            if (entry.path().extension() == ".svg") {
                EXPECT_NE(sheet->getSprite(entry.path().stem().string()), nullptr) << entry.path();
            }
        }
    }
    io::setBundleRoot(saved);
}

}  // namespace
