#include "game/SheetLoader.h"

#include "gr/Context.h"
#include "io/BundleInputStream.h"
#include "io/PathName.h"

namespace game {

namespace {

void addSprites(SpriteSheet& sheet, const SheetDescription::Page& page) {
    for (const SheetDescription::SpriteRecord& s : page.sprites) {
        sheet.addSprite(s.name, s.x, s.y, s.width, s.height, s.pivotX, s.pivotY, s.rotated);
    }
}

}  // namespace

std::vector<uint8_t> readBundleFile(const std::string& path, std::string& name) {
    io::BundleInputStream stream(path);
    name = stream.getName();
    return io::readAll(stream);
}

Sprite* findSprite(const SheetTable& sheets, const std::string& name) {
    for (const auto& entry : sheets) {
        if (Sprite* sprite = entry.second ? entry.second->getSprite(name) : nullptr) {
            return sprite;
        }
    }
    return nullptr;
}

lang::Ptr<SpriteSheet> buildSheet(gr::Context* context, const SheetDescription& description,
                                  const std::string& folder, io::InputStream* texture) {
    lang::Ptr<SpriteSheet> sheet = new SpriteSheet();
    if (texture) {
        sheet->setTexture(context->createTexture(*texture, texture->getName()));
    }
    for (const SheetDescription::Page& page : description.pages) {
        if (!texture) {
            sheet->setTexture(context, io::PathName(folder, page.texture).toString());
        }
        addSprites(*sheet, page);
    }
    return sheet;
}

lang::Ptr<SpriteSheet> SheetLoader::loadSheet(gr::Context* context, io::InputStream& description,
                                              io::InputStream& texture) {
    std::vector<uint8_t> bytes = io::readAll(description);
    SheetDescription parsed = parseSheet(bytes.data(), bytes.size(), description.getName(), false);
    return buildSheet(context, parsed, std::string(), &texture);
}

lang::Ptr<SpriteSheet> SheetLoader::loadSheet(gr::Context* context, const std::string& path) {
    std::string name;
    std::vector<uint8_t> bytes = readBundleFile(path, name);
    SheetDescription parsed = parseSheet(bytes.data(), bytes.size(), name, true);
    return buildSheet(context, parsed, io::PathName(path).getParent().toString(), nullptr);
}

void SheetLoader::loadSprites(const std::string& path, SpriteSheet* sheet) {
    std::string name;
    std::vector<uint8_t> bytes = readBundleFile(path, name);
    SheetDescription parsed = parseSheet(bytes.data(), bytes.size(), name, false);
    for (const SheetDescription::Page& page : parsed.pages) {
        addSprites(*sheet, page);
    }
}

}  // namespace game
