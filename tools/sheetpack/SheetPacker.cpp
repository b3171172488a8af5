#include "sheetpack/SheetPacker.h"

#include <stb/stb_rect_pack.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>
#include <tuple>

#include "chunk/ChunkWriter.h"
#include "sheetpack/Error.h"

namespace sheetpack {

namespace {

const int MAX_FIELD = 32767;  // the sheet file's coordinates are int16

bool readInt(const std::string& text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || v < -MAX_FIELD || v > MAX_FIELD) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

void applySetting(const std::string& word, SpriteSettings& settings, bool defaults,
                  const std::string& where) {
    if (word == "trim" || word == "notrim") {
        settings.trim = word == "trim" ? 1 : 0;
        return;
    }
    if (word.compare(0, 6, "pivot=") == 0 && !defaults) {
        const std::string value = word.substr(6);
        const size_t comma = value.find(',');
        if (comma != std::string::npos && readInt(value.substr(0, comma), settings.pivotX) &&
            readInt(value.substr(comma + 1), settings.pivotY)) {
            settings.hasPivot = true;
            return;
        }
        throw Error(where + "bad pivot \"" + value + "\", want pivot=X,Y");
    }
    if (word.compare(0, 6, "pivot=") == 0) {
        throw Error(where + "\"*\" cannot set a pivot");
    }
    throw Error(where + "unknown setting \"" + word + "\"");
}

// Rows and columns of the image that hold any ink: x0, y0, x1, y1 (exclusive).
// An image without ink keeps its whole area.
std::tuple<int, int, int, int> inkBounds(const gr::Image& image) {
    int x0 = image.width, y0 = image.height, x1 = 0, y1 = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.pixel(x, y)[3] != 0) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1);
                y1 = std::max(y1, y + 1);
            }
        }
    }
    if (x1 <= x0) {
        return {0, 0, image.width, image.height};
    }
    return {x0, y0, x1, y1};
}

struct Item {
    PackedSprite sprite;
    const gr::Image* image;
    int cutX, cutY;  // the stored rectangle's corner in the image
};

// Atlas sizes to try: smallest area first, then the squarer, then the wider.
std::vector<std::pair<int, int>> atlasSizes(int maxSize) {
    std::vector<int> sides;
    for (int s = 16; s < maxSize; s *= 2) {
        sides.push_back(s);
    }
    sides.push_back(maxSize);
    std::vector<std::pair<int, int>> sizes;
    for (int w : sides) {
        for (int h : sides) {
            sizes.emplace_back(w, h);
        }
    }
    std::sort(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) {
        const long long areaA = 1LL * a.first * a.second, areaB = 1LL * b.first * b.second;
        if (areaA != areaB) {
            return areaA < areaB;
        }
        const int sideA = std::max(a.first, a.second), sideB = std::max(b.first, b.second);
        if (sideA != sideB) {
            return sideA < sideB;
        }
        return a.first > b.first;
    });
    return sizes;
}

// Packs the rectangles into width x height; false when they do not all fit.
bool tryPack(std::vector<stbrp_rect>& rects, int width, int height) {
    stbrp_context context;
    std::vector<stbrp_node> nodes(static_cast<size_t>(width));
    stbrp_init_target(&context, width, height, nodes.data(), width);
    return stbrp_pack_rects(&context, rects.data(), static_cast<int>(rects.size())) == 1;
}

// Rectangles of one size are interchangeable; give their places out by name,
// so that the result does not hang on how the packer's sort orders ties.
void settleTies(std::vector<stbrp_rect>& rects) {
    std::map<std::pair<int, int>, std::vector<size_t>> bySize;
    for (size_t i = 0; i < rects.size(); ++i) {
        bySize[{rects[i].w, rects[i].h}].push_back(i);
    }
    for (auto& entry : bySize) {
        std::vector<std::pair<int, int>> places;
        for (size_t i : entry.second) {
            places.emplace_back(rects[i].y, rects[i].x);
        }
        std::sort(places.begin(), places.end());
        for (size_t k = 0; k < entry.second.size(); ++k) {
            rects[entry.second[k]].y = places[k].first;
            rects[entry.second[k]].x = places[k].second;
        }
    }
}

void blit(gr::Image& atlas, const Item& item, int extrude) {
    const PackedSprite& s = item.sprite;
    for (int y = -extrude; y < s.height + extrude; ++y) {
        const int sy = item.cutY + std::min(std::max(y, 0), s.height - 1);
        for (int x = -extrude; x < s.width + extrude; ++x) {
            const int sx = item.cutX + std::min(std::max(x, 0), s.width - 1);
            const uint8_t* from = item.image->pixel(sx, sy);
            std::copy(from, from + 4, atlas.pixel(s.x + x, s.y + y));
        }
    }
}

}  // namespace

Sidecar parseSidecar(const std::string& text, const std::string& name) {
    Sidecar sidecar;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream words(line);
        std::string sprite, word;
        if (!(words >> sprite)) {
            continue;
        }
        const std::string where = name + ":" + std::to_string(number) + ": ";
        const bool defaults = sprite == "*";
        if (!defaults && sidecar.sprites.count(sprite)) {
            throw Error(where + "\"" + sprite + "\" is named twice");
        }
        SpriteSettings& settings = defaults ? sidecar.defaults : sidecar.sprites[sprite];
        while (words >> word) {
            applySetting(word, settings, defaults, where);
        }
    }
    return sidecar;
}

PackedSheet packSheet(std::vector<SourceSprite> sprites, const Sidecar& sidecar,
                      const PackOptions& options) {
    if (options.padding < 0 || options.extrude < 0 || options.scale < 1 || options.maxSize < 16 ||
        options.maxSize > MAX_FIELD) {
        throw Error(
            "bad packing options: padding and extrusion at least 0, scale at least 1, "
            "atlas size 16 to 32767");
    }
    std::sort(sprites.begin(), sprites.end(),
              [](const SourceSprite& a, const SourceSprite& b) { return a.name < b.name; });
    std::set<std::string> names;
    for (const SourceSprite& s : sprites) {
        if (s.name.empty() || !names.insert(s.name).second) {
            throw Error("sprite \"" + s.name + "\" is given twice");
        }
    }
    for (const auto& entry : sidecar.sprites) {
        if (!names.count(entry.first)) {
            throw Error("the sidecar names \"" + entry.first + "\", which is no sprite here");
        }
    }

    const int border = 2 * options.extrude + options.padding;
    std::vector<Item> items;
    std::vector<stbrp_rect> rects;
    for (const SourceSprite& source : sprites) {
        const auto found = sidecar.sprites.find(source.name);
        const SpriteSettings* own = found == sidecar.sprites.end() ? nullptr : &found->second;
        const int ownTrim = own ? own->trim : -1;
        const int trimSetting = ownTrim >= 0 ? ownTrim : sidecar.defaults.trim;
        const bool trim = trimSetting >= 0 ? trimSetting == 1 : options.trim;

        Item item{PackedSprite(), &source.image, 0, 0};
        PackedSprite& s = item.sprite;
        s.name = source.name;
        s.sourceWidth = source.image.width;
        s.sourceHeight = source.image.height;
        if (own && own->hasPivot) {
            s.pivotX = own->pivotX * options.scale;
            s.pivotY = own->pivotY * options.scale;
            if (s.pivotX < 0 || s.pivotX > s.sourceWidth || s.pivotY < 0 ||
                s.pivotY > s.sourceHeight) {
                throw Error(source.name + ": the pivot " + std::to_string(s.pivotX) + "," +
                            std::to_string(s.pivotY) + " lies outside its " +
                            std::to_string(s.sourceWidth) + "x" + std::to_string(s.sourceHeight) +
                            " pixels");
            }
        } else {
            s.pivotX = s.sourceWidth / 2;
            s.pivotY = s.sourceHeight / 2;
        }
        int x0 = 0, y0 = 0, x1 = s.sourceWidth, y1 = s.sourceHeight;
        if (trim) {
            std::tie(x0, y0, x1, y1) = inkBounds(source.image);
        }
        item.cutX = s.offsetX = x0;
        item.cutY = s.offsetY = y0;
        s.width = x1 - x0;
        s.height = y1 - y0;
        s.pivotX -= x0;
        s.pivotY -= y0;
        const int w = s.width + border, h = s.height + border;
        if (w > options.maxSize - options.padding || h > options.maxSize - options.padding) {
            throw Error(source.name + ": " + std::to_string(s.width) + "x" +
                        std::to_string(s.height) +
                        " pixels with padding and extrusion do not "
                        "fit the largest atlas, " +
                        std::to_string(options.maxSize) + "x" + std::to_string(options.maxSize));
        }
        stbrp_rect rect{};
        rect.id = static_cast<int>(items.size());
        rect.w = w;
        rect.h = h;
        rects.push_back(rect);
        items.push_back(item);
    }

    long long area = 0;
    for (const stbrp_rect& r : rects) {
        area += 1LL * r.w * r.h;
    }
    int width = 0, height = 0;
    for (const auto& size : atlasSizes(options.maxSize)) {
        const int aw = size.first - options.padding, ah = size.second - options.padding;
        if (1LL * aw * ah < area) {
            continue;
        }
        if (tryPack(rects, aw, ah)) {
            width = size.first;
            height = size.second;
            break;
        }
    }
    if (width == 0) {
        throw Error(std::to_string(sprites.size()) + " sprites do not fit one atlas of " +
                    std::to_string(options.maxSize) + "x" + std::to_string(options.maxSize) +
                    ": split the folder into more sheets");
    }
    settleTies(rects);

    PackedSheet sheet;
    sheet.atlas = gr::Image(width, height);
    for (const stbrp_rect& r : rects) {
        Item& item = items[static_cast<size_t>(r.id)];
        item.sprite.x = r.x + options.padding + options.extrude;
        item.sprite.y = r.y + options.padding + options.extrude;
        if (item.sprite.width > 0 && item.sprite.height > 0) {
            blit(sheet.atlas, item, options.extrude);
        }
    }
    for (const Item& item : items) {
        sheet.sprites.push_back(item.sprite);
    }
    sheet.file = writeSheetFile(options.textureName, sheet.sprites);
    return sheet;
}

std::vector<uint8_t> writeSheetFile(const std::string& textureName,
                                    const std::vector<PackedSprite>& sprites) {
    if (sprites.size() > static_cast<size_t>(MAX_FIELD)) {
        throw Error("more than 32767 sprites in one sheet");
    }
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("SPRT").int16(1).string(textureName);
    w.int16(static_cast<int>(sprites.size()));
    std::vector<const PackedSprite*> trimmed;
    for (const PackedSprite& s : sprites) {
        for (int v : {s.x, s.y, s.width, s.height, s.pivotX, s.pivotY}) {
            if (v < -MAX_FIELD - 1 || v > MAX_FIELD) {
                throw Error(s.name + ": a coordinate does not fit the sheet file's 16 bits");
            }
        }
        w.string(s.name).int16(s.x).int16(s.y).int16(s.width).int16(s.height);
        w.int16(s.pivotX).int16(s.pivotY);
        if (s.offsetX != 0 || s.offsetY != 0 || s.width != s.sourceWidth ||
            s.height != s.sourceHeight) {
            trimmed.push_back(&s);
        }
    }
    w.endChunk();
    if (!trimmed.empty()) {
        w.beginChunk("TRIM").int16(1).int16(static_cast<int>(trimmed.size()));
        for (const PackedSprite* s : trimmed) {
            w.string(s->name).int16(s->offsetX).int16(s->offsetY);
            w.int16(s->sourceWidth).int16(s->sourceHeight);
        }
        w.endChunk();
    }
    w.endFile();
    return w.data();
}

}  // namespace sheetpack
