#pragma once

#include <string>
#include <vector>

#include "gr/Image.h"
#include "sheetpack/SheetPacker.h"

// Sheets made with TexturePacker, in its JSON hash form ("frames" an object
// keyed by file name) or array form ("frames" a list with "filename"). The
// engine reads only the array form, and neither rotation nor trimming fits a
// "PLXB" file, so the sprites are cut out of the atlas as they were drawn and
// packed again.
namespace sheetpack {

struct TexturePackerFrame {
    std::string name;                         // the file name without folder and extension
    int x = 0, y = 0, width = 0, height = 0;  // in the atlas, unturned size
    bool rotated = false;                     // stored a quarter turn clockwise
    int offsetX = 0, offsetY = 0;             // where the frame sits in the untrimmed drawing
    int sourceWidth = 0, sourceHeight = 0;
    bool hasPivot = false;
    double pivotX = 0, pivotY = 0;  // fractions of the untrimmed drawing
};

struct TexturePackerSheet {
    std::string image;  // meta.image, the atlas file beside the description
    std::vector<TexturePackerFrame> frames;
};

// Throws sheetpack::Error "<name>: <problem>" (with ":<line>" for bad JSON).
TexturePackerSheet parseTexturePacker(const std::string& text, const std::string& name);

// The untrimmed, unturned drawings of the frames, each named in `sidecar`
// with its pivot (in pixels, rounded to the nearest) and, when TexturePacker
// trimmed it, "trim". Frames without a pivot are left to the packer, which
// centres them. Throws sheetpack::Error naming
// `atlasName` for a frame outside the atlas.
std::vector<SourceSprite> cutFrames(const TexturePackerSheet& sheet, const gr::Image& atlas,
                                    const std::string& atlasName, Sidecar& sidecar);

}  // namespace sheetpack
