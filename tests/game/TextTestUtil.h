#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "chunk/ChunkWriter.h"
#include "game/FakeContext.h"
#include "lang/Object.h"

/// Files and a recording context for the font and text-group tests.
namespace texttest {

struct GlyphSpec {
    int32_t codePoint;
    int x, y, width, height, baseline;
};

/// A "PLXB" bitmap font with one "FONT" chunk.
inline std::vector<uint8_t> fontFile(const std::string& texture, int leading, int tracking,
                                     const std::vector<GlyphSpec>& glyphs, int version = 2) {
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("FONT").int16(version).string(texture);
    w.int16(leading).int16(tracking).int16(static_cast<int>(glyphs.size()));
    for (const GlyphSpec& g : glyphs) {
        if (version == 1) {
            w.int16(g.codePoint);
        } else {
            w.int32(g.codePoint);
        }
        w.int16(g.x).int16(g.y).int16(g.width).int16(g.height).int16(g.baseline);
    }
    w.endChunk().endFile();
    return w.data();
}

/// The texts of one language, in the order of the ids.
struct LanguageTexts {
    std::string name;
    std::vector<std::string> texts;
};

/// A "PLXB" text group: "LDAT", "LIDS" and one "TXGP" per language.
inline std::vector<uint8_t> textChunkFile(const std::vector<std::string>& ids,
                                          const std::vector<LanguageTexts>& languages) {
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("TEXT").int16(1);
    w.beginChunk("LDAT").int16(static_cast<int>(languages.size()));
    for (const LanguageTexts& l : languages) {
        w.string(l.name);
    }
    w.endChunk().beginChunk("LIDS").int16(static_cast<int>(ids.size()));
    for (const std::string& id : ids) {
        w.string(id);
    }
    w.endChunk();
    for (const LanguageTexts& l : languages) {
        w.beginChunk("TXGP");
        for (const std::string& text : l.texts) {
            w.string(text);
        }
        w.endChunk();
    }
    w.endChunk().endFile();
    return w.data();
}

/// A text group in the plain layout: the language block, the ids, a table of
/// offsets (each counted from just after its own entry) and the text blocks.
inline std::vector<uint8_t> textPlainFile(const std::vector<std::string>& ids,
                                          const std::vector<LanguageTexts>& languages) {
    chunk::ChunkWriter block;
    block.int8(static_cast<int>(languages.size()));
    for (const LanguageTexts& l : languages) {
        block.string(l.name);
    }
    std::vector<std::vector<uint8_t>> texts;
    for (const LanguageTexts& l : languages) {
        chunk::ChunkWriter t;
        for (const std::string& text : l.texts) {
            t.string(text);
        }
        texts.push_back(t.data());
    }
    chunk::ChunkWriter w;
    w.int8(0).int32(static_cast<int32_t>(block.size())).bytes(block.data().data(), block.size());
    w.int16(static_cast<int>(ids.size()));
    for (const std::string& id : ids) {
        w.string(id);
    }
    const size_t n = languages.size();
    size_t before = 0;  // bytes of the text blocks before block c
    for (size_t c = 0; c < n; ++c) {
        w.int32(static_cast<int32_t>(4 * (n - 1 - c) + before));
        before += texts[c].size();
    }
    for (const std::vector<uint8_t>& t : texts) {
        w.bytes(t.data(), t.size());
    }
    return w.data();
}

/// What the textures of a RecordingContext did.
struct TextureLog : lang::Object {
    struct Draw {
        const gr::Texture* texture;
        float x, y, w, h;
    };
    std::vector<Draw> draws;
    int made = 0;
};

/// A texture that keeps its pixels and logs its draws.
class RecordingTexture : public gametest::FakeTexture {
public:
    RecordingTexture(int width, int height, TextureLog* log)
        : gametest::FakeTexture(width, height, std::string()),
          log_(log),
          pixels(static_cast<size_t>(width) * height * 4, 0) {}

    void setPixels(int x, int y, const void* data, int pitch, int w, int h,
                   gr::PixelFormat) override {
        for (int row = 0; row < h; ++row) {
            std::memcpy(&pixels[(static_cast<size_t>(y + row) * width() + x) * 4],
                        static_cast<const uint8_t*>(data) + row * pitch,
                        static_cast<size_t>(w) * 4);
        }
    }
    void draw(float, float, float, float, float x, float y, float w, float h) override {
        log_->draws.push_back(TextureLog::Draw{this, x, y, w, h});
    }

    lang::Ptr<TextureLog> log_;
    std::vector<uint8_t> pixels;
};

/// A FakeContext whose empty textures record their pixels and draws.
class RecordingContext : public gametest::FakeContext {
public:
    RecordingContext() : log(new TextureLog()) {}

    lang::Ptr<gr::Texture> createEmptyTexture(int width, int height, gr::PixelFormat) override {
        ++log->made;
        return new RecordingTexture(width, height, log.get());
    }

    lang::Ptr<TextureLog> log;
};

}  // namespace texttest
