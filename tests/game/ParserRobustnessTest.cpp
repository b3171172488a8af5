// Damaged input for every parser that takes bytes from files: each one must
// either succeed or throw an engine exception, never read outside the data.
// Run under AddressSanitizer in CI.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "game/CompoSpriteSet.h"
#include "game/GameTestUtil.h"
#include "game/SheetLoaderDAT.h"
#include "game/SheetLoaderJSON.h"
#include "lang/Exception.h"

using namespace game;
using namespace gametest;

namespace {

using Parser = std::function<void(const std::vector<uint8_t>&)>;

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

SheetTable sheets() {
    lang::Ptr<SpriteSheet> sheet = new SpriteSheet();
    sheet->addSprite("a", 0, 0, 4, 4, 2, 2, false);
    sheet->addSprite("b", 4, 0, 4, 4, 2, 2, false);
    SheetTable table;
    table["s"] = sheet;
    return table;
}

std::vector<uint8_t> compoA() {
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("COMP").int16(2).int16(2);
    for (const char* name : {"one", "two"}) {
        w.string(name).int16(2).string("a").int16(1).int16(2).string("b").int16(3).int16(4);
        w.int16(1).string("x").int16(0).int16(0);
    }
    w.endChunk().endFile();
    return w.data();
}

std::vector<uint8_t> compoB() {
    chunk::ChunkWriter w;
    w.beginFile("ZWQA").beginChunk("COMP").int16(1).int16(1).string("c").int16(2);
    for (const char* name : {"a", "b"}) {
        w.string(name).string("id").int16(1).int16(2).float32(1).float32(2).float32(45);
        w.boolean(true).boolean(false);
    }
    w.endChunk().endFile();
    return w.data();
}

// Flips, overwrites, inserts and cuts bytes of `seed` many times over.
void mutateAndParse(const std::vector<uint8_t>& seed, const Parser& parse, unsigned rounds) {
    std::mt19937 random(1234);
    for (unsigned round = 0; round < rounds; ++round) {
        std::vector<uint8_t> data = seed;
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !data.empty(); ++e) {
            size_t at = random() % data.size();
            switch (random() % 4) {
                case 0:
                    data[at] ^= static_cast<uint8_t>(1u << (random() % 8));
                    break;
                case 1:
                    data[at] = static_cast<uint8_t>(random());
                    break;
                case 2:
                    data.insert(data.begin() + static_cast<long>(at),
                                static_cast<uint8_t>(random()));
                    break;
                default:
                    data.resize(at);
                    break;
            }
        }
        try {
            parse(data);
        } catch (const lang::Exception&) {
        }
    }
}

}  // namespace

TEST(ParserRobustness, DamagedFilesOnlyEverThrow) {
    SheetTable table = sheets();
    const std::string sheetJson = R"({"frames": [
        {"filename": "a/b.png", "frame": {"x": 1, "y": 2, "w": 3, "h": 4}, "rotated": true}],
        "meta": {"app": "http://www.texturepacker.com", "image": "s.png"}})";
    const std::string compoJson = R"({"meta": {"app": "Adobe", "image": "s.png", "sheet": "s"},
        "compo": [{"name": "c", "sprites": [{"name": "a", "x": 1, "y": 2, "scale": [1, 2],
                                             "flip": [-1, 1], "angle": 30, "id": "q"}]}]})";
    struct Case {
        const char* what;
        std::vector<uint8_t> seed;
        Parser parse;
    };
    const Case cases[] = {
        {"sheet .dat", sheetDat("t.png", {{"a", 1, 2, 3, 4, 5, 6}, {"b", 0, 0, 1, 1, 0, 0}}),
         [](const std::vector<uint8_t>& d) {
             SheetLoaderDAT().parseSheet(d.data(), d.size(), "f", true);
         }},
        {"sheet .json", bytesOf(sheetJson),
         [](const std::vector<uint8_t>& d) {
             SheetLoaderJSON().parseSheet(d.data(), d.size(), "f", true);
         }},
        {"composites PLXB", compoA(),
         [&](const std::vector<uint8_t>& d) {
             SheetLoaderDAT::parseCompoSpriteSet(d.data(), d.size(), "f", table);
         }},
        {"composites ZWQA", compoB(),
         [&](const std::vector<uint8_t>& d) {
             SheetLoaderDAT::parseCompoSpriteSet(d.data(), d.size(), "f", table);
         }},
        {"composites .json", bytesOf(compoJson),
         [&](const std::vector<uint8_t>& d) {
             SheetLoaderJSON::parseCompoSpriteSet(d.data(), d.size(), "f", table);
             SheetLoaderJSON::parseCompoDescription(d.data(), d.size());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NO_THROW(c.parse(c.seed));
        mutateAndParse(c.seed, c.parse, 3000);
    }
}
