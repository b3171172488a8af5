#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gr/Image.h"

// Packs sprite images into one atlas and describes them in a "PLXB" sheet
// file with an "SPRT" chunk of version 1, the chunk form the engine's sheet
// loader reads.
//
// Every sprite is placed with stb_rect_pack. Around it, `extrude` rings copy
// its edge pixels outward, so that filtering at its border samples its own
// colours; beyond them `padding` transparent pixels keep neighbours apart.
// A trimmed sprite loses its fully transparent border: it is stored smaller,
// its pivot moves with it, so drawing it at its pivot looks the same. What was
// cut is kept in a "TRIM" chunk (name, offset x and y, untrimmed width and
// height), which the engine skips.
namespace sheetpack {

// Settings of one sprite; unset ones fall back to the folder's defaults.
struct SpriteSettings {
    bool hasPivot = false;
    int pivotX = 0, pivotY = 0;  // in pixels of the drawing at scale 1
    int trim = -1;               // -1 unset, 0 keep the border, 1 trim it
};

// The sidecar file of a sprite folder: one line a sprite, its name and then
// any of "pivot=X,Y", "trim" and "notrim"; "*" names the folder's defaults
// (a pivot there is not allowed). "#" starts a comment.
//
//   # name      settings
//   SLINGSHOT   pivot=15,62
//   *           trim
struct Sidecar {
    SpriteSettings defaults;
    std::map<std::string, SpriteSettings> sprites;
};

// Throws sheetpack::Error "<name>:<line>: <problem>".
Sidecar parseSidecar(const std::string& text, const std::string& name);

struct SourceSprite {
    std::string name;
    gr::Image image;  // straight alpha
};

struct PackOptions {
    std::string textureName;  // as the sheet file names its texture
    int padding = 2;
    int extrude = 1;
    int maxSize = 4096;  // largest atlas side
    bool trim = false;   // the default when neither the sidecar nor its "*" line says
    int scale = 1;       // the drawings' scale: sidecar pivots are multiplied by it
};

struct PackedSprite {
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;  // in the atlas
    int pivotX = 0, pivotY = 0;               // from the stored rectangle's corner
    int offsetX = 0, offsetY = 0;             // trimmed away on the left and top
    int sourceWidth = 0, sourceHeight = 0;    // before trimming
};

struct PackedSheet {
    gr::Image atlas;
    std::vector<PackedSprite> sprites;  // by name
    std::vector<uint8_t> file;          // the "PLXB" sheet file
};

// Throws sheetpack::Error for two sprites of one name, a sidecar line naming no
// sprite, a pivot outside its sprite, or sprites that do not fit an atlas of
// maxSize x maxSize. The atlas is the smallest power-of-two rectangle that
// holds them all; the same sprites and options give the same bytes.
PackedSheet packSheet(std::vector<SourceSprite> sprites, const Sidecar& sidecar,
                      const PackOptions& options);

// The "PLXB" file of packed sprites; trim records are written for the
// sprites that lost a border.
std::vector<uint8_t> writeSheetFile(const std::string& textureName,
                                    const std::vector<PackedSprite>& sprites);

}  // namespace sheetpack
