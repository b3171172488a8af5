// The composite-sprite side of the JSON loader.

#include "game/CompoSpriteSet.h"
#include "game/JSONMembers.h"
#include "game/SheetLoaderJSON.h"

namespace game {

namespace {

const float DEGREES_TO_RADIANS = 0.017453292f;

util::JSON parseJSON(const uint8_t* data, size_t size) {
    util::JSON root;
    root.parse(reinterpret_cast<const char*>(data), size);
    return root;
}

// The "meta" object, checked to come from the Adobe exporter.
const util::JSON& adobeMeta(const util::JSON& root) {
    const util::JSON& meta = objectMember(root, "meta");
    if (meta.getString("app").find("Adobe") == std::string::npos) {
        throw lang::Exception(lang::Format("Unsupported JSON composprite format"));
    }
    meta.getString("image");
    return meta;
}

// "scale" and "flip": an array gives x and y, a single number both.
gr::Point pairMember(const util::JSON& part, const std::string& key, float fallback) {
    if (!part.has(key)) {
        return gr::Point{fallback, fallback};
    }
    if (part.hasArray(key)) {
        const util::JSON& array = part.asObject().find(key)->second;
        return gr::Point{array.at(0).asFloat(), array.at(1).asFloat()};
    }
    float v = part.getFloat(key);
    return gr::Point{v, v};
}

void addJSONPart(const util::JSON& part, const std::string& name, const SheetTable& sheets,
                 CompoSprite& compo) {
    const std::string& spriteName = part.getString("name");
    gr::Point position{part.getFloat("x"), part.getFloat("y")};
    std::string id = part.has("id") ? part.getString("id") : std::string();
    gr::Point scale = pairMember(part, "scale", 1);
    gr::Point flip = part.has("flip") ? pairMember(part, "flip", 1) : gr::Point{1, 1};
    float angle = part.has("angle") ? part.getFloat("angle") * DEGREES_TO_RADIANS : 0;
    Sprite* sprite = findSprite(sheets, spriteName);
    if (!sprite) {
        throw lang::Exception(
            lang::Format("Sprite \"{0}\" not loaded while loading {1}", spriteName, name));
    }
    compo.addPart(spriteName, id, sprite, position, scale, flip, angle);
}

}  // namespace

lang::Ptr<CompoSpriteSet> SheetLoaderJSON::parseCompoSpriteSet(const uint8_t* data, size_t size,
                                                               const std::string& name,
                                                               const SheetTable& sheets) {
    util::JSON root = parseJSON(data, size);
    adobeMeta(root);
    if (!root.hasArray("compo")) {
        return nullptr;
    }
    lang::Ptr<CompoSpriteSet> set = new CompoSpriteSet();
    for (const util::JSON& element : root.getArray("compo")) {
        lang::Ptr<CompoSprite> compo = new CompoSprite();
        const util::JSON::ArrayType& parts = element.getArray("sprites");
        // The exporter lists the topmost part first.
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
            addJSONPart(*it, name, sheets, *compo);
        }
        set->add(element.getString("name"), compo);
    }
    return set;
}

lang::Ptr<util::JSON> SheetLoaderJSON::parseCompoDescription(const uint8_t* data, size_t size) {
    util::JSON root = parseJSON(data, size);
    const util::JSON& meta = adobeMeta(root);
    const std::string& sheet = meta.getString("sheet");
    if (!root.hasArray("compo")) {
        return nullptr;
    }
    lang::Ptr<util::JSON> description = new util::JSON(util::JSON::ObjectType());
    for (const util::JSON& element : root.getArray("compo")) {
        util::JSON entry{util::JSON::ObjectType()};
        entry.member("sprites") = util::JSON(element.getArray("sprites"));
        entry.member("sheet") = sheet;
        description->member(element.getString("name")) = entry;
    }
    return description;
}

lang::Ptr<CompoSpriteSet> SheetLoaderJSON::loadCompoSpriteSet(const std::string& path,
                                                              const SheetTable& sheets) {
    std::string name;
    std::vector<uint8_t> bytes = readBundleFile(path, name);
    return parseCompoSpriteSet(bytes.data(), bytes.size(), name, sheets);
}

lang::Ptr<util::JSON> SheetLoaderJSON::loadCompoDescription(const std::string& path) {
    std::string name;
    std::vector<uint8_t> bytes = readBundleFile(path, name);
    return parseCompoDescription(bytes.data(), bytes.size());
}

}  // namespace game
