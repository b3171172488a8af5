#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// Composite sprites from their JSON sources, written as the chunk file of
// magic "ZWQA", which keeps each part's id, scale, angle and flips.
//
// A source is the JSON form the engine loads as it is:
//
//   {"meta": {"app": "Adobe-style composites", "image": "quill.png", "sheet": "quill"},
//    "compo": [{"name": "SLING_LOADED",
//               "sprites": [{"name": "QUILL_BIRD", "x": 0, "y": -52},      <- drawn last
//                           {"name": "SLINGSHOT", "x": 0, "y": 0, "id": "back",
//                            "scale": [1, 1], "flip": [-1, 1], "angle": 0}]}]}
//
// "sprites" lists the topmost part first; the chunk file stores them in
// drawing order. Positions are whole pixels at scale 1; angles are degrees.
namespace sheetpack {

struct CompoPart {
    std::string sprite;
    std::string id;
    int x = 0, y = 0;
    float scaleX = 1, scaleY = 1;
    float angle = 0;  // degrees
    bool flipX = false, flipY = false;
};

struct Composite {
    std::string name;
    std::vector<CompoPart> parts;  // in drawing order, first drawn first
};

// Throws sheetpack::Error "<name>: <problem>" (with ":<line>" for bad JSON):
// for a meta the engine's JSON loader refuses, a position that is no whole
// pixel, a flip other than 1 or -1, or a composite named twice.
std::vector<Composite> parseCompoSource(const std::string& text, const std::string& name);

// The sprite names of a "PLXB" sheet file. Throws sheetpack::Error naming
// `name` when the bytes are no such file.
std::set<std::string> sheetSpriteNames(const std::vector<uint8_t>& file, const std::string& name);

// Throws sheetpack::Error "<source>: <composite>: ..." for the first part
// whose sprite is not in `sprites`, which the engine would refuse to load.
void checkParts(const std::vector<Composite>& composites, const std::set<std::string>& sprites,
                const std::string& source);

// The "ZWQA" file of the composites, positions multiplied by `scale`. Throws
// sheetpack::Error for a composite named twice or a number beyond 16 bits.
std::vector<uint8_t> writeCompoFile(const std::vector<Composite>& composites, int scale);

}  // namespace sheetpack
