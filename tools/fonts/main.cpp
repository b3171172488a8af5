// qffontpack: builds a bitmap font (a texture and its font file) from a
// scalable font file.
//
//   qffontpack DejaVuSans.ttf 16 out/menu.dat [--chars TEXT] [--chars-file FILE]
//              [--tracking N] [--leading N] [--width N] [--index N]
//
// The texture is written beside the font file, named like it with ".png".

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "fonts/FontPacker.h"
#include "io/PathName.h"
#include "lang/String.h"

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int number(const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || value < -32768 || value > 32767) {
        throw std::runtime_error("not a number: " + text);
    }
    return static_cast<int>(value);
}

void parseOption(const std::string& name, const std::string& value, fonts::PackOptions& o) {
    if (name == "--chars") {
        o.characters = lang::toUTF32(value);
    } else if (name == "--chars-file") {
        o.characters = lang::toUTF32(readText(value));
    } else if (name == "--tracking") {
        o.tracking = number(value);
    } else if (name == "--leading") {
        o.leading = number(value);
    } else if (name == "--width") {
        o.textureWidth = number(value);
    } else if (name == "--index") {
        o.faceIndex = number(value);
    } else {
        throw std::runtime_error("unknown option " + name);
    }
}

void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::cerr << "usage: qffontpack <font file> <pixels an em> <out.dat> [--chars TEXT] "
                     "[--chars-file FILE] [--tracking N] [--leading N] [--width N] [--index N]\n";
        return 2;
    }
    try {
        fonts::PackOptions options;
        options.fontFile = argv[1];
        options.pixelSize = number(argv[2]);
        options.characters = fonts::defaultCharacters();
        for (int i = 4; i + 1 < argc; i += 2) {
            parseOption(argv[i], argv[i + 1], options);
        }
        const io::PathName out(argv[3]);
        const std::string texture = out.getBaseName() + ".png";
        const fonts::PackedFont packed = fonts::packFont(options, texture);
        write(argv[3], packed.file);
        const std::string folder = out.getDrive() + out.getDirectory();
        gr::writePng(folder.empty() ? texture : io::PathName(folder, texture).toString(),
                     packed.texture);
        for (char32_t c : packed.missing) {
            std::cerr << "qffontpack: no glyph for U+" << std::hex << static_cast<int>(c)
                      << std::dec << "\n";
        }
    } catch (const std::exception& e) {
        std::cerr << "qffontpack: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
