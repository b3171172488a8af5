// qfsheet's conversions: TexturePacker sheets into "PLXB" sheets, composite
// sources into composite files, each read back through the engine's loaders.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>

#include "game/CompoSpriteSet.h"
#include "game/FakeContext.h"
#include "game/GameTestUtil.h"
#include "game/SheetLoaderDAT.h"
#include "game/SheetLoaderJSON.h"
#include "game/Sprite.h"
#include "sheetpack/CompoSource.h"
#include "sheetpack/Png.h"
#include "sheetpack/SheetPacker.h"
#include "sheetpack/TexturePackerSheet.h"
#include "tools/SheetTestSupport.h"
#include "tools/ToolRun.h"

using namespace sheetpack;

namespace {

const uint32_t RED = 0xff0000ff, GREEN = 0x00ff00ff, BLUE = 0x0000ffff, GREY = 0x808080ff,
               GOLD = 0xffc000ff;

void put(gr::Image& image, int x, int y, uint32_t rgba) {
    sheettest::paint(image, x, y, x + 1, y + 1, rgba);
}

uint32_t get(const gr::Image& image, int x, int y) {
    const uint8_t* p = image.pixel(x, y);
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Three frames in a 16x8 atlas:
// - ui/buttons/ok.png, 4x3 at (0, 0), plain, its top-left pixel gold;
// - arrow.png, drawn 3 wide and 5 tall, stored turned a quarter clockwise in
//   the 5x3 pixels at (4, 0): the drawing's top-left corner lands top-right
//   (8, 0), its top-right corner bottom-right (8, 2), its bottom-left corner
//   top-left (4, 0);
// - glow.png, a 6x5 drawing that TexturePacker trimmed to the 2x2 pixels at
//   (1, 2) of it, stored at (10, 0), pivoted at its bottom centre.
gr::Image texturePackerAtlas() {
    gr::Image atlas(16, 8);
    sheettest::paint(atlas, 0, 0, 4, 3, GREY);
    put(atlas, 0, 0, GOLD);
    sheettest::paint(atlas, 4, 0, 9, 3, GREY);
    put(atlas, 8, 0, RED);
    put(atlas, 8, 2, GREEN);
    put(atlas, 4, 0, BLUE);
    sheettest::paint(atlas, 10, 0, 12, 2, GOLD);
    return atlas;
}

const char* const OK_FRAME = R"("frame": {"x": 0, "y": 0, "w": 4, "h": 3}, "rotated": false,
      "trimmed": false, "spriteSourceSize": {"x": 0, "y": 0, "w": 4, "h": 3},
      "sourceSize": {"w": 4, "h": 3})";
const char* const ARROW_FRAME = R"("frame": {"x": 4, "y": 0, "w": 3, "h": 5}, "rotated": true,
      "trimmed": false, "sourceSize": {"w": 3, "h": 5})";
const char* const GLOW_FRAME = R"("frame": {"x": 10, "y": 0, "w": 2, "h": 2}, "rotated": false,
      "trimmed": true, "spriteSourceSize": {"x": 1, "y": 2, "w": 2, "h": 2},
      "sourceSize": {"w": 6, "h": 5}, "pivot": {"x": 0.5, "y": 1})";
const char* const META = R"("meta": {"app": "http://www.texturepacker.com", "image": "atlas.png"})";

std::string arrayForm() {
    return std::string("{\"frames\": [\n") + "  {\"filename\": \"ui/buttons/ok.png\", " + OK_FRAME +
           "},\n  {\"filename\": \"arrow.png\", " + ARROW_FRAME +
           "},\n  {\"filename\": \"glow.png\", " + GLOW_FRAME + "}],\n" + META + "}\n";
}

std::string hashForm() {
    return std::string("{\"frames\": {\n") + "  \"glow.png\": {" + GLOW_FRAME +
           "},\n  \"ui/buttons/ok.png\": {" + OK_FRAME + "},\n  \"arrow.png\": {" + ARROW_FRAME +
           "}},\n" + META + "}\n";
}

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(SheetConvertTest, TexturePackerSheetsOfBothFormsLoadUprightWithTheirPivots) {
    gametest::BundleDir dir;
    dir.write("tp/atlas.png", writePng(texturePackerAtlas()));
    dir.write("tp/array.json", arrayForm());
    dir.write("tp/hash.json", hashForm());
    const std::string d = dir.str();
    for (const char* form : {"array", "hash"}) {
        const toolstest::ToolResult run =
            toolstest::runTool("qfsheet", "convert --padding 1 " + d + "/gfx/" + form + "/s.dat " +
                                              d + "/tp/" + form + ".json");
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }
    // The order of the frames does not show in the result.
    EXPECT_EQ(fileBytes(d + "/gfx/array/s.dat"), fileBytes(d + "/gfx/hash/s.dat"));
    EXPECT_EQ(fileBytes(d + "/gfx/array/s.png"), fileBytes(d + "/gfx/hash/s.png"));

    gametest::FakeContext ctx;
    lang::Ptr<game::SpriteSheet> sheet = game::SheetLoaderDAT().loadSheet(&ctx, "gfx/array/s.dat");
    const std::vector<uint8_t> png = fileBytes(d + "/gfx/array/s.png");
    const gr::Image atlas = readPng(png.data(), png.size(), "s.png");
    struct Expect {
        const char* name;
        int width, height, pivotX, pivotY;
        std::vector<std::tuple<int, int, uint32_t>> pixels;  // in the sprite as drawn
    };
    const Expect expected[] = {
        {"ok", 4, 3, 2, 1, {{0, 0, GOLD}, {3, 2, GREY}}},
        {"arrow", 3, 5, 1, 2, {{0, 0, RED}, {2, 0, GREEN}, {0, 4, BLUE}, {2, 4, GREY}}},
        // Stays trimmed; the bottom centre (3, 5) of the drawing less the cut (1, 2).
        {"glow", 2, 2, 2, 3, {{0, 0, GOLD}, {1, 1, GOLD}}},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.name);
        const game::Sprite* s = sheet->getSprite(e.name);
        ASSERT_NE(s, nullptr);
        sheettest::expectShape(*s, e.width, e.height, e.pivotX, e.pivotY);
        for (const auto& p : e.pixels) {
            EXPECT_EQ(get(atlas, s->getX() + std::get<0>(p), s->getY() + std::get<1>(p)),
                      std::get<2>(p))
                << std::get<0>(p) << "," << std::get<1>(p);
        }
    }

    // The engine reads the array form itself and names the frames alike.
    lang::Ptr<game::SpriteSheet> direct = game::SheetLoaderJSON().loadSheet(&ctx, "tp/array.json");
    for (const char* name : {"ok", "arrow", "glow"}) {
        EXPECT_NE(direct->getSprite(name), nullptr) << name;
    }
}

TEST(SheetConvertTest, BadTexturePackerSheetsAreNamed) {
    const gr::Image atlas = texturePackerAtlas();
    const auto cut = [&atlas](const std::string& frames) {
        Sidecar sidecar;
        cutFrames(parseTexturePacker("{\"frames\": [" + frames + "], " + META + "}", "tp.json"),
                  atlas, "atlas.png", sidecar);
    };
    sheettest::expectFailures({
        {"syntax", [] { parseTexturePacker("{\"frames\": {\n\n  \"a.png\": tru}}", "tp.json"); },
         "tp.json:3: Unknown identifier"},
        {"no frames", [] { parseTexturePacker(std::string("{") + META + "}", "tp.json"); },
         "tp.json: "},
        {"empty",
         [] { parseTexturePacker(std::string("{\"frames\": {}, ") + META + "}", "t.json"); },
         "t.json: no frames"},
        {"no frame rectangle", [&] { cut(R"({"filename": "a.png", "rotated": false})"); },
         "tp.json: "},
        {"source smaller than the frame",
         [&] {
             cut(R"({"filename": "a.png", "frame": {"x": 0, "y": 0, "w": 4, "h": 3},
                     "sourceSize": {"w": 2, "h": 3}})");
         },
         "tp.json: frame \"a.png\": the frame 0,0 4x3 placed at 0,0 does not fit its source "
         "size 2x3"},
        {"outside the atlas",
         [&] { cut(R"({"filename": "a.png", "frame": {"x": 14, "y": 0, "w": 3, "h": 3}})"); },
         "atlas.png: the frame a at 14,0 3x3 lies outside the 16x8 atlas"},
        {"turned outside the atlas",
         [&] {
             cut(R"({"filename": "a.png", "frame": {"x": 0, "y": 0, "w": 9, "h": 2},
                     "rotated": true})");
         },
         "atlas.png: the frame a at 0,0 2x9 lies outside the 16x8 atlas"},
    });
}

// Two sprites of the sheet "figures": a body and an eye.
struct Figures {
    Figures() {
        lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet();
        body = sheet->addSprite("body", 0, 0, 20, 10, 10, 10, false);
        eye = sheet->addSprite("eye", 20, 0, 4, 4, 2, 2, false);
        sheets["figures"] = sheet;
    }
    game::SheetTable sheets;
    game::Sprite* body;
    game::Sprite* eye;
};

const char* const COMPO_SOURCE = R"({
  "meta": {"app": "Adobe-style composites", "image": "figures.png", "sheet": "figures"},
  "compo": [
    {"name": "WATCHER", "sprites": [
      {"name": "eye", "id": "left", "x": -4, "y": -7, "flip": [-1, 1]},
      {"name": "eye", "id": "right", "x": 4, "y": -7, "scale": 2, "angle": 90},
      {"name": "body", "x": 0, "y": 0}]},
    {"name": "BLINK", "sprites": [{"name": "body", "x": 1, "y": 2, "scale": [1, 0.5],
                                   "flip": [1, -1]}]}]})";

TEST(SheetConvertTest, CompositeSourcesLoadAlikeAsJsonAndAsChunkFiles) {
    Figures figures;
    const std::string json = COMPO_SOURCE;
    lang::Ptr<game::CompoSpriteSet> fromJson = game::SheetLoaderJSON::parseCompoSpriteSet(
        reinterpret_cast<const uint8_t*>(json.data()), json.size(), "w.json", figures.sheets);
    ASSERT_TRUE(fromJson);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const std::vector<uint8_t> file = writeCompoFile(parseCompoSource(json, "w.json"), scale);
        lang::Ptr<game::CompoSpriteSet> fromDat = game::SheetLoaderDAT::parseCompoSpriteSet(
            file.data(), file.size(), "w.dat", figures.sheets);
        ASSERT_EQ(fromDat->getCompoSprites().size(), 2u);
        for (const char* name : {"WATCHER", "BLINK"}) {
            SCOPED_TRACE(name);
            const game::CompoSprite* a = fromJson->get(name);
            const game::CompoSprite* b = fromDat->get(name);
            ASSERT_TRUE(a && b);
            ASSERT_EQ(a->getEntryCount(), b->getEntryCount());
            for (int i = 0; i < a->getEntryCount(); ++i) {
                const game::CompoSprite::Entry* pa = a->getSpriteEntry(i);
                const game::CompoSprite::Entry* pb = b->getSpriteEntry(i);
                EXPECT_EQ(pa->name, pb->name) << i;
                EXPECT_EQ(pa->getSprite(), pb->getSprite()) << i;
                EXPECT_EQ(pa->x * scale, pb->x) << i;
                EXPECT_EQ(pa->y * scale, pb->y) << i;
                EXPECT_EQ(pa->scaleX, pb->scaleX) << i;
                EXPECT_EQ(pa->scaleY, pb->scaleY) << i;
                EXPECT_EQ(pa->flipX, pb->flipX) << i;
                EXPECT_EQ(pa->flipY, pb->flipY) << i;
                EXPECT_FLOAT_EQ(pa->angle, pb->angle) << i;
            }
        }
    }
    // The body is drawn first, under the eyes.
    const game::CompoSprite* watcher = fromJson->get("WATCHER");
    EXPECT_EQ(watcher->getSpriteEntry(0)->name, "body");
    EXPECT_EQ(watcher->getSpriteEntry(2)->name, "eye#left");
}

TEST(SheetConvertTest, CompositePartsAreCheckedAgainstTheSheetsSprites) {
    PackedSprite body, eye;
    body.name = "body";
    eye.name = "eye";
    const std::vector<uint8_t> sheet = writeSheetFile("figures.png", {body, eye});
    EXPECT_EQ(sheetSpriteNames(sheet, "figures.dat"), (std::set<std::string>{"body", "eye"}));
    const std::vector<Composite> watcher = parseCompoSource(COMPO_SOURCE, "w.json");
    checkParts(watcher, {"body", "eye"}, "w.json");

    const std::vector<uint8_t> cut(sheet.begin(), sheet.end() - 3);
    const std::vector<uint8_t> other = {'Z', 'W', 'Q', 'A', 0, 0, 0, 0};
    sheettest::expectFailures({
        {"missing sprite", [&] { checkParts(watcher, {"body"}, "w.json"); },
         "w.json: WATCHER: the part \"eye\" names no sprite of the sheets"},
        {"cut sheet", [&] { sheetSpriteNames(cut, "figures.dat"); },
         "figures.dat: the sheet file is cut short"},
        {"no sheet", [&] { sheetSpriteNames(other, "figures.dat"); },
         "figures.dat: not a \"PLXB\" sheet file"},
    });
}

TEST(SheetConvertTest, BadCompositeSourcesAreNamed) {
    const auto source = [](const std::string& parts) {
        parseCompoSource(
            R"({"meta": {"app": "Adobe-style", "image": "f.png"}, "compo": [{"name": "A", "sprites": [)" +
                parts + "]}]}",
            "c.json");
    };
    sheettest::expectFailures({
        {"syntax", [] { parseCompoSource("{\n\"meta\": [\n1.2.3]}", "c.json"); },
         "c.json:3: Bad float number"},
        {"app",
         [] {
             parseCompoSource(R"({"meta": {"app": "x", "image": "f.png"}, "compo": []})", "c.json");
         },
         "c.json: meta.app must contain \"Adobe\""},
        {"half pixel", [&] { source(R"({"name": "s", "x": 1.5, "y": 0})"); },
         "c.json: A, part 1: x 1.5 is no whole pixel"},
        {"flip",
         [&] {
             source(R"({"name": "s", "x": 0, "y": 0}, {"name": "s", "x": 0, "y": 0, "flip": 0.5})");
         },
         "c.json: A, part 2: flip 0.5 is neither 1 nor -1"},
        {"three scales", [&] { source(R"({"name": "s", "x": 0, "y": 0, "scale": [1, 2, 3]})"); },
         "c.json: A, part 1: scale wants one number or two"},
        {"no name", [&] { source(R"({"x": 0, "y": 0})"); }, "c.json: "},
        {"twice",
         [] {
             parseCompoSource(
                 R"({"meta": {"app": "Adobe", "image": "f.png"},
                     "compo": [{"name": "A", "sprites": []}, {"name": "A", "sprites": []}]})",
                 "c.json");
         },
         "c.json: the composite \"A\" is named twice"},
        {"beyond 16 bits",
         [] {
             writeCompoFile({{"A", {{"s", "", 20000, 0}}}}, 2);
         },
         "A: the part s at 40000,0 lies beyond 16 bits"},
    });
}

TEST(SheetConvertTest, TheBundleCompositesLoadWithTheBundleSheetsAtBothScales) {
    namespace fs = std::filesystem;
    const std::string saved = io::bundleRoot();
    io::setBundleRoot(toolstest::builtBundle() + "/");
    gametest::FakeContext ctx;
    int checked = 0;
    for (const auto& folder : fs::directory_iterator(toolstest::bundleSources() + "/art")) {
        if (!folder.is_directory()) {
            continue;
        }
        std::vector<std::string> sources;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            if (entry.path().extension() == ".json") {
                sources.push_back(entry.path().string());
            }
        }
        if (sources.empty()) {
            continue;
        }
        const std::string sheet = folder.path().filename().string();
        for (int scale : {1, 2}) {
            SCOPED_TRACE(sheet + " at " + std::to_string(scale) + "x");
            const std::string gfx = scale == 1 ? "gfx/" : "gfx/hd/";
            game::SheetTable sheets;
            sheets[sheet] = game::SheetLoaderDAT().loadSheet(&ctx, gfx + sheet + ".dat");
            lang::Ptr<game::CompoSpriteSet> built =
                game::SheetLoaderDAT().loadCompoSpriteSet(gfx + sheet + "_compo.dat", sheets);
            for (const std::string& source : sources) {
                const std::vector<uint8_t> text = fileBytes(source);
                lang::Ptr<game::CompoSpriteSet> direct = game::SheetLoaderJSON::parseCompoSpriteSet(
                    text.data(), text.size(), source, sheets);
                for (const auto& entry : direct->getCompoSprites()) {
                    const game::CompoSprite* b = built->get(entry.first);
                    ASSERT_NE(b, nullptr) << entry.first;
                    ASSERT_EQ(b->getEntryCount(), entry.second->getEntryCount());
                    const game::CompoSprite::Entry* last =
                        b->getSpriteEntry(b->getEntryCount() - 1);
                    EXPECT_EQ(last->x,
                              entry.second->getSpriteEntry(b->getEntryCount() - 1)->x * scale);
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 0);
    io::setBundleRoot(saved);
}

}  // namespace
