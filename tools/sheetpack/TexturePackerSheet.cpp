#include "sheetpack/TexturePackerSheet.h"

#include <algorithm>
#include <cmath>

#include "io/PathName.h"
#include "sheetpack/Error.h"
#include "util/JSON.h"

namespace sheetpack {

namespace {

const util::JSON& member(const util::JSON& value, const std::string& key) {
    value.getObject(key);  // the JSON exception when it is missing or no object
    return value.asObject().find(key)->second;
}

std::string rect(int x, int y, int w, int h) {
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
           std::to_string(h);
}

TexturePackerFrame readFrame(const util::JSON& entry, const std::string& filename) {
    TexturePackerFrame f;
    f.name = io::PathName(filename).getBaseName();
    const util::JSON& frame = member(entry, "frame");
    f.x = frame.getInt("x");
    f.y = frame.getInt("y");
    f.width = frame.getInt("w");
    f.height = frame.getInt("h");
    f.rotated = entry.has("rotated") && entry.getBool("rotated");
    f.sourceWidth = f.width;
    f.sourceHeight = f.height;
    if (entry.has("spriteSourceSize")) {
        const util::JSON& placed = member(entry, "spriteSourceSize");
        f.offsetX = placed.getInt("x");
        f.offsetY = placed.getInt("y");
    }
    if (entry.has("sourceSize")) {
        const util::JSON& source = member(entry, "sourceSize");
        f.sourceWidth = source.getInt("w");
        f.sourceHeight = source.getInt("h");
    }
    if (entry.has("pivot")) {
        const util::JSON& pivot = member(entry, "pivot");
        f.hasPivot = true;
        f.pivotX = pivot.getFloat("x");
        f.pivotY = pivot.getFloat("y");
    }
    if (f.width <= 0 || f.height <= 0 || f.offsetX < 0 || f.offsetY < 0 ||
        f.offsetX + f.width > f.sourceWidth || f.offsetY + f.height > f.sourceHeight) {
        throw Error("frame \"" + filename + "\": the frame " + rect(f.x, f.y, f.width, f.height) +
                    " placed at " + std::to_string(f.offsetX) + "," + std::to_string(f.offsetY) +
                    " does not fit its source size " + std::to_string(f.sourceWidth) + "x" +
                    std::to_string(f.sourceHeight));
    }
    return f;
}

int nearest(double fraction, int size) {
    return static_cast<int>(std::floor(fraction * size + 0.5));
}

}  // namespace

TexturePackerSheet parseTexturePacker(const std::string& text, const std::string& name) {
    util::JSON root;
    try {
        root.parse(text);
    } catch (const util::JSON::ParseError& e) {
        throw Error(name + ":" + std::to_string(e.getLine()) + ": " + e.getReason());
    }
    TexturePackerSheet sheet;
    try {
        sheet.image = member(root, "meta").getString("image");
        if (root.hasArray("frames")) {
            for (const util::JSON& entry : root.getArray("frames")) {
                sheet.frames.push_back(readFrame(entry, entry.getString("filename")));
            }
        } else {
            for (const auto& entry : root.getObject("frames")) {
                sheet.frames.push_back(readFrame(entry.second, entry.first));
            }
        }
    } catch (const lang::Exception& e) {
        throw Error(name + ": " + e.getMessage());
    } catch (const Error& e) {
        throw Error(name + ": " + e.what());
    }
    if (sheet.frames.empty()) {
        throw Error(name + ": no frames");
    }
    return sheet;
}

std::vector<SourceSprite> cutFrames(const TexturePackerSheet& sheet, const gr::Image& atlas,
                                    const std::string& atlasName, Sidecar& sidecar) {
    std::vector<SourceSprite> sprites;
    for (const TexturePackerFrame& f : sheet.frames) {
        // A turned frame lies on its side: height across, width down.
        const int across = f.rotated ? f.height : f.width;
        const int down = f.rotated ? f.width : f.height;
        if (f.x < 0 || f.y < 0 || f.x + across > atlas.width || f.y + down > atlas.height) {
            throw Error(atlasName + ": the frame " + f.name + " at " +
                        rect(f.x, f.y, across, down) + " lies outside the " +
                        std::to_string(atlas.width) + "x" + std::to_string(atlas.height) +
                        " atlas");
        }
        gr::Image image(f.sourceWidth, f.sourceHeight);
        for (int dy = 0; dy < f.height; ++dy) {
            for (int dx = 0; dx < f.width; ++dx) {
                // Turned clockwise: the drawing's top row is the stored right column.
                const uint8_t* from = f.rotated ? atlas.pixel(f.x + f.height - 1 - dy, f.y + dx)
                                                : atlas.pixel(f.x + dx, f.y + dy);
                std::copy(from, from + 4, image.pixel(f.offsetX + dx, f.offsetY + dy));
            }
        }
        SpriteSettings& settings = sidecar.sprites[f.name];
        if (f.width != f.sourceWidth || f.height != f.sourceHeight) {
            settings.trim = 1;  // what TexturePacker trimmed stays trimmed
        }
        if (f.hasPivot) {
            settings.hasPivot = true;
            settings.pivotX = nearest(f.pivotX, f.sourceWidth);
            settings.pivotY = nearest(f.pivotY, f.sourceHeight);
        }
        sprites.push_back({f.name, std::move(image)});
    }
    return sprites;
}

}  // namespace sheetpack
