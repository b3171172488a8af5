// qffontpack: builds a bitmap font (a texture and its font file) from a
// scalable font file.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "fonts/FontPacker.h"
#include "io/PathName.h"
#include "lang/String.h"

namespace {

const char* kUsage =
    "Usage: qffontpack FONT PIXELS OUT.dat [options]\n"
    "       qffontpack --help\n"
    "\n"
    "Renders the characters of the scalable font FONT (any face FreeType reads) at\n"
    "PIXELS pixels an em into one texture, OUT.png beside OUT.dat, and describes\n"
    "the glyphs in the bitmap-font file OUT.dat. Every glyph is white with its\n"
    "coverage as alpha; it is its advance wide.\n"
    "\n"
    "  --chars TEXT           the characters to pack (default: printable ASCII and\n"
    "                         Latin-1); a character the font lacks is skipped\n"
    "  --chars-file FILE      the same, read from a UTF-8 file\n"
    "  --require-file FILE    characters that must be packed as well: one the font\n"
    "                         lacks is an error (line breaks and tabs are ignored)\n"
    "  --tracking N           extra pixels after every glyph (default 0)\n"
    "  --leading N            line spacing (default: the face's)\n"
    "  --width N              texture width (default 256)\n"
    "  --index N              face index in a collection (default 0)\n"
    "\n"
    "Exit status: 0 on success, 1 when the font cannot be read, lacks a required\n"
    "character or does not fit, or a file cannot be written; 2 for a wrong command\n"
    "line.\n";

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(path + ": cannot read");
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int number(const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || value < -32768 || value > 32767) {
        throw UsageError("not a number: " + text);
    }
    return static_cast<int>(value);
}

void parseOption(const std::string& name, const std::string& value, fonts::PackOptions& o) {
    if (name == "--chars") {
        o.characters = lang::toUTF32(value);
    } else if (name == "--chars-file") {
        o.characters = lang::toUTF32(readText(value));
    } else if (name == "--require-file") {
        o.required = lang::toUTF32(readText(value));
    } else if (name == "--tracking") {
        o.tracking = number(value);
    } else if (name == "--leading") {
        o.leading = number(value);
    } else if (name == "--width") {
        o.textureWidth = number(value);
    } else if (name == "--index") {
        o.faceIndex = number(value);
    } else {
        throw UsageError("unknown option " + name);
    }
}

void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error(path + ": cannot write");
    }
}

int run(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        throw UsageError("wants FONT, PIXELS, OUT.dat and options with their values");
    }
    fonts::PackOptions options;
    options.fontFile = argv[1];
    options.pixelSize = number(argv[2]);
    options.characters = fonts::defaultCharacters();
    for (int i = 4; i + 1 < argc; i += 2) {
        parseOption(argv[i], argv[i + 1], options);
    }
    const io::PathName out(argv[3]);
    const std::string texture = out.getBaseName() + ".png";
    fonts::PackedFont packed;
    try {
        packed = fonts::packFont(options, texture);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(options.fontFile + ": " + e.what());
    }
    const std::string folder = out.getDrive() + out.getDirectory();
    gr::writePng(folder.empty() ? texture : io::PathName(folder, texture).toString(),
                 packed.texture);
    write(argv[3], packed.file);
    for (char32_t c : packed.missing) {
        std::cerr << "qffontpack: " << options.fontFile << ": no glyph for U+" << std::hex
                  << static_cast<int>(c) << std::dec << "\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    try {
        return run(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "qffontpack: " << e.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "qffontpack: " << e.what() << "\n";
        return 1;
    }
}
