#include "game/SheetLoaderJSON.h"

#include <cmath>

#include "game/JSONMembers.h"
#include "io/PathName.h"

namespace game {

const char* const SheetLoaderJSON::TEXTUREPACKER_APP = "http://www.texturepacker.com";

namespace {

util::JSON parseJSON(const uint8_t* data, size_t size) {
    util::JSON root;
    root.parse(reinterpret_cast<const char*>(data), size);
    return root;
}

// Rounds half up, kept inside the 16 bits a pivot is stored in.
int roundedPivot(float v) {
    double r = std::floor(static_cast<double>(v) + 0.5);
    if (!(r == r)) {
        return 0;
    }
    return static_cast<int>(r < -32768 ? -32768 : r > 32767 ? 32767 : r);
}

SheetDescription::SpriteRecord frameRecord(const util::JSON& element, const std::string& name) {
    const util::JSON& f = objectMember(element, "frame");
    SheetDescription::SpriteRecord s;
    s.name = name;
    s.x = f.getInt("x");
    s.y = f.getInt("y");
    s.width = f.getInt("w");
    s.height = f.getInt("h");
    s.pivotX = s.width / 2;
    s.pivotY = s.height / 2;
    s.rotated = false;
    return s;
}

void readTexturePacker(const util::JSON& root, SheetDescription::Page& page) {
    if (!root.hasArray("frames")) {
        throw lang::Exception(lang::Format(
            "Unsupported TexturePacker JSON sheet format (use JSON Array format instead)"));
    }
    for (const util::JSON& element : root.getArray("frames")) {
        std::string name = io::PathName(element.getString("filename")).getBaseName();
        SheetDescription::SpriteRecord s = frameRecord(element, name);
        s.rotated = element.getBool("rotated");
        page.sprites.push_back(s);
    }
}

void readAdobe(const util::JSON& root, SheetDescription::Page& page) {
    for (const util::JSON& element : root.getArray("frames")) {
        SheetDescription::SpriteRecord s = frameRecord(element, element.getString("filename"));
        if (element.hasObject("pivot")) {
            const util::JSON& pivot = objectMember(element, "pivot");
            s.pivotX = roundedPivot(pivot.getFloat("x"));
            s.pivotY = roundedPivot(pivot.getFloat("y"));
        }
        page.sprites.push_back(s);
    }
}

}  // namespace

SheetDescription SheetLoaderJSON::parseSheet(const uint8_t* data, size_t size,
                                             const std::string& /*name*/, bool withTextures) const {
    util::JSON root = parseJSON(data, size);
    const util::JSON& meta = objectMember(root, "meta");
    SheetDescription::Page page;
    if (withTextures) {
        page.texture = meta.getString("image");
    }
    const std::string& app = meta.getString("app");
    if (app == TEXTUREPACKER_APP) {
        readTexturePacker(root, page);
    } else if (app.find("Adobe") != std::string::npos) {
        readAdobe(root, page);
    } else {
        throw lang::Exception(lang::Format("Unsupported JSON sheet format"));
    }
    SheetDescription description;
    description.pages.push_back(page);
    return description;
}

}  // namespace game
