#include "sheetpack/CompoSource.h"

#include <cmath>
#include <set>

#include "chunk/ChunkWriter.h"
#include "sheetpack/Error.h"
#include "util/JSON.h"

namespace sheetpack {

namespace {

const int MAX_FIELD = 32767;  // the chunk file's positions and counts are int16

std::string numberText(double v) {
    std::string text = std::to_string(v);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

int wholePixel(const util::JSON& part, const char* key, const std::string& where) {
    const double v = part.getFloat(key);
    if (v != std::floor(v) || std::fabs(v) > MAX_FIELD) {
        throw Error(where + key + " " + numberText(v) +
                    " is no whole pixel from -32767 to 32767, which the chunk file stores");
    }
    return static_cast<int>(v);
}

// "scale" and "flip": an array gives x and y, a single number both.
void readPair(const util::JSON& part, const char* key, float& x, float& y,
              const std::string& where) {
    if (!part.has(key)) {
        return;
    }
    if (part.hasArray(key)) {
        const util::JSON::ArrayType& pair = part.getArray(key);
        if (pair.size() != 2) {
            throw Error(where + key + " wants one number or two");
        }
        x = pair[0].asFloat();
        y = pair[1].asFloat();
        return;
    }
    x = y = part.getFloat(key);
}

bool mirrored(float factor, const std::string& where) {
    if (factor != 1 && factor != -1) {
        throw Error(where + "flip " + numberText(factor) + " is neither 1 nor -1");
    }
    return factor < 0;
}

CompoPart readPart(const util::JSON& part, const std::string& where) {
    CompoPart p;
    p.sprite = part.getString("name");
    if (part.has("id")) {
        p.id = part.getString("id");
    }
    p.x = wholePixel(part, "x", where);
    p.y = wholePixel(part, "y", where);
    readPair(part, "scale", p.scaleX, p.scaleY, where);
    float flipX = 1, flipY = 1;
    readPair(part, "flip", flipX, flipY, where);
    p.flipX = mirrored(flipX, where);
    p.flipY = mirrored(flipY, where);
    if (part.has("angle")) {
        p.angle = part.getFloat("angle");
    }
    return p;
}

}  // namespace

std::vector<Composite> parseCompoSource(const std::string& text, const std::string& name) {
    util::JSON root;
    try {
        root.parse(text);
    } catch (const util::JSON::ParseError& e) {
        throw Error(name + ":" + std::to_string(e.getLine()) + ": " + e.getReason());
    }
    std::vector<Composite> composites;
    std::set<std::string> names;
    try {
        root.getObject("meta");
        const util::JSON& meta = root.asObject().find("meta")->second;
        // What the engine's JSON loader insists on, so that the source loads too.
        if (meta.getString("app").find("Adobe") == std::string::npos) {
            throw Error("meta.app must contain \"Adobe\" for the engine to load the source");
        }
        meta.getString("image");
        for (const util::JSON& element : root.getArray("compo")) {
            Composite compo;
            compo.name = element.getString("name");
            if (!names.insert(compo.name).second) {
                throw Error("the composite \"" + compo.name + "\" is named twice");
            }
            const util::JSON::ArrayType& parts = element.getArray("sprites");
            // Listed topmost first: the last part is drawn first.
            for (size_t i = parts.size(); i-- > 0;) {
                const std::string where = compo.name + ", part " + std::to_string(i + 1) + ": ";
                compo.parts.push_back(readPart(parts[i], where));
            }
            composites.push_back(std::move(compo));
        }
    } catch (const lang::Exception& e) {
        throw Error(name + ": " + e.getMessage());
    } catch (const Error& e) {
        throw Error(name + ": " + e.what());
    }
    return composites;
}

namespace {

// Big-endian fields of a chunk file, refusing to read past its end.
class FieldReader {
public:
    FieldReader(const uint8_t* data, size_t size, const std::string& name)
        : data_(data), size_(size), name_(name) {}

    size_t left() const { return size_ - at_; }
    uint32_t int32() {
        need(4);
        const uint32_t v = uint32_t(data_[at_]) << 24 | uint32_t(data_[at_ + 1]) << 16 |
                           uint32_t(data_[at_ + 2]) << 8 | data_[at_ + 3];
        at_ += 4;
        return v;
    }
    int int16() {
        need(2);
        const int v = int16_t(data_[at_] << 8 | data_[at_ + 1]);
        at_ += 2;
        return v;
    }
    std::string string() {
        const int length = int16();
        if (length < 0) {
            throw Error(name_ + ": a negative string length");
        }
        need(size_t(length));
        std::string text(reinterpret_cast<const char*>(data_ + at_), size_t(length));
        at_ += size_t(length);
        return text;
    }
    FieldReader sub(size_t size) {
        need(size);
        FieldReader inner(data_ + at_, size, name_);
        at_ += size;
        return inner;
    }

private:
    void need(size_t n) const {
        if (left() < n) {
            throw Error(name_ + ": the sheet file is cut short");
        }
    }

    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    const std::string& name_;
};

uint32_t fourCC(const char* id) {
    return uint32_t(uint8_t(id[0])) << 24 | uint32_t(uint8_t(id[1])) << 16 |
           uint32_t(uint8_t(id[2])) << 8 | uint8_t(id[3]);
}

}  // namespace

std::set<std::string> sheetSpriteNames(const std::vector<uint8_t>& file, const std::string& name) {
    FieldReader reader(file.data(), file.size(), name);
    if (file.size() < 8 || reader.int32() != fourCC("PLXB")) {
        throw Error(name + ": not a \"PLXB\" sheet file");
    }
    FieldReader payload = reader.sub(reader.int32());
    std::set<std::string> names;
    while (payload.left() > 0) {
        const uint32_t id = payload.int32();
        FieldReader chunk = payload.sub(payload.int32());
        if (id != fourCC("SPRT") || chunk.int16() != 1) {
            continue;
        }
        chunk.string();  // the texture
        for (int n = chunk.int16(); n > 0; --n) {
            names.insert(chunk.string());
            for (int field = 0; field < 6; ++field) {
                chunk.int16();
            }
        }
    }
    return names;
}

void checkParts(const std::vector<Composite>& composites, const std::set<std::string>& sprites,
                const std::string& source) {
    for (const Composite& compo : composites) {
        for (const CompoPart& part : compo.parts) {
            if (!sprites.count(part.sprite)) {
                throw Error(source + ": " + compo.name + ": the part \"" + part.sprite +
                            "\" names no sprite of the sheets");
            }
        }
    }
}

std::vector<uint8_t> writeCompoFile(const std::vector<Composite>& composites, int scale) {
    if (composites.size() > static_cast<size_t>(MAX_FIELD)) {
        throw Error("more than 32767 composites in one file");
    }
    std::set<std::string> names;
    chunk::ChunkWriter w;
    w.beginFile("ZWQA").beginChunk("COMP").int16(1).int16(static_cast<int>(composites.size()));
    for (const Composite& compo : composites) {
        if (!names.insert(compo.name).second) {
            throw Error("the composite \"" + compo.name + "\" is named twice");
        }
        if (compo.parts.size() > static_cast<size_t>(MAX_FIELD)) {
            throw Error(compo.name + ": more than 32767 parts");
        }
        w.string(compo.name).int16(static_cast<int>(compo.parts.size()));
        for (const CompoPart& p : compo.parts) {
            const long x = static_cast<long>(p.x) * scale, y = static_cast<long>(p.y) * scale;
            if (std::labs(x) > MAX_FIELD || std::labs(y) > MAX_FIELD) {
                throw Error(compo.name + ": the part " + p.sprite + " at " + std::to_string(x) +
                            "," + std::to_string(y) + " lies beyond 16 bits");
            }
            w.string(p.sprite).string(p.id).int16(static_cast<int>(x)).int16(static_cast<int>(y));
            w.float32(p.scaleX).float32(p.scaleY).float32(p.angle);
            w.boolean(p.flipX).boolean(p.flipY);
        }
    }
    w.endChunk().endFile();
    return w.data();
}

}  // namespace sheetpack
